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
    const int L = 7;
    const int T = 11;
    for (int W = 1; W <= 64; W += 3) {
        for (int H : {1, 2, 5, 20, 33, 64, 97}) {
            const int R = L + W;
            const int B = T + H;
            const int cX = (L + R) / 2;
            const int cY = (T + B) / 2;
            const int q = W / 4;
            const int S = std::max(W, H) / 4;
            const TPoints hexagon{{L + q, T}, {R - q, T}, {R, cY}, {R - q, B}, {L + q, B}, {L, cY}};
            const TPoints triangle{{cX, T}, {R, B}, {L, B}};
            const int w = R + 20;
            const int h = B + 20;
            SCOPED_TRACE(testing::Message() << W << " x " << H);
            const auto expectSame = [&](const std::function<void(TCanvas &)> &draw,
                                        const QRegion &region) {
                EXPECT_EQ(Mismatches(w, h, draw, region), 0);
            };
            expectSame([&](TCanvas &c) { c.Ellipse(L, T, R, B); }, EllipseRegion(L, T, R, B));
            expectSame([&](TCanvas &c) { c.RoundRect(L, T, R, B, S, S); },
                       RoundRectRegion(L, T, R, B, S, S));
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
