#include "graph/control/GraphControl.h"
#include "graph/control/GraphScrollBar.h"
#include "graph/objects/GraphNode.h"

#include <QApplication>
#include <QCursor>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <cmath>

namespace talivo {
namespace {

class GraphViewTest : public ::testing::Test {
protected:
    GraphViewTest()
    {
        Graph.resize(416, 316);
        Graph.show();
    }

    // A graph of W x H units whose scroll range is its whole area, as for an opened image.
    void UseFixedArea(int32_t W, int32_t H)
    {
        Graph.GraphConstraints().SetBoundsRect({0, 0, W, H});
        Graph.SetFixedScrollBars(true);
    }

    int32_t ClientWidth() const { return Graph.viewport()->width(); }
    int32_t ClientHeight() const { return Graph.viewport()->height(); }

    TGraphControl Graph;
};

TEST_F(GraphViewTest, ConversionsFollowZoomAndScrollPositions)
{
    EXPECT_EQ(Graph.ClientToGraph(10, 20), (TPoint{10, 20}));

    UseFixedArea(4000, 3000);
    Graph.SetZoom(200);
    Graph.HorzScrollBar().SetPosition(50);
    EXPECT_EQ(Graph.ClientToGraph(10, 20), (TPoint{30, 10}));
    EXPECT_EQ(Graph.GraphToClient(30, 10), (TPoint{10, 20}));
    EXPECT_EQ(Graph.VisibleBounds(),
              (TRect{25, 0, Nearest((ClientWidth() + 50) / 2.0), Nearest(ClientHeight() / 2.0)}));

    // Half pixels go to the even neighbour, as on a canvas prepared by AdjustDC.
    Graph.SetZoom(50);
    Graph.HorzScrollBar().SetPosition(0);
    EXPECT_EQ(Graph.GraphToClient(1, 3), (TPoint{0, 2}));
    Graph.SetZoom(33.3);
    Graph.HorzScrollBar().SetPosition(7);
    Graph.VertScrollBar().SetPosition(3);
    TCanvas Canvas;
    Graph.AdjustDC(Canvas);
    for (const TPoint &Pt : {TPoint{0, 0}, TPoint{3, 5}, TPoint{1001, 2999}, TPoint{-17, 45}}) {
        EXPECT_EQ(Graph.GraphToClient(Pt.X, Pt.Y), Canvas.LPtoDP(Pt));
        EXPECT_EQ(Graph.ClientToGraph(Pt.X, Pt.Y), Canvas.DPtoLP(Pt));
    }
}

TEST_F(GraphViewTest, ZoomIsClampedAndOnlyAChangeIsReported)
{
    int Changes = 0;
    Graph.OnZoomChange = [&](TGraphControl *) { ++Changes; };
    EXPECT_FALSE(Graph.ChangeZoom(100, zoCenter));
    EXPECT_EQ(Changes, 0);

    EXPECT_TRUE(Graph.ChangeZoom(0.05, zoTopLeft));
    EXPECT_EQ(Graph.Zoom(), 0.1);
    EXPECT_FALSE(Graph.ChangeZoomBy(-1, zoTopLeft));
    EXPECT_FALSE(Graph.ChangeZoom(std::nan(""), zoTopLeft));
    EXPECT_TRUE(Graph.ChangeZoom(40000, zoCenter));
    EXPECT_EQ(Graph.Zoom(), 32767);
    EXPECT_EQ(Changes, 2);

    Graph.SetZoom(100);
    Graph.SetZoom(40000);
    EXPECT_EQ(Graph.Zoom(), 32767);
    Graph.SetZoom(32767);
    EXPECT_EQ(Changes, 4);
}

TEST_F(GraphViewTest, ZoomOriginsKeepTheirPointInPlace)
{
    UseFixedArea(4000, 3000);
    Graph.ScrollCenter(TPoint{1000, 800});
    const TPoint Centre = Graph.ClientToGraph(ClientWidth() / 2, ClientHeight() / 2);
    EXPECT_TRUE(Graph.ChangeZoom(250, zoCenter));
    const TPoint NewCentre = Graph.ClientToGraph(ClientWidth() / 2, ClientHeight() / 2);
    EXPECT_NEAR(NewCentre.X, Centre.X, 1);
    EXPECT_NEAR(NewCentre.Y, Centre.Y, 1);

    EXPECT_TRUE(Graph.ChangeZoomPosition(100, {2000, 1500}));
    EXPECT_EQ(Graph.HorzScrollBar().Position(), 2000 - ClientWidth() / 2);
    EXPECT_EQ(Graph.VertScrollBar().Position(), 1500 - ClientHeight() / 2);

    const QPoint Client(100, 80);
    QCursor::setPos(Graph.viewport()->mapToGlobal(Client));
    if (Graph.viewport()->mapFromGlobal(QCursor::pos()) != Client) {
        GTEST_SKIP() << "the platform cannot move the mouse pointer";
    }
    const TPoint UnderPointer = Graph.ClientToGraph(Client.x(), Client.y());
    EXPECT_TRUE(Graph.ChangeZoom(300, zoCursor));
    const TPoint StillUnder = Graph.ClientToGraph(Client.x(), Client.y());
    EXPECT_NEAR(StillUnder.X, UnderPointer.X, 1);
    EXPECT_NEAR(StillUnder.Y, UnderPointer.Y, 1);
    EXPECT_TRUE(Graph.ChangeZoom(200, zoCursorCenter));
    const TPoint Centred = Graph.ClientToGraph(ClientWidth() / 2, ClientHeight() / 2);
    EXPECT_NEAR(Centred.X, StillUnder.X, 1);
    EXPECT_NEAR(Centred.Y, StillUnder.Y, 1);
}

TEST_F(GraphViewTest, FixedScrollBarsTakeTheRangeFromTheConstraints)
{
    Graph.resize(Graph.width() - ClientWidth() + 400, Graph.height());
    ASSERT_EQ(ClientWidth(), 400);
    UseFixedArea(1000, 100);
    Graph.SetZoom(50);
    TGraphScrollBar &Horz = Graph.HorzScrollBar();
    EXPECT_EQ(Horz.Range(), 500);
    EXPECT_EQ(Horz.CalcRange(), 100);
    EXPECT_TRUE(Horz.IsScrollBarVisible());
    EXPECT_FALSE(Graph.VertScrollBar().IsScrollBarVisible());
    EXPECT_EQ(Graph.horizontalScrollBar()->maximum(), 100);
    EXPECT_EQ(Graph.horizontalScrollBar()->pageStep(), 400);

    Horz.SetPosition(500);
    EXPECT_EQ(Horz.Position(), 100);
    EXPECT_EQ(Graph.horizontalScrollBar()->value(), 100);
    // A range that fits the client hides the bar and brings the position back.
    Graph.GraphConstraints().SetMaxRight(700);
    EXPECT_EQ(Horz.Range(), 350);
    EXPECT_FALSE(Horz.IsScrollBarVisible());
    EXPECT_EQ(Horz.Position(), 0);
    EXPECT_EQ(Horz.ScrollPos(), 0);

    // Without fixed bars the range follows the objects.
    Graph.SetFixedScrollBars(false);
    Graph.KeepInside = false;
    Graph.InsertNode({0, 0, 1200, 40});
    ASSERT_GE(Graph.GraphBounds().Right, 1200);
    EXPECT_EQ(Horz.Range(), Nearest(Graph.GraphBounds().Right / 2.0));
    Horz.SetVisible(false);
    EXPECT_EQ(Horz.CalcRange(), 0);
    EXPECT_FALSE(Horz.IsScrollBarVisible());
}

TEST_F(GraphViewTest, QtScrollBarActionsMoveTheControlsPosition)
{
    UseFixedArea(4000, 3000);
    TGraphScrollBar &Horz = Graph.HorzScrollBar();
    QScrollBar *Bar = Graph.horizontalScrollBar();
    const int32_t PageIncrement = ClientWidth() * 9 / 10;
    EXPECT_EQ(Horz.PageIncrement(), PageIncrement);
    EXPECT_EQ(Horz.Increment(), PageIncrement / 10);

    Bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Horz.Position(), PageIncrement / 10);
    Bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Horz.Position(), PageIncrement / 10 + PageIncrement);
    EXPECT_EQ(Bar->value(), Horz.Position());

