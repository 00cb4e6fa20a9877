#include "graph/objects/GraphNode.h"

#include "graph/canvas/CompatibleCanvas.h"
#include "graph/canvas/TextFit.h"
#include "graph/objects/GraphDocument.h"

#include <algorithm>
#include <array>

namespace talivo {

namespace {

// The order in which the markers are drawn.
constexpr std::array<uint32_t, 8> kMarkerDrawOrder = {
    hzTopLeft, hzTopRight, hzBottomLeft, hzBottomRight, hzBottom, hzRight, hzLeft, hzTop};

TRect OffsetRect(const TRect &rect, int64_t dx, int64_t dy)
{
    return {AddWrapped(rect.Left, dx), AddWrapped(rect.Top, dy), AddWrapped(rect.Right, dx),
            AddWrapped(rect.Bottom, dy)};
}

// length * percent / 100 with a 64-bit product, rounded to the nearest, ties to even.
int64_t PercentOf(int32_t length, int32_t percent)
{
    const int64_t product = int64_t{length} * percent;
    int64_t quotient = product / 100;
    const int64_t remainder = product % 100;
    const int64_t twice = 2 * (remainder < 0 ? -remainder : remainder);
    const int64_t away = product < 0 ? -1 : 1;
    if (twice > 100 || (twice == 100 && quotient % 2 != 0))
        quotient += away;
    return quotient;
}

// Captions are laid out by the thousand (loading a graph, a new point size for every mark). One
// canvas measures them all, so its font's metrics and measured advances carry over from caption
// to caption. It is never destroyed: it would go after the application's fonts.
TCanvas &MeasuringCanvas()
{
    static TCompatibleCanvas *const canvas = new TCompatibleCanvas;
    return *canvas;
}

} // namespace

void TGraphNode::UpdateTextPlacement(bool recalc, int32_t dx, int32_t dy)
{
    if (recalc)
        fTextUnplaced = true;
    else if (!fTextUnplaced)
        fTextRect = OffsetRect(fTextRect, dx, dy);
}

void TGraphNode::SettleText() const
{
    if (!fTextUnplaced)
        return;
    // Placing is part of reading the node's state: it changes no property.
    auto &self = const_cast<TGraphNode &>(*this);
    self.fTextRect = self.QueryTextRect();
    self.fTextUnplaced = false;
}

TRect TGraphNode::QueryMaxTextRect() const
{
    const int32_t penWidth = Pen().Width();
    const int64_t inset =
        int64_t{fMargin} + (Pen().Style() == psInsideFrame ? penWidth : penWidth / 2);
    const TRect bounds = GetBoundsRect();
    return {AddWrapped(bounds.Left, inset), AddWrapped(bounds.Top, inset),
            AddWrapped(bounds.Right, -inset), AddWrapped(bounds.Bottom, -inset)};
}

TRect TGraphNode::QueryTextRect()
{
    SetTextToShow(QString());
    if (Text().isEmpty())
        return TRect();
    // Measured relative to the node's top-left corner.
    const TRect maxRect = OffsetRect(QueryMaxTextRect(), -int64_t{fLeft}, -int64_t{fTop});
    TCanvas &canvas = MeasuringCanvas();
    canvas.Font().Assign(Font());
    // Every line is as high as the font's line: where not even one fits, the caption is empty
    // whatever its text, and the marks too small for their numbers need no measuring.
    const bool noLineFits = canvas.TextHeight(QStringLiteral(" ")) > maxRect.Height();
    const QString shown = noLineFits ? QString() : MinimizeText(canvas, Text(), maxRect);
    SetTextToShow(shown);

    TRect rect = maxRect;
    uint32_t flags = DT_CALCRECT | DT_NOPREFIX | DT_EDITCONTROL;
    if (Host().UseRightToLeftReading())
        flags |= DT_RTLREADING;
    canvas.DrawText(shown, rect, flags);
    rect.Right = std::min(rect.Right, maxRect.Right);
    rect.Bottom = std::min(rect.Bottom, maxRect.Bottom);

    int64_t dx = 0;
    if (fAlignment == taRightJustify)
        dx = int64_t{maxRect.Right} - rect.Right;
    else if (fAlignment == taCenter)
        dx = (int64_t{maxRect.Right} - rect.Right) / 2;
    int64_t dy = 0;
    if (fLayout == tlBottom)
        dy = int64_t{maxRect.Bottom} - rect.Bottom;
    else if (fLayout == tlCenter)
        dy = (int64_t{maxRect.Bottom} - rect.Bottom) / 2;
    return OffsetRect(rect, fLeft + dx, fTop + dy);
}

void TGraphNode::DrawText(TCanvas &canvas)
{
    if (TextToShow().isEmpty())
        return;
    uint32_t flags = DT_NOCLIP | DT_NOPREFIX | DT_EDITCONTROL;
    if (fAlignment == taRightJustify)
        flags |= DT_RIGHT;
    else if (fAlignment == taCenter)
        flags |= DT_CENTER;
    if (fLayout == tlBottom)
        flags |= DT_BOTTOM;
    else if (fLayout == tlCenter)
        flags |= DT_VCENTER;
    if (Host().UseRightToLeftReading())
        flags |= DT_RTLREADING;
    // The caption lies on the shape without a background of its own.
    const TBrushStyle brushStyle = canvas.Brush().Style();
    canvas.Brush().SetStyle(bsClear);
    TRect rect = TextRect();
    canvas.DrawText(TextToShow(), rect, flags);
    canvas.Brush().SetStyle(brushStyle);
}

void TGraphNode::DrawBody(TCanvas &canvas)
{
    DrawBorder(canvas);
    if (fNodeOptions.Contains(gnoShowBackground))
        DrawBackground(canvas);
}

void TGraphNode::DrawHighlight(TCanvas &canvas)
{
    DrawBorder(canvas);
}

void TGraphNode::DrawControlPoints(TCanvas &canvas)
{
    const bool resizable = !Host().LockNodes() && IsResizable();
    for (uint32_t zone : kMarkerDrawOrder)
        DrawControlPoint(canvas, MarkerCenter(zone), resizable);
}

QRegion TGraphNode::CreateClipRgn(const TCanvas &canvas) const
{
    const double scaleX = static_cast<double>(canvas.ViewportExt().cx) / canvas.WindowExt().cx;
    const double scaleY = static_cast<double>(canvas.ViewportExt().cy) / canvas.WindowExt().cy;
    XFORM transform;
    transform.eM11 = static_cast<float>(scaleX);
    transform.eM22 = static_cast<float>(scaleY);
    transform.eDx = static_cast<float>(canvas.ViewportOrg().X - canvas.WindowOrg().X * scaleX);
    transform.eDy = static_cast<float>(canvas.ViewportOrg().Y - canvas.WindowOrg().Y * scaleY);
    return TransformRgn(Region(), transform);
}

void TGraphNode::DrawBackground(TCanvas &canvas)
{
    if (fBackground.IsEmpty())
        return;
    const TRect &margins = fBackgroundMargins;
    const TRect target = {AddWrapped(fLeft, PercentOf(fWidth, margins.Left)),
                          AddWrapped(fTop, PercentOf(fHeight, margins.Top)),
                          AddWrapped(Right(), -PercentOf(fWidth, margins.Right)),
                          AddWrapped(Bottom(), -PercentOf(fHeight, margins.Bottom))};
    QRegion clip = CreateClipRgn(canvas);
    if (canvas.HasClip()) {
        const TRect box = canvas.LPtoDP(canvas.ClipRect());
        clip &= QRect(QPoint(std::min(box.Left, box.Right), std::min(box.Top, box.Bottom)),
                      QPoint(std::max(box.Left, box.Right) - 1, std::max(box.Top, box.Bottom) - 1));
    }
    canvas.SaveState();
    canvas.SetClipRegion(clip);
    canvas.StretchDraw(target, fBackground.Image());
    canvas.RestoreState();
    // The outline goes on top of the picture.
    canvas.Brush().SetStyle(bsClear);
    DrawBorder(canvas);
}

} // namespace talivo
