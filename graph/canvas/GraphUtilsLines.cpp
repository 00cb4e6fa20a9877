#include "graph/canvas/GraphUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace talivo {

namespace {

// Lines are given by a point and a slope; only these two angles are treated as vertical.
bool IsVertical(double angle)
{
    return std::fabs(angle) == Pi / 2;
}

TPoint Midpoint(const TPoint &pt1, const TPoint &pt2)
{
    return {static_cast<int32_t>((int64_t{pt1.X} + pt2.X) / 2),
            static_cast<int32_t>((int64_t{pt1.Y} + pt2.Y) / 2)};
}

TPoints IntersectLineEdges(const TPoint &linePt, double angle, const TPoints &points, int high,
                           bool closed)
{
    TPoints result;
    const int last =
        static_cast<int>(std::min<int64_t>(high, static_cast<int64_t>(points.size()) - 1));
    const int edges = closed ? last + 1 : last;
    for (int i = 0; i < edges; ++i) {
        const TPoint &p1 = points[i];
        const TPoint &p2 = points[(i + 1) % (last + 1)];
        TPoint pt;
        if (IntersectLines(linePt, angle, p1, LineSlopeAngle(p1, p2), pt) &&
            IsBetween(pt.X, p1.X, p2.X) && IsBetween(pt.Y, p1.Y, p2.Y))
            result.push_back(pt);
    }
    return result;
}

} // namespace

double NormalizeAngle(double angle)
{
    // Taking off one turn at a time never ends for an infinite angle, nor for one so large that
    // a turn is below its precision.
    constexpr double manyTurns = 2 * Pi * (1 << 20);
    if (!(std::fabs(angle) <= manyTurns))
        angle = std::remainder(angle, 2 * Pi);
    while (angle > Pi)
        angle -= 2 * Pi;
    while (angle < -Pi)
        angle += 2 * Pi;
    return angle;
}

double LineLength(const TPoint &pt1, const TPoint &pt2)
{
    const auto dx = static_cast<double>(int64_t{pt2.X} - pt1.X);
    const auto dy = static_cast<double>(int64_t{pt2.Y} - pt1.Y);
    return std::sqrt(dx * dx + dy * dy);
}

