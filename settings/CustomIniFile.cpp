#include "settings/CustomIniFile.h"

#include <cstdint>

namespace talivo {

int TCustomIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    return ToInteger(ReadString(section, key, QString())).value_or(defaultValue);
}

void TCustomIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

bool TCustomIniFile::SectionExists(const QString &section) const
{
    return ReadSections().contains(section.trimmed(), Qt::CaseInsensitive);
}

bool TCustomIniFile::ValueExists(const QString &section, const QString &key) const
{
    return ReadSection(section).contains(key.trimmed(), Qt::CaseInsensitive);
}

std::optional<int> TCustomIniFile::ToInteger(const QString &text)
{
    QStringView digits = QStringView(text).trimmed();
    const bool negative = digits.startsWith(u'-');
    if (negative || digits.startsWith(u'+'))
        digits = digits.sliced(1);
    int base = 10;
    if (digits.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        digits = digits.sliced(2);
    } else if (digits.startsWith(u'$')) {
        base = 16;
        digits = digits.sliced(1);
    }
    if (digits.isEmpty())
        return std::nullopt;
    uint64_t magnitude = 0;
    for (const QChar character : digits) {
        const char16_t c = character.unicode();
        int digit = -1;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + uint64_t(digit);
        // Hexadecimal takes all 32 bits, the way colours are written; decimal stays in range.
        const uint64_t limit = negative ? 0x80000000u : base == 16 ? UINT32_MAX : INT32_MAX;
        if (magnitude > limit)
            return std::nullopt;
    }
    const uint32_t bits = uint32_t(magnitude);
    return int(negative ? 0u - bits : bits);
}

} // namespace talivo
