#include "app/StrToInt.h"

#include <cstdint>

namespace talivo {

namespace {

[[noreturn]] void NotAnInteger(const QString &text)
{
    throw EConvertError(
        QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString());
}

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

int StrToInt(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == n)
        NotAnInteger(text);
    // Hexadecimal may use all 32 bits; decimal must fit a signed 32-bit value.
    const uint64_t limit = base == 16 ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
    uint64_t value = 0;
    for (; i < n; ++i) {
        const int digit = HexDigit(text[i]);
        if (digit < 0 || digit >= base)
            NotAnInteger(text);
        value = value * base + digit;
        if (value > limit)
            NotAnInteger(text);
    }
    const auto bits = static_cast<uint32_t>(negative ? 0 - value : value);
    return static_cast<int32_t>(bits);
}

} // namespace talivo
