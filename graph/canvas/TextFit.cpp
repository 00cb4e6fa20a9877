#include "graph/canvas/TextFit.h"

#include <QStringList>
#include <QStringView>

#include <algorithm>

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

// The largest count in (low, high] for which fits holds, or low when it holds for none; fits
// holds for low and, past the first count where it fails, for no larger one. Counts are tried
// at doubling distances from low and then halved, so a caption of n characters costs O(log n)
// measurements per line rather than one per character, and no run measured is much longer than
// the result.
template <typename TFits> qsizetype LargestFitting(qsizetype low, qsizetype high, TFits fits)
{
    qsizetype failing = high + 1;
    for (qsizetype step = 1; low < high;) {
        const qsizetype probe = std::min(low + step, high);
        if (!fits(probe)) {
            failing = probe;
            break;
        }
        low = probe;
        step *= 2;
    }
    while (failing - low > 1) {
        const qsizetype middle = low + (failing - low) / 2;
        if (fits(middle))
            low = middle;
        else
            failing = middle;
    }
    return low;
}

} // namespace

QString WrapText(const TCanvas &canvas, const QString &text, int32_t maxWidth)
{
    const qsizetype size = text.size();
    QStringList lines;
    qsizetype start = SkipSpaces(text, 0);
    // The first line break from start on, or the end of the text; found once per line of the
    // text, not again for each line the wrapping makes of it.
    qsizetype lineEnd = -1;
    while (start < size) {
        if (lineEnd < start) {
            lineEnd = start;
            while (lineEnd < size && !IsLineBreak(text[lineEnd]))
                ++lineEnd;
        }
        // The characters before end are accepted; the first one always is. A run of characters
        // is never narrower than a shorter run from the same start.
        const qsizetype end =
            lineEnd == start ? start : LargestFitting(start + 1, lineEnd, [&](qsizetype runEnd) {
                return canvas.TextWidth(text.mid(start, runEnd - start)) <= maxWidth;
            });

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
    // The line keeps as many characters as fit beside the mark, at least one.
    const QString &line = lines[fitting - 1];
    const qsizetype kept =
        LargestFitting(std::min<qsizetype>(1, line.size()), line.size(), [&](qsizetype count) {
            return canvas.TextWidth(line.left(count) + ellipsis) <= width;
        });
    return result + line.left(kept) + ellipsis;
}

QString MinimizeText(const TCanvas &canvas, const QString &text, const TRect &rect)
{
    return MinimizeText(canvas, text, rect, QString(), QString());
}

} // namespace talivo
