#include "graph/control/GraphControl.h"
#include "graph/control/GraphCursors.h"
#include "graph/control/GraphScrollBar.h"
#include "graph/objects/GraphLink.h"
#include "graph/objects/GraphNode.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolTip>

#include <gtest/gtest.h>

namespace talivo {
namespace {

// A selectable object that is no node, for band selections by class.
class TBandLink : public TGraphLink {
public:
    explicit TBandLink(TGraphDocument *owner) : TGraphLink(owner) {}
    static const TGraphObjectClass &StaticClass()
    {
        static const TGraphObjectClass objectClass =
            TGraphObjectClass::Of<TBandLink>("TBandLink", &TGraphLink::StaticClass());
        return objectClass;
    }
    const TGraphObjectClass &ClassType() const override { return StaticClass(); }

protected:
    TRect QueryVisualRect() const override { return {100, 100, 120, 120}; }
};

class GraphInteractionTest : public ::testing::Test {
protected:
    GraphInteractionTest()
    {
        Window.resize(400, 340);
        Graph.resize(400, 300);
        Graph.SetSnapToGrid(false);
        Graph.OnGraphChange = [this](TGraphControl *) { ++GraphChanges; };
        // A neighbour that the focus chain could hand Tab to.
        (new QLineEdit(&Window))->move(0, 310);
        Window.show();
    }

    TGraphObject *Mark(int32_t x, int32_t y)
    {
        static const TGraphObjectClass *circular = TGraphControl::FindClass("TCircularNode");
        return Graph.InsertNode({x - 10, y - 10, x + 10, y + 10}, circular);
    }

    static TPoint Center(const TGraphObject *obj)
    {
        const TRect r = obj->BoundsRect();
        return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
    }

    void Mouse(QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers)
    {
        QWidget *client = Graph.viewport();
        QMouseEvent event(type, pos, client->mapToGlobal(pos), button, buttons, modifiers);
        QApplication::sendEvent(client, &event);
    }
    void Press(QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Mouse(QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton, modifiers);
    }
    void MoveHeld(QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Mouse(QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton, modifiers);
    }
    void Release(QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Mouse(QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton, modifiers);
    }
    void Drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Press(from, modifiers);
        MoveHeld(to, modifiers);
        Release(to, modifiers);
    }
    // True when the control consumed the key.
    bool Key(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, qtKey, modifiers);
        QApplication::sendEvent(&Graph, &event);
        return event.isAccepted();
    }

    QWidget Window;
    TGraphControl &Graph = *new TGraphControl(&Window);
    int GraphChanges = 0;
};

TEST_F(GraphInteractionTest, PressSelectsAtOnceAndMouseUpSeesTheSelection)
{
    TGraphObject *a = Mark(50, 50);
    TGraphObject *b = Mark(100, 50);
    TGraphObject *c = Mark(150, 50);
    a->SetSelected(true);
    b->SetSelected(true);
    bool selectedBeforeHandling = true;
    Graph.OnMouseDown = [&](TGraphControl *, TMouseButton, TShiftState, int32_t, int32_t) {
        selectedBeforeHandling = c->Selected();
    };
    std::vector<TGraphObject *> seenOnMouseUp;
    Graph.OnMouseUp = [&](TGraphControl *, TMouseButton button, TShiftState, int32_t, int32_t) {
        EXPECT_EQ(button, mbLeft);
        EXPECT_EQ(Graph.DragSource(), nullptr);
        for (int32_t i = 0; i < Graph.SelectedObjects().Count(); ++i)
            seenOnMouseUp.push_back(Graph.SelectedObjects()[i]);
    };

    std::vector<TGraphObject *> clicked;
    Graph.OnObjectClick = [&](TGraphControl *, TGraphObject *obj) { clicked.push_back(obj); };

    Press({150, 50});
    EXPECT_FALSE(selectedBeforeHandling);
    EXPECT_TRUE(c->Selected());
    EXPECT_FALSE(a->Selected());
    EXPECT_FALSE(b->Selected());
    Release({150, 50});
    EXPECT_EQ(seenOnMouseUp, std::vector<TGraphObject *>{c});
    EXPECT_EQ(clicked, std::vector<TGraphObject *>{c});
    EXPECT_EQ(Graph.ObjectAtCursor(), c);

    Press({150, 50}, Qt::ShiftModifier);
    EXPECT_FALSE(c->Selected());
    EXPECT_EQ(Graph.DragSource(), nullptr);
    Release({150, 50}, Qt::ShiftModifier);
    EXPECT_EQ(Center(c), (TPoint{150, 50}));
}

