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

    // A graph of w x h units whose scroll range is its whole area, as for an opened image.
    void UseFixedArea(int32_t w, int32_t h)
    {
        Graph.GraphConstraints().SetBoundsRect({0, 0, w, h});
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
    TCanvas canvas;
    Graph.AdjustDC(canvas);
    for (const TPoint &pt : {TPoint{0, 0}, TPoint{3, 5}, TPoint{1001, 2999}, TPoint{-17, 45}}) {
        EXPECT_EQ(Graph.GraphToClient(pt.X, pt.Y), canvas.LPtoDP(pt));
        EXPECT_EQ(Graph.ClientToGraph(pt.X, pt.Y), canvas.DPtoLP(pt));
    }
}

TEST_F(GraphViewTest, ZoomIsClampedAndOnlyAChangeIsReported)
{
    int changes = 0;
    Graph.OnZoomChange = [&](TGraphControl *) { ++changes; };
    EXPECT_FALSE(Graph.ChangeZoom(100, zoCenter));
    EXPECT_EQ(changes, 0);

    EXPECT_TRUE(Graph.ChangeZoom(0.05, zoTopLeft));
    EXPECT_EQ(Graph.Zoom(), 0.1);
    EXPECT_FALSE(Graph.ChangeZoomBy(-1, zoTopLeft));
    EXPECT_FALSE(Graph.ChangeZoom(std::nan(""), zoTopLeft));
    EXPECT_TRUE(Graph.ChangeZoom(40000, zoCenter));
    EXPECT_EQ(Graph.Zoom(), 32767);
    EXPECT_EQ(changes, 2);

    Graph.SetZoom(100);
    Graph.SetZoom(40000);
    EXPECT_EQ(Graph.Zoom(), 32767);
    Graph.SetZoom(32767);
    EXPECT_EQ(changes, 4);
}

TEST_F(GraphViewTest, ZoomOriginsKeepTheirPointInPlace)
{
    UseFixedArea(4000, 3000);
    Graph.ScrollCenter(TPoint{1000, 800});
    const TPoint centre = Graph.ClientToGraph(ClientWidth() / 2, ClientHeight() / 2);
    EXPECT_TRUE(Graph.ChangeZoom(250, zoCenter));
    const TPoint newCentre = Graph.ClientToGraph(ClientWidth() / 2, ClientHeight() / 2);
    EXPECT_NEAR(newCentre.X, centre.X, 1);
    EXPECT_NEAR(newCentre.Y, centre.Y, 1);

    EXPECT_TRUE(Graph.ChangeZoomPosition(100, {2000, 1500}));
    EXPECT_EQ(Graph.HorzScrollBar().Position(), 2000 - ClientWidth() / 2);
    EXPECT_EQ(Graph.VertScrollBar().Position(), 1500 - ClientHeight() / 2);

    const QPoint client(100, 80);
    QCursor::setPos(Graph.viewport()->mapToGlobal(client));
    if (Graph.viewport()->mapFromGlobal(QCursor::pos()) != client)
        GTEST_SKIP() << "the platform cannot move the mouse pointer";
    const TPoint underPointer = Graph.ClientToGraph(client.x(), client.y());
    EXPECT_TRUE(Graph.ChangeZoom(300, zoCursor));
    const TPoint stillUnder = Graph.ClientToGraph(client.x(), client.y());
    EXPECT_NEAR(stillUnder.X, underPointer.X, 1);
    EXPECT_NEAR(stillUnder.Y, underPointer.Y, 1);
    EXPECT_TRUE(Graph.ChangeZoom(200, zoCursorCenter));
    const TPoint centred = Graph.ClientToGraph(ClientWidth() / 2, ClientHeight() / 2);
    EXPECT_NEAR(centred.X, stillUnder.X, 1);
    EXPECT_NEAR(centred.Y, stillUnder.Y, 1);
}