    Horz.SetSmooth(false);
    Horz.SetIncrement(5);
    Bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(Horz.Position(), PageIncrement / 10 + PageIncrement - 5);
    Bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(Horz.Position(), Horz.CalcRange());
    Bar->setSliderPosition(40);
    EXPECT_EQ(Horz.Position(), 40);
    Bar->setValue(70);
    EXPECT_EQ(Horz.Position(), 70);
    EXPECT_EQ(Graph.ClientToGraph(0, 0).X, 70);

    Graph.Clear();
    EXPECT_EQ(Horz.Position(), 0);
}

// Counts the viewport's paints.
class TPaintCounter : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *Event) override
    {
        if (Event->type() == QEvent::Paint) {
            ++Paints;
        }
        return false;
    }
};

TEST_F(GraphViewTest, SmoothPageStepPaintsOncePerStepThatMoves)
{
    UseFixedArea(4000, 3000);
    QApplication::processEvents();
    TGraphScrollBar &Horz = Graph.HorzScrollBar();
    QScrollBar *Bar = Graph.horizontalScrollBar();
    Horz.SetDelay(1);
    const int32_t Step = Horz.PageIncrement() / Horz.PageDiv();
    const int32_t Steps = Horz.PageDiv() + (Horz.PageIncrement() % Horz.PageDiv() > 0 ? 1 : 0);
    ASSERT_GT(Step, 10);
    TPaintCounter Counter;
    Graph.viewport()->installEventFilter(&Counter);

    Bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QApplication::processEvents();
    EXPECT_EQ(Horz.Position(), Horz.PageIncrement());
    EXPECT_EQ(Counter.Paints, Steps);

    // Near the end of the range only the steps that still move paint.
    Horz.SetPosition(Horz.CalcRange() - Step - Step / 2);
    QApplication::processEvents();
    Counter.Paints = 0;
    Bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QApplication::processEvents();
    EXPECT_EQ(Horz.Position(), Horz.CalcRange());
    EXPECT_EQ(Counter.Paints, 2);

    Counter.Paints = 0;
    Bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    Bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QApplication::processEvents();
    EXPECT_EQ(Counter.Paints, 0);
    Graph.viewport()->removeEventFilter(&Counter);
}

