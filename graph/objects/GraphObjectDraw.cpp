#include "graph/objects/GraphObject.h"

#include "graph/canvas/GraphUtils.h"
#include "graph/objects/GraphDocument.h"

namespace talivo {

bool TGraphObject::IsVisibleOn(const TCanvas &Canvas) const
{
    if (!Showing()) {
        return false;
    }
    if (Canvas.IsVectorRecording()) {
        return true;
    }
    TRect Area = GetSelectedVisualRect();
    IntersectRect(Area, Canvas.ClipRect());
    return !Area.IsEmpty();
}

void TGraphObject::Draw(TCanvas &Canvas)
{
    if (!IsVisibleOn(Canvas)) {
        return;
    }
    Canvas.Brush().Assign(fBrush);
    Canvas.Pen().Assign(fPen);
    Canvas.Font().Assign(fFont);
    Host().DoObjectBeforeDraw(Canvas, this);
    DrawBody(Canvas);
    if (fOptions.Contains(goShowCaption)) {
        DrawText(Canvas);
    }
    Host().DoObjectAfterDraw(Canvas, this);
}

void TGraphObject::DrawState(TCanvas &Canvas)
{
    if (!IsVisibleOn(Canvas)) {
        return;
    }
    if (Dragging()) {
        const int32_t Width = fPen.Width();
        Canvas.Brush().SetStyle(bsClear);
        Canvas.Pen().SetMode(pmNot);
        Canvas.Pen().SetStyle(psSolid);
        Canvas.Pen().SetWidth(Width >= 2 ? (Width - 1) / 2 : Width + 2);
        DrawHighlight(Canvas);
    } else if (fSelected) {
        Canvas.Pen().SetWidth(1);
        Canvas.Pen().SetMode(pmCopy);
        Canvas.Pen().SetStyle(psInsideFrame);
        Canvas.Pen().SetColor(Host().MarkerColor());
        Canvas.Brush().SetColor(Host().Color());
        Canvas.Brush().SetStyle(Host().MarkerStyle());
        const TCanvas::TRectangleRun run(Canvas);
        DrawControlPoints(Canvas);
    }
}

void TGraphObject::DrawControlPoint(TCanvas &Canvas, const TPoint &Pt, bool Resizable) const
{
    TRect R = MakeSquare(Pt, Host().MarkerSize());
    Canvas.Rectangle(R);
    if (!Resizable) {
        R = {R.Left + 2, R.Top + 2, R.Right - 2, R.Bottom - 2};
        Canvas.Rectangle(R);
    }
}

} // namespace talivo
