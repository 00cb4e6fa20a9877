#include "graph/objects/GraphObject.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/objects/GraphDocument.h"

namespace talivo {

bool TGraphObject::IsVisibleOn(const TCanvas &canvas) const
{
    if (!Showing())
        return false;
    if (canvas.IsVectorRecording())
        return true;
    TRect area = GetSelectedVisualRect();
    IntersectRect(area, canvas.ClipRect());
    return !area.IsEmpty();
}

void TGraphObject::Draw(TCanvas &canvas)
{
    if (!IsVisibleOn(canvas))
        return;
    canvas.Brush().Assign(fBrush);
    canvas.Pen().Assign(fPen);
    canvas.Font().Assign(fFont);
    Host().DoObjectBeforeDraw(canvas, this);
    DrawBody(canvas);
    if (fOptions.Contains(goShowCaption))
        DrawText(canvas);
    Host().DoObjectAfterDraw(canvas, this);
}

void TGraphObject::DrawState(TCanvas &canvas)
{
    if (!IsVisibleOn(canvas))
        return;
    if (Dragging()) {
        const int32_t width = fPen.Width();
        canvas.Brush().SetStyle(bsClear);
        canvas.Pen().SetMode(pmNot);
        canvas.Pen().SetStyle(psSolid);
        canvas.Pen().SetWidth(width >= 2 ? (width - 1) / 2 : width + 2);
        DrawHighlight(canvas);
    } else if (fSelected) {
        canvas.Pen().SetWidth(1);
        canvas.Pen().SetMode(pmCopy);
        canvas.Pen().SetStyle(psInsideFrame);
        canvas.Pen().SetColor(Host().MarkerColor());
        canvas.Brush().SetColor(Host().Color());
        canvas.Brush().SetStyle(Host().MarkerStyle());
        const TCanvas::TRectangleRun run(canvas);
        DrawControlPoints(canvas);
    }
}

void TGraphObject::DrawControlPoint(TCanvas &canvas, const TPoint &pt, bool resizable) const
{
    TRect r = MakeSquare(pt, Host().MarkerSize());
    canvas.Rectangle(r);
    if (!resizable) {
        r = {r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
        canvas.Rectangle(r);
    }
}

} // namespace talivo