TEST_F(GraphInteractionTest, DraggingASelectedMarkMovesTheSelectionStepByStep)
{
    TGraphObject *marks[] = {Mark(50, 50), Mark(100, 50), Mark(150, 50)};
    for (TGraphObject *m : marks)
        m->SetSelected(true);
    int endDrags = 0;
    Graph.OnObjectEndDrag = [&](TGraphControl *, TGraphObject *obj, uint32_t, bool cancelled) {
        ++endDrags;
        EXPECT_EQ(obj, marks[1]);
        EXPECT_FALSE(cancelled);
    };
    Graph.SetModified(false);

    Press({100, 50});
    EXPECT_EQ(Graph.DraggingObjects().Count(), 3);
    for (int step = 1; step <= 2; ++step) {
        Graph.SetModified(false);
        const int before = GraphChanges;
        MoveHeld({100 + 10 * step, 50 + 5 * step});
        EXPECT_TRUE(Graph.Modified());
        EXPECT_GT(GraphChanges, before);
    }
    Release({120, 60});

    EXPECT_EQ(endDrags, 1);
    EXPECT_EQ(Center(marks[0]), (TPoint{70, 60}));
    EXPECT_EQ(Center(marks[1]), (TPoint{120, 60}));
    EXPECT_EQ(Center(marks[2]), (TPoint{170, 60}));
    EXPECT_EQ(Graph.SelectedObjects().Count(), 3);
}

// Where each moved node stood before, as the moved-nodes event tells it.
using TMoves = std::vector<std::pair<TGraphObject *, TRect>>;

TEST_F(GraphInteractionTest, MovesAreToldOncePerDragAndPerKeyWithWhereTheNodesStood)
{
    TGraphObject *marks[] = {Mark(50, 50), Mark(100, 50), Mark(150, 50)};
    marks[0]->SetSelected(true);
    marks[1]->SetSelected(true);
    std::vector<std::pair<TMoves, bool>> told;
    Graph.OnNodesMoved = [&](TGraphControl *, const std::vector<TNodePlace> &before, bool byKey) {
        TMoves moves;
        for (const TNodePlace &place : before)
            moves.emplace_back(place.Node, place.Bounds);
        told.emplace_back(moves, byKey);
    };

    // A drag of the selection: the source and its follower, once, at the end.
    Press({100, 50});
    MoveHeld({110, 55});
    MoveHeld({120, 60});
    EXPECT_TRUE(told.empty());
    Release({120, 60});
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].first, (TMoves{{marks[1], {90, 40, 110, 60}}, {marks[0], {40, 40, 60, 60}}}));
    EXPECT_FALSE(told[0].second);

    // A cancelled drag, and a click that moves nothing, tell nothing.
    Press({120, 60});
    MoveHeld({200, 100});
    EXPECT_TRUE(Key(Qt::Key_Escape));
    Release({200, 100});
    Press({120, 60});
    Release({120, 60});
    EXPECT_EQ(told.size(), 1u);

    // Each arrow key tells where the selected nodes stood before it.
    EXPECT_TRUE(Key(Qt::Key_Left));
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1].first,
              (TMoves{{marks[0], {60, 50, 80, 70}}, {marks[1], {110, 50, 130, 70}}}));
    EXPECT_TRUE(told[1].second);
    EXPECT_EQ(Center(marks[0]), (TPoint{69, 60}));
    // Keys that move nothing tell nothing.
    Key(Qt::Key_A);
    EXPECT_EQ(told.size(), 2u);
}

