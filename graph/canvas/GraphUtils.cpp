#include "graph/canvas/GraphUtils.h"

#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace talivo {

namespace {

// Callers pass high explicitly; an index beyond the array would read or write foreign memory.
int LastIndex(const TPoints &points, int high)
{
    return static_cast<int>(std::min<int64_t>(high, static_cast<int64_t>(points.size()) - 1));
}

int32_t Half(int64_t sum)
{
    return static_cast<int32_t>(sum / 2);
}

} // namespace

bool IsBetween(int32_t value, int32_t bound1, int32_t bound2)
{
    if (bound1 <= bound2)
        return value >= bound1 && value <= bound2;
    return value >= bound2 && value <= bound1;
}

bool EqualPoint(const TPoint &pt1, const TPoint &pt2)
{
    return pt1.X == pt2.X && pt1.Y == pt2.Y;
}

void OffsetPoints(TPoints &points, int high, int32_t dx, int32_t dy)
{
    const int last = LastIndex(points, high);
    for (int i = 0; i <= last; ++i) {
        points[i].X = AddWrapped(points[i].X, dx);
        points[i].Y = AddWrapped(points[i].Y, dy);
    }
}

void ShiftPoints(TPoints &points, int high, int32_t dx, int32_t dy, const TPoint &org)
{
    const int last = LastIndex(points, high);
    for (int i = 0; i <= last; ++i) {
        TPoint &p = points[i];
        if (p.X < org.X)
            p.X = AddWrapped(p.X, -int64_t{dx});
        else if (p.X > org.X)
            p.X = AddWrapped(p.X, dx);
        if (p.Y < org.Y)
            p.Y = AddWrapped(p.Y, -int64_t{dy});
        else if (p.Y > org.Y)
            p.Y = AddWrapped(p.Y, dy);
    }
}

void RotatePoints(TPoints &points, int high, double angle, const TPoint &org)
{
    const double a = NormalizeAngle(angle);
    const double s = std::sin(a);
    const double c = std::cos(a);
    const int last = LastIndex(points, high);
    for (int i = 0; i <= last; ++i) {
        const double dx = static_cast<double>(int64_t{points[i].X} - org.X);
        const double dy = static_cast<double>(int64_t{points[i].Y} - org.Y);
        points[i].X = AddWrapped(org.X, Nearest(dx * c - dy * s));
        points[i].Y = AddWrapped(org.Y, Nearest(dx * s + dy * c));
    }
}

void ScalePoints(TPoints &points, int high, double factor, const TPoint &org)
{
    const int last = LastIndex(points, high);
    for (int i = 0; i <= last; ++i) {
        const TPoint p = points[i];
        points[i] = NextPointOfLine(LineSlopeAngle(p, org), org, LineLength(p, org) * factor);
    }
}

void TransformPoints(TPoints &points, int high, const XFORM &xForm)
{
    const int last = LastIndex(points, high);
    for (int i = 0; i <= last; ++i) {
        const double x = points[i].X;
        const double y = points[i].Y;
        points[i].X = Nearest(x * xForm.eM11 + y * xForm.eM21 + xForm.eDx);
        points[i].Y = Nearest(x * xForm.eM12 + y * xForm.eM22 + xForm.eDy);
    }
}

TPoint CenterOfPoints(const TPoints &points, int high)
{
    const int last = LastIndex(points, high);
    if (last < 0)
        return {};
    // The mean always fits 32 bits even when the sum does not.
    int64_t sumX = 0;
    int64_t sumY = 0;
    for (int i = 0; i <= last; ++i) {
        sumX += points[i].X;
        sumY += points[i].Y;
    }
    const int64_t count = int64_t{last} + 1;
    return {static_cast<int32_t>(sumX / count), static_cast<int32_t>(sumY / count)};
}

TRect BoundsRectOfPoints(const TPoints &points, int high)
{
    constexpr int32_t maxInt = std::numeric_limits<int32_t>::max();
    TRect r{maxInt, maxInt, -maxInt, -maxInt};
    const int last = LastIndex(points, high);
    for (int i = 0; i <= last; ++i) {
        r.Left = std::min(r.Left, points[i].X);
        r.Top = std::min(r.Top, points[i].Y);
        r.Right = std::max(r.Right, points[i].X);
        r.Bottom = std::max(r.Bottom, points[i].Y);
    }
    return r;
}

