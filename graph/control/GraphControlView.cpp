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
double ClampZoom(double value, double current)
{
    return std::isnan(value) ? current : std::clamp(value, MinZoom, MaxZoom);
}

// a * b / c rounded half away from zero, -1 for a zero divisor, as the system's MulDiv.
int32_t MulDiv(int64_t a, int64_t b, int64_t c)
{
    if (c == 0)
        return -1;
    const int64_t product = a * b;
    const int64_t half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
    return ClampToInt32(negative ? -magnitude : magnitude);
}

// A graph coordinate in client pixels at the zoom, before scrolling.
int32_t ZoomedPixels(int32_t coordinate, double zoom)
{
    return ClampToInt32(std::llrint(coordinate * zoom / 100));
}

// Restores a flag on every way out of a scope.
class TFlagGuard {
public:
    explicit TFlagGuard(bool &flag) : fFlag(flag), fOld(flag) { fFlag = true; }
    ~TFlagGuard() { fFlag = fOld; }
    TFlagGuard(const TFlagGuard &) = delete;
    TFlagGuard &operator=(const TFlagGuard &) = delete;

private:
    bool &fFlag;
    bool fOld;
};

} // namespace

std::unique_ptr<TGraphScrollBar> TGraphControl::CreateScrollBar(TScrollBarKind kind)
{
    auto bar = std::make_unique<TGraphScrollBar>(this, kind);
    bar->SetSmooth(true);
    bar->SetTracking(true);
    return bar;
}

void TGraphControl::AdjustDC(TCanvas &canvas, const TPoint *origin) const
{
    const TPoint org = origin ? *origin : TPoint{};
    canvas.SetViewportOrg({ClampToInt32(-(int64_t{org.X} + fHorzScrollBar->Position())),
                           ClampToInt32(-(int64_t{org.Y} + fVertScrollBar->Position()))});
    canvas.SetWindowExt({1000, 1000});
    const int32_t v = Nearest(fZoom * 10);
    canvas.SetViewportExt({v, v});
}

void TGraphControl::GPToCP(TPoint *points, int32_t count) const
{
    AdjustDC(fMappingCanvas);
    for (int32_t i = 0; i < count; ++i)
        points[i] = fMappingCanvas.LPtoDP(points[i]);
}

void TGraphControl::CPToGP(TPoint *points, int32_t count) const
{
    AdjustDC(fMappingCanvas);
    for (int32_t i = 0; i < count; ++i)
        points[i] = fMappingCanvas.DPtoLP(points[i]);
}

TPoint TGraphControl::ClientToGraph(int32_t x, int32_t y) const
{
    TPoint pt{x, y};
    CPToGP(&pt, 1);
    return pt;
}

TPoint TGraphControl::GraphToClient(int32_t x, int32_t y) const
{
    TPoint pt{x, y};
    GPToCP(&pt, 1);
    return pt;
}

TPoint TGraphControl::ScreenToGraph(int32_t x, int32_t y) const
{
    const QPoint client = viewport()->mapFromGlobal(QPoint(x, y));
    return ClientToGraph(client.x(), client.y());
}

TPoint TGraphControl::GraphToScreen(int32_t x, int32_t y) const
{
    const TPoint client = GraphToClient(x, y);
    const QPoint screen = viewport()->mapToGlobal(QPoint(client.X, client.Y));
    return {screen.x(), screen.y()};
}

TPoint TGraphControl::CursorPos() const
{
    const QPoint screen = QCursor::pos();
    return ScreenToGraph(screen.x(), screen.y());
}

void TGraphControl::SetCursorPos(const TPoint &pt)
{
    const TPoint screen = GraphToScreen(pt.X, pt.Y);
    QCursor::setPos(screen.X, screen.Y);
}

TRect TGraphControl::VisibleBounds() const
{
    TPoint corners[2] = {{0, 0}, {viewport()->width(), viewport()->height()}};
    CPToGP(corners, 2);
    return {corners[0].X, corners[0].Y, corners[1].X, corners[1].Y};
}