TEST_F(GraphInteractionTest, EscapeCancelsADragAndTheDocumentStaysModified)
{
    TGraphObject *a = Mark(50, 50);
    TGraphObject *b = Mark(150, 50);
    b->SetSelected(true);
    bool cancelled = false;
    Graph.OnObjectEndDrag = [&](TGraphControl *, TGraphObject *, uint32_t, bool c) {
        cancelled = c;
    };
    Graph.SetModified(false);

    Press({50, 50});
    MoveHeld({80, 90});
    EXPECT_EQ(Center(a), (TPoint{80, 90}));
    EXPECT_TRUE(Key(Qt::Key_Escape));
    EXPECT_EQ(Center(a), (TPoint{50, 50}));
    EXPECT_TRUE(cancelled);
    EXPECT_TRUE(Graph.Modified());
    EXPECT_EQ(Graph.DragSource(), nullptr);
    MoveHeld({100, 100});
    Release({100, 100});
    EXPECT_EQ(Center(a), (TPoint{50, 50}));
    EXPECT_EQ(Center(b), (TPoint{150, 50}));
}

TEST_F(GraphInteractionTest, ClickOnEmptySpaceDeselectsUnlessShiftIsHeld)
{
    TGraphObject *a = Mark(50, 50);
    TGraphObject *b = Mark(100, 50);
    a->SetSelected(true);
    b->SetSelected(true);

    Press({300, 200}, Qt::ShiftModifier);
    EXPECT_EQ(Graph.ScreenCursor(), crCross);
    Release({300, 200}, Qt::ShiftModifier);
    EXPECT_EQ(Graph.SelectedObjects().Count(), 2);

    Press({300, 200});
    Release({300, 200});
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0);
    EXPECT_FALSE(Graph.MarkedArea().Right >= Graph.MarkedArea().Left);
}

TEST_F(GraphInteractionTest, RubberBandSelectsByClassOrZoomsWithAlt)
{
    TGraphObject *inside = Mark(50, 50);
    TGraphObject *outside = Mark(250, 200);
    TGraphObject *link = TBandLink::StaticClass().Create(&Graph.Document());
    outside->SetSelected(true);

    Drag({30, 30}, {130, 130}, Qt::ControlModifier);
    EXPECT_TRUE(inside->Selected());
    EXPECT_FALSE(link->Selected());
    EXPECT_FALSE(outside->Selected());

    Drag({30, 30}, {130, 130});
    EXPECT_TRUE(inside->Selected());
    EXPECT_TRUE(link->Selected());

    Graph.ClearSelection();
    Drag({30, 30}, {130, 130}, Qt::AltModifier);
    EXPECT_GT(Graph.Zoom(), 100.0);
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0);
}

TEST_F(GraphInteractionTest, DraggedMarkKeepsItsCenterInsideTheConstraints)
{
    Graph.KeepInside = false;
    Graph.KeepCenterInside = true;
    Graph.GraphConstraints().SetBoundsRect({0, 0, 200, 200});
    TGraphObject *a = Mark(180, 100);

    Press({180, 100});
    MoveHeld({240, 100});
    MoveHeld({290, 100});
    Release({290, 100});
    EXPECT_EQ(Center(a), (TPoint{200, 100}));
}

TEST_F(GraphInteractionTest, ViewOnlyLeavesTheMarksAlone)
{
    TGraphObject *a = Mark(50, 50);
    Graph.SetCommandMode(cmViewOnly);
    Drag({50, 50}, {90, 90});
    EXPECT_FALSE(a->Selected());
    EXPECT_EQ(Center(a), (TPoint{50, 50}));
    Key(Qt::Key_Tab);
    EXPECT_FALSE(a->Selected());
}

