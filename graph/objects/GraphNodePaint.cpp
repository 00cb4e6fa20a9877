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

TRect OffsetRect(const TRect &Rect, int64_t dX, int64_t dY)
{
    return {AddWrapped(Rect.Left, dX), AddWrapped(Rect.Top, dY), AddWrapped(Rect.Right, dX),
            AddWrapped(Rect.Bottom, dY)};
}

// Length * Percent / 100 with a 64-bit product, rounded to the nearest, ties to even.
int64_t PercentOf(int32_t Length, int32_t Percent)
{
    const int64_t product = int64_t{Length} * Percent;
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
    static TCompatibleCanvas *const Canvas = new TCompatibleCanvas;
    return *Canvas;
}

} // namespace

void TGraphNode::UpdateTextPlacement(bool Recalc, int32_t dX, int32_t dY)
{
    if (Recalc)
        fTextUnplaced = true;
    else if (!fTextUnplaced)
        fTextRect = OffsetRect(fTextRect, dX, dY);
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

    int64_t dX = 0;
    if (fAlignment == taRightJustify)
        dX = int64_t{maxRect.Right} - rect.Right;
    else if (fAlignment == taCenter)
        dX = (int64_t{maxRect.Right} - rect.Right) / 2;
    int64_t dY = 0;
    if (fLayout == tlBottom)
        dY = int64_t{maxRect.Bottom} - rect.Bottom;
    else if (fLayout == tlCenter)
        dY = (int64_t{maxRect.Bottom} - rect.Bottom) / 2;
    return OffsetRect(rect, fLeft + dX, fTop + dY);
}

void TGraphNode::DrawText(TCanvas &Canvas)
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
    const TBrushStyle brushStyle = Canvas.Brush().Style();
    Canvas.Brush().SetStyle(bsClear);
    TRect rect = TextRect();
    Canvas.DrawText(TextToShow(), rect, flags);
    Canvas.Brush().SetStyle(brushStyle);
}

void TGraphNode::DrawBody(TCanvas &Canvas)
{
    DrawBorder(Canvas);
    if (fNodeOptions.Contains(gnoShowBackground))
        DrawBackground(Canvas);
}

void TGraphNode::DrawHighlight(TCanvas &Canvas)
{
    DrawBorder(Canvas);
}

void TGraphNode::DrawControlPoints(TCanvas &Canvas)
{
    const bool resizable = !Host().LockNodes() && IsResizable();
    for (uint32_t zone : kMarkerDrawOrder)
        DrawControlPoint(Canvas, MarkerCenter(zone), resizable);
}

QRegion TGraphNode::CreateClipRgn(const TCanvas &Canvas) const
{
    const double scaleX = static_cast<double>(Canvas.ViewportExt().cx) / Canvas.WindowExt().cx;
    const double scaleY = static_cast<double>(Canvas.ViewportExt().cy) / Canvas.WindowExt().cy;
    XFORM transform;
    transform.eM11 = static_cast<float>(scaleX);
    transform.eM22 = static_cast<float>(scaleY);
    transform.eDx = static_cast<float>(Canvas.ViewportOrg().X - Canvas.WindowOrg().X * scaleX);
    transform.eDy = static_cast<float>(Canvas.ViewportOrg().Y - Canvas.WindowOrg().Y * scaleY);
    return TransformRgn(Region(), transform);
}

void TGraphNode::DrawBackground(TCanvas &Canvas)
{
    if (fBackground.IsEmpty())
        return;
    const TRect &margins = fBackgroundMargins;
    const TRect target = {AddWrapped(fLeft, PercentOf(fWidth, margins.Left)),
                          AddWrapped(fTop, PercentOf(fHeight, margins.Top)),
                          AddWrapped(Right(), -PercentOf(fWidth, margins.Right)),
                          AddWrapped(Bottom(), -PercentOf(fHeight, margins.Bottom))};
    QRegion clip = CreateClipRgn(Canvas);
    if (Canvas.HasClip()) {
        const TRect box = Canvas.LPtoDP(Canvas.ClipRect());
        clip &= QRect(QPoint(std::min(box.Left, box.Right), std::min(box.Top, box.Bottom)),
                      QPoint(std::max(box.Left, box.Right) - 1, std::max(box.Top, box.Bottom) - 1));
    }
    Canvas.SaveState();
    Canvas.SetClipRegion(clip);
    Canvas.StretchDraw(target, fBackground.Image());
    Canvas.RestoreState();
    // The outline goes on top of the picture.
    Canvas.Brush().SetStyle(bsClear);
    DrawBorder(Canvas);
}

} // namespace talivo