TEST_F(GraphViewTest, ScrollingBringsPointsIntoViewAndToTheCentre)
{
    UseFixedArea(4000, 3000);
    Graph.ScrollInView(TPoint{1000, 50});
    EXPECT_EQ(Graph.HorzScrollBar().Position(), 1000 - ClientWidth());
    EXPECT_EQ(Graph.VertScrollBar().Position(), 0);
    Graph.ScrollInView(TPoint{10, 10});
    EXPECT_EQ(Graph.HorzScrollBar().Position(), 10);

    // A rectangle that fits is shown whole, its right edge at the client's right.
    Graph.ScrollInView(TRect{500, 20, 600, 40});
    EXPECT_EQ(Graph.HorzScrollBar().Position(), 600 - ClientWidth());
    // One wider than the view shows its left part.
    Graph.ScrollInView(TRect{3000, 20, 3000 + 2 * ClientWidth(), 40});
    EXPECT_EQ(Graph.HorzScrollBar().Position(), 3000 - ClientWidth());

    Graph.ScrollCenter(TRect{1900, 1400, 2100, 1600});
    EXPECT_EQ(Graph.HorzScrollBar().Position(), 2000 - ClientWidth() / 2);
    EXPECT_EQ(Graph.VertScrollBar().Position(), 1500 - ClientHeight() / 2);
    Graph.ScrollCenter(TPoint{5, 5});
    EXPECT_EQ(Graph.HorzScrollBar().Position(), 0);
    EXPECT_EQ(Graph.VertScrollBar().Position(), 0);
}

// Zooms of 50, 150 and 250 % put odd graph coordinates on half pixels; the halves go to the even
// neighbour in scrolling exactly as in drawing, so a point scrolled into view is in view.
TEST_F(GraphViewTest, HalfPixelsRoundToEvenWhenScrollingAPointIntoView)
{
    UseFixedArea(40000, 30000);
    for (const double Zoom : {50.0, 150.0, 250.0}) {
        Graph.SetZoom(Zoom);
        for (int32_t X = 2001; X <= 2008; ++X) {
            SCOPED_TRACE(testing::Message() << "zoom " << Zoom << ", point " << X);
            const int32_t Pixel = static_cast<int32_t>(std::nearbyint(X * Zoom / 100));
            // From the far end the point comes in at the view's near edge ...
            Graph.HorzScrollBar().SetPosition(30000);
            Graph.VertScrollBar().SetPosition(30000);
            Graph.ScrollInView(TPoint{X, X});
            EXPECT_EQ(Graph.HorzScrollBar().Position(), Pixel);
            EXPECT_EQ(Graph.GraphToClient(X, X), (TPoint{0, 0}));
            // ... and from the start at its far edge.
            Graph.HorzScrollBar().SetPosition(0);
            Graph.VertScrollBar().SetPosition(0);
            Graph.ScrollInView(TPoint{X, X});
            EXPECT_EQ(Graph.HorzScrollBar().Position(), Pixel - ClientWidth());
            EXPECT_EQ(Graph.GraphToClient(X, X), (TPoint{ClientWidth(), ClientHeight()}));
            Graph.ScrollCenter(TPoint{X, X});
            EXPECT_EQ(Graph.GraphToClient(X, X), (TPoint{ClientWidth() / 2, ClientHeight() / 2}));
        }
    }
    // At 33.25 % the mapping itself is 332.5 units per 1000, whose half goes to 332.
    Graph.SetZoom(33.25);
    Graph.HorzScrollBar().SetPosition(0);
    Graph.VertScrollBar().SetPosition(0);
    EXPECT_EQ(Graph.GraphToClient(1000, 3000), (TPoint{332, 996}));
    EXPECT_EQ(Graph.ClientToGraph(332, 996), (TPoint{1000, 3000}));
}

