#include "platform/AtomicFile.h"

#include <QSaveFile>

namespace talivo {

void WriteFileAtomically(const QString &fileName, const TFileContentWriter &write,
                         const TSaveFailure &failure)
{
    QSaveFile file(fileName);
    WriteFileAtomically(file, write, failure);
}

void WriteFileAtomically(QSaveFile &file, const TFileContentWriter &write,
                         const TSaveFailure &failure)
{
    if (!file.open(QIODevice::WriteOnly))
        std::rethrow_exception(failure(TSaveStep::Create, file.errorString()));
    if (!write(file) || !file.commit())
        std::rethrow_exception(failure(TSaveStep::Write, file.errorString()));
}

} // namespace talivo
