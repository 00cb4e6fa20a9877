#include "graph/canvas/GraphUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace talivo {

namespace {

// Lines are given by a point and a slope; only these two angles are treated as vertical.
bool IsVertical(double Angle)
{
    return std::fabs(Angle) == Pi / 2;
}

TPoint Midpoint(const TPoint &Pt1, const TPoint &Pt2)
{
    return {static_cast<int32_t>((int64_t{Pt1.X} + Pt2.X) / 2),
            static_cast<int32_t>((int64_t{Pt1.Y} + Pt2.Y) / 2)};
}

TPoints IntersectLineEdges(const TPoint &LinePt, double Angle, const TPoints &Points, int High,
                           bool Closed)
{
    TPoints result;
    const int last =
        static_cast<int>(std::min<int64_t>(High, static_cast<int64_t>(Points.size()) - 1));
    const int edges = Closed ? last + 1 : last;
    for (int i = 0; i < edges; ++i) {
        const TPoint &p1 = Points[i];
        const TPoint &p2 = Points[(i + 1) % (last + 1)];
        TPoint pt;
        if (IntersectLines(LinePt, Angle, p1, LineSlopeAngle(p1, p2), pt) &&
            IsBetween(pt.X, p1.X, p2.X) && IsBetween(pt.Y, p1.Y, p2.Y))
            result.push_back(pt);
    }
    return result;
}

} // namespace

double NormalizeAngle(double Angle)
{
    // Taking off one turn at a time never ends for an infinite angle, nor for one so large that
    // a turn is below its precision.
    constexpr double manyTurns = 2 * Pi * (1 << 20);
    if (!(std::fabs(Angle) <= manyTurns))
        Angle = std::remainder(Angle, 2 * Pi);
    while (Angle > Pi)
        Angle -= 2 * Pi;
    while (Angle < -Pi)
        Angle += 2 * Pi;
    return Angle;
}

double LineLength(const TPoint &Pt1, const TPoint &Pt2)
{
    const auto dx = static_cast<double>(int64_t{Pt2.X} - Pt1.X);
    const auto dy = static_cast<double>(int64_t{Pt2.Y} - Pt1.Y);
    return std::sqrt(dx * dx + dy * dy);
}

double LineSlopeAngle(const TPoint &Pt1, const TPoint &Pt2)
{
    const int64_t dx = int64_t{Pt2.X} - Pt1.X;
    const int64_t dy = int64_t{Pt2.Y} - Pt1.Y;
    if (dx != 0) {
        // The differences pass through single precision: exact below 2^24, so only segments
        // longer than that lose their low bits.
        return std::atan2(static_cast<double>(static_cast<float>(dy)),
                          static_cast<double>(static_cast<float>(dx)));
    }
    if (dy < 0)
        return -Pi / 2;
    if (dy > 0)
        return Pi / 2;
    return 0.0;
}

TPoint NextPointOfLine(double Angle, const TPoint &Pt, double Distance)
{
    const double a = NormalizeAngle(Angle);
    if (IsVertical(a)) {
        const int32_t d = Nearest(Distance);
        return {Pt.X, AddWrapped(Pt.Y, a > 0 ? -int64_t{d} : int64_t{d})};
    }
    const double t = std::tan(Angle);
    const double w = Distance / std::sqrt(1 + t * t);
    const double x = std::fabs(a) < Pi / 2 ? Pt.X - w : Pt.X + w;
    const double y = (x - Pt.X) * t + Pt.Y;
    return {Nearest(x), Nearest(y)};
}

TPoint NearestPointOnLine(const TPoint &LinePt1, const TPoint &LinePt2, const TPoint &Pt)
{
    TPoint a = LinePt1;
    TPoint b = LinePt2;
    TPoint m = Midpoint(a, b);
    while (m != a && m != b) {
        const double dA = LineLength(Pt, Midpoint(m, a));
        const double dB = LineLength(Pt, Midpoint(m, b));
        if (dA < dB)
            b = m;
        else
            a = m;
        m = Midpoint(a, b);
    }
    return m;
}

double DistanceToLine(const TPoint &LinePt1, const TPoint &LinePt2, const TPoint &Pt)
{
    return LineLength(Pt, NearestPointOnLine(LinePt1, LinePt2, Pt));
}

