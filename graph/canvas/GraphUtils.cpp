#include "graph/canvas/GraphUtils.h"

#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace talivo {

namespace {

// Callers pass High explicitly; an index beyond the array would read or write foreign memory.
int LastIndex(const TPoints &Points, int High)
{
    return static_cast<int>(std::min<int64_t>(High, static_cast<int64_t>(Points.size()) - 1));
}

int32_t Half(int64_t Sum)
{
    return static_cast<int32_t>(Sum / 2);
}

} // namespace

bool IsBetween(int32_t Value, int32_t Bound1, int32_t Bound2)
{
    if (Bound1 <= Bound2)
        return Value >= Bound1 && Value <= Bound2;
    return Value >= Bound2 && Value <= Bound1;
}

bool EqualPoint(const TPoint &Pt1, const TPoint &Pt2)
{
    return Pt1.X == Pt2.X && Pt1.Y == Pt2.Y;
}

void OffsetPoints(TPoints &Points, int High, int32_t dX, int32_t dY)
{
    const int last = LastIndex(Points, High);
    for (int i = 0; i <= last; ++i) {
        Points[i].X = AddWrapped(Points[i].X, dX);
        Points[i].Y = AddWrapped(Points[i].Y, dY);
    }
}

void ShiftPoints(TPoints &Points, int High, int32_t dX, int32_t dY, const TPoint &Org)
{
    const int last = LastIndex(Points, High);
    for (int i = 0; i <= last; ++i) {
        TPoint &p = Points[i];
        if (p.X < Org.X)
            p.X = AddWrapped(p.X, -int64_t{dX});
        else if (p.X > Org.X)
            p.X = AddWrapped(p.X, dX);
        if (p.Y < Org.Y)
            p.Y = AddWrapped(p.Y, -int64_t{dY});
        else if (p.Y > Org.Y)
            p.Y = AddWrapped(p.Y, dY);
    }
}

void RotatePoints(TPoints &Points, int High, double Angle, const TPoint &Org)
{
    const double a = NormalizeAngle(Angle);
    const double s = std::sin(a);
    const double c = std::cos(a);
    const int last = LastIndex(Points, High);
    for (int i = 0; i <= last; ++i) {
        const double dx = static_cast<double>(int64_t{Points[i].X} - Org.X);
        const double dy = static_cast<double>(int64_t{Points[i].Y} - Org.Y);
        Points[i].X = AddWrapped(Org.X, Nearest(dx * c - dy * s));
        Points[i].Y = AddWrapped(Org.Y, Nearest(dx * s + dy * c));
    }
}

void ScalePoints(TPoints &Points, int High, double Factor, const TPoint &Org)
{
    const int last = LastIndex(Points, High);
    for (int i = 0; i <= last; ++i) {
        const TPoint p = Points[i];
        Points[i] = NextPointOfLine(LineSlopeAngle(p, Org), Org, LineLength(p, Org) * Factor);
    }
}

void TransformPoints(TPoints &Points, int High, const XFORM &XForm)
{
    const int last = LastIndex(Points, High);
    for (int i = 0; i <= last; ++i) {
        const double x = Points[i].X;
        const double y = Points[i].Y;
        Points[i].X = Nearest(x * XForm.eM11 + y * XForm.eM21 + XForm.eDx);
        Points[i].Y = Nearest(x * XForm.eM12 + y * XForm.eM22 + XForm.eDy);
    }
}

TPoint CenterOfPoints(const TPoints &Points, int High)
{
    const int last = LastIndex(Points, High);
    if (last < 0)
        return {};
    // The mean always fits 32 bits even when the sum does not.
    int64_t sumX = 0;
    int64_t sumY = 0;
    for (int i = 0; i <= last; ++i) {
        sumX += Points[i].X;
        sumY += Points[i].Y;
    }
    const int64_t count = int64_t{last} + 1;
    return {static_cast<int32_t>(sumX / count), static_cast<int32_t>(sumY / count)};
}

