#pragma once

#include "settings/CustomIniFile.h"

namespace talivo {

// An INI file on disk that behaves like a Windows private-profile file: every read reads the file
// anew and every write replaces it at once (through a temporary file and an atomic replace),
// creating the file and the section when they are missing. Nothing is held between calls.
class TIniFile : public TCustomIniFile {
public:
    using TCustomIniFile::TCustomIniFile;

    QString ReadString(const QString &section, const QString &key,
                       const QString &defaultValue) const override;
    // Throws EIniFileError when the file cannot be read or written; it is left as it was then.
    void WriteString(const QString &section, const QString &key, const QString &value) override;
    QStringList ReadSections() const override;
    QStringList ReadSection(const QString &section) const override;
};

} // namespace talivo
