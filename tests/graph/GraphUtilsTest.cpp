#include "graph/canvas/GraphUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace talivo {
namespace {

constexpr int32_t MaxInt = std::numeric_limits<int32_t>::max();
constexpr int32_t MinInt = std::numeric_limits<int32_t>::min();

// An angle whose sine or tangent is exactly target, so that rounding ties are reached for sure.
double AngleWhere(const std::function<double(double)> &fn, double target, double start)
{
    for (double lo = start, hi = start; lo > start - 1e-12;) {
        if (fn(lo) == target)
            return lo;
        if (fn(hi) == target)
            return hi;
        lo = std::nextafter(lo, -10.0);
        hi = std::nextafter(hi, 10.0);
    }
    return NAN;
}

TEST(GraphUtilsTest, RectanglesAndRanges)
{
    EXPECT_TRUE(IsBetween(5, 10, 0));
    EXPECT_TRUE(IsBetween(5, 0, 10));
    EXPECT_TRUE(IsBetween(0, 0, 10));
    EXPECT_TRUE(IsBetween(10, 10, 0));
    EXPECT_FALSE(IsBetween(11, 0, 10));
    EXPECT_TRUE(OverlappedRect({0, 0, 10, 10}, {10, 0, 20, 10}));
    EXPECT_FALSE(OverlappedRect({0, 0, 10, 10}, {11, 0, 20, 10}));
    TRect r{0, 0, 10, 10};
    IntersectRect(r, {20, 20, 30, 30});
    EXPECT_EQ(r, (TRect{20, 20, 10, 10}));
    UnionRect(r, {-5, 0, 0, 40});
    EXPECT_EQ(r, (TRect{-5, 0, 10, 40}));
    EXPECT_EQ(MakeSquare({100, 50}, 3), (TRect{97, 47, 103, 53}));
    EXPECT_EQ(MakeRect({10, -2}, {-3, 7}), (TRect{-3, -2, 10, 7}));
}

TEST(GraphUtilsTest, CentersTruncateTowardZeroWithoutOverflow)
{
    EXPECT_EQ(CenterOfRect({-3, -3, 0, 0}), (TPoint{-1, -1}));
    EXPECT_EQ(CenterOfRect({MaxInt - 2, MinInt, MaxInt, MinInt + 2}),
              (TPoint{MaxInt - 1, MinInt + 1}));
    EXPECT_EQ(CenterOfPoints({{0, 0}, {1, 0}, {1, 1}}, 2), (TPoint{0, 0}));
    EXPECT_EQ(CenterOfPoints({{-1, -4}, {-2, 0}}, 1), (TPoint{-1, -2}));
    EXPECT_EQ(CenterOfPoints({{MaxInt, MinInt}, {MaxInt, MinInt}}, 1), (TPoint{MaxInt, MinInt}));
    EXPECT_EQ(CenterOfPoints({{1, 1}, {100, 100}}, 0), (TPoint{1, 1}));
    EXPECT_EQ(CenterOfPoints({}, -1), (TPoint{0, 0}));
}

TEST(GraphUtilsTest, BoundsAndNearestPointOfArrays)
{
    EXPECT_EQ(BoundsRectOfPoints({}, -1), (TRect{MaxInt, MaxInt, -MaxInt, -MaxInt}));
    EXPECT_EQ(BoundsRectOfPoints({{3, -1}, {-2, 4}, {100, 100}}, 1), (TRect{-2, -1, 3, 4}));

    TPoint found{7, 7};
    EXPECT_EQ(NearestPoint({}, -1, {0, 0}, found), -1);
    EXPECT_EQ(found, (TPoint{7, 7}));
    EXPECT_EQ(NearestPoint({{5, 0}, {0, 5}, {1, 1}}, 1, {0, 0}, found), 0);
    EXPECT_EQ(found, (TPoint{5, 0}));
    EXPECT_EQ(NearestPoint({{MinInt, MinInt}, {MaxInt, MaxInt}}, 1, {MaxInt, MinInt}, found), 0);
    EXPECT_EQ(NearestPoint({{MinInt, MinInt}, {MaxInt, MaxInt}}, 1, {MaxInt, 0}, found), 1);
}

TEST(GraphUtilsTest, PointArraysMoveInPlaceUpToHigh)
{
    TPoints pts{{1, 2}, {3, 4}, {9, 9}};
    OffsetPoints(pts, 1, 10, -10);
    EXPECT_EQ(pts, (TPoints{{11, -8}, {13, -6}, {9, 9}}));

    pts = {{-1, 5}, {0, 0}, {4, -3}};
    ShiftPoints(pts, 2, 2, 3, {0, 0});
    EXPECT_EQ(pts, (TPoints{{-3, 8}, {0, 0}, {6, -6}}));

    pts = {{2, 7}};
    TransformPoints(pts, 0, XFORM{0, 1, 1, 0, 0.5f, 0});
    EXPECT_EQ(pts, (TPoints{{8, 2}}));

    pts = {{10, 0}, {3, 4}, {0, 0}};
    ScalePoints(pts, 2, 2.0, {0, 0});
    EXPECT_EQ(pts, (TPoints{{20, 0}, {6, 8}, {0, 0}}));
}

TEST(GraphUtilsTest, RotationTurnsClockwiseAndRoundsTiesToEven)
{
    TPoints pts{{11, 10}};
    RotatePoints(pts, 0, Pi / 2, {10, 10});
    EXPECT_EQ(pts, (TPoints{{10, 11}}));

    const double sixth = AngleWhere([](double a) { return std::sin(a); }, 0.5, std::asin(0.5));
    ASSERT_FALSE(std::isnan(sixth));
    pts = {{0, 1}, {0, 3}, {0, 5}};
    RotatePoints(pts, 2, sixth, {0, 0});
    EXPECT_EQ(pts[0].X, 0);
    EXPECT_EQ(pts[1].X, -2);
    EXPECT_EQ(pts[2].X, -2);
}

TEST(GraphUtilsTest, AnglesAndLengths)
{
    EXPECT_DOUBLE_EQ(NormalizeAngle(3 * Pi), Pi);
    EXPECT_DOUBLE_EQ(NormalizeAngle(-3 * Pi / 2), Pi / 2);
    EXPECT_EQ(NormalizeAngle(Pi), Pi);
    EXPECT_EQ(NormalizeAngle(-Pi), -Pi);
    EXPECT_LE(std::fabs(NormalizeAngle(1e300)), Pi);
    EXPECT_TRUE(std::isnan(NormalizeAngle(INFINITY)));

    EXPECT_EQ(LineSlopeAngle({0, 0}, {0, -5}), -Pi / 2);
    EXPECT_EQ(LineSlopeAngle({0, 0}, {1, 1}), Pi / 4);
    EXPECT_EQ(LineSlopeAngle({4, 4}, {4, 4}), 0.0);
    EXPECT_EQ(LineLength({MinInt, 0}, {MaxInt, 0}), 4294967295.0);
}

TEST(GraphUtilsTest, NextPointOfLineStepsBackRoundingTiesToEven)
{
    EXPECT_EQ(NextPointOfLine(0, {10, 0}, 4), (TPoint{6, 0}));
    EXPECT_EQ(NextPointOfLine(Pi / 2, {0, 10}, 4), (TPoint{0, 6}));
    EXPECT_EQ(NextPointOfLine(-Pi / 2, {0, 10}, 2.5), (TPoint{0, 12}));
    EXPECT_EQ(NextPointOfLine(0, {10, 0}, 1.5), (TPoint{8, 0}));
    EXPECT_EQ(NextPointOfLine(0, {0, 0}, 2.5), (TPoint{-2, 0}));
    EXPECT_EQ(NextPointOfLine(LineSlopeAngle({0, 0}, {30, 40}), {30, 40}, 5), (TPoint{27, 36}));
}

TEST(GraphUtilsTest, NearestPointOnLineHalvesTheSegment)
{
    const TPoint p = NearestPointOnLine({0, 0}, {1000, 1000}, {0, 1000});
    EXPECT_NEAR(p.X, 500, 1);
    EXPECT_NEAR(p.Y, 500, 1);
    EXPECT_NEAR(DistanceToLine({0, 0}, {1000, 1000}, {0, 1000}), 707.1, 1.5);
    const TPoint end = NearestPointOnLine({0, 0}, {1000, 1000}, {2000, 2000});
    EXPECT_NEAR(end.X, 1000, 1);
    EXPECT_EQ(end.X, end.Y);
    const TPoint wide = NearestPointOnLine({MinInt, 0}, {MaxInt, 0}, {0, 5});
    EXPECT_NEAR(wide.X, 0, 1);
    EXPECT_EQ(NearestPointOnLine({3, 3}, {3, 3}, {9, 9}), (TPoint{3, 3}));
}

TEST(GraphUtilsTest, IntersectLinesHandlesVerticalParallelAndTies)
{
    TPoint pt{-9, -9};
    EXPECT_FALSE(IntersectLines({0, 0}, Pi / 2, {5, 0}, -Pi / 2, pt));
    EXPECT_FALSE(IntersectLines({0, 0}, 0, {0, 5}, 0, pt));
    EXPECT_EQ(pt, (TPoint{-9, -9}));

    const double half = AngleWhere([](double a) { return std::tan(a); }, 0.5, std::atan(0.5));
    ASSERT_FALSE(std::isnan(half));
    ASSERT_TRUE(IntersectLines({6, 100}, Pi / 2, {1, 0}, half, pt));
    EXPECT_EQ(pt, (TPoint{6, 2}));
    ASSERT_TRUE(IntersectLines({1, 0}, half, {4, -7}, -Pi / 2, pt));
    EXPECT_EQ(pt, (TPoint{4, 2}));
    ASSERT_TRUE(IntersectLines({0, 0}, half, {0, 5}, -half, pt));
    EXPECT_EQ(pt, (TPoint{5, 2}));
}

TEST(GraphUtilsTest, IntersectLineWithPolygonsAndRects)
{
    const TPoints square{{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(IntersectLinePolygon({0, 0}, Pi / 4, square, 3),
              (TPoints{{0, 0}, {10, 10}, {10, 10}, {0, 0}}));
    EXPECT_EQ(IntersectLinePolyline({0, 0}, Pi / 4, square, 3),
              (TPoints{{0, 0}, {10, 10}, {10, 10}}));
    EXPECT_TRUE(IntersectLinePolygon({0, 0}, Pi / 4, {}, -1).empty());
    EXPECT_EQ(IntersectLineRect({3, 5}, 0, {0, 0, 10, 10}), (TPoints{{10, 5}, {0, 5}}));
    EXPECT_TRUE(IntersectLineRect({3, 50}, 0, {0, 0, 10, 10}).empty());
}

TEST(GraphUtilsTest, IntersectLineEllipse)
{
    EXPECT_EQ(IntersectLineEllipse({10, 99}, Pi / 2, {0, 0, 20, 10}), (TPoints{{10, 0}, {10, 10}}));
    EXPECT_EQ(IntersectLineEllipse({0, 99}, -Pi / 2, {0, 0, 20, 10}), (TPoints{{0, 5}}));
    EXPECT_TRUE(IntersectLineEllipse({-1, 0}, Pi / 2, {0, 0, 20, 10}).empty());
    EXPECT_EQ(IntersectLineEllipse({10, 10}, Pi / 4, {0, 0, 20, 20}), (TPoints{{3, 3}, {17, 17}}));
    EXPECT_EQ(IntersectLineEllipse({0, 0}, 0, {0, 0, 20, 20}), (TPoints{{10, 0}}));
    EXPECT_TRUE(IntersectLineEllipse({10, 10}, Pi / 4, {0, 0, 0, 20}).empty());
}

TEST(GraphUtilsTest, IntersectLineRoundRectMovesCornerPointsOntoTheArc)
{
    EXPECT_EQ(IntersectLineRoundRect({50, 2}, 0, {0, 0, 100, 100}, 20, 20),
              (TPoints{{96, 2}, {4, 2}}));
    EXPECT_EQ(IntersectLineRoundRect({50, 50}, 0, {0, 0, 100, 100}, 20, 20),
              (TPoints{{100, 50}, {0, 50}}));
}

TEST(GraphUtilsTest, TransformRgnMapsEveryRectangle)
{
    QRegion rgn(QRect(0, 0, 5, 5));
    rgn += QRect(20, 0, 1, 1);
    const QRegion scaled = TransformRgn(rgn, XFORM{2, 0, 0, 2, 10, 20});
    QRegion expected(QRect(10, 20, 10, 10));
    expected += QRect(50, 20, 2, 2);
    EXPECT_EQ(scaled, expected);

    EXPECT_EQ(TransformRgn(QRect(0, 0, 5, 5), XFORM{-1, 0, 0, 1, 0, 0}), QRegion(-5, 0, 5, 5));
    EXPECT_EQ(TransformRgn(QRect(0, 0, 4, 2), XFORM{0, 1, -1, 0, 0, 0}).boundingRect(),
              QRect(-2, 0, 2, 4));
    EXPECT_TRUE(TransformRgn(QRegion(), XFORM{2, 0, 0, 2, 10, 20}).isEmpty());
}

} // namespace
} // namespace talivo