void TGraphControl::SetZoom(double value)
{
    value = ClampZoom(value, fZoom);
    if (value != fZoom) {
        fZoom = value;
        CalcAutoRange();
        Invalidate();
        DoZoomChange();
    }
}

bool TGraphControl::ChangeZoom(double newZoom, TGraphZoomOrigin origin)
{
    newZoom = ClampZoom(newZoom, fZoom);
    if (newZoom == fZoom)
        return false;
    {
        const TUpdateBatch batch(*this);
        const bool keepsView = origin == zoTopLeft || origin == zoCenter;
        const TRect oldView = keepsView ? VisibleBounds() : TRect{};
        const TPoint oldCursor = keepsView ? TPoint{} : CursorPos();
        fZoom = newZoom;
        CalcAutoRange();
        switch (origin) {
        case zoTopLeft:
            ScrollInView(oldView);
            break;
        case zoCenter:
            ScrollCenter(oldView);
            break;
        case zoCursor: {
            const TPoint newCursor = CursorPos();
            const int32_t scale = Nearest(fZoom);
            if (fHorzScrollBar->IsScrollBarVisible())
                fHorzScrollBar->SetPosition(
                    ClampToInt32(int64_t{fHorzScrollBar->Position()} -
                                 MulDiv(int64_t{newCursor.X} - oldCursor.X, scale, 100)));
            if (fVertScrollBar->IsScrollBarVisible())
                fVertScrollBar->SetPosition(
                    ClampToInt32(int64_t{fVertScrollBar->Position()} -
                                 MulDiv(int64_t{newCursor.Y} - oldCursor.Y, scale, 100)));
            break;
        }
        case zoCursorCenter:
            ScrollCenter(oldCursor);
            break;
        }
        Invalidate();
        DoZoomChange();
    }
    return true;
}

bool TGraphControl::ChangeZoomBy(double delta, TGraphZoomOrigin origin)
{
    return ChangeZoom(fZoom + delta, origin);
}

bool TGraphControl::ChangeZoomPosition(double newZoom, const TPoint &pt)
{
    newZoom = ClampZoom(newZoom, fZoom);
    if (newZoom == fZoom)
        return false;
    {
        const TUpdateBatch batch(*this);
        fZoom = newZoom;
        CalcAutoRange();
        ScrollCenter(TRect{pt.X, pt.Y, pt.X, pt.Y});
        Invalidate();
        DoZoomChange();
    }
    return true;
}

bool TGraphControl::ZoomRect(const TRect &rect)
{
    int32_t clientWidth = viewport()->width();
    int32_t clientHeight = viewport()->height();
    // The room of a shown scroll bar is left out once more, a margin that keeps the fitted
    // rectangle clear of the bars.
    if (fVertScrollBar->IsScrollBarVisible())
        clientWidth -= ScrollBarExtent();
    if (fHorzScrollBar->IsScrollBarVisible())
        clientHeight -= ScrollBarExtent();
    const int32_t zoomX = MulDiv(100, clientWidth, int64_t{rect.Right} - rect.Left);
    const int32_t zoomY = MulDiv(100, clientHeight, int64_t{rect.Bottom} - rect.Top);
    SetZoom(std::min(zoomX, zoomY));
    ScrollCenter(rect);
    return fZoom == zoomX || fZoom == zoomY;
}

bool TGraphControl::ZoomObject(const TGraphObject *graphObject)
{
    return graphObject && ZoomRect(graphObject->VisualRect());
}

bool TGraphControl::ZoomSelection()
{
    return SelectedObjects().Count() > 0 && ZoomRect(SelectionBounds());
}

bool TGraphControl::ZoomGraph()
{
    return Objects().Count() > 0 && ZoomRect(GraphBounds());
}

void TGraphControl::ScrollInView(const TGraphObject *graphObject)
{
    if (graphObject)
        ScrollInView(graphObject->SelectedVisualRect());
}