TRect BoundsRectOfPoints(const TPoints &Points, int High)
{
    constexpr int32_t maxInt = std::numeric_limits<int32_t>::max();
    TRect r{maxInt, maxInt, -maxInt, -maxInt};
    const int last = LastIndex(Points, High);
    for (int i = 0; i <= last; ++i) {
        r.Left = std::min(r.Left, Points[i].X);
        r.Top = std::min(r.Top, Points[i].Y);
        r.Right = std::max(r.Right, Points[i].X);
        r.Bottom = std::max(r.Bottom, Points[i].Y);
    }
    return r;
}

int NearestPoint(const TPoints &Points, int High, const TPoint &Pt, TPoint &NearestPt)
{
    // Squared distances compared exactly: they need up to 65 bits.
    using Wide = unsigned __int128;
    const auto squaredDistance = [&Pt](const TPoint &p) {
        const auto dx = static_cast<Wide>(std::abs(int64_t{p.X} - Pt.X));
        const auto dy = static_cast<Wide>(std::abs(int64_t{p.Y} - Pt.Y));
        return dx * dx + dy * dy;
    };
    int found = -1;
    Wide best = 0;
    const int last = LastIndex(Points, High);
    for (int i = 0; i <= last; ++i) {
        const Wide d = squaredDistance(Points[i]);
        if (found < 0 || d < best) {
            found = i;
            best = d;
        }
    }
    if (found >= 0)
        NearestPt = Points[found];
    return found;
}

TRect MakeSquare(const TPoint &Center, int32_t Size)
{
    return {AddWrapped(Center.X, -int64_t{Size}), AddWrapped(Center.Y, -int64_t{Size}),
            AddWrapped(Center.X, Size), AddWrapped(Center.Y, Size)};
}

TRect MakeRect(const TPoint &Pt1, const TPoint &Pt2)
{
    return {std::min(Pt1.X, Pt2.X), std::min(Pt1.Y, Pt2.Y), std::max(Pt1.X, Pt2.X),
            std::max(Pt1.Y, Pt2.Y)};
}

TPoint CenterOfRect(const TRect &Rect)
{
    return {Half(int64_t{Rect.Left} + Rect.Right), Half(int64_t{Rect.Top} + Rect.Bottom)};
}

void UnionRect(TRect &Rect1, const TRect &Rect2)
{
    Rect1.Left = std::min(Rect1.Left, Rect2.Left);
    Rect1.Top = std::min(Rect1.Top, Rect2.Top);
    Rect1.Right = std::max(Rect1.Right, Rect2.Right);
    Rect1.Bottom = std::max(Rect1.Bottom, Rect2.Bottom);
}

void IntersectRect(TRect &Rect1, const TRect &Rect2)
{
    Rect1.Left = std::max(Rect1.Left, Rect2.Left);
    Rect1.Top = std::max(Rect1.Top, Rect2.Top);
    Rect1.Right = std::min(Rect1.Right, Rect2.Right);
    Rect1.Bottom = std::min(Rect1.Bottom, Rect2.Bottom);
}

bool OverlappedRect(const TRect &Rect1, const TRect &Rect2)
{
    return !(Rect1.Right < Rect2.Left || Rect2.Right < Rect1.Left || Rect1.Bottom < Rect2.Top ||
             Rect2.Bottom < Rect1.Top);
}

QRegion TransformRgn(const QRegion &Rgn, const XFORM &XForm)
{
    const auto map = [&XForm](double x, double y) {
        return QPoint(Nearest(x * XForm.eM11 + y * XForm.eM21 + XForm.eDx),
                      Nearest(x * XForm.eM12 + y * XForm.eM22 + XForm.eDy));
    };
    const bool axisAligned = XForm.eM12 == 0.0f && XForm.eM21 == 0.0f;
    QRegion result;
    for (const QRect &r : Rgn) {
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
