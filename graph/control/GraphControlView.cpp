#include "graph/control/GraphControl.h"

#include "graph/canvas/GraphUtils.h"

#include <QCursor>
#include <QEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace talivo {

namespace {

constexpr double MinZoom = 0.1;
constexpr double MaxZoom = 32767;

// A value that is no number would make every conversion meaningless: it leaves the zoom as it
// is.
double ClampZoom(double Value, double Current)
{
    return std::isnan(Value) ? Current : std::clamp(Value, MinZoom, MaxZoom);
}

// a * b / c rounded half away from zero, -1 for a zero divisor, as the system's MulDiv.
int32_t MulDiv(int64_t a, int64_t b, int64_t c)
{
    if (c == 0) {
        return -1;
    }
    const int64_t Product = a * b;
    const int64_t Half = std::llabs(c) / 2;
    const bool Negative = (Product < 0) != (c < 0);
    const int64_t Magnitude = (std::llabs(Product) + Half) / std::llabs(c);
    return ClampToInt32(Negative ? -Magnitude : Magnitude);
}

// A graph coordinate in client pixels at the zoom, before scrolling.
int32_t ZoomedPixels(int32_t Coordinate, double Zoom)
{
    return ClampToInt32(std::llrint(Coordinate * Zoom / 100));
}

// Restores a flag on every way out of a scope.
class TFlagGuard {
public:
    explicit TFlagGuard(bool &Flag) : fFlag(Flag), fOld(Flag) { fFlag = true; }
    ~TFlagGuard() { fFlag = fOld; }
    TFlagGuard(const TFlagGuard &) = delete;
    TFlagGuard &operator=(const TFlagGuard &) = delete;

private:
    bool &fFlag;
    bool fOld;
};

} // namespace

std::unique_ptr<TGraphScrollBar> TGraphControl::CreateScrollBar(TScrollBarKind Kind)
{
    auto Bar = std::make_unique<TGraphScrollBar>(this, Kind);
    Bar->SetSmooth(true);
    Bar->SetTracking(true);
    return Bar;
}

void TGraphControl::AdjustDC(TCanvas &Canvas, const TPoint *Origin) const
{
    const TPoint Org = Origin ? *Origin : TPoint{};
    Canvas.SetViewportOrg({ClampToInt32(-(int64_t{Org.X} + fHorzScrollBar->Position())),
                           ClampToInt32(-(int64_t{Org.Y} + fVertScrollBar->Position()))});
    Canvas.SetWindowExt({1000, 1000});
    const int32_t V = Nearest(fZoom * 10);
    Canvas.SetViewportExt({V, V});
}

void TGraphControl::GPToCP(TPoint *Points, int32_t Count) const
{
    AdjustDC(fMappingCanvas);
    for (int32_t I = 0; I < Count; ++I) {
        Points[I] = fMappingCanvas.LPtoDP(Points[I]);
    }
}

void TGraphControl::CPToGP(TPoint *Points, int32_t Count) const
{
    AdjustDC(fMappingCanvas);
    for (int32_t I = 0; I < Count; ++I) {
        Points[I] = fMappingCanvas.DPtoLP(Points[I]);
    }
}

TPoint TGraphControl::ClientToGraph(int32_t X, int32_t Y) const
{
    TPoint Pt{X, Y};
    CPToGP(&Pt, 1);
    return Pt;
}

TPoint TGraphControl::GraphToClient(int32_t X, int32_t Y) const
{
    TPoint Pt{X, Y};
    GPToCP(&Pt, 1);
    return Pt;
}

TPoint TGraphControl::ScreenToGraph(int32_t X, int32_t Y) const
{
    const QPoint Client = viewport()->mapFromGlobal(QPoint(X, Y));
    return ClientToGraph(Client.x(), Client.y());
}

TPoint TGraphControl::GraphToScreen(int32_t X, int32_t Y) const
{
    const TPoint Client = GraphToClient(X, Y);
    const QPoint Screen = viewport()->mapToGlobal(QPoint(Client.X, Client.Y));
    return {Screen.x(), Screen.y()};
}

TPoint TGraphControl::CursorPos() const
{
    const QPoint Screen = QCursor::pos();
    return ScreenToGraph(Screen.x(), Screen.y());
}

void TGraphControl::SetCursorPos(const TPoint &Pt)
{
    const TPoint Screen = GraphToScreen(Pt.X, Pt.Y);
    QCursor::setPos(Screen.X, Screen.Y);
}

TRect TGraphControl::VisibleBounds() const
{
    TPoint Corners[2] = {{0, 0}, {viewport()->width(), viewport()->height()}};
    CPToGP(Corners, 2);
    return {Corners[0].X, Corners[0].Y, Corners[1].X, Corners[1].Y};
}