double LineSlopeAngle(const TPoint &pt1, const TPoint &pt2)
{
    const int64_t dx = int64_t{pt2.X} - pt1.X;
    const int64_t dy = int64_t{pt2.Y} - pt1.Y;
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

TPoint NextPointOfLine(double angle, const TPoint &pt, double distance)
{
    const double a = NormalizeAngle(angle);
    if (IsVertical(a)) {
        const int32_t d = Nearest(distance);
        return {pt.X, AddWrapped(pt.Y, a > 0 ? -int64_t{d} : int64_t{d})};
    }
    const double t = std::tan(angle);
    const double w = distance / std::sqrt(1 + t * t);
    const double x = std::fabs(a) < Pi / 2 ? pt.X - w : pt.X + w;
    const double y = (x - pt.X) * t + pt.Y;
    return {Nearest(x), Nearest(y)};
}

TPoint NearestPointOnLine(const TPoint &linePt1, const TPoint &linePt2, const TPoint &pt)
{
    TPoint a = linePt1;
    TPoint b = linePt2;
    TPoint m = Midpoint(a, b);
    while (m != a && m != b) {
        const double da = LineLength(pt, Midpoint(m, a));
        const double db = LineLength(pt, Midpoint(m, b));
        if (da < db)
            b = m;
        else
            a = m;
        m = Midpoint(a, b);
    }
    return m;
}

double DistanceToLine(const TPoint &linePt1, const TPoint &linePt2, const TPoint &pt)
{
    return LineLength(pt, NearestPointOnLine(linePt1, linePt2, pt));
}

bool IntersectLines(const TPoint &linePt1, double angle1, const TPoint &linePt2, double angle2,
                    TPoint &pt)
{
    const bool vertical1 = IsVertical(angle1);
    const bool vertical2 = IsVertical(angle2);
    if (vertical1 && vertical2)
        return false;
    if (vertical1) {
        const double m2 = std::tan(angle2);
        const double c2 = linePt2.Y - linePt2.X * m2;
        pt = {linePt1.X, Nearest(linePt1.X * m2 + c2)};
        return true;
    }
    if (vertical2) {
        const double m1 = std::tan(angle1);
        const double c1 = linePt1.Y - linePt1.X * m1;
        pt = {linePt2.X, Nearest(linePt2.X * m1 + c1)};
        return true;
    }
    const double m1 = std::tan(angle1);
    const double m2 = std::tan(angle2);
    if (m1 == m2)
        return false;
    const double c1 = linePt1.Y - linePt1.X * m1;
    const double c2 = linePt2.Y - linePt2.X * m2;
    pt = {Nearest((c1 - c2) / (m2 - m1)), Nearest((m2 * c1 - m1 * c2) / (m2 - m1))};
    return true;
}

TPoints IntersectLinePolygon(const TPoint &linePt, double angle, const TPoints &points, int high)
{
    return IntersectLineEdges(linePt, angle, points, high, true);
}

TPoints IntersectLinePolyline(const TPoint &linePt, double angle, const TPoints &points, int high)
{
    return IntersectLineEdges(linePt, angle, points, high, false);
}

TPoints IntersectLineRect(const TPoint &linePt, double angle, const TRect &rect)
{
    const TPoints corners{{rect.Left, rect.Top},
                          {rect.Right, rect.Top},
                          {rect.Right, rect.Bottom},
                          {rect.Left, rect.Bottom}};
    return IntersectLinePolygon(linePt, angle, corners, 3);
}

TPoints IntersectLineEllipse(const TPoint &linePt, double angle, const TRect &bounds)
{
    TPoints result;
    if (bounds.IsEmpty())
        return result;
    const double cx = (static_cast<double>(bounds.Left) + bounds.Right) / 2;
    const double cy = (static_cast<double>(bounds.Top) + bounds.Bottom) / 2;
    const double halfWidth = (static_cast<double>(bounds.Right) - bounds.Left) / 2;
    const double halfHeight = (static_cast<double>(bounds.Bottom) - bounds.Top) / 2;
    const double a = halfWidth * halfWidth;
    const double b = halfHeight * halfHeight;
    if (IsVertical(angle)) {
        const double k = 1 - (linePt.X - cx) * (linePt.X - cx) / a;
        if (k == 0) {
            result.push_back({linePt.X, Nearest(cy)});
        } else if (k > 0) {
            const double dy = std::sqrt(b) * std::sqrt(k);
            result.push_back({linePt.X, Nearest(cy - dy)});
            result.push_back({linePt.X, Nearest(cy + dy)});
        }
        return result;
    }
    const double m = std::tan(angle);
    const double c = linePt.Y - m * linePt.X;
    const double g = a * m * (c - cy) - b * cx;
    const double h = b + a * m * m;
    const double d = g * g - (b * cx * cx + a * (c - cy) * (c - cy) - a * b) * h;
    if (d < 0 || h == 0)
        return result;
    const auto add = [&](double x) { result.push_back({Nearest(x), Nearest(c + m * x)}); };
    if (d == 0) {
        add(-g / h);
    } else {
        add((-g - std::sqrt(d)) / h);
        add((std::sqrt(d) - g) / h);
    }
    return result;
}

TPoints IntersectLineRoundRect(const TPoint &linePt, double angle, const TRect &bounds,
                               int32_t cornerWidth, int32_t cornerHeight)
{
    TPoints result = IntersectLineRect(linePt, angle, bounds);
    const int64_t w = int64_t{bounds.Right} - bounds.Left;
    const int64_t h = int64_t{bounds.Bottom} - bounds.Top;
    const TPoint center = CenterOfRect(bounds);
    const int64_t straightX = w / 2 - cornerWidth / 2;
    const int64_t straightY = h / 2 - cornerHeight / 2;
    for (TPoint &p : result) {
        if (std::abs(int64_t{p.X} - center.X) <= straightX ||
            std::abs(int64_t{p.Y} - center.Y) <= straightY)
            continue;
        TRect corner{bounds.Left, bounds.Top, AddWrapped(bounds.Left, cornerWidth),
                     AddWrapped(bounds.Top, cornerHeight)};
        if (p.X > center.X) {
            corner.Left = AddWrapped(corner.Left, w - cornerWidth);
            corner.Right = AddWrapped(corner.Right, w - cornerWidth);
        }
        if (p.Y > center.Y) {
            corner.Top = AddWrapped(corner.Top, h - cornerHeight);
            corner.Bottom = AddWrapped(corner.Bottom, h - cornerHeight);
        }
        const TPoints arc = IntersectLineEllipse(linePt, angle, corner);
        if (arc.size() == 2)
            p = p.X < center.X ? arc[0] : arc[1];
    }
    return result;
}

} // namespace talivo
