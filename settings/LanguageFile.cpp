#include "settings/LanguageFile.h"

#include "i18n/Translation.h"
#include "platform/Platform.h"
#include "settings/MemIniFile.h"

#include <QDir>
#include <QFileInfo>

namespace talivo {

QString LanguageFileName()
{
    return QFileInfo(QDir(Folders().ProgramFolder()).filePath("Lang.ini")).absoluteFilePath();
}

QString ReadLanguageFile()
{
    const QString fileName = LanguageFileName();
    if (!QFileInfo::exists(fileName))
        return {};
    return TMemIniFile(fileName).ReadString("Settings", "Lang", "EN");
}

void ApplyLanguageFile()
{
    const QString code = ReadLanguageFile();
    if (!code.isEmpty())
        UseLanguage(code);
}

} // namespace talivo
