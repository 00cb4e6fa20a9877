#include "graph/control/GraphControl.h"
#include "graph/control/GraphScrollBar.h"
#include "graph/objects/GraphLink.h"
#include "graph/objects/RectangularNode.h"
#include "platform/Platform.h"
#include "tests/common/TestMain.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScreen>

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

namespace talivo {
namespace {

constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kGreen = 0xFF00FF00;

// Collects the areas the viewport repaints.
class TPaintSpy : public QObject {
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            Painted += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
    QRegion Painted;
};

QImage WhiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

template <class TDraw> QImage DrawnOnWhite(int width, int height, const TDraw &draw)
{
    QImage image = WhiteImage(width, height);
    TCanvas canvas;
    canvas.BeginPaint(image);
    draw(canvas);
    return image;
}

class GraphPaintTest : public ::testing::Test {
protected:
    GraphPaintTest()
    {
        Parent.resize(320, 240);
        Graph->setGeometry(0, 0, 320, 240);
        Graph->SetShowGrid(false);
        Graph->SetColor(0xFFFFFF);
    }

    // A red node with a blue outline.
    TGraphNode *Insert(const TRect &bounds)
    {
        TGraphNode *node = Graph->InsertNode(bounds);
        node->Brush().SetColor(0x0000FF);
        node->Pen().SetColor(0xFF0000);
        return node;
    }

    void ShowPicture(const QImage &picture)
    {
        Graph->Background().SetImage(picture);
        Graph->SetShowBackground(true);
    }

    // The viewport as the window shows it: what the window's backing store holds once the
    // pending repaints are done.
    QImage Shown()
    {
        Parent.show();
        QApplication::processEvents();
        const QImage window = Parent.screen()
                                  ->grabWindow(Parent.winId())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
        return window.copy(
            QRect(Graph->viewport()->mapTo(&Parent, QPoint(0, 0)), Graph->viewport()->size()));
    }

