#include "graph/canvas/GraphNodeRegion.h"

#include "graph/canvas/Canvas.h"

#include <QImage>
#include <QRegion>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace talivo {
namespace {

// The number of pixels where "drawn by the canvas" and "in the region" disagree.
int Mismatches(int width, int height, const std::function<void(TCanvas &)> &draw,
               const QRegion &region)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        TCanvas canvas;
        EXPECT_TRUE(canvas.BeginPaint(image));
        canvas.Brush().SetColor(0x00FF00);
        canvas.Pen().SetColor(0x0000FF);
        draw(canvas);
    }
    int mismatches = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mismatches += ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF) != region.contains({x, y});
    return mismatches;
}

TEST(GraphNodeRegionTest, RegionsCoverExactlyTheDrawnPixels)
{
    const int l = 7;
    const int t = 11;
    for (int width = 1; width <= 64; width += 3) {
        for (int height : {1, 2, 5, 20, 33, 64, 97}) {
            const int r = l + width;
            const int b = t + height;
            const int cx = (l + r) / 2;
            const int cy = (t + b) / 2;
            const int q = width / 4;
            const int s = std::max(width, height) / 4;
            const TPoints hexagon{{l + q, t}, {r - q, t}, {r, cy}, {r - q, b}, {l + q, b}, {l, cy}};
            const TPoints triangle{{cx, t}, {r, b}, {l, b}};
            const int w = r + 20;
            const int h = b + 20;
            SCOPED_TRACE(testing::Message() << width << " x " << height);
            const auto expectSame = [&](const std::function<void(TCanvas &)> &draw,
                                        const QRegion &region) {
                EXPECT_EQ(Mismatches(w, h, draw, region), 0);
            };
            expectSame([&](TCanvas &c) { c.Ellipse(l, t, r, b); }, EllipseRegion(l, t, r, b));
            expectSame([&](TCanvas &c) { c.RoundRect(l, t, r, b, s, s); },
                       RoundRectRegion(l, t, r, b, s, s));
            expectSame([&](TCanvas &c) { c.Polygon(hexagon); }, PolygonRegion(hexagon));
            expectSame([&](TCanvas &c) { c.Polygon(triangle); }, PolygonRegion(triangle));
        }
    }
}

TEST(GraphNodeRegionTest, RegionOfTheDocumentedCircleIsOneUnitLargerThanItsBounds)
{
    const QRegion circle = EllipseRegion(90, 40, 110, 60);
    EXPECT_EQ(circle.boundingRect(), QRect(QPoint(90, 40), QPoint(110, 60)));
    EXPECT_TRUE(circle.contains(QPoint(100, 50)));
    EXPECT_TRUE(circle.contains(QPoint(110, 50)));
    EXPECT_FALSE(circle.contains(QPoint(90, 40)));
    EXPECT_FALSE(circle.contains(QPoint(111, 50)));

    const QRegion rectangle = PolygonRegion({{0, 0}, {10, 0}, {10, 5}, {0, 5}});
    EXPECT_EQ(rectangle, QRegion(0, 0, 11, 6));
}

TEST(GraphNodeRegionTest, HugeShapesStayBoundedAndRoughlyRight)
{
    // A file may claim any size; the region must neither take ages nor exhaust memory.
    const QRegion ellipse = EllipseRegion(0, 0, 100000, 80000);
    EXPECT_TRUE(ellipse.contains(QPoint(50000, 40000)));
    EXPECT_FALSE(ellipse.contains(QPoint(1000, 1000)));
    EXPECT_LT(ellipse.rectCount(), 10000);
    EXPECT_NEAR(ellipse.boundingRect().width(), 100001, 200);

    const QRegion absurd = EllipseRegion(-2147483647 - 1, -5, 2147483647, 5);
    EXPECT_TRUE(absurd.contains(QPoint(0, 0)));

    EXPECT_TRUE(PolygonRegion({}).isEmpty());
}

} // namespace
} // namespace talivo
