#include "settings/VersionInfo.h"

#include "platform/Platform.h"
#include "settings/IniDocument.h"
#include "settings/VersionBlock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace talivo {

namespace {

std::u16string_view KeyName(int keyIndex)
{
    switch (keyIndex) {
    case vkCompanyName:
        return u"CompanyName";
    case vkFileDescription:
        return u"FileDescription";
    case vkInternalName:
        return u"InternalName";
    case vkLegalCopyright:
        return u"LegalCopyright";
    case vkLegalTrademarks:
        return u"LegalTrademarks";
    case vkOriginalFilename:
        return u"OriginalFilename";
    case vkProductName:
        return u"ProductName";
    case vkProductVersion:
        return u"ProductVersion";
    case vkComments:
        return u"Comments";
    default:
        return u"FileVersion";
    }
}

QString FileOrProgram(const QString &fileName)
{
    if (!fileName.isEmpty())
        return fileName;
    const QString program = Folders().ProgramFile();
    return program.isEmpty() ? QString() : QFileInfo(program).absoluteFilePath();
}

} // namespace

QString GetVersionInfoValue(const QString &fileName, int keyIndex)
{
    const QString path = FileOrProgram(fileName);
    // Only a regular file: a device or a pipe could be endless.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= 0)
        return {};
    // Mapped rather than read: a program file with its debug information can be large, and
    // the block is looked up anew on every call.
    const qint64 size = file.size();
    uchar *data = file.map(0, size);
    if (!data)
        return {};
    const std::u16string value = FindVersionString(data, size_t(size), KeyName(keyIndex));
    file.unmap(data);
    return QString::fromUtf16(value.data(), qsizetype(value.size()));
}

QString GetProductName(const QString &fileName)
{
    const QString path = FileOrProgram(fileName);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {};
    const QString name = GetVersionInfoValue(path, vkProductName);
    if (!name.isEmpty())
        return name;
    return QFileInfo(Folders().ProgramFile()).completeBaseName();
}

QString GetSettingsFolder()
{
    // An unknown base gives the root folder, as an empty path with a delimiter added does.
    QString base = Folders().CommonAppData();
    if (!base.endsWith(u'/'))
        base += u'/';
    return base + "Korvel/" + GetProductName(QString()) + u'/';
}

QString GetSettingsFileName()
{
    return GetSettingsFolder() + GetProductName(QString()) + ".ini";
}

QString GetWritableSettingsFileName()
{
    const QString fileName = GetSettingsFileName();
    if (!QFileInfo::exists(fileName)) {
        const QString folder = QFileInfo(fileName).absolutePath();
        if (!QDir().mkpath(folder))
            throw EIniFileError(
                QString("Cannot create the folder \"%1\".").arg(folder).toStdString());
    }
    return fileName;
}

} // namespace talivo
