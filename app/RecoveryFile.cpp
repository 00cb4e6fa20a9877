#include "app/RecoveryFile.h"

#include "app/MeasurementDocument.h"
#include "i18n/Translation.h"
#include "settings/MemIniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QUrl>

namespace talivo {

namespace {

const QString kSection = QStringLiteral("Recovery");
const QString kSlotNames[2] = {QStringLiteral("Recovery1.tlv"), QStringLiteral("Recovery2.tlv")};

[[noreturn]] void Damaged(const QString &fileName, const QString &problem)
{
    throw ERecoveryError(_("The kept work in \"%1\" cannot be read: %2")
                             .arg(QDir::toNativeSeparators(fileName), problem)
                             .toStdString());
}

// The slot the description names, or -1; nothing but the two names of its own is taken, since a
// description that is damaged or made by hand could name any file.
int NamedSlot(const QString &name)
{
    for (int slot = 0; slot < 2; ++slot)
        if (name == kSlotNames[slot])
            return slot;
    return -1;
}

} // namespace

TRecoveryFile::TRecoveryFile(QString folder) : fFolder(std::move(folder))
{
    if (!fFolder.endsWith(u'/'))
        fFolder += u'/';
}

TRecoveryFile::~TRecoveryFile() = default;

bool TRecoveryFile::Claim()
{
    if (fLock && fLock->isLocked())
        return true;
    QDir().mkpath(fFolder);
    fLock = std::make_unique<QLockFile>(fFolder + "Recovery.lock");
    // A lock that cannot be made at all is no other program's: the writes will say what is
    // wrong with the folder.
    return fLock->tryLock(0) || fLock->error() != QLockFile::LockFailedError;
}

QString TRecoveryFile::InfoFileName() const
{
    return fFolder + "Recovery.ini";
}

QString TRecoveryFile::SlotFileName(int slot) const
{
    return fFolder + kSlotNames[slot];
}

void TRecoveryFile::Write(const TMeasurementDocument &measurement)
{
    if (!QDir().mkpath(fFolder))
        throw ERecoveryError(_("Cannot create the folder \"%1\".")
                                 .arg(QDir::toNativeSeparators(fFolder))
                                 .toStdString());
    TMemIniFile info(InfoFileName());
    // The slot the description does not name, so that the work it names stays whole until the
    // new description takes its place.
    const int slot = NamedSlot(info.ReadString(kSection, "Measurement", QString())) == 0 ? 1 : 0;
    measurement.Save(SlotFileName(slot));
    info.Clear();
    // A file URL holds every character of a path, line breaks and trailing blanks too, which
    // the INI format would not.
    info.WriteString(
        kSection, "Picture",
        QUrl::fromLocalFile(measurement.PictureFileName()).toString(QUrl::FullyEncoded));
    info.WriteString(kSection, "Written",
                     QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    info.WriteString(kSection, "Measurement", kSlotNames[slot]);
    info.UpdateFile();
    QFile::remove(SlotFileName(1 - slot));
}

bool TRecoveryFile::Exists() const
{
    return QFileInfo::exists(InfoFileName());
}

TRecoveryInfo TRecoveryFile::Read() const
{
    const QString fileName = InfoFileName();
    if (!QFileInfo::exists(fileName))
        Damaged(fileName, _("The file is missing."));
    const TMemIniFile ini(fileName);
    try {
        ini.CheckRead();
    } catch (const std::exception &error) {
        Damaged(fileName, QString::fromUtf8(error.what()));
    }
    TRecoveryInfo info;
    const QUrl picture(ini.ReadString(kSection, "Picture", QString()), QUrl::StrictMode);
    if (!picture.isValid() || !picture.isLocalFile() || picture.toLocalFile().isEmpty())
        Damaged(fileName, _("The picture is not named."));
    info.PictureFileName = picture.toLocalFile();
    info.Written =
        QDateTime::fromString(ini.ReadString(kSection, "Written", QString()), Qt::ISODateWithMs);
    if (!info.Written.isValid())
        Damaged(fileName, _("The time it was written is not named."));
    const int slot = NamedSlot(ini.ReadString(kSection, "Measurement", QString()));
    if (slot < 0)
        Damaged(fileName, _("The measurement is not named."));
    info.MeasurementFileName = SlotFileName(slot);
    return info;
}

TMeasurementContent TRecoveryFile::ReadMeasurement(const TRecoveryInfo &info,
                                                   TJobProgress *progress) const
{
    return ReadMeasurementFile(info.MeasurementFileName, progress);
}

bool TRecoveryFile::Remove()
{
    bool removed = true;
    for (const QString &fileName : {InfoFileName(), SlotFileName(0), SlotFileName(1)})
        if (QFileInfo::exists(fileName) && !QFile::remove(fileName))
            removed = false;
    return removed;
}

} // namespace talivo
