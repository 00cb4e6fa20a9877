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
    bool eventFilter(QObject *, QEvent *Event) override
    {
        if (Event->type() == QEvent::Paint) {
            Painted += static_cast<QPaintEvent *>(Event)->region();
        }
        return false;
    }
    QRegion Painted;
};

QImage WhiteImage(int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(Qt::white);
    return Image;
}

template <class TDraw> QImage DrawnOnWhite(int Width, int Height, const TDraw &Draw)
{
    QImage Image = WhiteImage(Width, Height);
    TCanvas Canvas;
    Canvas.BeginPaint(Image);
    Draw(Canvas);
    return Image;
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
    TGraphNode *Insert(const TRect &Bounds)
    {
        TGraphNode *Node = Graph->InsertNode(Bounds);
        Node->Brush().SetColor(0x0000FF);
        Node->Pen().SetColor(0xFF0000);
        return Node;
    }

    void ShowPicture(const QImage &Picture)
    {
        Graph->Background().SetImage(Picture);
        Graph->SetShowBackground(true);
    }

    // The viewport as the window shows it: what the window's backing store holds once the
    // pending repaints are done.
    QImage Shown()
    {
        Parent.show();
        QApplication::processEvents();
        const QImage Window = Parent.screen()
                                  ->grabWindow(Parent.winId())
                                  .toImage()
                                  .convertToFormat(QImage::Format_RGB32);
        return Window.copy(
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
    const auto Check = [&] {
        const QImage Image = DrawnOnWhite(200, 100, [&](TCanvas &Canvas) { Graph->Draw(Canvas); });
        EXPECT_EQ(Image.pixel(100, 50), kBlue);
        EXPECT_EQ(Image.pixel(110, 60), kRed);
        EXPECT_EQ(Image.pixel(99, 49), kWhite);
        EXPECT_EQ(Image.pixel(97, 47), kWhite) << "no selection marker";
    };
    Check();
    Graph->SetZoom(250);
    Graph->HorzScrollBar().SetPosition(300);
    Graph->VertScrollBar().SetPosition(120);
    Check();
}

TEST_F(GraphPaintTest, DrawLeavesTheCanvasToolsAsTheyWereEvenWhenAHandlerRaises)
{
    Insert({10, 10, 30, 30});
    QImage Image = WhiteImage(50, 50);
    TCanvas Canvas;
    ASSERT_TRUE(Canvas.BeginPaint(Image));
    Canvas.Font().SetName("DejaVu Serif");
    Canvas.Pen().SetColor(0x123456);
    Canvas.Brush().SetColor(0x654321);
    const auto Unchanged = [&] {
        EXPECT_EQ(Canvas.Font().Name(), "DejaVu Serif");
        EXPECT_EQ(Canvas.Pen().Color(), 0x123456u);
        EXPECT_EQ(Canvas.Brush().Color(), 0x654321u);
    };
    Graph->Draw(Canvas);
    Unchanged();
    Graph->OnObjectAfterDraw = [](TGraphControl *, TGraphObject *, TCanvas &) {
        throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(Graph->Draw(Canvas), std::runtime_error);
    Unchanged();
}

TEST_F(GraphPaintTest, DrawOrderPutsNodesOrLinksOnTop)
{
    TGraphNode *First = Insert({0, 0, 20, 20});
    TGraphObject *Link = TGraphLink::StaticClass().Create(&Graph->Document());
    TGraphNode *Last = Insert({30, 0, 50, 20});
    std::vector<TGraphObject *> Order;
    Graph->OnObjectBeforeDraw = [&](TGraphControl *, TGraphObject *Obj, TCanvas &) {
        Order.push_back(Obj);
    };
    const auto Drawn = [&](TGraphDrawOrder DrawOrder) {
        Graph->SetDrawOrder(DrawOrder);
        Order.clear();
        Graph->GetAsMetafile(Graph->Objects());
        return Order;
    };
    using TOrder = std::vector<TGraphObject *>;
    EXPECT_EQ(Drawn(doDefault), (TOrder{First, Link, Last}));
    EXPECT_EQ(Drawn(doNodesOnTop), (TOrder{Link, First, Last}));
    EXPECT_EQ(Drawn(doLinksOnTop), (TOrder{First, Last, Link}));
}

TEST_F(GraphPaintTest, MetafileAndBitmapSpanTheObjectsBounds)
{
    // A pen of width 1 widens the visual rectangle by one: (10, 10)-(59, 39).
    Insert({11, 11, 58, 38});
    const QPicture Metafile = Graph->GetAsMetafile(Graph->Objects());
    EXPECT_EQ(Metafile.boundingRect(), QRect(0, 0, 50, 30));
    const QImage Replayed = DrawnOnWhite(50, 30, [&](TCanvas &Canvas) {
        Canvas.StretchDraw({0, 0, 50, 30}, Metafile);
    });
    EXPECT_EQ(Replayed.pixel(1, 1), kBlue);

    const QImage Bitmap = Graph->GetAsBitmap(Graph->Objects());
    EXPECT_EQ(Bitmap.size(), QSize(50, 30));
    EXPECT_EQ(Bitmap.format(), QImage::Format_RGB888);
    EXPECT_EQ(Bitmap.pixel(1, 1), kBlue);
    EXPECT_EQ(Bitmap.pixel(20, 20), kRed);

    QImage Picture(80, 60, QImage::Format_RGB32);
    Picture.fill(Qt::green);
    ShowPicture(Picture);
    const QImage OnPicture = Graph->GetAsBitmap(Graph->Objects());
    EXPECT_EQ(OnPicture.size(), QSize(80, 60));
    EXPECT_EQ(OnPicture.pixel(5, 5), kGreen);
    EXPECT_EQ(OnPicture.pixel(11, 11), kBlue);
    EXPECT_EQ(OnPicture.pixel(30, 20), kRed);
}

TEST_F(GraphPaintTest, PrintFitsTheGraphIntoTheRectangleAndDrawsNothingForAnEmptyGraph)
{
    const auto Printed = [&] {
        return DrawnOnWhite(100, 100, [&](TCanvas &Canvas) {
            Graph->Print(Canvas, {0, 0, 100, 100});
        });
    };
    EXPECT_EQ(Printed(), WhiteImage(100, 100));
    // Twice as wide as high: the full width, half the height, centred vertically.
    Insert({1, 1, 199, 99});
    const QImage Image = Printed();
    EXPECT_EQ(Image.pixel(50, 20), kWhite);
    EXPECT_EQ(Image.pixel(50, 50), kRed);
    EXPECT_EQ(Image.pixel(50, 80), kWhite);
}

TEST_F(GraphPaintTest, ScreenShowsPictureObjectsAndTheParentWhenTransparent)
{
    QPalette Palette = Parent.palette();
    Palette.setColor(QPalette::Window, Qt::blue);
    Parent.setPalette(Palette);
    Parent.setAutoFillBackground(true);
    QImage Picture(100, 80, QImage::Format_RGB32);
    Picture.fill(Qt::green);
    ShowPicture(Picture);
    Insert({40, 20, 60, 40});

    QImage Screen = Shown();
    EXPECT_EQ(Screen.pixel(5, 5), kGreen);
    EXPECT_EQ(Screen.pixel(50, 30), kRed);
    EXPECT_EQ(Screen.pixel(200, 150), kWhite);

    Graph->SetTransparent(true);
    Screen = Shown();
    EXPECT_EQ(Screen.pixel(50, 30), kRed);
    EXPECT_EQ(Screen.pixel(200, 150), kBlue);
}

TEST_F(GraphPaintTest, ZoomedPictureRepaintedInPartsMatchesTheWholeAndTheMapping)
{
    QImage Picture(60, 40, QImage::Format_RGB32);
    for (int Y = 0; Y < Picture.height(); ++Y) {
        for (int X = 0; X < Picture.width(); ++X) {
            Picture.setPixel(X, Y, qRgb(X * 4, Y * 6, (X * Y) % 256));
        }
    }
    ShowPicture(Picture);
    QWidget *Viewport = Graph->viewport();
    // Whatever piece is repainted, its pixels are those of the whole view.
    for (const double Zoom : {150.0, 137.3, 333.3}) {
        Graph->SetZoom(Zoom);
        const QImage View = Viewport->grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (Zoom == 150.0) {
            // Device pixel 3 is where picture pixel 2 starts (2 x 1.5), 87 where 58 starts.
            EXPECT_EQ(View.pixel(3, 3), Picture.pixel(2, 2));
            EXPECT_EQ(View.pixel(87, 57), Picture.pixel(58, 38));
        }
        for (const QRect &Part :
             {QRect(17, 11, 23, 19), QRect(0, 5, 13, 11), QRect(41, 33, 9, 7)}) {
            QImage Pieces = View;
            Viewport->render(&Pieces, Part.topLeft(), QRegion(Part), QWidget::RenderFlags());
            EXPECT_EQ(Pieces, View) << Zoom;
        }
    }
    // Pixels smaller than a byte are drawn as well.
    ShowPicture(Picture.convertToFormat(QImage::Format_Mono));
    Graph->SetZoom(200);
    const QImage Mono = Viewport->grab().toImage();
    EXPECT_EQ(Mono.pixel(5, 7), Graph->Background().Image().pixel(2, 3));
    EXPECT_EQ(Mono.pixel(6, 8), Graph->Background().Image().pixel(3, 4));
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
    TGraphNode *A = Insert({10, 10, 30, 30});
    TGraphNode *B = Insert({280, 200, 300, 220});
    TPaintSpy Spy;
    Graph->viewport()->installEventFilter(&Spy);
    Parent.show();
    QApplication::processEvents();
    Spy.Painted = QRegion();
    Graph->BeginUpdate();
    A->MoveBy(3, 0);
    B->MoveBy(0, 3);
    Graph->EndUpdate();
    QApplication::processEvents();
    EXPECT_TRUE(Spy.Painted.contains(QPoint(15, 20)));
    EXPECT_TRUE(Spy.Painted.contains(QPoint(290, 222)));
    EXPECT_FALSE(Spy.Painted.contains(QPoint(150, 110)));
}

// Changes of many objects' selection merge their repaints; the screen still shows every marker
// that comes and none that goes.
TEST_F(GraphPaintTest, ScreenFollowsSelectionChangesOfManyObjects)
{
    std::vector<TPoint> Corners;
    for (int32_t I = 0; I < 40; ++I) {
        const TPoint Corner{20 + (I % 8) * 35, 20 + (I / 8) * 40};
        Insert({Corner.X, Corner.Y, Corner.X + 20, Corner.Y + 20});
        Corners.push_back(Corner);
    }
    // The marker square around a node's top-left corner reaches 3 pixels beyond it.
    const auto MarkersShown = [&] {
        const QImage Screen = Shown();
        std::vector<bool> Result;
        for (const TPoint &Corner : Corners) {
            Result.push_back(Screen.pixel(Corner.X - 3, Corner.Y - 3) != kWhite);
        }
        return Result;
    };
    MarkersShown();
    Graph->ToggleSelection({0, 0, 320, 240}, false);
    EXPECT_EQ(MarkersShown(), std::vector<bool>(40, true));
    // From the first selected object to the one after it.
    Graph->SelectNextObject(false);
    std::vector<bool> OnlySecond(40, false);
    OnlySecond[1] = true;
    EXPECT_EQ(MarkersShown(), OnlySecond);
    Graph->ToggleSelection({0, 0, 320, 240}, false);
    MarkersShown();
    Graph->ClearSelection();
    EXPECT_EQ(MarkersShown(), std::vector<bool>(40, false));
}

// Once a batch has many changes its repaint is one rectangle; a change outside the window does
// not stretch what counts as repainted over the part of the window between, and a change that
// only reaches into the window is repainted there.
TEST_F(GraphPaintTest, BatchOfManyChangesShowsEachChangeInTheWindow)
{
    // The window shows the graph from (100, 0) on.
    constexpr int32_t Scrolled = 100;
    std::vector<TGraphNode *> Many;
    for (int32_t I = 0; I < 40; ++I) {
        const TPoint Corner{Scrolled + 10 + (I % 10) * 30, 10 + (I / 10) * 30};
        Many.push_back(Insert({Corner.X, Corner.Y, Corner.X + 6, Corner.Y + 6}));
    }
    // The graph's bounds stay, so that no change of the scroll range repaints everything.
    Insert({0, 0, 4, 4});
    Insert({1300, 300, 1304, 304});
    TGraphNode *Far = Insert({1100, 10, 1120, 230});
    TGraphNode *Middle = Insert({Scrolled + 150, 150, Scrolled + 170, 170});
    Shown();
    // Across the right edge of the window.
    const int32_t Width = Graph->viewport()->width();
    TGraphNode *Edge = Insert({Scrolled + Width - 8, 150, Scrolled + Width + 12, 170});
    Graph->HorzScrollBar().SetPosition(Scrolled);
    const auto At = [&](const QImage &Screen, int32_t X, int32_t Y) {
        const TPoint Client = Graph->GraphToClient(X, Y);
        return Screen.pixel(Client.X, Client.Y);
    };
    ASSERT_EQ(Graph->GraphToClient(Scrolled + Width - 4, 160).X, Width - 4);
    const QImage Before = Shown();
    ASSERT_EQ(At(Before, Scrolled + 160, 160), kRed);
    ASSERT_EQ(At(Before, Scrolled + Width - 4, 160), kRed);
    Graph->BeginUpdate();
    for (TGraphNode *Node : Many) {
        Node->MoveBy(1, 0);
    }
    Far->MoveBy(1, 0);
    Middle->MoveBy(0, 40);
    Edge->MoveBy(0, 40);
    Graph->EndUpdate();
    const QImage Screen = Shown();
    EXPECT_EQ(At(Screen, Scrolled + 160, 160), kWhite);
    EXPECT_EQ(At(Screen, Scrolled + 160, 200), kRed);
    EXPECT_EQ(At(Screen, Scrolled + Width - 4, 160), kWhite);
    EXPECT_EQ(At(Screen, Scrolled + Width - 4, 200), kRed);
}

TEST_F(GraphPaintTest, CancelledDragShowsTheMarksWhereTheyStarted)
{
    TGraphNode *A = Insert({40, 40, 60, 60});
    TGraphNode *B = Insert({140, 40, 160, 60});
    A->SetSelected(true);
    B->SetSelected(true);
    Shown();
    const TRect Bounds = Graph->GraphBounds();
    QWidget *Client = Graph->viewport();
    const auto Send = [Client](QEvent::Type Type, QPoint At, Qt::MouseButton Button,
                               Qt::MouseButtons Buttons) {
        QMouseEvent Event(Type, At, Client->mapToGlobal(At), Button, Buttons, Qt::NoModifier);
        QApplication::sendEvent(Client, &Event);
    };
    Send(QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton, Qt::LeftButton);
    Send(QEvent::MouseMove, {50, 150}, Qt::NoButton, Qt::LeftButton);
    QImage Screen = Shown();
    ASSERT_EQ(Screen.pixel(50, 150), kRed);
    ASSERT_EQ(Screen.pixel(150, 150), kRed);
    ASSERT_EQ(Screen.pixel(50, 50), kWhite);

    QKeyEvent Escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(Graph, &Escape);
    Screen = Shown();
    EXPECT_EQ(Screen.pixel(50, 50), kRed);
    EXPECT_EQ(Screen.pixel(150, 50), kRed);
    EXPECT_EQ(Screen.pixel(50, 150), kWhite);
    EXPECT_EQ(Screen.pixel(150, 150), kWhite);
    EXPECT_EQ(Graph->GraphBounds(), Bounds);
    EXPECT_EQ(Graph->FindObjectAt(50, 50), A);
    EXPECT_EQ(Graph->FindObjectAt(150, 50), B);
    EXPECT_EQ(Graph->FindObjectAt(50, 150), nullptr);
}

TEST_F(GraphPaintTest, ClipboardAndFilesCarryTheVectorAndBitmapForms)
{
    Insert({10, 10, 30, 30})->SetSelected(true);
    Insert({100, 10, 120, 30});
    TMemoryClipboard Memory;
    TScopedClipboard Guard(&Memory);
    Graph->SetClipboardFormats({cfNative, cfMetafile, cfBitmap});
    Graph->CopyToClipboard(true);
    ASSERT_TRUE(Memory.Contents().Svg.has_value());
    EXPECT_TRUE(Memory.Contents().Svg->contains("<svg"));
    ASSERT_TRUE(Memory.Contents().Image.has_value());
    EXPECT_EQ(Memory.Contents().Image->size(), QSize(23, 23));

    test::TempDir Dir;
    Graph->SaveAsBitmap(Dir.file("graph.bmp"));
    QFile Bmp(Dir.file("graph.bmp"));
    ASSERT_TRUE(Bmp.open(QIODevice::ReadOnly));
    const QByteArray Header = Bmp.read(30);
    EXPECT_TRUE(Header.startsWith("BM"));
    EXPECT_EQ(Header.size() == 30 ? Header[28] : 0, 24) << "bits per pixel";
    EXPECT_EQ(QImage(Dir.file("graph.bmp")).size(), QSize(113, 23));
    Graph->SaveAsMetafile(Dir.file("graph.svg"));
    QFile Svg(Dir.file("graph.svg"));
    EXPECT_TRUE(Svg.open(QIODevice::ReadOnly) && Svg.readAll().contains("<svg"));
    EXPECT_THROW(Graph->SaveAsBitmap(Dir.file("missing/graph.bmp")), std::runtime_error);
}

} // namespace
} // namespace talivo
