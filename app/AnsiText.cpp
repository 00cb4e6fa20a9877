#include "app/AnsiText.h"

#include <QList>
#include <QStringView>
#include <algorithm>
#include <array>
#include <optional>

namespace talivo {

namespace {

// The characters of the code points 0x80 to 0x9F. The five code points without a character
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their C1 control, as the system conversion does.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The code page's byte for the character, or nothing when it lacks the character.
std::optional<char> AnsiByte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    const auto found = std::find(kHighControls.begin(), kHighControls.end(), c);
    if (found == kHighControls.end())
        return std::nullopt;
    return static_cast<char>(0x80 + (found - kHighControls.begin()));
}

} // namespace

QString ThroughAnsiCodePage(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (char32_t c : QStringView(text).toUcs4()) {
        if (AnsiByte(c))
            result.append(QChar(static_cast<char16_t>(c)));
        else
            result.append(u'?');
    }
    return result;
}

QByteArray ToAnsiBytes(const QString &text)
{
    QByteArray result;
    result.reserve(text.size());
    for (char32_t c : QStringView(text).toUcs4())
        result.append(AnsiByte(c).value_or('?'));
    return result;
}

QString Trim(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= u' ')
        ++first;
    while (last > first && text[last - 1].unicode() <= u' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace talivo
