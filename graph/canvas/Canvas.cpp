#include "graph/canvas/Canvas.h"

#include <QPaintEngine>
#include <QPainter>

#include <algorithm>
#include <limits>

namespace talivo {

namespace {

// A recording has no device bounds; this stands for "everything" while staying clear of overflow
// when mapped.
constexpr int32_t kUnbounded = 1 << 30;

int32_t Saturate(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// nearest(value * numerator / denominator), ties to even, exact for every value that is the
// difference of two 32-bit numbers: its size stays below 2^32 and the numerator's at most 2^31,
// so the product stays below 2^63 and 64 bits hold every step.
int32_t ScaleNearest(int64_t value, int32_t numerator, int32_t denominator)
{
    int64_t n = value * numerator;
    int64_t d = denominator;
    if (d < 0) {
        n = -n;
        d = -d;
    }
    int64_t q = n / d;
    int64_t r = n % d;
    if (r < 0) {
        q -= 1;
        r += d;
    }
    if (2 * r > d || (2 * r == d && (q & 1) != 0))
        q += 1;
    return Saturate(q);
}

int32_t MapCoordinate(int32_t value, int32_t fromOrg, int32_t fromExt, int32_t toOrg, int32_t toExt)
{
    const int32_t scaled = ScaleNearest(static_cast<int64_t>(value) - fromOrg, toExt, fromExt);
    return Saturate(int64_t{scaled} + toOrg);
}

bool IsVectorEngine(const QPaintEngine *engine)
{
    if (engine == nullptr)
        return false;
    switch (engine->type()) {
    case QPaintEngine::Picture:
    case QPaintEngine::SVG:
    case QPaintEngine::Pdf:
        return true;
    default:
        return false;
    }
}

} // namespace

TCanvas::TCanvas() = default;

TCanvas::~TCanvas()
{
    EndPaint();
}

bool TCanvas::BeginPaint(QPaintDevice &device)
{
    EndPaint();
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&device))
        return false;
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->setRenderHint(QPainter::TextAntialiasing, true);
    fVectorRecording = IsVectorEngine(painter->paintEngine());
    fDeviceRect = QRect(0, 0, device.width(), device.height());
    fPainter = std::move(painter);
    fApplied.Valid = false;
    fMapping = TMapping();
    fHasClip = false;
    fClip = QRegion();
    fClipRect.reset();
    fSavedStates.clear();
    return true;
}

void TCanvas::EndPaint()
{
    FlushRun();
    fInRun = false;
    if (fPainter)
        fPainter->end();
    fPainter.reset();
    fClipRect.reset();
    fVectorRecording = false;
    fSavedStates.clear();
}

void TCanvas::SetWindowExt(const TSize &value)
{
    if (value.cx != 0 && value.cy != 0)
        fMapping.WindowExt = value;
}

void TCanvas::SetViewportExt(const TSize &value)
{
    if (value.cx != 0 && value.cy != 0)
        fMapping.ViewportExt = value;
}

TPoint TCanvas::LPtoDP(const TPoint &point) const
{
    const TMapping &m = fMapping;
    return {
        MapCoordinate(point.X, m.WindowOrg.X, m.WindowExt.cx, m.ViewportOrg.X, m.ViewportExt.cx),
        MapCoordinate(point.Y, m.WindowOrg.Y, m.WindowExt.cy, m.ViewportOrg.Y, m.ViewportExt.cy)};
}

TRect TCanvas::LPtoDP(const TRect &rect) const
{
    const TPoint topLeft = LPtoDP(rect.TopLeft());
    const TPoint bottomRight = LPtoDP(rect.BottomRight());
    return {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

TPoint TCanvas::DPtoLP(const TPoint &point) const
{
    const TMapping &m = fMapping;
    return {
        MapCoordinate(point.X, m.ViewportOrg.X, m.ViewportExt.cx, m.WindowOrg.X, m.WindowExt.cx),
        MapCoordinate(point.Y, m.ViewportOrg.Y, m.ViewportExt.cy, m.WindowOrg.Y, m.WindowExt.cy)};
}

TRect TCanvas::DPtoLP(const TRect &rect) const
{
    const TPoint topLeft = DPtoLP(rect.TopLeft());
    const TPoint bottomRight = DPtoLP(rect.BottomRight());
    return {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

double TCanvas::ScaleX() const
{
    return static_cast<double>(fMapping.ViewportExt.cx) / fMapping.WindowExt.cx;
}

double TCanvas::ScaleY() const
{
    return static_cast<double>(fMapping.ViewportExt.cy) / fMapping.WindowExt.cy;
}

QRect TCanvas::DeviceBox(int32_t left, int32_t top, int32_t right, int32_t bottom) const
{
    const TRect d = LPtoDP(TRect{left, top, right, bottom});
    const int l = std::min(d.Left, d.Right);
    const int t = std::min(d.Top, d.Bottom);
    const int r = std::max(d.Left, d.Right);
    const int b = std::max(d.Top, d.Bottom);
    // QRect stores right/bottom as inclusive; build it from corners to avoid its off-by-one.
    return QRect(QPoint(l, t), QPoint(r, b));
}

QRect TCanvas::DeviceArea() const
{
    if (!fPainter)
        return QRect();
    if (fVectorRecording)
        return QRect(QPoint(-kUnbounded, -kUnbounded), QPoint(kUnbounded - 1, kUnbounded - 1));
    return fDeviceRect;
}

void TCanvas::SetClipRegion(const QRegion &deviceRegion)
{
    FlushRun();
    fHasClip = true;
    fClip = deviceRegion;
    fClipRect.reset();
    if (fPainter)
        fPainter->setClipRegion(fClip);
}

void TCanvas::ClearClip()
{
    FlushRun();
    fHasClip = false;
    fClip = QRegion();
    fClipRect.reset();
    if (fPainter)
        fPainter->setClipping(false);
}

TRect TCanvas::ClipRect() const
{
    if (fClipRect && fClipRectMapping == fMapping)
        return *fClipRect;
    QRect area = DeviceArea();
    if (fHasClip && fPainter)
        area &= fClip.boundingRect();
    // QRect's right/bottom are inclusive; the canvas works with excluded edges.
    fClipRect = area.isEmpty()
                    ? TRect()
                    : DPtoLP(TRect{area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    fClipRectMapping = fMapping;
    return *fClipRect;
}

void TCanvas::SaveState()
{
    fSavedStates.push_back({fMapping, fHasClip, fClip});
}

void TCanvas::RestoreState()
{
    if (fSavedStates.empty())
        return;
    const TSavedState state = std::move(fSavedStates.back());
    fSavedStates.pop_back();
    fMapping = state.Mapping;
    if (state.HasClip)
        SetClipRegion(state.Clip);
    else
        ClearClip();
}

} // namespace talivo