    QWidget Parent;
    TGraphControl *Graph = new TGraphControl(&Parent);
};

TEST_F(GraphPaintTest, DrawPutsObjectsAtTheirGraphPixelsWithoutMarkers)
{
    Insert({100, 50, 120, 70})->SetSelected(true);
    Graph->GraphConstraints().SetBoundsRect({0, 0, 2000, 2000});
    Graph->SetFixedScrollBars(true);
    const auto check = [&] {
        const QImage image = DrawnOnWhite(200, 100, [&](TCanvas &canvas) { Graph->Draw(canvas); });
        EXPECT_EQ(image.pixel(100, 50), kBlue);
        EXPECT_EQ(image.pixel(110, 60), kRed);
        EXPECT_EQ(image.pixel(99, 49), kWhite);
        EXPECT_EQ(image.pixel(97, 47), kWhite) << "no selection marker";
    };
    check();
    Graph->SetZoom(250);
    Graph->HorzScrollBar().SetPosition(300);
    Graph->VertScrollBar().SetPosition(120);
    check();
}

TEST_F(GraphPaintTest, DrawLeavesTheCanvasToolsAsTheyWereEvenWhenAHandlerRaises)
{
    Insert({10, 10, 30, 30});
    QImage image = WhiteImage(50, 50);
    TCanvas canvas;
    ASSERT_TRUE(canvas.BeginPaint(image));
    canvas.Font().SetName("DejaVu Serif");
    canvas.Pen().SetColor(0x123456);
    canvas.Brush().SetColor(0x654321);
    const auto unchanged = [&] {
        EXPECT_EQ(canvas.Font().Name(), "DejaVu Serif");
        EXPECT_EQ(canvas.Pen().Color(), 0x123456u);
        EXPECT_EQ(canvas.Brush().Color(), 0x654321u);
    };
    Graph->Draw(canvas);
    unchanged();
    Graph->OnObjectAfterDraw = [](TGraphControl *, TGraphObject *, TCanvas &) {
        throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(Graph->Draw(canvas), std::runtime_error);
    unchanged();
}

TEST_F(GraphPaintTest, DrawOrderPutsNodesOrLinksOnTop)
{
    TGraphNode *first = Insert({0, 0, 20, 20});
    TGraphObject *link = TGraphLink::StaticClass().Create(&Graph->Document());
    TGraphNode *last = Insert({30, 0, 50, 20});
    std::vector<TGraphObject *> order;
    Graph->OnObjectBeforeDraw = [&](TGraphControl *, TGraphObject *obj, TCanvas &) {
        order.push_back(obj);
    };
    const auto drawn = [&](TGraphDrawOrder drawOrder) {
        Graph->SetDrawOrder(drawOrder);
        order.clear();
        Graph->GetAsMetafile(Graph->Objects());
        return order;
    };
    using TOrder = std::vector<TGraphObject *>;
    EXPECT_EQ(drawn(doDefault), (TOrder{first, link, last}));
    EXPECT_EQ(drawn(doNodesOnTop), (TOrder{link, first, last}));
    EXPECT_EQ(drawn(doLinksOnTop), (TOrder{first, last, link}));
}

TEST_F(GraphPaintTest, MetafileAndBitmapSpanTheObjectsBounds)
{
    // A pen of width 1 widens the visual rectangle by one: (10, 10)-(59, 39).
    Insert({11, 11, 58, 38});
    const QPicture metafile = Graph->GetAsMetafile(Graph->Objects());
    EXPECT_EQ(metafile.boundingRect(), QRect(0, 0, 50, 30));
    const QImage replayed = DrawnOnWhite(50, 30, [&](TCanvas &canvas) {
        canvas.StretchDraw({0, 0, 50, 30}, metafile);
    });
    EXPECT_EQ(replayed.pixel(1, 1), kBlue);

    const QImage bitmap = Graph->GetAsBitmap(Graph->Objects());
    EXPECT_EQ(bitmap.size(), QSize(50, 30));
    EXPECT_EQ(bitmap.format(), QImage::Format_RGB888);
    EXPECT_EQ(bitmap.pixel(1, 1), kBlue);
    EXPECT_EQ(bitmap.pixel(20, 20), kRed);

    QImage picture(80, 60, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ShowPicture(picture);
    const QImage onPicture = Graph->GetAsBitmap(Graph->Objects());
    EXPECT_EQ(onPicture.size(), QSize(80, 60));
    EXPECT_EQ(onPicture.pixel(5, 5), kGreen);
    EXPECT_EQ(onPicture.pixel(11, 11), kBlue);
    EXPECT_EQ(onPicture.pixel(30, 20), kRed);
}

TEST_F(GraphPaintTest, PrintFitsTheGraphIntoTheRectangleAndDrawsNothingForAnEmptyGraph)
{
    const auto printed = [&] {
        return DrawnOnWhite(100, 100, [&](TCanvas &canvas) {
            Graph->Print(canvas, {0, 0, 100, 100});
        });
    };
    EXPECT_EQ(printed(), WhiteImage(100, 100));
    // Twice as wide as high: the full width, half the height, centred vertically.
    Insert({1, 1, 199, 99});
    const QImage image = printed();
    EXPECT_EQ(image.pixel(50, 20), kWhite);
    EXPECT_EQ(image.pixel(50, 50), kRed);
    EXPECT_EQ(image.pixel(50, 80), kWhite);
}

TEST_F(GraphPaintTest, ScreenShowsPictureObjectsAndTheParentWhenTransparent)
{
    QPalette palette = Parent.palette();
    palette.setColor(QPalette::Window, Qt::blue);
    Parent.setPalette(palette);
    Parent.setAutoFillBackground(true);
    QImage picture(100, 80, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ShowPicture(picture);
    Insert({40, 20, 60, 40});

    QImage screen = Shown();
    EXPECT_EQ(screen.pixel(5, 5), kGreen);
    EXPECT_EQ(screen.pixel(50, 30), kRed);
    EXPECT_EQ(screen.pixel(200, 150), kWhite);

    Graph->SetTransparent(true);
    screen = Shown();
    EXPECT_EQ(screen.pixel(50, 30), kRed);
    EXPECT_EQ(screen.pixel(200, 150), kBlue);
}

TEST_F(GraphPaintTest, ZoomedPictureRepaintedInPartsMatchesTheWholeAndTheMapping)
{
    QImage picture(60, 40, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 4, y * 6, (x * y) % 256));
    }
    ShowPicture(picture);
    QWidget *viewport = Graph->viewport();
    // Whatever piece is repainted, its pixels are those of the whole view.
    for (const double zoom : {150.0, 137.3, 333.3}) {
        Graph->SetZoom(zoom);
        const QImage view = viewport->grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (zoom == 150.0) {
            // Device pixel 3 is where picture pixel 2 starts (2 x 1.5), 87 where 58 starts.
            EXPECT_EQ(view.pixel(3, 3), picture.pixel(2, 2));
            EXPECT_EQ(view.pixel(87, 57), picture.pixel(58, 38));
        }
        for (const QRect &part :
             {QRect(17, 11, 23, 19), QRect(0, 5, 13, 11), QRect(41, 33, 9, 7)}) {
            QImage pieces = view;
            viewport->render(&pieces, part.topLeft(), QRegion(part), QWidget::RenderFlags());
            EXPECT_EQ(pieces, view) << zoom;
        }
    }
    // Pixels smaller than a byte are drawn as well.
    ShowPicture(picture.convertToFormat(QImage::Format_Mono));
    Graph->SetZoom(200);
    const QImage mono = viewport->grab().toImage();
    EXPECT_EQ(mono.pixel(5, 7), Graph->Background().Image().pixel(2, 3));
    EXPECT_EQ(mono.pixel(6, 8), Graph->Background().Image().pixel(3, 4));
}

TEST_F(GraphPaintTest, HiddenSelectionShowsOnlyWithFocus)
{
    Insert({40, 40, 60, 60})->SetSelected(true);
    Graph->SetHideSelection(true);
    Parent.show();
    QApplication::setActiveWindow(&Parent);
    Graph->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(Graph->hasFocus());
    // The marker square around the top-left corner reaches (37, 37).
    EXPECT_NE(Shown().pixel(37, 37), kWhite);
    Graph->clearFocus();
    QApplication::processEvents();
    EXPECT_EQ(Shown().pixel(37, 37), kWhite);
}

TEST_F(GraphPaintTest, BatchRepaintsOnlyTheChangedAreas)
{
    TGraphNode *a = Insert({10, 10, 30, 30});
    TGraphNode *b = Insert({280, 200, 300, 220});
    TPaintSpy spy;
    Graph->viewport()->installEventFilter(&spy);
    Parent.show();
    QApplication::processEvents();
    spy.Painted = QRegion();
    Graph->BeginUpdate();
    a->MoveBy(3, 0);
    b->MoveBy(0, 3);
    Graph->EndUpdate();
    QApplication::processEvents();
    EXPECT_TRUE(spy.Painted.contains(QPoint(15, 20)));
    EXPECT_TRUE(spy.Painted.contains(QPoint(290, 222)));
    EXPECT_FALSE(spy.Painted.contains(QPoint(150, 110)));
}

// Changes of many objects' selection merge their repaints; the screen still shows every marker
// that comes and none that goes.
TEST_F(GraphPaintTest, ScreenFollowsSelectionChangesOfManyObjects)
{
    std::vector<TPoint> corners;
    for (int32_t i = 0; i < 40; ++i) {
        const TPoint corner{20 + (i % 8) * 35, 20 + (i / 8) * 40};
        Insert({corner.X, corner.Y, corner.X + 20, corner.Y + 20});
        corners.push_back(corner);
    }
    // The marker square around a node's top-left corner reaches 3 pixels beyond it.
    const auto markersShown = [&] {
        const QImage screen = Shown();
        std::vector<bool> result;
        for (const TPoint &corner : corners)
            result.push_back(screen.pixel(corner.X - 3, corner.Y - 3) != kWhite);
        return result;
    };
    markersShown();
    Graph->ToggleSelection({0, 0, 320, 240}, false);
    EXPECT_EQ(markersShown(), std::vector<bool>(40, true));
    // From the first selected object to the one after it.
    Graph->SelectNextObject(false);
    std::vector<bool> onlySecond(40, false);
    onlySecond[1] = true;
    EXPECT_EQ(markersShown(), onlySecond);
    Graph->ToggleSelection({0, 0, 320, 240}, false);
    markersShown();
    Graph->ClearSelection();
    EXPECT_EQ(markersShown(), std::vector<bool>(40, false));
}

// Once a batch has many changes its repaint is one rectangle; a change outside the window does
// not stretch what counts as repainted over the part of the window between, and a change that
// only reaches into the window is repainted there.
TEST_F(GraphPaintTest, BatchOfManyChangesShowsEachChangeInTheWindow)
{
    // The window shows the graph from (100, 0) on.
    constexpr int32_t scrolled = 100;
    std::vector<TGraphNode *> many;
    for (int32_t i = 0; i < 40; ++i) {
        const TPoint corner{scrolled + 10 + (i % 10) * 30, 10 + (i / 10) * 30};
        many.push_back(Insert({corner.X, corner.Y, corner.X + 6, corner.Y + 6}));
    }
    // The graph's bounds stay, so that no change of the scroll range repaints everything.
    Insert({0, 0, 4, 4});
    Insert({1300, 300, 1304, 304});
    TGraphNode *far = Insert({1100, 10, 1120, 230});
    TGraphNode *middle = Insert({scrolled + 150, 150, scrolled + 170, 170});
    Shown();
    // Across the right edge of the window.
    const int32_t width = Graph->viewport()->width();
    TGraphNode *edge = Insert({scrolled + width - 8, 150, scrolled + width + 12, 170});
    Graph->HorzScrollBar().SetPosition(scrolled);
    const auto at = [&](const QImage &screen, int32_t x, int32_t y) {
        const TPoint client = Graph->GraphToClient(x, y);
        return screen.pixel(client.X, client.Y);
    };
    ASSERT_EQ(Graph->GraphToClient(scrolled + width - 4, 160).X, width - 4);
    const QImage before = Shown();
    ASSERT_EQ(at(before, scrolled + 160, 160), kRed);
    ASSERT_EQ(at(before, scrolled + width - 4, 160), kRed);
    Graph->BeginUpdate();
    for (TGraphNode *node : many)
        node->MoveBy(1, 0);
    far->MoveBy(1, 0);
    middle->MoveBy(0, 40);
    edge->MoveBy(0, 40);
    Graph->EndUpdate();
    const QImage screen = Shown();
    EXPECT_EQ(at(screen, scrolled + 160, 160), kWhite);
    EXPECT_EQ(at(screen, scrolled + 160, 200), kRed);
    EXPECT_EQ(at(screen, scrolled + width - 4, 160), kWhite);
    EXPECT_EQ(at(screen, scrolled + width - 4, 200), kRed);
}

TEST_F(GraphPaintTest, CancelledDragShowsTheMarksWhereTheyStarted)
{
    TGraphNode *a = Insert({40, 40, 60, 60});
    TGraphNode *b = Insert({140, 40, 160, 60});
    a->SetSelected(true);
    b->SetSelected(true);
    Shown();
    const TRect bounds = Graph->GraphBounds();
    QWidget *client = Graph->viewport();
    const auto send = [client](QEvent::Type type, QPoint at, Qt::MouseButton button,
                               Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, client->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(client, &event);
    };
    send(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, {50, 150}, Qt::NoButton, Qt::LeftButton);
    QImage screen = Shown();
    ASSERT_EQ(screen.pixel(50, 150), kRed);
    ASSERT_EQ(screen.pixel(150, 150), kRed);
    ASSERT_EQ(screen.pixel(50, 50), kWhite);

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(Graph, &escape);
    screen = Shown();
    EXPECT_EQ(screen.pixel(50, 50), kRed);
    EXPECT_EQ(screen.pixel(150, 50), kRed);
    EXPECT_EQ(screen.pixel(50, 150), kWhite);
    EXPECT_EQ(screen.pixel(150, 150), kWhite);
    EXPECT_EQ(Graph->GraphBounds(), bounds);
    EXPECT_EQ(Graph->FindObjectAt(50, 50), a);
    EXPECT_EQ(Graph->FindObjectAt(150, 50), b);
    EXPECT_EQ(Graph->FindObjectAt(50, 150), nullptr);
}

TEST_F(GraphPaintTest, ClipboardAndFilesCarryTheVectorAndBitmapForms)
{
    Insert({10, 10, 30, 30})->SetSelected(true);
    Insert({100, 10, 120, 30});
    TMemoryClipboard memory;
    TScopedClipboard guard(&memory);
    Graph->SetClipboardFormats({cfNative, cfMetafile, cfBitmap});
    Graph->CopyToClipboard(true);
    ASSERT_TRUE(memory.Contents().Svg.has_value());
    EXPECT_TRUE(memory.Contents().Svg->contains("<svg"));
    ASSERT_TRUE(memory.Contents().Image.has_value());
    EXPECT_EQ(memory.Contents().Image->size(), QSize(23, 23));

    test::TempDir dir;
    Graph->SaveAsBitmap(dir.file("graph.bmp"));
    QFile bmp(dir.file("graph.bmp"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    const QByteArray header = bmp.read(30);
    EXPECT_TRUE(header.startsWith("BM"));
    EXPECT_EQ(header.size() == 30 ? header[28] : 0, 24) << "bits per pixel";
    EXPECT_EQ(QImage(dir.file("graph.bmp")).size(), QSize(113, 23));
    Graph->SaveAsMetafile(dir.file("graph.svg"));
    QFile svg(dir.file("graph.svg"));
    EXPECT_TRUE(svg.open(QIODevice::ReadOnly) && svg.readAll().contains("<svg"));
    EXPECT_THROW(Graph->SaveAsBitmap(dir.file("missing/graph.bmp")), std::runtime_error);
}

} // namespace
} // namespace talivo
