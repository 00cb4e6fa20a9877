#include "app/AnsiText.h"

#include "platform/CodePage.h"

#include <QList>
#include <QStringView>

namespace talivo {

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

QString SingleLine(const QString &text)
{
    const auto breaks = [](QChar c) { return c == u'\r' || c == u'\n' || c == u'\t'; };
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!breaks(text[i]))
            result.append(text[i]);
        else if (i == 0 || !breaks(text[i - 1]))
            result.append(u' ');
    }
    return result;
}

} // namespace talivo