TEST_F(GraphInteractionTest, PanningScrollsWithinTheRange)
{
    Graph.GraphConstraints().SetBoundsRect({0, 0, 2000, 2000});
    Graph.SetFixedScrollBars(true);
    Graph.SetCommandMode(cmPan);
    TGraphScrollBar &horz = Graph.HorzScrollBar();
    ASSERT_TRUE(horz.IsScrollBarVisible());
    horz.SetPosition(100);

    Mouse(QEvent::MouseMove, {100, 100}, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(Graph.ScreenCursor(), GC_HANDFLAT);
    Press({100, 100});
    EXPECT_EQ(Graph.ScreenCursor(), GC_HANDGRAB);
    MoveHeld({115, 100});
    MoveHeld({130, 100});
    Release({130, 100});
    EXPECT_EQ(horz.Position(), 70);

    horz.SetPosition(20);
    Drag({100, 100}, {130, 100});
    EXPECT_EQ(horz.Position(), 0);

    EXPECT_TRUE(Key(Qt::Key_Right));
    EXPECT_EQ(horz.Position(), horz.Increment());
}

TEST_F(GraphInteractionTest, KeysGoToTheHandlerThenToTheApplication)
{
    Graph.setFocus();
    EXPECT_TRUE(Key(Qt::Key_Tab));
    EXPECT_TRUE(Key(Qt::Key_Backtab, Qt::ShiftModifier));
    EXPECT_EQ(Window.focusWidget(), &Graph);

    uint16_t seenKey = 0;
    Graph.OnKeyDown = [&](TGraphControl *, uint16_t &key, TShiftState shift) {
        seenKey = key;
        EXPECT_TRUE(shift.Contains(ssCtrl));
    };
    EXPECT_FALSE(Key(Qt::Key_Left, Qt::ControlModifier));
    EXPECT_EQ(seenKey, VK_LEFT);

    TGraphObject *a = Mark(50, 50);
    TGraphObject *b = Mark(100, 50);
    a->SetSelected(true);
    b->SetSelected(true);
    seenKey = 0;
    EXPECT_TRUE(Key(Qt::Key_Right));
    EXPECT_EQ(seenKey, 0);
    EXPECT_EQ(Center(a), (TPoint{51, 50}));
    EXPECT_EQ(Center(b), (TPoint{101, 50}));
}

TEST_F(GraphInteractionTest, InsertModeInsertsAndSizesANode)
{
    Graph.SetDefaultNodeClass(TGraphControl::FindClass("TCircularNode"));
    int removed = 0;
    Graph.OnObjectRemove = [&](TGraphControl *, TGraphObject *) { ++removed; };

    Graph.SetCommandMode(cmInsertNode);
    Graph.SetModified(false);
    Press({50, 50});
    ASSERT_EQ(Graph.Objects().Count(), 1);
    TGraphObject *node = Graph.Objects()[0];
    EXPECT_EQ(Graph.DragSource(), node);
    EXPECT_EQ(Graph.CursorPos(), node->BoundsRect().BottomRight());
    // The pointer's move is reported to the window while it still exists.
    QApplication::processEvents();
    MoveHeld({90, 90});
    Release({90, 90});
    EXPECT_EQ(node->BoundsRect(), (TRect{50, 50, 90, 90}));
    EXPECT_EQ(Graph.CommandMode(), cmEdit);
    EXPECT_TRUE(Graph.Modified());
    EXPECT_TRUE(node->Selected());

    Graph.SetCommandMode(cmInsertNode);
    Press({200, 100});
    QApplication::processEvents();
    EXPECT_EQ(Graph.Objects().Count(), 2);
    MoveHeld({230, 130});
    EXPECT_TRUE(Key(Qt::Key_Escape));
    EXPECT_EQ(Graph.Objects().Count(), 1);
    EXPECT_EQ(removed, 1);
    EXPECT_EQ(Graph.CommandMode(), cmEdit);
    Release({230, 130});
    EXPECT_EQ(Graph.Objects().Count(), 1);
}

TEST_F(GraphInteractionTest, PointerEnteringAndLeavingMarksAndTheControl)
{
    TGraphObject *a = Mark(50, 50);
    a->SetHint("Counted|Counted cell");
    std::vector<std::pair<char, TGraphObject *>> seen;
    Graph.OnObjectMouseEnter = [&](TGraphControl *, TGraphObject *obj) {
        seen.push_back({'+', obj});
    };
    Graph.OnObjectMouseLeave = [&](TGraphControl *, TGraphObject *obj) {
        seen.push_back({'-', obj});
    };

    Mouse(QEvent::MouseMove, {50, 50}, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(Graph.ScreenCursor(), crSizeAll);
    QHelpEvent hint(QEvent::ToolTip, {50, 50}, Graph.viewport()->mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(Graph.viewport(), &hint);
    EXPECT_EQ(QToolTip::text(), "Counted");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Graph.viewport(), &leave);
    EXPECT_EQ(Graph.ScreenCursor(), crDefault);
    EXPECT_EQ(Graph.ObjectAtCursor(), nullptr);
    EXPECT_EQ(seen, (std::vector<std::pair<char, TGraphObject *>>{{'+', a}, {'-', a}}));
}

} // namespace
} // namespace talivo