int NearestPoint(const TPoints &points, int high, const TPoint &pt, TPoint &nearestPt)
{
    // Squared distances compared exactly: they need up to 65 bits.
    using Wide = unsigned __int128;
    const auto squaredDistance = [&pt](const TPoint &p) {
        const auto dx = static_cast<Wide>(std::abs(int64_t{p.X} - pt.X));
        const auto dy = static_cast<Wide>(std::abs(int64_t{p.Y} - pt.Y));
        return dx * dx + dy * dy;
    };
    int found = -1;
    Wide best = 0;
    const int last = LastIndex(points, high);
    for (int i = 0; i <= last; ++i) {
        const Wide d = squaredDistance(points[i]);
        if (found < 0 || d < best) {
            found = i;
            best = d;
        }
    }
    if (found >= 0)
        nearestPt = points[found];
    return found;
}

TRect MakeSquare(const TPoint &center, int32_t size)
{
    return {AddWrapped(center.X, -int64_t{size}), AddWrapped(center.Y, -int64_t{size}),
            AddWrapped(center.X, size), AddWrapped(center.Y, size)};
}

TRect MakeRect(const TPoint &pt1, const TPoint &pt2)
{
    return {std::min(pt1.X, pt2.X), std::min(pt1.Y, pt2.Y), std::max(pt1.X, pt2.X),
            std::max(pt1.Y, pt2.Y)};
}

TPoint CenterOfRect(const TRect &rect)
{
    return {Half(int64_t{rect.Left} + rect.Right), Half(int64_t{rect.Top} + rect.Bottom)};
}

void UnionRect(TRect &rect1, const TRect &rect2)
{
    rect1.Left = std::min(rect1.Left, rect2.Left);
    rect1.Top = std::min(rect1.Top, rect2.Top);
    rect1.Right = std::max(rect1.Right, rect2.Right);
    rect1.Bottom = std::max(rect1.Bottom, rect2.Bottom);
}

void IntersectRect(TRect &rect1, const TRect &rect2)
{
    rect1.Left = std::max(rect1.Left, rect2.Left);
    rect1.Top = std::max(rect1.Top, rect2.Top);
    rect1.Right = std::min(rect1.Right, rect2.Right);
    rect1.Bottom = std::min(rect1.Bottom, rect2.Bottom);
}

bool OverlappedRect(const TRect &rect1, const TRect &rect2)
{
    return !(rect1.Right < rect2.Left || rect2.Right < rect1.Left || rect1.Bottom < rect2.Top ||
             rect2.Bottom < rect1.Top);
}

QRegion TransformRgn(const QRegion &rgn, const XFORM &xForm)
{
    const auto map = [&xForm](double x, double y) {
        return QPoint(Nearest(x * xForm.eM11 + y * xForm.eM21 + xForm.eDx),
                      Nearest(x * xForm.eM12 + y * xForm.eM22 + xForm.eDy));
    };
    const bool axisAligned = xForm.eM12 == 0.0f && xForm.eM21 == 0.0f;
    QRegion result;
    for (const QRect &r : rgn) {
        // Right and bottom edges are exclusive, as in graph rectangles.
        const double left = r.left();
        const double top = r.top();
        const double right = int64_t{r.left()} + r.width();
        const double bottom = int64_t{r.top()} + r.height();
        if (axisAligned) {
            const QPoint p1 = map(left, top);
            const QPoint p2 = map(right, bottom);
            const int x1 = std::min(p1.x(), p2.x());
            const int x2 = std::max(p1.x(), p2.x());
            const int y1 = std::min(p1.y(), p2.y());
            const int y2 = std::max(p1.y(), p2.y());
            if (x1 < x2 && y1 < y2)
                result += QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1));
        } else {
            const QPolygon corners{map(left, top), map(right, top), map(right, bottom),
                                   map(left, bottom)};
            result += QRegion(corners, Qt::WindingFill);
        }
    }
    return result;
}

} // namespace talivo