bool IntersectLines(const TPoint &LinePt1, double Angle1, const TPoint &LinePt2, double Angle2,
                    TPoint &Pt)
{
    const bool vertical1 = IsVertical(Angle1);
    const bool vertical2 = IsVertical(Angle2);
    if (vertical1 && vertical2)
        return false;
    if (vertical1) {
        const double m2 = std::tan(Angle2);
        const double c2 = LinePt2.Y - LinePt2.X * m2;
        Pt = {LinePt1.X, Nearest(LinePt1.X * m2 + c2)};
        return true;
    }
    if (vertical2) {
        const double m1 = std::tan(Angle1);
        const double c1 = LinePt1.Y - LinePt1.X * m1;
        Pt = {LinePt2.X, Nearest(LinePt2.X * m1 + c1)};
        return true;
    }
    const double m1 = std::tan(Angle1);
    const double m2 = std::tan(Angle2);
    if (m1 == m2)
        return false;
    const double c1 = LinePt1.Y - LinePt1.X * m1;
    const double c2 = LinePt2.Y - LinePt2.X * m2;
    Pt = {Nearest((c1 - c2) / (m2 - m1)), Nearest((m2 * c1 - m1 * c2) / (m2 - m1))};
    return true;
}

TPoints IntersectLinePolygon(const TPoint &LinePt, double Angle, const TPoints &Points, int High)
{
    return IntersectLineEdges(LinePt, Angle, Points, High, true);
}

TPoints IntersectLinePolyline(const TPoint &LinePt, double Angle, const TPoints &Points, int High)
{
    return IntersectLineEdges(LinePt, Angle, Points, High, false);
}

TPoints IntersectLineRect(const TPoint &LinePt, double Angle, const TRect &Rect)
{
    const TPoints corners{{Rect.Left, Rect.Top},
                          {Rect.Right, Rect.Top},
                          {Rect.Right, Rect.Bottom},
                          {Rect.Left, Rect.Bottom}};
    return IntersectLinePolygon(LinePt, Angle, corners, 3);
}

TPoints IntersectLineEllipse(const TPoint &LinePt, double Angle, const TRect &Bounds)
{
    TPoints result;
    if (Bounds.IsEmpty())
        return result;
    const double cx = (static_cast<double>(Bounds.Left) + Bounds.Right) / 2;
    const double cy = (static_cast<double>(Bounds.Top) + Bounds.Bottom) / 2;
    const double halfWidth = (static_cast<double>(Bounds.Right) - Bounds.Left) / 2;
    const double halfHeight = (static_cast<double>(Bounds.Bottom) - Bounds.Top) / 2;
    const double A = halfWidth * halfWidth;
    const double B = halfHeight * halfHeight;
    if (IsVertical(Angle)) {
        const double k = 1 - (LinePt.X - cx) * (LinePt.X - cx) / A;
        if (k == 0) {
            result.push_back({LinePt.X, Nearest(cy)});
        } else if (k > 0) {
            const double dy = std::sqrt(B) * std::sqrt(k);
            result.push_back({LinePt.X, Nearest(cy - dy)});
            result.push_back({LinePt.X, Nearest(cy + dy)});
        }
        return result;
    }
    const double m = std::tan(Angle);
    const double c = LinePt.Y - m * LinePt.X;
    const double g = A * m * (c - cy) - B * cx;
    const double h = B + A * m * m;
    const double D = g * g - (B * cx * cx + A * (c - cy) * (c - cy) - A * B) * h;
    if (D < 0 || h == 0)
        return result;
    const auto add = [&](double x) { result.push_back({Nearest(x), Nearest(c + m * x)}); };
    if (D == 0) {
        add(-g / h);
    } else {
        add((-g - std::sqrt(D)) / h);
        add((std::sqrt(D) - g) / h);
    }
    return result;
}

TPoints IntersectLineRoundRect(const TPoint &LinePt, double Angle, const TRect &Bounds,
                               int32_t CornerWidth, int32_t CornerHeight)
{
    TPoints result = IntersectLineRect(LinePt, Angle, Bounds);
    const int64_t w = int64_t{Bounds.Right} - Bounds.Left;
    const int64_t h = int64_t{Bounds.Bottom} - Bounds.Top;
    const TPoint center = CenterOfRect(Bounds);
    const int64_t straightX = w / 2 - CornerWidth / 2;
    const int64_t straightY = h / 2 - CornerHeight / 2;
    for (TPoint &p : result) {
        if (std::abs(int64_t{p.X} - center.X) <= straightX ||
            std::abs(int64_t{p.Y} - center.Y) <= straightY)
            continue;
        TRect corner{Bounds.Left, Bounds.Top, AddWrapped(Bounds.Left, CornerWidth),
                     AddWrapped(Bounds.Top, CornerHeight)};
        if (p.X > center.X) {
            corner.Left = AddWrapped(corner.Left, w - CornerWidth);
            corner.Right = AddWrapped(corner.Right, w - CornerWidth);
        }
        if (p.Y > center.Y) {
            corner.Top = AddWrapped(corner.Top, h - CornerHeight);
            corner.Bottom = AddWrapped(corner.Bottom, h - CornerHeight);
        }
        const TPoints arc = IntersectLineEllipse(LinePt, Angle, corner);
        if (arc.size() == 2)
            p = p.X < center.X ? arc[0] : arc[1];
    }
    return result;
}

} // namespace talivo