TEST_F(GraphViewTest, FixedScrollBarsTakeTheRangeFromTheConstraints)
{
    Graph.resize(Graph.width() - ClientWidth() + 400, Graph.height());
    ASSERT_EQ(ClientWidth(), 400);
    UseFixedArea(1000, 100);
    Graph.SetZoom(50);
    TGraphScrollBar &horz = Graph.HorzScrollBar();
    EXPECT_EQ(horz.Range(), 500);
    EXPECT_EQ(horz.CalcRange(), 100);
    EXPECT_TRUE(horz.IsScrollBarVisible());
    EXPECT_FALSE(Graph.VertScrollBar().IsScrollBarVisible());
    EXPECT_EQ(Graph.horizontalScrollBar()->maximum(), 100);
    EXPECT_EQ(Graph.horizontalScrollBar()->pageStep(), 400);

    horz.SetPosition(500);
    EXPECT_EQ(horz.Position(), 100);
    EXPECT_EQ(Graph.horizontalScrollBar()->value(), 100);
    // A range that fits the client hides the bar and brings the position back.
    Graph.GraphConstraints().SetMaxRight(700);
    EXPECT_EQ(horz.Range(), 350);
    EXPECT_FALSE(horz.IsScrollBarVisible());
    EXPECT_EQ(horz.Position(), 0);
    EXPECT_EQ(horz.ScrollPos(), 0);

    // Without fixed bars the range follows the objects.
    Graph.SetFixedScrollBars(false);
    Graph.KeepInside = false;
    Graph.InsertNode({0, 0, 1200, 40});
    ASSERT_GE(Graph.GraphBounds().Right, 1200);
    EXPECT_EQ(horz.Range(), Nearest(Graph.GraphBounds().Right / 2.0));
    horz.SetVisible(false);
    EXPECT_EQ(horz.CalcRange(), 0);
    EXPECT_FALSE(horz.IsScrollBarVisible());
}

TEST_F(GraphViewTest, QtScrollBarActionsMoveTheControlsPosition)
{
    UseFixedArea(4000, 3000);
    TGraphScrollBar &horz = Graph.HorzScrollBar();
    QScrollBar *bar = Graph.horizontalScrollBar();
    const int32_t pageIncrement = ClientWidth() * 9 / 10;
    EXPECT_EQ(horz.PageIncrement(), pageIncrement);
    EXPECT_EQ(horz.Increment(), pageIncrement / 10);

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(horz.Position(), pageIncrement / 10);
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(horz.Position(), pageIncrement / 10 + pageIncrement);
    EXPECT_EQ(bar->value(), horz.Position());

    horz.SetSmooth(false);
    horz.SetIncrement(5);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(horz.Position(), pageIncrement / 10 + pageIncrement - 5);
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(horz.Position(), horz.CalcRange());
    bar->setSliderPosition(40);
    EXPECT_EQ(horz.Position(), 40);
    bar->setValue(70);
    EXPECT_EQ(horz.Position(), 70);
    EXPECT_EQ(Graph.ClientToGraph(0, 0).X, 70);

    Graph.Clear();
    EXPECT_EQ(horz.Position(), 0);
}

// Counts the viewport's paints.
class TPaintCounter : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++Paints;
        return false;
    }
};

