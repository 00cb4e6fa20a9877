#include "app/AnsiText.h"

#include "platform/CodePage.h"

#include <QList>
#include <QStringView>

namespace talivo {

QString ThroughAnsiCodePage(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (char32_t c : QStringView(text).toUcs4()) {
        if (ToWindows1252(c))
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
        result.append(ToWindows1252(c).value_or('?'));
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