void TGraphControl::SetZoom(double Value)
{
    Value = ClampZoom(Value, fZoom);
    if (Value != fZoom) {
        fZoom = Value;
        CalcAutoRange();
        Invalidate();
        DoZoomChange();
    }
}

bool TGraphControl::ChangeZoom(double NewZoom, TGraphZoomOrigin Origin)
{
    NewZoom = ClampZoom(NewZoom, fZoom);
    if (NewZoom == fZoom) {
        return false;
    }
    {
        const TUpdateBatch batch(*this);
        const bool KeepsView = Origin == zoTopLeft || Origin == zoCenter;
        const TRect OldView = KeepsView ? VisibleBounds() : TRect{};
        const TPoint OldCursor = KeepsView ? TPoint{} : CursorPos();
        fZoom = NewZoom;
        CalcAutoRange();
        switch (Origin) {
        case zoTopLeft:
            ScrollInView(OldView);
            break;
        case zoCenter:
            ScrollCenter(OldView);
            break;
        case zoCursor: {
            const TPoint NewCursor = CursorPos();
            const int32_t Scale = Nearest(fZoom);
            if (fHorzScrollBar->IsScrollBarVisible()) {
                fHorzScrollBar->SetPosition(
                    ClampToInt32(int64_t{fHorzScrollBar->Position()} -
                                 MulDiv(int64_t{NewCursor.X} - OldCursor.X, Scale, 100)));
            }
            if (fVertScrollBar->IsScrollBarVisible()) {
                fVertScrollBar->SetPosition(
                    ClampToInt32(int64_t{fVertScrollBar->Position()} -
                                 MulDiv(int64_t{NewCursor.Y} - OldCursor.Y, Scale, 100)));
            }
            break;
        }
        case zoCursorCenter:
            ScrollCenter(OldCursor);
            break;
        }
        Invalidate();
        DoZoomChange();
    }
    return true;
}

bool TGraphControl::ChangeZoomBy(double Delta, TGraphZoomOrigin Origin)
{
    return ChangeZoom(fZoom + Delta, Origin);
}

bool TGraphControl::ChangeZoomPosition(double NewZoom, const TPoint &Pt)
{
    NewZoom = ClampZoom(NewZoom, fZoom);
    if (NewZoom == fZoom) {
        return false;
    }
    {
        const TUpdateBatch batch(*this);
        fZoom = NewZoom;
        CalcAutoRange();
        ScrollCenter(TRect{Pt.X, Pt.Y, Pt.X, Pt.Y});
        Invalidate();
        DoZoomChange();
    }
    return true;
}

bool TGraphControl::ZoomRect(const TRect &Rect)
{
    int32_t ClientWidth = viewport()->width();
    int32_t ClientHeight = viewport()->height();
    // The room of a shown scroll bar is left out once more, a margin that keeps the fitted
    // rectangle clear of the bars.
    if (fVertScrollBar->IsScrollBarVisible()) {
        ClientWidth -= ScrollBarExtent();
    }
    if (fHorzScrollBar->IsScrollBarVisible()) {
        ClientHeight -= ScrollBarExtent();
    }
    const int32_t ZoomX = MulDiv(100, ClientWidth, int64_t{Rect.Right} - Rect.Left);
    const int32_t ZoomY = MulDiv(100, ClientHeight, int64_t{Rect.Bottom} - Rect.Top);
    SetZoom(std::min(ZoomX, ZoomY));
    ScrollCenter(Rect);
    return fZoom == ZoomX || fZoom == ZoomY;
}

bool TGraphControl::ZoomObject(const TGraphObject *GraphObject)
{
    return GraphObject && ZoomRect(GraphObject->VisualRect());
}

bool TGraphControl::ZoomSelection()
{
    return SelectedObjects().Count() > 0 && ZoomRect(SelectionBounds());
}

bool TGraphControl::ZoomGraph()
{
    return Objects().Count() > 0 && ZoomRect(GraphBounds());
}

void TGraphControl::ScrollInView(const TGraphObject *GraphObject)
{
    if (GraphObject) {
        ScrollInView(GraphObject->SelectedVisualRect());
    }
}

void TGraphControl::ScrollInView(const TRect &Rect)
{
    const TRect Visible = VisibleBounds();
    TPoint Pt = Rect.TopLeft();
    if (int64_t{Rect.Right} - Rect.Left <= int64_t{Visible.Right} - Visible.Left &&
        Visible.Right < Rect.Right) {
        Pt.X = Rect.Right;
    }
    if (int64_t{Rect.Bottom} - Rect.Top <= int64_t{Visible.Bottom} - Visible.Top &&
        Visible.Bottom < Rect.Bottom) {
        Pt.Y = Rect.Bottom;
    }
    ScrollInView(Pt);
}