TEST_F(GraphViewTest, SmoothPageStepPaintsOncePerStepThatMoves)
{
    UseFixedArea(4000, 3000);
    QApplication::processEvents();
    TGraphScrollBar &horz = Graph.HorzScrollBar();
    QScrollBar *bar = Graph.horizontalScrollBar();
    horz.SetDelay(1);
    const int32_t step = horz.PageIncrement() / horz.PageDiv();
    const int32_t steps = horz.PageDiv() + (horz.PageIncrement() % horz.PageDiv() > 0 ? 1 : 0);
    ASSERT_GT(step, 10);
    TPaintCounter counter;
    Graph.viewport()->installEventFilter(&counter);

    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QApplication::processEvents();
    EXPECT_EQ(horz.Position(), horz.PageIncrement());
    EXPECT_EQ(counter.Paints, steps);

    // Near the end of the range only the steps that still move paint.
    horz.SetPosition(horz.CalcRange() - step - step / 2);
    QApplication::processEvents();
    counter.Paints = 0;
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QApplication::processEvents();
    EXPECT_EQ(horz.Position(), horz.CalcRange());
    EXPECT_EQ(counter.Paints, 2);

    counter.Paints = 0;
    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QApplication::processEvents();
    EXPECT_EQ(counter.Paints, 0);
    Graph.viewport()->removeEventFilter(&counter);
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
    for (const double zoom : {50.0, 150.0, 250.0}) {
        Graph.SetZoom(zoom);
        for (int32_t x = 2001; x <= 2008; ++x) {
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << ", point " << x);
            const int32_t pixel = static_cast<int32_t>(std::nearbyint(x * zoom / 100));
            // From the far end the point comes in at the view's near edge ...
            Graph.HorzScrollBar().SetPosition(30000);
            Graph.VertScrollBar().SetPosition(30000);
            Graph.ScrollInView(TPoint{x, x});
            EXPECT_EQ(Graph.HorzScrollBar().Position(), pixel);
            EXPECT_EQ(Graph.GraphToClient(x, x), (TPoint{0, 0}));
            // ... and from the start at its far edge.
            Graph.HorzScrollBar().SetPosition(0);
            Graph.VertScrollBar().SetPosition(0);
            Graph.ScrollInView(TPoint{x, x});
            EXPECT_EQ(Graph.HorzScrollBar().Position(), pixel - ClientWidth());
            EXPECT_EQ(Graph.GraphToClient(x, x), (TPoint{ClientWidth(), ClientHeight()}));
            Graph.ScrollCenter(TPoint{x, x});
            EXPECT_EQ(Graph.GraphToClient(x, x), (TPoint{ClientWidth() / 2, ClientHeight() / 2}));
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
    TGraphConstraints &c = Graph.GraphConstraints();
    int changes = 0;
    c.OnChange = [&](TGraphConstraints *) { ++changes; };
    c.SetBounds(0, 0, 100, 50);
    c.SetBoundsRect({0, 0, 100, 50});
    EXPECT_EQ(changes, 1);
    c.SetMaxBottom(60);
    EXPECT_EQ(c.BoundsRect(), (TRect{0, 0, 100, 60}));
    EXPECT_EQ(changes, 2);

    EXPECT_TRUE(c.WithinBounds({{0, 0}, {99, 59}}));
    EXPECT_FALSE(c.WithinBounds({{0, 0}, {100, 10}}));
    TPoint edge{100, 60};
    EXPECT_TRUE(c.ConfinePt(edge));
    TPoint outside{-5, 70};
    EXPECT_FALSE(c.ConfinePt(outside));
    EXPECT_EQ(outside, (TPoint{0, 60}));
    TRect wide{-10, 5, 120, 50};
    EXPECT_FALSE(c.ConfineRect(wide));
    EXPECT_EQ(wide, (TRect{0, 5, 100, 50}));

    int32_t dx = -30;
    int32_t dy = 40;
    c.SetSourceRect({10, 10, 30, 30});
    EXPECT_TRUE(c.ConfineOffset(dx, dy, {}));
    EXPECT_EQ(dx, -30);
    EXPECT_EQ(dy, 40);
    EXPECT_TRUE(c.ConfineOffset(dx, dy, {osLeft, osTop, osRight, osBottom}));
    EXPECT_EQ(dx, -10);
    EXPECT_EQ(dy, 30);
    // A source larger than the bounds: the right side wins.
    c.SetSourceRect({-20, 0, 130, 10});
    dx = 5;
    dy = 0;
    EXPECT_TRUE(c.ConfineOffset(dx, dy, {osLeft, osRight}));
    EXPECT_EQ(dx, -30);
    dx = 0;
    EXPECT_FALSE(c.ConfineOffset(dx, dy, {}));

    Graph.KeepInside = false;
    Graph.KeepCenterInside = true;
    TGraphNode *node = Graph.InsertNode({10, 10, 30, 30});
    node->SetLeft(-50);
    EXPECT_EQ(node->Left(), -10);
}

} // namespace
} // namespace talivo
