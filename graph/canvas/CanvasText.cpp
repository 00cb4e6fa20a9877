#include "graph/canvas/Canvas.h"

#include <QGlyphRun>
#include <QPainter>
#include <QStringList>
#include <QTextLayout>

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

// The font properties that decide the glyphs; the colour and the angle are the canvas's to apply.
bool SameGlyphs(const TFont &a, const TFont &b)
{
    return a.Name() == b.Name() && a.Height() == b.Height() && a.Style() == b.Style() &&
           a.Charset() == b.Charset() && a.Pitch() == b.Pitch() && a.Quality() == b.Quality();
}

// A text as drawing it with a font needs it: its advance and its glyphs, laid out once.
struct TShapedText {
    int Advance = 0;
    QList<QGlyphRun> Glyphs;
};

// Shaping a text costs far more than drawing its glyphs, and the captions are drawn again on
// every repaint, by a canvas that lasts one paint: the texts drawn are kept shaped for every
// canvas, by font. Bounded, so that ever new texts do not hoard memory.
class TShapedTexts {
public:
    const TShapedText &Get(const QString &fontKey, const QFont &font, const QFontMetrics &metrics,
                           const QString &text)
    {
        QHash<QString, TShapedText> &texts = fByFont[fontKey];
        const auto known = texts.constFind(text);
        if (known != texts.cend())
            return *known;
        if (fCount >= kMaxTexts) {
            fByFont.clear();
            fCount = 0;
            return Get(fontKey, font, metrics, text);
        }
        ++fCount;
        return *texts.insert(text, {metrics.horizontalAdvance(text), Shape(font, text)});
    }

private:
    static constexpr qsizetype kMaxTexts = 1 << 16;

    // The glyphs of one line laid out from its top-left corner, as the painter lays out a single
    // line drawn into a rectangle at its top left.
    static QList<QGlyphRun> Shape(const QFont &font, const QString &text)
    {
        QTextLayout layout(text, font);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        QTextLine line = layout.createLine();
        line.setLineWidth(std::numeric_limits<int>::max() / 2);
        line.setPosition(QPointF(0, 0));
        layout.endLayout();
        return layout.glyphRuns();
    }

    QHash<QString, QHash<QString, TShapedText>> fByFont;
    qsizetype fCount = 0;
};

TShapedTexts &ShapedTexts()
{
    // Never destroyed: the glyphs refer to fonts that go with the application.
    static TShapedTexts *const texts = new TShapedTexts;
    return *texts;
}

// Texts the layout could treat otherwise than the painter drawing one line (tabs, breaks and
// other control characters) are drawn by the painter itself.
bool PlainLine(const QString &text)
{
    return std::none_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.unicode() < 0x20; });
}

} // namespace

const TCanvas::TDeviceFont &TCanvas::DeviceFont() const
{
    const double scale = std::abs(ScaleY());
    if (!fDeviceFont.Metrics || fDeviceFont.Scale != scale ||
        !SameGlyphs(fDeviceFont.Font, fFont)) {
        fDeviceFont.Font.Assign(fFont);
        fDeviceFont.Scale = scale;
        fDeviceFont.QtFont = fFont.ToQFont(scale);
        fDeviceFont.Key = fDeviceFont.QtFont.key();
        fDeviceFont.Metrics.emplace(fDeviceFont.QtFont);
        fDeviceFont.Advances.clear();
        fDeviceFont.AdvancesBytes = 0;
    }
    return fDeviceFont;
}

int TCanvas::DrawnAdvance(const QString &text) const
{
    const TDeviceFont &font = DeviceFont();
    return ShapedTexts().Get(font.Key, font.QtFont, *font.Metrics, text).Advance;
}

int TCanvas::DeviceAdvance(const QString &text) const
{
    // Room for the captions of a few hundred thousand marks, bounded in bytes rather than
    // entries so that measuring ever new or very long texts does not hoard memory. An entry
    // costs its characters and about this much besides.
    constexpr qsizetype kMaxAdvancesBytes = qsizetype(32) << 20;
    constexpr qsizetype kEntryOverhead = 64;
    const TDeviceFont &font = DeviceFont();
    const auto known = font.Advances.find(text);
    if (known != font.Advances.end())
        return known->second;
    const int advance = font.Metrics->horizontalAdvance(text);
    const qsizetype bytes = text.size() * qsizetype(sizeof(QChar)) + kEntryOverhead;
    if (bytes > kMaxAdvancesBytes / 4)
        return advance;
    if (fDeviceFont.AdvancesBytes + bytes > kMaxAdvancesBytes) {
        fDeviceFont.Advances.clear();
        fDeviceFont.AdvancesBytes = 0;
    }
    fDeviceFont.Advances.emplace(text, advance);
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
    FlushRun();
    const TDeviceFont &font = DeviceFont();
    // A recording keeps the text as text; a turned or right-to-left line, or one drawn through a
    // scaling (a screen at a scale above 1), is laid out anew.
    if (!fVectorRecording && !rightToLeft && fFont.Orientation() == 0 && PlainLine(text) &&
        fPainter->deviceTransform().type() <= QTransform::TxTranslate) {
        const TShapedText &shaped = ShapedTexts().Get(font.Key, font.QtFont, *font.Metrics, text);
        const QRect cell(topLeft, QSize(shaped.Advance, font.Metrics->height()));
        fPainter->setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (fBrush.Style() != bsClear)
            fPainter->fillRect(cell, ColorToQColor(fBrush.Color()));
        // The glyphs carry their font; the pen gives their colour. The same glyphs at the same
        // places as the painter's own layout of the line gives them.
        fPainter->setPen(ColorToQColor(fFont.Color()));
        fApplied.PenOnPainter = false;
        for (const QGlyphRun &glyphs : shaped.Glyphs)
            fPainter->drawGlyphRun(cell.topLeft(), glyphs);
        return;
    }
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
        lines =
            (flags & DT_SINGLELINE) || PlainLine(shown) ? QStringList{shown} : SplitLines(shown);

    const QFontMetrics &metrics = *DeviceFont().Metrics;
    const int height = static_cast<int>(std::min<int64_t>(
        static_cast<int64_t>(metrics.height()) * lines.size(), std::numeric_limits<int>::max()));
    const int32_t logicalHeight = ToLogical(height, ScaleY());

    if (flags & DT_CALCRECT) {
        int width = 0;
        for (const QString &line : lines)
            width = std::max(width, DeviceAdvance(line));
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

    const bool clipped = !(flags & DT_NOCLIP);
    if (clipped) {
        fPainter->save();
        const QRect clip(QPoint(left, top), QPoint(right - 1, bottom - 1));
        fPainter->setClipRect(clip, fPainter->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    const bool rightToLeft = (flags & DT_RTLREADING) != 0;
    for (const QString &line : lines) {
        const int lineWidth = DrawnAdvance(line);
        int x = left;
        if (flags & DT_CENTER)
            x = left + (right - left - lineWidth) / 2;
        else if (flags & DT_RIGHT)
            x = right - lineWidth;
        DrawTextLine(QPoint(x, y), line, rightToLeft);
        y += metrics.height();
    }
    if (clipped) {
        // The clip goes; the pen the lines set stays, as it does without one.
        fPainter->restore();
        fApplied.PenOnPainter = false;
    }
    return logicalHeight;
}

} // namespace talivo
