#pragma once

#include "app/Measurement.h"

#include <QDateTime>
#include <QString>
#include <memory>
#include <stdexcept>

class QLockFile;

namespace talivo {

class TJobProgress;
class TMeasurementDocument;

// Kept work that cannot be read back: its description is missing or damaged.
class ERecoveryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a recovery file says about the work it keeps.
struct TRecoveryInfo {
    // The resolved path of the picture the marks were placed on.
    QString PictureFileName;
    QDateTime Written;
    // The measurement file that holds the marks and groups.
    QString MeasurementFileName;
};

// Unsaved work kept in a folder, so that a program that ended without saving can offer it at the
// next start. The marks and groups are an ordinary measurement file; a small description beside
// it names the picture, the time and which of two measurement files is complete. The description
// is written last: an interrupted write leaves the previous work whole, and a measurement that
// no description names is never offered.
class TRecoveryFile {
public:
    // The folder need not exist until the first write.
    explicit TRecoveryFile(QString folder);
    ~TRecoveryFile();
    TRecoveryFile(const TRecoveryFile &) = delete;
    TRecoveryFile &operator=(const TRecoveryFile &) = delete;

    const QString &Folder() const { return fFolder; }
    QString InfoFileName() const;

    // Whether this process may keep and restore work in the folder, which it holds from now on
    // until the object goes: false while another running program holds it, which would
    // otherwise offer, replace or delete work that is still being done. A process that ended
    // without letting go holds nothing.
    bool Claim();

    // Writes the measurement's marks and groups and its picture's path. Neither the marks nor
    // anything that watches them learn of it. Throws when a file cannot be written; what was
    // kept before stays as it was then.
    void Write(const TMeasurementDocument &measurement);
    // Whether there is kept work, readable or not.
    bool Exists() const;
    // ERecoveryError when the description is damaged or names no measurement of its own.
    TRecoveryInfo Read() const;
    // Reads and checks the kept measurement (see ReadMeasurementFile).
    TMeasurementContent ReadMeasurement(const TRecoveryInfo &info,
                                        TJobProgress *progress = nullptr) const;
    // Deletes the kept work, the description first; false when a file stays behind.
    bool Remove();

private:
    QString SlotFileName(int slot) const;

    QString fFolder;
    std::unique_ptr<QLockFile> fLock;
};

} // namespace talivo
