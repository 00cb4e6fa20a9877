#pragma once

#include "settings/IniDocument.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace talivo {

// What every INI file offers, stored on disk (TIniFile) or held in memory (TMemIniFile). A
// missing file, section or key reads as the caller's default.
class TCustomIniFile {
public:
    explicit TCustomIniFile(QString fileName) : fFileName(std::move(fileName)) {}
    virtual ~TCustomIniFile() = default;

    const QString &FileName() const { return fFileName; }

    virtual QString ReadString(const QString &section, const QString &key,
                               const QString &defaultValue) const = 0;
    // Throws EIniFileError when the value cannot be stored.
    virtual void WriteString(const QString &section, const QString &key, const QString &value) = 0;
    // Section names in file order.
    virtual QStringList ReadSections() const = 0;
    // The section's key names in file order.
    virtual QStringList ReadSection(const QString &section) const = 0;

    // The default also stands in for a value that is not an integer (see ToInteger).
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    void WriteInteger(const QString &section, const QString &key, int value);
    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;

    // Decimal, or hexadecimal after "0x" or "$", with an optional sign; surrounding blanks are
    // allowed. Hexadecimal takes all 32 bits, so colours such as $FF000000 survive as negative
    // numbers; a decimal value must lie in the 32-bit signed range.
    static std::optional<int> ToInteger(const QString &text);

private:
    QString fFileName;
};

} // namespace talivo
