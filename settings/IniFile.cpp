#include "settings/IniFile.h"

#include "settings/MemIniFile.h"

namespace talivo {

QString TIniFile::ReadString(const QString &section, const QString &key,
                             const QString &defaultValue) const
{
    return TMemIniFile(FileName()).ReadString(section, key, defaultValue);
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    TMemIniFile file(FileName());
    file.WriteString(section, key, value);
    file.UpdateFile();
}

QStringList TIniFile::ReadSections() const
{
    return TMemIniFile(FileName()).ReadSections();
}

QStringList TIniFile::ReadSection(const QString &section) const
{
    return TMemIniFile(FileName()).ReadSection(section);
}

} // namespace talivo
