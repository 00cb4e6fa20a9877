#pragma once

#include <QString>

#include <exception>
#include <functional>

class QIODevice;
class QSaveFile;

namespace talivo {

// The step of a save that failed: making the temporary file, or writing and committing it.
enum class TSaveStep { Create, Write };

// Writes the content of a file: false when not all of it could be written.
using TFileContentWriter = std::function<bool(QIODevice &file)>;
// The error a failed save raises, made by the caller from the failed step and the system's reason.
using TSaveFailure = std::function<std::exception_ptr(TSaveStep step, const QString &reason)>;

// Writes the file through a temporary file in the same folder that takes its place only once it
// is complete, so that a failed or interrupted save leaves the previous version whole. A failure
// raises the caller's error; an error the writer raises goes on as it is.
void WriteFileAtomically(const QString &fileName, const TFileContentWriter &write,
                         const TSaveFailure &failure);
// The same through a save file the caller made, of a kind that watches its writes, say.
void WriteFileAtomically(QSaveFile &file, const TFileContentWriter &write,
                         const TSaveFailure &failure);

} // namespace talivo
