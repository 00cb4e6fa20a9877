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
    explicit TBandLink(TGraphDocument *AOwner) : TGraphLink(AOwner) {}
    static const TGraphObjectClass &StaticClass()
    {
        static const TGraphObjectClass Class =
            TGraphObjectClass::Of<TBandLink>("TBandLink", &TGraphLink::StaticClass());
        return Class;
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

    TGraphObject *Mark(int32_t X, int32_t Y)
    {
        static const TGraphObjectClass *Circular = TGraphControl::FindClass("TCircularNode");
        return Graph.InsertNode({X - 10, Y - 10, X + 10, Y + 10}, Circular);
    }

    static TPoint Center(const TGraphObject *Obj)
    {
        const TRect R = Obj->BoundsRect();
        return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2};
    }

    void Mouse(QEvent::Type Type, QPoint Pos, Qt::MouseButton Button, Qt::MouseButtons Buttons,
               Qt::KeyboardModifiers Modifiers)
    {
        QWidget *Client = Graph.viewport();
        QMouseEvent Event(Type, Pos, Client->mapToGlobal(Pos), Button, Buttons, Modifiers);
        QApplication::sendEvent(Client, &Event);
    }
    void Press(QPoint Pos, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        Mouse(QEvent::MouseButtonPress, Pos, Qt::LeftButton, Qt::LeftButton, Modifiers);
    }
    void MoveHeld(QPoint Pos, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        Mouse(QEvent::MouseMove, Pos, Qt::NoButton, Qt::LeftButton, Modifiers);
    }
    void Release(QPoint Pos, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        Mouse(QEvent::MouseButtonRelease, Pos, Qt::LeftButton, Qt::NoButton, Modifiers);
    }
    void Drag(QPoint From, QPoint To, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        Press(From, Modifiers);
        MoveHeld(To, Modifiers);
        Release(To, Modifiers);
    }
    // True when the control consumed the key.
    bool Key(int QtKey, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
    {
        QKeyEvent Event(QEvent::KeyPress, QtKey, Modifiers);
        QApplication::sendEvent(&Graph, &Event);
        return Event.isAccepted();
    }

    QWidget Window;
    TGraphControl &Graph = *new TGraphControl(&Window);
    int GraphChanges = 0;
};

TEST_F(GraphInteractionTest, PressSelectsAtOnceAndMouseUpSeesTheSelection)
{
    TGraphObject *A = Mark(50, 50);
    TGraphObject *B = Mark(100, 50);
    TGraphObject *C = Mark(150, 50);
    A->SetSelected(true);
    B->SetSelected(true);
    bool SelectedBeforeHandling = true;
    Graph.OnMouseDown = [&](TGraphControl *, TMouseButton, TShiftState, int32_t, int32_t) {
        SelectedBeforeHandling = C->Selected();
    };
    std::vector<TGraphObject *> SeenOnMouseUp;
    Graph.OnMouseUp = [&](TGraphControl *, TMouseButton Button, TShiftState, int32_t, int32_t) {
        EXPECT_EQ(Button, mbLeft);
        EXPECT_EQ(Graph.DragSource(), nullptr);
        for (int32_t I = 0; I < Graph.SelectedObjects().Count(); ++I) {
            SeenOnMouseUp.push_back(Graph.SelectedObjects()[I]);
        }
    };

    std::vector<TGraphObject *> Clicked;
    Graph.OnObjectClick = [&](TGraphControl *, TGraphObject *Obj) { Clicked.push_back(Obj); };

    Press({150, 50});
    EXPECT_FALSE(SelectedBeforeHandling);
    EXPECT_TRUE(C->Selected());
    EXPECT_FALSE(A->Selected());
    EXPECT_FALSE(B->Selected());
    Release({150, 50});
    EXPECT_EQ(SeenOnMouseUp, std::vector<TGraphObject *>{C});
    EXPECT_EQ(Clicked, std::vector<TGraphObject *>{C});
    EXPECT_EQ(Graph.ObjectAtCursor(), C);

    Press({150, 50}, Qt::ShiftModifier);
    EXPECT_FALSE(C->Selected());
    EXPECT_EQ(Graph.DragSource(), nullptr);
    Release({150, 50}, Qt::ShiftModifier);
    EXPECT_EQ(Center(C), (TPoint{150, 50}));
}

