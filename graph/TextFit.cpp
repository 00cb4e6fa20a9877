#include "graph/TextFit.h"

#include <QStringList>
#include <QStringView>

namespace talivo {

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

bool IsLineBreak(QChar ch)
{
    return ch == u'\r' || ch == u'\n';
}

bool IsBreakCharacter(QChar ch)
{
    return QStringView(u" !),-./:;>?\\]}").contains(ch);
}

qsizetype SkipSpaces(const QString &text, qsizetype index)
{
    while (index < text.size() && text[index] == u' ')
        ++index;
    return index;
}

void DropTrailingSpaces(QString &line)
{
    qsizetype length = line.size();
    while (length > 0 && line[length - 1] == u' ')
        --length;
    line.truncate(length);
}

} // namespace

QString WrapText(const TCanvas &canvas, const QString &text, int32_t maxWidth)
{
    const qsizetype size = text.size();
    QStringList lines;
    qsizetype start = SkipSpaces(text, 0);
    while (start < size) {
        qsizetype end = start;
        while (end < size && !IsLineBreak(text[end]) &&
               (end == start || canvas.TextWidth(text.mid(start, end - start + 1)) <= maxWidth))
            ++end;

        QString line;
        qsizetype next = end;
        bool endsText = false;
        if (end == size) {
            line = text.mid(start);
        } else if (IsLineBreak(text[end])) {
            line = text.mid(start, end - start);
            next = end + 1;
            // CR LF and LF CR are one break; CR CR and LF LF are two.
            if (next < size && IsLineBreak(text[next]) && text[next] != text[end])
                ++next;
            endsText = next == size;
        } else if (text[end] == u' ' || text[end] == u'\t') {
            line = text.mid(start, end - start);
        } else {
            qsizetype breakAt = end - 1;
            while (breakAt >= start && !IsBreakCharacter(text[breakAt]))
                --breakAt;
            if (breakAt >= start)
                next = breakAt + 1;
            line = text.mid(start, next - start);
        }
        DropTrailingSpaces(line);
        if (endsText)
            line += kLineBreak;
        lines.append(line);
        start = SkipSpaces(text, next);
    }
    return lines.join(kLineBreak);
}

QString MinimizeText(const TCanvas &canvas, const QString &text, const TRect &rect,
                     const QString &mark, const QString &fallbackMark)
{
    const int32_t width = rect.Width();
    const QString wrapped = WrapText(canvas, text, width);
    const QStringList lines = wrapped.split(kLineBreak);

    int64_t total = 0;
    qsizetype fitting = 0;
    for (; fitting < lines.size(); ++fitting) {
        const QString &line = lines[fitting];
        total += canvas.TextHeight(line.isEmpty() ? QStringLiteral(" ") : line);
        if (total > rect.Height())
            break;
    }
    if (fitting == lines.size())
        return wrapped;
    if (fitting == 0)
        return QString();

    QString result = lines.mid(0, fitting - 1).join(kLineBreak);
    if (fitting > 1)
        result += kLineBreak;
    const bool markShows = mark.isEmpty() || canvas.HasGlyph(mark.toUcs4().front());
    const QString &ellipsis = markShows ? mark : fallbackMark;
    QString last = lines[fitting - 1] + ellipsis;
    while (canvas.TextWidth(last) > width && last.size() > ellipsis.size() + 1)
        last.remove(last.size() - ellipsis.size() - 1, 1);
    return result + last;
}

QString MinimizeText(const TCanvas &canvas, const QString &text, const TRect &rect)
{
    return MinimizeText(canvas, text, rect, QString(), QString());
}

} // namespace talivo