TEST_F(GraphViewTest, RightToLeftLayoutStartsAtTheRightEnd)
{
    UseFixedArea(4000, 3000);
    Graph.setLayoutDirection(Qt::RightToLeft);
    EXPECT_EQ(Graph.HorzScrollBar().Position(), Graph.HorzScrollBar().CalcRange());
    // The graph is not mirrored, so neither is the thumb.
    EXPECT_TRUE(Graph.horizontalScrollBar()->invertedAppearance());
    Graph.setLayoutDirection(Qt::LeftToRight);
    EXPECT_EQ(Graph.HorzScrollBar().Position(), 0);
    EXPECT_FALSE(Graph.horizontalScrollBar()->invertedAppearance());
}

TEST_F(GraphViewTest, ZoomRectFitsTheRectangleUnlessTheZoomIsClamped)
{
    EXPECT_FALSE(Graph.ZoomRect({10, 10, 10, 50}));
    EXPECT_EQ(Graph.Zoom(), 0.1);

    EXPECT_TRUE(Graph.ZoomRect({0, 0, 200, 100}));
    EXPECT_EQ(Graph.Zoom(), std::min((100 * ClientWidth() + 100) / 200, ClientHeight()));
    EXPECT_FALSE(Graph.ZoomGraph());
    EXPECT_FALSE(Graph.ZoomObject(nullptr));
}

TEST_F(GraphViewTest, ConstraintsConfineAndReportChanges)
{
    TGraphConstraints &C = Graph.GraphConstraints();
    int Changes = 0;
    C.OnChange = [&](TGraphConstraints *) { ++Changes; };
    C.SetBounds(0, 0, 100, 50);
    C.SetBoundsRect({0, 0, 100, 50});
    EXPECT_EQ(Changes, 1);
    C.SetMaxBottom(60);
    EXPECT_EQ(C.BoundsRect(), (TRect{0, 0, 100, 60}));
    EXPECT_EQ(Changes, 2);

    EXPECT_TRUE(C.WithinBounds({{0, 0}, {99, 59}}));
    EXPECT_FALSE(C.WithinBounds({{0, 0}, {100, 10}}));
    TPoint Edge{100, 60};
    EXPECT_TRUE(C.ConfinePt(Edge));
    TPoint Outside{-5, 70};
    EXPECT_FALSE(C.ConfinePt(Outside));
    EXPECT_EQ(Outside, (TPoint{0, 60}));
    TRect Wide{-10, 5, 120, 50};
    EXPECT_FALSE(C.ConfineRect(Wide));
    EXPECT_EQ(Wide, (TRect{0, 5, 100, 50}));

    int32_t dX = -30;
    int32_t dY = 40;
    C.SetSourceRect({10, 10, 30, 30});
    EXPECT_TRUE(C.ConfineOffset(dX, dY, {}));
    EXPECT_EQ(dX, -30);
    EXPECT_EQ(dY, 40);
    EXPECT_TRUE(C.ConfineOffset(dX, dY, {osLeft, osTop, osRight, osBottom}));
    EXPECT_EQ(dX, -10);
    EXPECT_EQ(dY, 30);
    // A source larger than the bounds: the right side wins.
    C.SetSourceRect({-20, 0, 130, 10});
    dX = 5;
    dY = 0;
    EXPECT_TRUE(C.ConfineOffset(dX, dY, {osLeft, osRight}));
    EXPECT_EQ(dX, -30);
    dX = 0;
    EXPECT_FALSE(C.ConfineOffset(dX, dY, {}));

    Graph.KeepInside = false;
    Graph.KeepCenterInside = true;
    TGraphNode *Node = Graph.InsertNode({10, 10, 30, 30});
    Node->SetLeft(-50);
    EXPECT_EQ(Node->Left(), -10);
}

} // namespace
} // namespace talivo