void TGraphControl::ScrollInView(const TRect &rect)
{
    const TRect visible = VisibleBounds();
    TPoint pt = rect.TopLeft();
    if (int64_t{rect.Right} - rect.Left <= int64_t{visible.Right} - visible.Left &&
        visible.Right < rect.Right)
        pt.X = rect.Right;
    if (int64_t{rect.Bottom} - rect.Top <= int64_t{visible.Bottom} - visible.Top &&
        visible.Bottom < rect.Bottom)
        pt.Y = rect.Bottom;
    ScrollInView(pt);
}

void TGraphControl::ScrollInView(const TPoint &pt)
{
    const auto follow = [](TGraphScrollBar &bar, int32_t pixel, int32_t clientExtent) {
        if (!bar.IsScrollBarVisible())
            return;
        if (pixel < bar.Position())
            bar.SetPosition(pixel);
        else if (int64_t{pixel} > int64_t{bar.Position()} + clientExtent)
            bar.SetPosition(ClampToInt32(int64_t{pixel} - clientExtent));
    };
    follow(*fHorzScrollBar, ZoomedPixels(pt.X, fZoom), viewport()->width());
    follow(*fVertScrollBar, ZoomedPixels(pt.Y, fZoom), viewport()->height());
}

void TGraphControl::ScrollCenter(const TGraphObject *graphObject)
{
    if (graphObject)
        ScrollCenter(graphObject->VisualRect());
}

void TGraphControl::ScrollCenter(const TRect &rect)
{
    ScrollCenter(TPoint{static_cast<int32_t>((int64_t{rect.Left} + rect.Right) / 2),
                        static_cast<int32_t>((int64_t{rect.Top} + rect.Bottom) / 2)});
}

void TGraphControl::ScrollCenter(const TPoint &pt)
{
    if (fHorzScrollBar->IsScrollBarVisible())
        fHorzScrollBar->SetPosition(
            ClampToInt32(int64_t{ZoomedPixels(pt.X, fZoom)} - viewport()->width() / 2));
    if (fVertScrollBar->IsScrollBarVisible())
        fVertScrollBar->SetPosition(
            ClampToInt32(int64_t{ZoomedPixels(pt.Y, fZoom)} - viewport()->height() / 2));
}

void TGraphControl::ScrollBy(int32_t deltaX, int32_t deltaY)
{
    if (deltaX == 0 && deltaY == 0)
        return;
    // The mapping scales, so the shifted pixels are not what a fresh paint gives: the shift only
    // carries child widgets along, and the whole viewport is painted again at once.
    QWidget *client = viewport();
    client->scroll(deltaX, deltaY);
    client->repaint();
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
    if (fDestroying || !isVisible())
        return;
    TFlagGuard guard(UpdatingScrollBars);
    // Showing or hiding a bar resizes the client at once, and that may ask for another round;
    // two more rounds settle any such change, so the loop cannot go on forever.
    for (int round = 0; round < 3; ++round) {
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
        if (!ScrollBarsPending)
            break;
    }
    ScrollBarsPending = false;
}

void TGraphControl::CalcAutoRange()
{
    fHorzScrollBar->CalcAutoRange();
    fVertScrollBar->CalcAutoRange();
}

void TGraphControl::resizeEvent(QResizeEvent *event)
{
    // A resize caused by a scroll bar that UpdateScrollBars shows or hides is finished there;
    // the ranges do not depend on the client size.
    if (UpdatingScrollBars) {
        ScrollBarsPending = true;
        QAbstractScrollArea::resizeEvent(event);
        return;
    }
    ++AutoRangeCount;
    CalcAutoRange();
    --AutoRangeCount;
    if (fHorzScrollBar->Visible() || fVertScrollBar->Visible())
        UpdateScrollBars();
    QAbstractScrollArea::resizeEvent(event);
}

void TGraphControl::showEvent(QShowEvent *event)
{
    // Ranges that changed while the control was hidden reach the scroll bars now.
    QAbstractScrollArea::showEvent(event);
    UpdateScrollBars();
}

void TGraphControl::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::LayoutDirectionChange)
        fHorzScrollBar->ChangeBiDiPosition();
}

} // namespace talivo
