#include "graph/Canvas.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <limits>

namespace talivo {

namespace {

int32_t ToLogical(int deviceLength, double scale)
{
    return Nearest(deviceLength / std::abs(scale));
}

// "&&" shows as "&"; a single "&" would mark an accelerator and is not shown.
QString StripPrefixes(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&')
            result += text[i];
        else if (i + 1 < text.size() && text[i + 1] == u'&')
            result += text[++i];
    }
    return result;
}

// Lines end at CR LF, CR or LF; a break at the end starts an empty last line.
QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    lines.append(text.mid(start));
    return lines;
}

} // namespace

const TCanvas::TDeviceFont &TCanvas::DeviceFont() const
{
    const double scale = std::abs(ScaleY());
    if (!fDeviceFont.Metrics || fDeviceFont.Scale != scale || !(fDeviceFont.Font == fFont)) {
        fDeviceFont.Font.Assign(fFont);
        fDeviceFont.Scale = scale;
        fDeviceFont.QtFont = fFont.ToQFont(scale);
        fDeviceFont.Metrics.emplace(fDeviceFont.QtFont);
        fDeviceFont.Advances.clear();
        fDeviceFont.AdvancesBytes = 0;
    }
    return fDeviceFont;
}

int TCanvas::DeviceAdvance(const QString &text) const
{
    // Room for the captions of a few hundred thousand marks, bounded in bytes rather than
    // entries so that measuring ever new or very long texts does not hoard memory. An entry
    // costs its characters and about this much besides.
    constexpr qsizetype kMaxAdvancesBytes = qsizetype(32) << 20;
    constexpr qsizetype kEntryOverhead = 64;
    const TDeviceFont &font = DeviceFont();
    const auto known = font.Advances.constFind(text);
    if (known != font.Advances.cend())
        return *known;
    const int advance = font.Metrics->horizontalAdvance(text);
    const qsizetype bytes = text.size() * qsizetype(sizeof(QChar)) + kEntryOverhead;
    if (bytes > kMaxAdvancesBytes / 4)
        return advance;
    if (fDeviceFont.AdvancesBytes + bytes > kMaxAdvancesBytes) {
        fDeviceFont.Advances.clear();
        fDeviceFont.AdvancesBytes = 0;
    }
    fDeviceFont.Advances.insert(text, advance);
    fDeviceFont.AdvancesBytes += bytes;
    return advance;
}

TSize TCanvas::TextExtent(const QString &text) const
{
    const QFontMetrics &metrics = *DeviceFont().Metrics;
    return {ToLogical(DeviceAdvance(text), ScaleX()), ToLogical(metrics.height(), ScaleY())};
}

bool TCanvas::HasGlyph(char32_t character) const
{
    return DeviceFont().Metrics->inFontUcs4(character);
}

void TCanvas::TextOut(int32_t x, int32_t y, const QString &text)
{
    if (!fPainter)
        return;
    const TPoint d = LPtoDP(TPoint{x, y});
    DrawTextLine(QPoint(d.X, d.Y), text, (fTextFlags & ETO_RTLREADING) != 0);
}

void TCanvas::DrawTextLine(const QPoint &topLeft, const QString &text, bool rightToLeft)
{
    const TDeviceFont &font = DeviceFont();
    const QRect cell(topLeft, QSize(DeviceAdvance(text), font.Metrics->height()));
    fPainter->save();
    fPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (fFont.Orientation() != 0) {
        // Each line turns about its own reference point, as the system's rotated fonts do.
        fPainter->translate(topLeft);
        fPainter->rotate(-fFont.Orientation() / 10.0);
        fPainter->translate(-topLeft);
    }
    if (fBrush.Style() != bsClear)
        fPainter->fillRect(cell, ColorToQColor(fBrush.Color()));
    fPainter->setFont(font.QtFont);
    fPainter->setPen(ColorToQColor(fFont.Color()));
    fPainter->setLayoutDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    fPainter->drawText(cell,
                       Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignTop | Qt::TextSingleLine |
                           Qt::TextDontClip,
                       text);
    fPainter->restore();
}

int32_t TCanvas::DrawText(const QString &text, TRect &rect, uint32_t flags)
{
    const QString shown = (flags & DT_NOPREFIX) ? text : StripPrefixes(text);
    QStringList lines;
    if (!shown.isEmpty())
        lines = (flags & DT_SINGLELINE) ? QStringList{shown} : SplitLines(shown);

    const QFontMetrics &metrics = *DeviceFont().Metrics;
    int width = 0;
    for (const QString &line : lines)
        width = std::max(width, DeviceAdvance(line));
    const int height = static_cast<int>(std::min<int64_t>(
        static_cast<int64_t>(metrics.height()) * lines.size(), std::numeric_limits<int>::max()));
    const int32_t logicalHeight = ToLogical(height, ScaleY());

    if (flags & DT_CALCRECT) {
        rect.Right = rect.Left + ToLogical(width, ScaleX());
        rect.Bottom = rect.Top + logicalHeight;
        return logicalHeight;
    }
    if (!fPainter || lines.isEmpty())
        return logicalHeight;

    const TRect d = LPtoDP(rect);
    const int left = std::min(d.Left, d.Right);
    const int right = std::max(d.Left, d.Right);
    const int top = std::min(d.Top, d.Bottom);
    const int bottom = std::max(d.Top, d.Bottom);
    int y = top;
    if (flags & DT_VCENTER)
        y = top + (bottom - top - height) / 2;
    else if (flags & DT_BOTTOM)
        y = bottom - height;

    fPainter->save();
    if (!(flags & DT_NOCLIP)) {
        const QRect clip(QPoint(left, top), QPoint(right - 1, bottom - 1));
        fPainter->setClipRect(clip, fPainter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    const bool rightToLeft = (flags & DT_RTLREADING) != 0;
    for (const QString &line : lines) {
        const int lineWidth = DeviceAdvance(line);
        int x = left;
        if (flags & DT_CENTER)
            x = left + (right - left - lineWidth) / 2;
        else if (flags & DT_RIGHT)
            x = right - lineWidth;
        DrawTextLine(QPoint(x, y), line, rightToLeft);
        y += metrics.height();
    }
    fPainter->restore();
    return logicalHeight;
}

} // namespace talivo
