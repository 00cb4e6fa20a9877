#include "settings/MemIniFile.h"

#include "i18n/Translation.h"
#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

namespace talivo {

namespace {

EIniFileError Error(const QString &text)
{
    return EIniFileError(text.toStdString());
}

} // namespace

TMemIniFile::TMemIniFile(QString fileName) : TCustomIniFile(std::move(fileName))
{
    const QFileInfo info(FileName());
    if (!info.exists())
        return;
    QFile file(FileName());
    if (!info.isFile()) {
        fReadError = QString("\"%1\" is not a file.").arg(FileName());
    } else if (info.size() > TIniDocument::MaxSize) {
        fReadError = QString("\"%1\" is too large for an INI file.").arg(FileName());
    } else if (!file.open(QIODevice::ReadOnly)) {
        fReadError = _("Cannot read \"%1\": %2").arg(FileName(), file.errorString());
    } else {
        // The size may change while we read; never take more than the limit.
        const QByteArray bytes = file.read(TIniDocument::MaxSize + 1);
        if (bytes.size() > TIniDocument::MaxSize)
            fReadError = QString("\"%1\" is too large for an INI file.").arg(FileName());
        else
            fDocument = TIniDocument::FromBytes(bytes);
    }
}

QString TMemIniFile::ReadString(const QString &section, const QString &key,
                                const QString &defaultValue) const
{
    return fDocument.Value(section, key).value_or(defaultValue);
}

void TMemIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    fDocument.SetValue(section, key, value);
}

QStringList TMemIniFile::ReadSections() const
{
    return fDocument.Sections();
}

QStringList TMemIniFile::ReadSection(const QString &section) const
{
    return fDocument.Keys(section);
}

void TMemIniFile::Clear()
{
    fDocument = TIniDocument();
    fReadError.clear();
}

void TMemIniFile::CheckRead() const
{
    if (!fReadError.isEmpty())
        throw Error(fReadError);
}

void TMemIniFile::UpdateFile()
{
    CheckRead();
    const QByteArray bytes = fDocument.ToBytes();
    WriteFileAtomically(
        FileName(), [&](QIODevice &file) { return file.write(bytes) == bytes.size(); },
        [&](TSaveStep, const QString &reason) {
            return std::make_exception_ptr(
                Error(_("Cannot write \"%1\": %2").arg(FileName(), reason)));
        });
}

} // namespace talivo