TEST_F(GraphInteractionTest, DraggingASelectedMarkMovesTheSelectionStepByStep)
{
    TGraphObject *Marks[] = {Mark(50, 50), Mark(100, 50), Mark(150, 50)};
    for (TGraphObject *M : Marks) {
        M->SetSelected(true);
    }
    int EndDrags = 0;
    Graph.OnObjectEndDrag = [&](TGraphControl *, TGraphObject *Obj, uint32_t, bool Cancelled) {
        ++EndDrags;
        EXPECT_EQ(Obj, Marks[1]);
        EXPECT_FALSE(Cancelled);
    };
    Graph.SetModified(false);

    Press({100, 50});
    EXPECT_EQ(Graph.DraggingObjects().Count(), 3);
    for (int Step = 1; Step <= 2; ++Step) {
        Graph.SetModified(false);
        const int Before = GraphChanges;
        MoveHeld({100 + 10 * Step, 50 + 5 * Step});
        EXPECT_TRUE(Graph.Modified());
        EXPECT_GT(GraphChanges, Before);
    }
    Release({120, 60});

    EXPECT_EQ(EndDrags, 1);
    EXPECT_EQ(Center(Marks[0]), (TPoint{70, 60}));
    EXPECT_EQ(Center(Marks[1]), (TPoint{120, 60}));
    EXPECT_EQ(Center(Marks[2]), (TPoint{170, 60}));
    EXPECT_EQ(Graph.SelectedObjects().Count(), 3);
}

TEST_F(GraphInteractionTest, EscapeCancelsADragAndTheDocumentStaysModified)
{
    TGraphObject *A = Mark(50, 50);
    TGraphObject *B = Mark(150, 50);
    B->SetSelected(true);
    bool Cancelled = false;
    Graph.OnObjectEndDrag = [&](TGraphControl *, TGraphObject *, uint32_t, bool C) {
        Cancelled = C;
    };
    Graph.SetModified(false);

    Press({50, 50});
    MoveHeld({80, 90});
    EXPECT_EQ(Center(A), (TPoint{80, 90}));
    EXPECT_TRUE(Key(Qt::Key_Escape));
    EXPECT_EQ(Center(A), (TPoint{50, 50}));
    EXPECT_TRUE(Cancelled);
    EXPECT_TRUE(Graph.Modified());
    EXPECT_EQ(Graph.DragSource(), nullptr);
    MoveHeld({100, 100});
    Release({100, 100});
    EXPECT_EQ(Center(A), (TPoint{50, 50}));
    EXPECT_EQ(Center(B), (TPoint{150, 50}));
}

TEST_F(GraphInteractionTest, ClickOnEmptySpaceDeselectsUnlessShiftIsHeld)
{
    TGraphObject *A = Mark(50, 50);
    TGraphObject *B = Mark(100, 50);
    A->SetSelected(true);
    B->SetSelected(true);

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
    TGraphObject *Inside = Mark(50, 50);
    TGraphObject *Outside = Mark(250, 200);
    TGraphObject *Link = TBandLink::StaticClass().Create(&Graph.Document());
    Outside->SetSelected(true);

    Drag({30, 30}, {130, 130}, Qt::ControlModifier);
    EXPECT_TRUE(Inside->Selected());
    EXPECT_FALSE(Link->Selected());
    EXPECT_FALSE(Outside->Selected());

    Drag({30, 30}, {130, 130});
    EXPECT_TRUE(Inside->Selected());
    EXPECT_TRUE(Link->Selected());

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
    TGraphObject *A = Mark(180, 100);

    Press({180, 100});
    MoveHeld({240, 100});
    MoveHeld({290, 100});
    Release({290, 100});
    EXPECT_EQ(Center(A), (TPoint{200, 100}));
}

TEST_F(GraphInteractionTest, ViewOnlyLeavesTheMarksAlone)
{
    TGraphObject *A = Mark(50, 50);
    Graph.SetCommandMode(cmViewOnly);
    Drag({50, 50}, {90, 90});
    EXPECT_FALSE(A->Selected());
    EXPECT_EQ(Center(A), (TPoint{50, 50}));
    Key(Qt::Key_Tab);
    EXPECT_FALSE(A->Selected());
}