void TGraphControl::ScrollInView(const TPoint &Pt)
{
    const auto Follow = [](TGraphScrollBar &Bar, int32_t Pixel, int32_t ClientExtent) {
        if (!Bar.IsScrollBarVisible()) {
            return;
        }
        if (Pixel < Bar.Position()) {
            Bar.SetPosition(Pixel);
        } else if (int64_t{Pixel} > int64_t{Bar.Position()} + ClientExtent) {
            Bar.SetPosition(ClampToInt32(int64_t{Pixel} - ClientExtent));
        }
    };
    Follow(*fHorzScrollBar, ZoomedPixels(Pt.X, fZoom), viewport()->width());
    Follow(*fVertScrollBar, ZoomedPixels(Pt.Y, fZoom), viewport()->height());
}

void TGraphControl::ScrollCenter(const TGraphObject *GraphObject)
{
    if (GraphObject) {
        ScrollCenter(GraphObject->VisualRect());
    }
}

void TGraphControl::ScrollCenter(const TRect &Rect)
{
    ScrollCenter(TPoint{static_cast<int32_t>((int64_t{Rect.Left} + Rect.Right) / 2),
                        static_cast<int32_t>((int64_t{Rect.Top} + Rect.Bottom) / 2)});
}

void TGraphControl::ScrollCenter(const TPoint &Pt)
{
    if (fHorzScrollBar->IsScrollBarVisible()) {
        fHorzScrollBar->SetPosition(
            ClampToInt32(int64_t{ZoomedPixels(Pt.X, fZoom)} - viewport()->width() / 2));
    }
    if (fVertScrollBar->IsScrollBarVisible()) {
        fVertScrollBar->SetPosition(
            ClampToInt32(int64_t{ZoomedPixels(Pt.Y, fZoom)} - viewport()->height() / 2));
    }
}

void TGraphControl::ScrollBy(int32_t DeltaX, int32_t DeltaY)
{
    if (DeltaX == 0 && DeltaY == 0) {
        return;
    }
    // The mapping scales, so the shifted pixels are not what a fresh paint gives: the shift only
    // carries child widgets along, and the whole viewport is painted again at once.
    QWidget *Client = viewport();
    Client->scroll(DeltaX, DeltaY);
    Client->repaint();
}

void TGraphControl::scrollContentsBy(int, int) {}

int32_t TGraphControl::ScrollBarExtent() const
{
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

void TGraphControl::UpdateScrollBars()
{
    if (UpdatingScrollBars) {
        ScrollBarsPending = true;
        return;
    }
    if (fDestroying || !isVisible()) {
        return;
    }
    TFlagGuard Guard(UpdatingScrollBars);
    // Showing or hiding a bar resizes the client at once, and that may ask for another round;
    // two more rounds settle any such change, so the loop cannot go on forever.
    for (int Round = 0; Round < 3; ++Round) {
        ScrollBarsPending = false;
        // The bar updated first decides on the other bar's space; the second sees the real
        // client size that the first one's showing or hiding left.
        if (fVertScrollBar->ControlSize(false, false) < fVertScrollBar->Range()) {
            fHorzScrollBar->Update(false, true);
            fVertScrollBar->Update(true, false);
        } else {
            fVertScrollBar->Update(false, fHorzScrollBar->NeedsScrollBarVisible());
            fHorzScrollBar->Update(true, false);
        }
        if (!ScrollBarsPending) {
            break;
        }
    }
    ScrollBarsPending = false;
}

void TGraphControl::CalcAutoRange()
{
    fHorzScrollBar->CalcAutoRange();
    fVertScrollBar->CalcAutoRange();
}

void TGraphControl::resizeEvent(QResizeEvent *Event)
{
    // A resize caused by a scroll bar that UpdateScrollBars shows or hides is finished there;
    // the ranges do not depend on the client size.
    if (UpdatingScrollBars) {
        ScrollBarsPending = true;
        QAbstractScrollArea::resizeEvent(Event);
        return;
    }
    ++AutoRangeCount;
    CalcAutoRange();
    --AutoRangeCount;
    if (fHorzScrollBar->Visible() || fVertScrollBar->Visible()) {
        UpdateScrollBars();
    }
    QAbstractScrollArea::resizeEvent(Event);
}

void TGraphControl::showEvent(QShowEvent *Event)
{
    // Ranges that changed while the control was hidden reach the scroll bars now.
    QAbstractScrollArea::showEvent(Event);
    UpdateScrollBars();
}

void TGraphControl::changeEvent(QEvent *Event)
{
    QAbstractScrollArea::changeEvent(Event);
    if (Event->type() == QEvent::LayoutDirectionChange) {
        fHorzScrollBar->ChangeBiDiPosition();
    }
}

} // namespace talivo
