#include "graph/canvas/Canvas.h"
#include "graph/canvas/CanvasColors.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPicture>
#include <QWidget>
#include <gtest/gtest.h>

#include <ostream>
#include <random>

static void PrintTo(const QRect &rect, std::ostream *os)
{
    *os << "(" << rect.left() << ", " << rect.top() << ")-(" << rect.right() << ", "
        << rect.bottom() << ")";
}

namespace talivo {
namespace {

QImage WhiteImage(int width = 40, int height = 40)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The box around every pixel that is not white (QRect with inclusive right/bottom).
QRect InkBounds(const QImage &image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QRect Box(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

int InkedRowsInColumn(const QImage &image, int x)
{
    int rows = 0;
    for (int y = 0; y < image.height(); ++y)
        rows += (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
    return rows;
}

TEST(CanvasTest, ShapesCoverTheDocumentedPixelsAtOneToOne)
{
    QImage image = WhiteImage();
    {
        TCanvas canvas;
        ASSERT_TRUE(canvas.BeginPaint(image));
        canvas.Brush().SetStyle(bsClear);
        canvas.Rectangle(2, 3, 12, 9);
    }
    EXPECT_EQ(InkBounds(image), Box(2, 3, 12, 9));
    EXPECT_EQ(image.pixel(7, 6), qRgb(255, 255, 255)) << "bsClear must leave the inside";

    image = WhiteImage();
    {
        TCanvas canvas;
        canvas.BeginPaint(image);
        canvas.Brush().SetStyle(bsClear);
        canvas.Ellipse(2, 3, 22, 13);
    }
    EXPECT_EQ(InkBounds(image), Box(2, 3, 22, 13));

    image = WhiteImage();
    {
        TCanvas canvas;
        canvas.BeginPaint(image);
        canvas.Brush().SetColor(clBlack);
        canvas.FillRect({2, 3, 12, 9});
    }
    EXPECT_EQ(InkBounds(image), Box(2, 3, 11, 8));

    image = WhiteImage();
    {
        TCanvas canvas;
        canvas.BeginPaint(image);
        canvas.Pen().SetStyle(psClear);
        canvas.Brush().SetColor(clBlack);
        canvas.Rectangle(2, 3, 12, 9);
    }
    EXPECT_EQ(InkBounds(image), Box(2, 3, 11, 8)) << "a fill without outline is one pixel less";

    image = WhiteImage();
    {
        TCanvas canvas;
        canvas.BeginPaint(image);
        canvas.MoveTo(5, 5);
        canvas.LineTo(5, 15);
        EXPECT_EQ(canvas.PenPos(), (TPoint{5, 15}));
    }
    EXPECT_EQ(InkBounds(image), Box(5, 5, 5, 15));
}

// Draws Count shapes in random colours and outline widths 0 and 1 both with the canvas and with
// the painter alone, on a white image of Side pixels square, without a clip and with one made of
// two rectangles; expects the same pixels. Draw(canvas, painter, pick, i) draws the i-th shape.
template <typename TDraw>
void ExpectThePaintersPixels(int side, int count, unsigned seed, const TDraw &draw)
{
    std::mt19937 random(seed);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (const bool clipped : {false, true}) {
        QImage ours = WhiteImage(side, side);
        QImage reference = WhiteImage(side, side);
        TCanvas canvas;
        ASSERT_TRUE(canvas.BeginPaint(ours));
        QPainter painter(&reference);
        const QRegion clip = clipped ? QRegion(side / 12, side / 12, side / 2, side / 3) +
                                           QRegion(side / 3, side / 4, side / 2, side * 3 / 5)
                                     : QRegion(0, 0, side, side);
        canvas.SetClipRegion(clip);
        painter.setClipRegion(clip);
        for (int i = 0; i < count; ++i) {
            const TColor pen = static_cast<TColor>(pick(0, 0xFFFFFF));
            const TColor brush = static_cast<TColor>(pick(0, 0xFFFFFF));
            const int width = pick(0, 1);
            canvas.Pen().SetColor(pen);
            canvas.Pen().SetWidth(width);
            canvas.Brush().SetColor(brush);
            painter.setPen(QPen(ColorToQColor(pen), width));
            painter.setBrush(ColorToQColor(brush));
            draw(canvas, painter, pick, i);
        }
        canvas.EndPaint();
        painter.end();
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                ASSERT_EQ(ours.pixel(x, y), reference.pixel(x, y))
                    << "at (" << x << ", " << y << ")" << (clipped ? " clipped" : "");
    }
}

// Rectangles with an opaque solid outline and fill are painted as plain fills of their pixels:
// exactly the pixels the painter's own rectangles give, at every size, overlapping one another
// in any order, at the edge of the device and under a clip.
TEST(CanvasTest, RectanglesMatchThePaintersRectanglesPixelForPixel)
{
    ExpectThePaintersPixels(64, 300, 5, [](TCanvas &canvas, QPainter &painter, auto pick, int) {
        const int left = pick(-4, 62);
        const int top = pick(-4, 62);
        const int right = left + pick(0, 9);
        const int bottom = top + pick(0, 9);
        canvas.Rectangle(left, top, right, bottom);
        painter.drawRect(QRectF(left, top, right - left, bottom - top));
    });
}

// Rectangles held back in runs and put down together: the same pixels as the painter's own
// rectangles one by one, for runs of every length mixing sizes (none, a line, far apart past the
// largest image) and colours, broken by an ellipse or an inverting rectangle, at the edge of the
// device, under a clip and left open until the painting ends.
TEST(CanvasTest, RectangleRunsMatchThePaintersRectanglesPixelForPixel)
{
    bool inRun = false;
    ExpectThePaintersPixels(
        200, 400, 11, [&](TCanvas &canvas, QPainter &painter, auto pick, int i) {
            if (i % 7 == 0) {
                if (inRun)
                    canvas.EndRectangleRun();
                else
                    canvas.BeginRectangleRun();
                inRun = !inRun;
            }
            const int left = pick(-4, 196);
            const int top = pick(-4, 196);
            if (i % 11 == 5) {
                canvas.Ellipse(left, top, left + 9, top + 9);
                painter.drawEllipse(QRectF(left, top, 9, 9));
                return;
            }
            const int side = i % 13 == 0 ? pick(120, 180) : pick(0, 8);
            const int right = left + side;
            const int bottom = top + (i % 5 == 0 ? pick(0, 2) : side);
            // An inverting rectangle is drawn as it comes, after what the run held back.
            const bool inverting = i % 17 == 3;
            if (inverting) {
                canvas.Pen().SetMode(pmXor);
                painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            }
            canvas.Rectangle(left, top, right, bottom);
            painter.drawRect(QRectF(left, top, right - left, bottom - top));
            canvas.Pen().SetMode(pmCopy);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        });
}

// The markers of many objects of one size: each object's run is put down from the image made for
// the first, wherever it lies, and an image made in one set of colours never serves another.
TEST(CanvasTest, RepeatedRectangleRunsMatchThePaintersRectangles)
{
    const std::vector<QRect> markers = {Box(0, 0, 4, 4),   Box(8, 0, 12, 4), Box(0, 8, 4, 12),
                                        Box(8, 8, 12, 12), Box(4, 8, 8, 12), Box(8, 4, 12, 8),
                                        Box(0, 4, 4, 8),   Box(4, 0, 8, 4),  Box(2, 2, 2, 2)};
    ExpectThePaintersPixels(100, 60, 3, [&](TCanvas &canvas, QPainter &painter, auto pick, int i) {
        const int left = pick(-6, 96);
        const int top = pick(-6, 96);
        const TColor pen = i % 2 ? 0x0000FF : 0x00FF00;
        const TColor brush = i % 3 ? 0xFFFFFF : 0x000000;
        canvas.Pen().SetColor(pen);
        canvas.Brush().SetColor(brush);
        painter.setPen(QPen(ColorToQColor(pen), canvas.Pen().Width()));
        painter.setBrush(ColorToQColor(brush));
        const TCanvas::TRectangleRun run(canvas);
        for (const QRect &marker : markers) {
            const QRect at = marker.translated(left, top);
            canvas.Rectangle(at.left(), at.top(), at.right(), at.bottom());
            painter.drawRect(
                QRectF(at.left(), at.top(), at.right() - at.left(), at.bottom() - at.top()));
        }
    });
}

// Small circles are put down as images of them drawn once: the pixels are still exactly those the
// painter's own ellipses give, also past the largest such image, at the edge of the device, for
// flatter ellipses and under a clip.
TEST(CanvasTest, EllipsesMatchThePaintersEllipsesPixelForPixel)
{
    ExpectThePaintersPixels(200, 400, 9, [](TCanvas &canvas, QPainter &painter, auto pick, int i) {
        const int diameter = i % 10 == 0 ? pick(126, 130) : pick(0, 60);
        const int height = i % 7 == 0 ? diameter / 3 : diameter + pick(-1, 1);
        const int left = pick(-20, 190);
        const int top = pick(-20, 190);
        canvas.Ellipse(left, top, left + diameter, top + height);
        painter.drawEllipse(QRectF(left, top, diameter, height));
    });
}

// Lines of text are drawn from glyphs shaped once: the pixels are those the painter gives when it
// lays the line out itself, in every font and size, with tabs and symbols.
TEST(CanvasTest, TextMatchesThePaintersTextPixelForPixel)
{
    for (const char *name : {"Tahoma", "DejaVu Sans Mono"}) {
        for (const int32_t height : {-5, -10, -11, 14, -20}) {
            QImage ours = WhiteImage(400, 120);
            QImage reference = WhiteImage(400, 120);
            TCanvas canvas;
            ASSERT_TRUE(canvas.BeginPaint(ours));
            canvas.Font().SetName(QString::fromLatin1(name));
            canvas.Font().SetHeight(height);
            canvas.Font().SetStyle(height == -11 ? TFontStyles{fsBold} : TFontStyles{});
            canvas.Brush().SetStyle(bsClear);
            QPainter painter(&reference);
            const QFont font = canvas.Font().ToQFont();
            painter.setFont(font);
            const QFontMetrics metrics(font);
            int line = 0;
            for (const QString &text :
                 {QStringLiteral("#1"), QStringLiteral("#42"), QStringLiteral("#12345"),
                  QStringLiteral("Zählung AVAWa & b"), QStringLiteral("a\tb"),
                  QStringLiteral("  spaced  ")}) {
                const TColor color = line % 2 ? 0x0000FF : 0x000000;
                canvas.Font().SetColor(color);
                painter.setPen(ColorToQColor(color));
                const QPoint at(3 + line, 2 + line * 18);
                canvas.TextOut(at.x(), at.y(), text);
                painter.drawText(
                    QRect(at, QSize(metrics.horizontalAdvance(text), metrics.height())),
                    Qt::AlignLeft | Qt::AlignAbsolute | Qt::AlignTop | Qt::TextSingleLine |
                        Qt::TextDontClip,
                    text);
                ++line;
            }
            canvas.EndPaint();
            painter.end();
            ASSERT_EQ(ours, reference) << name << " " << height;
        }
    }
}

TEST(CanvasTest, ClearPenAndBrushDrawNothing)
{
    QImage image = WhiteImage();
    TCanvas canvas;
    canvas.BeginPaint(image);
    canvas.Pen().SetStyle(psClear);
    canvas.Brush().SetStyle(bsClear);
    canvas.Rectangle(2, 2, 20, 20);
    canvas.Ellipse(2, 2, 20, 20);
    canvas.Polygon({{2, 2}, {20, 2}, {10, 20}});
    canvas.LineTo(30, 30);
    canvas.FillRect({0, 0, 40, 40});
    canvas.Pen().SetStyle(psSolid);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(clBlack);
    canvas.Pen().SetMode(pmNop);
    canvas.Rectangle(2, 2, 20, 20);
    canvas.EndPaint();
    EXPECT_TRUE(InkBounds(image).isNull());
}

TEST(CanvasTest, MappingPlacesShapesAtRoundedDevicePixels)
{
    TCanvas canvas;
    canvas.SetWindowExt({1000, 1000});
    canvas.SetViewportExt({1500, 1500});
    // 1.5 and 4.5 are ties: they go to the even neighbour.
    EXPECT_EQ(canvas.LPtoDP(TPoint{1, 3}), (TPoint{2, 4}));
    EXPECT_EQ(canvas.LPtoDP(TPoint{-1, -3}), (TPoint{-2, -4}));
    EXPECT_EQ(canvas.DPtoLP(TPoint{3, 4}), (TPoint{2, 3}));
    canvas.SetViewportOrg({-7, 5});
    EXPECT_EQ(canvas.LPtoDP(TRect{10, 10, 20, 30}), (TRect{8, 20, 23, 50}));
    EXPECT_EQ(canvas.DPtoLP(TRect{8, 20, 23, 50}), (TRect{10, 10, 20, 30}));

    canvas.SetViewportExt({2000, 2000});
    canvas.SetViewportOrg({0, 0});
    EXPECT_EQ(canvas.DPtoLP(TPoint{1, 3}), (TPoint{0, 2}));
    canvas.SetWindowExt({0, 5});
    EXPECT_EQ(canvas.WindowExt(), (TSize{1000, 1000})) << "a zero extent is refused";

    QImage image = WhiteImage(60, 60);
    canvas.BeginPaint(image);
    EXPECT_EQ(canvas.ViewportExt(), (TSize{1, 1})) << "binding starts a fresh mapping";
    canvas.SetWindowExt({1000, 1000});
    canvas.SetViewportExt({1500, 1500});
    canvas.Brush().SetStyle(bsClear);
    canvas.Pen().SetWidth(0);
    canvas.Rectangle(10, 11, 20, 31);
    canvas.EndPaint();
    EXPECT_EQ(InkBounds(image), Box(15, 16, 30, 46));
}

// Offsets from the window origin reach 2^32 - 1 in size and extents 2^31: the mapping stays exact
// there, rounds ties to the even neighbour and saturates what lies beyond the 32-bit range.
TEST(CanvasTest, MappingIsExactAtTheEndsOfTheRange)
{
    struct TCase {
        int32_t Origin;
        int32_t WindowExt;
        int32_t ViewportExt;
        int32_t Value;
        int32_t Expected;
    };
    const TCase cases[] = {
        {0, 2, 1, 2147483647, 1073741824},       // 2^31 - 1: a tie, to the even neighbour
        {-2, 2, 1, 2147483647, 1073741824},      // 2^31 + 1: a tie as well
        {0, 2, 1, -2147483647, -1073741824},     // -2^31 + 1: a tie
        {-1, 1000, 999, 2147483647, 2145336164}, // 2^31
        {-2147483648, -2147483648, 1000000000, 2147483647, -2000000000},
        {-2147483648, 2147483647, -1073741824, 2147483647, -2147483648},
        {2147483647, -2147483648, -2147483648, -2147483648, -2147483648},
        {0, 2, 3, 2147483647, 2147483647}, // beyond the range
    };
    for (const TCase &c : cases) {
        TCanvas canvas;
        canvas.SetWindowOrg({c.Origin, c.Origin});
        canvas.SetWindowExt({c.WindowExt, c.WindowExt});
        canvas.SetViewportExt({c.ViewportExt, c.ViewportExt});
        EXPECT_EQ(canvas.LPtoDP(TPoint{c.Value, c.Value}), (TPoint{c.Expected, c.Expected}))
            << c.Origin << " " << c.WindowExt << " " << c.ViewportExt << " " << c.Value;
    }
}

TEST(CanvasTest, PenWidthZeroStaysOnePixelWhenZoomed)
{
    QImage image = WhiteImage(60, 60);
    TCanvas canvas;
    canvas.BeginPaint(image);
    canvas.SetWindowExt({1000, 1000});
    canvas.SetViewportExt({3000, 3000});
    canvas.Pen().SetWidth(0);
    canvas.MoveTo(1, 5);
    canvas.LineTo(18, 5);
    canvas.Pen().SetWidth(1);
    canvas.MoveTo(1, 10);
    canvas.LineTo(18, 10);
    canvas.EndPaint();
    EXPECT_EQ(InkedRowsInColumn(image, 20), 1 + 3);
    EXPECT_EQ(image.pixel(20, 15), qRgb(0, 0, 0));
}

TEST(CanvasTest, InsideFrameKeepsWideOutlinesWithinTheBounds)
{
    for (int width : {2, 3, 4, 5}) {
        QImage image = WhiteImage();
        TCanvas canvas;
        canvas.BeginPaint(image);
        canvas.Brush().SetStyle(bsClear);
        canvas.Pen().SetWidth(width);
        canvas.Pen().SetStyle(psInsideFrame);
        canvas.Rectangle(5, 6, 25, 20);
        canvas.EndPaint();
        EXPECT_EQ(InkBounds(image), Box(5, 6, 25, 20)) << "width " << width;

        image = WhiteImage();
        canvas.BeginPaint(image);
        canvas.Ellipse(5, 6, 25, 20);
        canvas.EndPaint();
        EXPECT_TRUE(Box(5, 6, 25, 20).contains(InkBounds(image))) << "width " << width;
    }

    QImage image = WhiteImage();
    TCanvas canvas;
    canvas.BeginPaint(image);
    canvas.Brush().SetStyle(bsClear);
    canvas.Pen().SetWidth(5);
    canvas.Rectangle(5, 6, 25, 20);
    canvas.EndPaint();
    EXPECT_EQ(InkBounds(image), Box(3, 4, 27, 22)) << "a plain wide pen is centred";
}

TEST(CanvasTest, NotModeInvertsAndASecondPassRestores)
{
    QImage original = WhiteImage();
    for (int y = 0; y < original.height(); ++y)
        for (int x = 0; x < original.width(); ++x)
            original.setPixel(x, y, qRgb(x * 6, y * 6, 100));
    QImage image = original;
    TCanvas canvas;
    canvas.BeginPaint(image);
    canvas.Brush().SetStyle(bsClear);
    canvas.Pen().SetMode(pmNot);
    canvas.Pen().SetStyle(psDot);
    canvas.Pen().SetWidth(0);
    canvas.Rectangle(4, 4, 30, 25);
    canvas.EndPaint();
    EXPECT_EQ(image.pixel(4, 4) & 0xFFFFFF, ~original.pixel(4, 4) & 0xFFFFFF);
    EXPECT_EQ(image.pixel(10, 10), original.pixel(10, 10));
    EXPECT_NE(image, original);

    canvas.BeginPaint(image);
    canvas.Pen().SetMode(pmNot);
    canvas.Rectangle(4, 4, 30, 25);
    canvas.EndPaint();
    EXPECT_EQ(image, original);
}

TEST(CanvasTest, ClipRegionLimitsDrawingAndReportsInLogicalUnits)
{
    QImage image = WhiteImage();
    TCanvas canvas;
    canvas.BeginPaint(image);
    EXPECT_EQ(canvas.ClipRect(), (TRect{0, 0, 40, 40}));
    canvas.SetWindowExt({1000, 1000});
    canvas.SetViewportExt({2000, 2000});
    EXPECT_EQ(canvas.ClipRect(), (TRect{0, 0, 20, 20}));

    canvas.SaveState();
    canvas.SetViewportOrg({4, 0});
    canvas.SetClipRegion(QRegion(8, 8, 10, 6));
    EXPECT_EQ(canvas.ClipRect(), (TRect{2, 4, 7, 7}));
    canvas.Brush().SetColor(clBlack);
    canvas.FillRect({-10, -10, 30, 30});
    canvas.RestoreState();
    EXPECT_FALSE(canvas.HasClip());
    EXPECT_EQ(canvas.ViewportOrg(), (TPoint{0, 0}));
    canvas.EndPaint();
    EXPECT_EQ(InkBounds(image), Box(8, 8, 17, 13));
}

TEST(CanvasTest, TextOutFillsTheCellUnlessTheBrushIsClear)
{
    QImage image = WhiteImage(80, 40);
    TCanvas canvas;
    canvas.Font().SetName("DejaVu Sans");
    canvas.Font().SetHeight(-16);
    canvas.Font().SetColor(clRed);
    canvas.Brush().SetColor(clYellow);
    const TSize extent = canvas.TextExtent("Wg");
    canvas.BeginPaint(image);
    canvas.TextOut(5, 6, "Wg");
    canvas.EndPaint();
    EXPECT_EQ(InkBounds(image), Box(5, 6, 5 + extent.cx - 1, 6 + extent.cy - 1));
    EXPECT_EQ(image.pixel(5 + extent.cx - 1, 6), qRgb(255, 255, 0));

    image = WhiteImage(80, 40);
    canvas.BeginPaint(image);
    canvas.Brush().SetStyle(bsClear);
    canvas.TextOut(5, 6, "Wg");
    canvas.EndPaint();
    int yellow = 0;
    int reddish = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            yellow += pixel == qRgb(255, 255, 0);
            reddish += qRed(pixel) == 255 && qGreen(pixel) < 128;
        }
    EXPECT_EQ(yellow, 0);
    EXPECT_GT(reddish, 0);
    EXPECT_EQ(image.pixel(5, 6 + extent.cy - 1), qRgb(255, 255, 255));
}

TEST(CanvasTest, DrawTextMeasuresAndPlacesLines)
{
    TCanvas canvas;
    canvas.Font().SetName("DejaVu Sans");
    canvas.Font().SetHeight(-12);
    const int lineHeight = canvas.TextHeight("x");
    TRect rect{10, 20, 11, 21};
    EXPECT_EQ(canvas.DrawText("ab\r\ncdefg\nx\r", rect, DT_CALCRECT | DT_NOPREFIX), 4 * lineHeight);
    EXPECT_EQ(rect, (TRect{10, 20, 10 + canvas.TextWidth("cdefg"), 20 + 4 * lineHeight}));

    rect = {0, 0, 1, 1};
    canvas.DrawText("a&&b&c", rect, DT_CALCRECT);
    EXPECT_EQ(rect.Width(), canvas.TextWidth("a&bc"));
    rect = {0, 0, 1, 1};
    EXPECT_EQ(canvas.DrawText("", rect, DT_CALCRECT), 0);
    EXPECT_EQ(rect, (TRect{0, 0, 0, 0}));

    QImage image = WhiteImage(100, 60);
    canvas.BeginPaint(image);
    canvas.Brush().SetStyle(bsClear);
    canvas.Font().SetColor(clBlack);
    rect = {10, 10, 90, 50};
    canvas.DrawText("ii", rect, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE);
    canvas.EndPaint();
    const QRect ink = InkBounds(image);
    EXPECT_GE(ink.left(), 90 - canvas.TextWidth("ii"));
    EXPECT_LE(ink.right(), 89);
    EXPECT_GE(ink.top(), 50 - lineHeight);
}

TEST(CanvasTest, DrawsOnRecordingsAndWidgets)
{
    QPicture picture;
    {
        TCanvas canvas;
        ASSERT_TRUE(canvas.BeginPaint(picture));
        EXPECT_TRUE(canvas.IsVectorRecording());
        EXPECT_TRUE(canvas.ClipRect().Contains({-100000, 100000}));
        canvas.Brush().SetStyle(bsClear);
        canvas.Pen().SetColor(clRed);
        canvas.Pen().SetMode(pmNot);
        canvas.Rectangle(0, 0, 20, 10);
    }
    QImage image = WhiteImage();
    {
        TCanvas canvas;
        canvas.BeginPaint(image);
        EXPECT_FALSE(canvas.IsVectorRecording());
        canvas.StretchDraw({5, 5, 25, 15}, picture);
    }
    // A recording has no pixels to invert: the outline is recorded in the pen colour.
    EXPECT_EQ(image.pixel(10, 5), qRgb(255, 0, 0));

    QImage source(2, 1, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(0, 0, 255));
    source.setPixel(1, 0, qRgb(0, 255, 0));
    image = WhiteImage();
    {
        TCanvas canvas;
        canvas.BeginPaint(image);
        canvas.StretchDraw({10, 10, 20, 15}, source);
    }
    EXPECT_EQ(InkBounds(image), Box(10, 10, 19, 14));
    EXPECT_EQ(image.pixel(14, 12), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(15, 12), qRgb(0, 255, 0));

    class CanvasWidget : public QWidget {
    protected:
        void paintEvent(QPaintEvent *) override
        {
            TCanvas canvas;
            if (!canvas.BeginPaint(*this))
                return;
            canvas.Brush().SetStyle(bsClear);
            canvas.Ellipse(3, 4, 20, 15);
        }
    };
    CanvasWidget widget;
    widget.resize(40, 40);
    image = WhiteImage();
    widget.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    EXPECT_EQ(InkBounds(image), Box(3, 4, 20, 15));
}

TEST(CanvasTest, ToolsReportChangesAndConvert)
{
    TFont font;
    int changes = 0;
    font.OnChange = [&] { ++changes; };
    EXPECT_EQ(font.Size(), 8);
    font.SetHeight(-11);
    EXPECT_EQ(changes, 0);
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -13);
    font.SetName("No Such Font Family");
    font.SetStyle({fsBold, fsStrikeOut});
    EXPECT_EQ(changes, 3);
    TFont other;
    font.Assign(other);
    EXPECT_EQ(changes, 4);
    EXPECT_TRUE(font == other);
    font.Assign(other);
    EXPECT_EQ(changes, 5) << "Assign reports a change even when nothing differs";

    other.SetName("No Such Font Family");
    other.SetHeight(-20);
    EXPECT_EQ(other.Name(), "No Such Font Family");
    EXPECT_EQ(other.ToQFont().pixelSize(), 20);
    EXPECT_EQ(other.ToQFont(1.5).pixelSize(), 30);
    other.SetName("DejaVu Sans");
    other.SetHeight(20);
    EXPECT_NEAR(QFontMetrics(other.ToQFont()).height(), 20, 1);

    TPen pen;
    EXPECT_EQ(pen.ToQPen(3.0).width(), 3);
    pen.SetWidth(0);
    EXPECT_EQ(pen.ToQPen(3.0).width(), 0);
    pen.SetWidth(2);
    pen.SetStyle(psDash);
    EXPECT_EQ(pen.ToQPen().style(), Qt::SolidLine) << "wide pens draw solid";
    pen.SetStyle(psClear);
    EXPECT_EQ(pen.ToQPen().style(), Qt::NoPen);

    EXPECT_EQ(ColorToQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(ColorToQColor(0x00336699), QColor(0x99, 0x66, 0x33));
    EXPECT_EQ(QColorToColor(QColor(0x99, 0x66, 0x33)), 0x00336699u);
    const QColor base = QGuiApplication::palette().color(QPalette::Active, QPalette::Base);
    EXPECT_EQ(ColorToQColor(clWindow), base);
    EXPECT_EQ(ColorToRGB(clWindow), QColorToColor(base));
    EXPECT_EQ(ColorToRGB(clLime), clLime);
    EXPECT_EQ(ColorToQColor(clNone).alpha(), 0);
}

} // namespace
} // namespace talivo