TEST_F(GraphInteractionTest, PanningScrollsWithinTheRange)
{
    Graph.GraphConstraints().SetBoundsRect({0, 0, 2000, 2000});
    Graph.SetFixedScrollBars(true);
    Graph.SetCommandMode(cmPan);
    TGraphScrollBar &Horz = Graph.HorzScrollBar();
    ASSERT_TRUE(Horz.IsScrollBarVisible());
    Horz.SetPosition(100);

    Mouse(QEvent::MouseMove, {100, 100}, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(Graph.ScreenCursor(), GC_HANDFLAT);
    Press({100, 100});
    EXPECT_EQ(Graph.ScreenCursor(), GC_HANDGRAB);
    MoveHeld({115, 100});
    MoveHeld({130, 100});
    Release({130, 100});
    EXPECT_EQ(Horz.Position(), 70);

    Horz.SetPosition(20);
    Drag({100, 100}, {130, 100});
    EXPECT_EQ(Horz.Position(), 0);

    EXPECT_TRUE(Key(Qt::Key_Right));
    EXPECT_EQ(Horz.Position(), Horz.Increment());
}

TEST_F(GraphInteractionTest, KeysGoToTheHandlerThenToTheApplication)
{
    Graph.setFocus();
    EXPECT_TRUE(Key(Qt::Key_Tab));
    EXPECT_TRUE(Key(Qt::Key_Backtab, Qt::ShiftModifier));
    EXPECT_EQ(Window.focusWidget(), &Graph);

    uint16_t SeenKey = 0;
    Graph.OnKeyDown = [&](TGraphControl *, uint16_t &Key, TShiftState Shift) {
        SeenKey = Key;
        EXPECT_TRUE(Shift.Contains(ssCtrl));
    };
    EXPECT_FALSE(Key(Qt::Key_Left, Qt::ControlModifier));
    EXPECT_EQ(SeenKey, VK_LEFT);

    TGraphObject *A = Mark(50, 50);
    TGraphObject *B = Mark(100, 50);
    A->SetSelected(true);
    B->SetSelected(true);
    SeenKey = 0;
    EXPECT_TRUE(Key(Qt::Key_Right));
    EXPECT_EQ(SeenKey, 0);
    EXPECT_EQ(Center(A), (TPoint{51, 50}));
    EXPECT_EQ(Center(B), (TPoint{101, 50}));
}

TEST_F(GraphInteractionTest, InsertModeInsertsAndSizesANode)
{
    Graph.SetDefaultNodeClass(TGraphControl::FindClass("TCircularNode"));
    int Removed = 0;
    Graph.OnObjectRemove = [&](TGraphControl *, TGraphObject *) { ++Removed; };

    Graph.SetCommandMode(cmInsertNode);
    Graph.SetModified(false);
    Press({50, 50});
    ASSERT_EQ(Graph.Objects().Count(), 1);
    TGraphObject *Node = Graph.Objects()[0];
    EXPECT_EQ(Graph.DragSource(), Node);
    EXPECT_EQ(Graph.CursorPos(), Node->BoundsRect().BottomRight());
    // The pointer's move is reported to the window while it still exists.
    QApplication::processEvents();
    MoveHeld({90, 90});
    Release({90, 90});
    EXPECT_EQ(Node->BoundsRect(), (TRect{50, 50, 90, 90}));
    EXPECT_EQ(Graph.CommandMode(), cmEdit);
    EXPECT_TRUE(Graph.Modified());
    EXPECT_TRUE(Node->Selected());

    Graph.SetCommandMode(cmInsertNode);
    Press({200, 100});
    QApplication::processEvents();
    EXPECT_EQ(Graph.Objects().Count(), 2);
    MoveHeld({230, 130});
    EXPECT_TRUE(Key(Qt::Key_Escape));
    EXPECT_EQ(Graph.Objects().Count(), 1);
    EXPECT_EQ(Removed, 1);
    EXPECT_EQ(Graph.CommandMode(), cmEdit);
    Release({230, 130});
    EXPECT_EQ(Graph.Objects().Count(), 1);
}

TEST_F(GraphInteractionTest, PointerEnteringAndLeavingMarksAndTheControl)
{
    TGraphObject *A = Mark(50, 50);
    A->SetHint("Counted|Counted cell");
    std::vector<std::pair<char, TGraphObject *>> Seen;
    Graph.OnObjectMouseEnter = [&](TGraphControl *, TGraphObject *Obj) {
        Seen.push_back({'+', Obj});
    };
    Graph.OnObjectMouseLeave = [&](TGraphControl *, TGraphObject *Obj) {
        Seen.push_back({'-', Obj});
    };

    Mouse(QEvent::MouseMove, {50, 50}, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    EXPECT_EQ(Graph.ScreenCursor(), crSizeAll);
    QHelpEvent Hint(QEvent::ToolTip, {50, 50}, Graph.viewport()->mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(Graph.viewport(), &Hint);
    EXPECT_EQ(QToolTip::text(), "Counted");
    QEvent Leave(QEvent::Leave);
    QApplication::sendEvent(Graph.viewport(), &Leave);
    EXPECT_EQ(Graph.ScreenCursor(), crDefault);
    EXPECT_EQ(Graph.ObjectAtCursor(), nullptr);
    EXPECT_EQ(Seen, (std::vector<std::pair<char, TGraphObject *>>{{'+', A}, {'-', A}}));
}

} // namespace
} // namespace talivo
