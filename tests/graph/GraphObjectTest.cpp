#include "graph/control/GraphControl.h"
#include "graph/objects/CircularNode.h"
#include "graph/objects/GraphLink.h"
#include "graph/objects/RectangularNode.h"

#include <gtest/gtest.h>

#include <QBuffer>

#include <string>
#include <vector>

namespace talivo {
namespace {

class GraphObjectTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Graph.OnObjectChange = [this](TGraphControl *, TGraphObject *) { ++ObjectChanges; };
        Graph.OnGraphChange = [this](TGraphControl *) { ++GraphChanges; };
    }

    TGraphNode *Insert(int32_t Left, int32_t Top, int32_t Size = 20)
    {
        return Graph.InsertNode({Left, Top, Left + Size, Top + Size});
    }

    void ResetCounts()
    {
        ObjectChanges = 0;
        GraphChanges = 0;
    }

    std::vector<std::string> Paths(const TPropEntries &Entries)
    {
        std::vector<std::string> Result;
        for (const TPropEntry &Entry : Entries) {
            Result.push_back(Entry.Path);
        }
        return Result;
    }

    TGraphControl Graph;
    int ObjectChanges = 0;
    int GraphChanges = 0;
};

TEST_F(GraphObjectTest, SettersReportOnlyRealChanges)
{
    TGraphNode *Node = Insert(0, 0);
    ResetCounts();
    Node->SetText("");
    Node->SetVisible(true);
    Node->SetOptions({goLinkable, goSelectable, goShowCaption});
    EXPECT_EQ(ObjectChanges, 0);
    EXPECT_EQ(GraphChanges, 0);
    Node->SetText("#1");
    EXPECT_EQ(ObjectChanges, 1);
    EXPECT_EQ(GraphChanges, 1);
    Node->SetTag(5);
    EXPECT_EQ(ObjectChanges, 1) << "Tag is a plain field";

    Node->SetOptions({goLinkable, goShowCaption});
    ResetCounts();
    Node->SetSelected(true);
    EXPECT_FALSE(Node->Selected());
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0);
    EXPECT_EQ(ObjectChanges + GraphChanges, 0);
}

TEST_F(GraphObjectTest, BatchedChangesAreReportedOnceWithTheirUnion)
{
    TGraphNode *Node = Insert(0, 0);
    ResetCounts();
    Node->BeginUpdate();
    Node->BeginUpdate();
    Node->SetText("caption");
    Node->SetVisible(false);
    Node->Brush().SetColor(clRed);
    Node->EndUpdate();
    EXPECT_EQ(ObjectChanges, 0);
    Node->EndUpdate();
    EXPECT_EQ(ObjectChanges, 1);
    EXPECT_EQ(GraphChanges, 1);
    EXPECT_EQ(Node->States(), TGraphObjectStates{});
}

TEST_F(GraphObjectTest, ChangingTheFontDetachesItFromTheOwnersFont)
{
    TGraphNode *Follower = Insert(0, 0);
    TGraphNode *Own = Insert(30, 0);
    EXPECT_TRUE(Own->ParentFont());
    Own->Font().SetHeight(-20);
    EXPECT_FALSE(Own->ParentFont());
    Graph.Font().SetName("Courier");
    EXPECT_EQ(Follower->Font().Name(), "Courier");
    EXPECT_TRUE(Follower->ParentFont());
    EXPECT_NE(Own->Font().Name(), "Courier");
    EXPECT_EQ(Own->Font().Height(), -20);
    Own->SetParentFont(true);
    EXPECT_EQ(Own->Font().Name(), "Courier");
    EXPECT_TRUE(Own->ParentFont());
}

TEST_F(GraphObjectTest, ZOrderIsClampedToTheList)
{
    TGraphNode *A = Insert(0, 0);
    TGraphNode *B = Insert(30, 0);
    TGraphNode *C = Insert(60, 0);
    A->SetZOrder(-5);
    EXPECT_EQ(A->ZOrder(), 2);
    B->SetZOrder(1000);
    EXPECT_EQ(B->ZOrder(), 2);
    B->SendToBack();
    EXPECT_EQ(Graph.Objects()[0], B);
    C->BringToFront();
    EXPECT_EQ(Graph.Objects()[2], C);
}

TEST_F(GraphObjectTest, HitTestingRespectsVisibilityAndSelectability)
{
    TGraphNode *Node = Insert(10, 10);
    EXPECT_EQ(Node->HitTest({20, 20}) & hzBody, hzBody);
    EXPECT_EQ(Node->HitTest({100, 100}), hzNone);
    Node->SetVisible(false);
    EXPECT_EQ(Node->HitTest({20, 20}), hzNone);
    EXPECT_FALSE(Node->ContainsPoint(20, 20));
    Graph.SetShowHiddenObjects(true);
    EXPECT_NE(Node->HitTest({20, 20}), hzNone);
    Node->SetOptions({goLinkable, goShowCaption});
    EXPECT_EQ(Node->HitTest({20, 20}), hzInert);
    EXPECT_TRUE(Node->ContainsRect({0, 0, 12, 12}));
    EXPECT_FALSE(Node->ContainsRect({100, 100, 120, 120}));
}

TEST_F(GraphObjectTest, AssignCopiesTheLookButNotTagOrId)
{
    TGraphNode *Source = Insert(0, 0);
    TGraphNode *Dest = Insert(30, 0);
    Source->SetText("src");
    Source->SetHint("hint");
    Source->SetTag(42);
    Source->Pen().SetColor(clBlue);
    Source->SetHasCustomData(true);
    Dest->Assign(*Source);
    EXPECT_EQ(Dest->Text(), "src");
    EXPECT_EQ(Dest->Hint(), "hint");
    EXPECT_EQ(Dest->Pen().Color(), clBlue);
    EXPECT_EQ(Dest->Tag(), 0);
    EXPECT_EQ(Dest->ID(), 2u);
    EXPECT_FALSE(Dest->HasCustomData());
}

TEST_F(GraphObjectTest, ConvertToKeepsIdentityPlaceAndProperties)
{
    Insert(0, 0);
    TGraphNode *Old = Graph.InsertNode({40, 40, 80, 80});
    Insert(100, 0);
    Old->SetText("mark");
    Old->SetTag(1001);
    Old->SetSelected(true);
    int Data = 0;
    Old->SetData(&Data);
    int Removed = 0;
    Graph.OnObjectRemove = [&](TGraphControl *, TGraphObject *) { ++Removed; };

    EXPECT_EQ(Old->ConvertTo(nullptr), Old);
    EXPECT_EQ(Old->ConvertTo(&TRectangularNode::StaticClass()), Old);
    EXPECT_EQ(Old->ConvertTo(&TGraphLink::StaticClass()), Old);

    TGraphObject *New = Old->ConvertTo(&TCircularNode::StaticClass());
    ASSERT_NE(New, Old);
    EXPECT_EQ(New->ClassName(), "TCircularNode");
    EXPECT_EQ(New->ID(), 2u);
    EXPECT_EQ(New->Text(), "mark");
    EXPECT_EQ(New->Tag(), 1001);
    EXPECT_EQ(New->GetBoundsRect(), (TRect{40, 40, 80, 80}));
    EXPECT_EQ(New->Data(), &Data);
    EXPECT_EQ(Graph.Objects().Count(), 3);
    EXPECT_EQ(Graph.Objects()[1], New);
    EXPECT_EQ(Graph.FindObjectByID(2), New);
    EXPECT_TRUE(New->Selected());
    EXPECT_EQ(Graph.SelectedObjects()[0], New);
    EXPECT_EQ(New->States(), TGraphObjectStates{});
    EXPECT_EQ(Removed, 0);
    EXPECT_EQ(Insert(0, 100)->ID(), 4u);
}

TEST_F(GraphObjectTest, StreamFormHoldsTheNonDefaultPropertiesInTableOrder)
{
    TGraphNode *Node = Graph.InsertNode({90, 40, 110, 60});
    EXPECT_EQ(Paths(Node->SaveToEntries()),
              (std::vector<std::string>{"ID", "G.Left", "G.Top", "G.Width", "G.Height"}));

    Node->SetText("#1");
    Node->Brush().SetColor(clRed);
    Node->Font().SetHeight(-10);
    Node->SetTag(3);
    Node->SetNodeOptions({gnoMovable, gnoShowBackground});
    const TPropEntries Entries = Node->SaveToEntries();
    EXPECT_EQ(Paths(Entries),
              (std::vector<std::string>{"ID", "G.Text", "G.Brush.Color", "G.Font.Charset",
                                        "G.Font.Color", "G.Font.Height", "G.Font.Name",
                                        "G.Font.Style", "G.ParentFont", "G.Tag", "G.Left", "G.Top",
                                        "G.Width", "G.Height", "G.NodeOptions"}));

    TGraphObject *Copy = TRectangularNode::StaticClass().CreateLoaded(&Graph.Document(), Entries);
    Copy->Loaded();
    EXPECT_EQ(Copy->SaveToEntries(), Entries);
    EXPECT_EQ(Copy->ID(), Node->ID()) << "a loaded object keeps its stored ID";

    const TRect Before = Copy->GetBoundsRect();
    EXPECT_THROW(Copy->LoadFromEntries({{"G.Width", int64_t{50}}, {"G.Radius", int64_t{1}}}),
                 EGraphStreamError);
    EXPECT_FALSE(Copy->HasState(osReading));
    EXPECT_FALSE(Copy->HasState(osUpdating));
    EXPECT_THROW(Copy->LoadFromEntries({{"G.Pen.Style", int64_t{99}}}), EGraphStreamError);
    EXPECT_THROW(Copy->LoadFromEntries({{"G.Text", int64_t{1}}}), EGraphStreamError);
    EXPECT_NE(Copy->GetBoundsRect(), Before) << "values read before the failure stay";
}

TEST_F(GraphObjectTest, CustomDataTravelsThroughTheStreamEvents)
{
    TGraphNode *Node = Insert(0, 0);
    Node->SetHasCustomData(true);
    Graph.OnObjectWrite = [](TGraphControl *, TGraphObject *, QIODevice &Stream) {
        Stream.write("abc");
    };
    QByteArray Read;
    Graph.OnObjectRead = [&](TGraphControl *, TGraphObject *, QIODevice &Stream) {
        Read = Stream.readAll();
    };
    const TPropEntries Entries = Node->SaveToEntries();
    ASSERT_EQ(Entries.back().Path, "G.CustomData");
    EXPECT_EQ(std::get<QByteArray>(Entries.back().Value), QByteArray("\x03\0\0\0abc", 7));
    Node->LoadFromEntries(Entries);
    EXPECT_EQ(Read, "abc");
    EXPECT_THROW(Node->LoadFromEntries({{"G.CustomData", QByteArray("\x09\0\0\0ab", 6)}}),
                 EGraphStreamError);
}

TEST_F(GraphObjectTest, CancelledDragPutsEveryDraggedObjectBack)
{
    Graph.SetSnapToGrid(false);
    // Kept inside the graph, a node at the origin could not move up: its visual rectangle (pen
    // included) already touches the edge.
    Graph.KeepInside = false;
    TGraphNode *A = Graph.InsertNode({0, 0, 20, 20});
    TGraphNode *B = Graph.InsertNode({50, 0, 90, 40});
    B->SetText(QStringLiteral("#1"));
    const TRect Caption = B->TextRect();
    B->SetSelected(true);
    // A follower that is no node is put back from its whole record.
    TGraphObject *Link = TGraphLink::StaticClass().Create(&Graph.Document());
    Link->SetText(QStringLiteral("link"));
    Link->SetSelected(true);
    std::vector<bool> Ends;
    Graph.OnObjectEndDrag = [&](TGraphControl *, TGraphObject *, uint32_t, bool Cancelled) {
        Ends.push_back(Cancelled);
    };
    A->MouseDown(mbLeft, {ssShift}, {10, 10});
    ASSERT_EQ(Graph.DragSource(), A);
    EXPECT_EQ(Graph.DraggingObjects().Count(), 3);
    Link->SetText(QStringLiteral("changed meanwhile"));
    A->MouseMove({}, {15, 13});
    EXPECT_EQ(A->GetBoundsRect(), (TRect{5, 3, 25, 23}));
    EXPECT_EQ(B->GetBoundsRect(), (TRect{55, 3, 95, 43}));
    EXPECT_EQ(B->TextRect().TopLeft(), (TPoint{Caption.Left + 5, Caption.Top + 3}));
    EXPECT_TRUE(Graph.Modified());
    uint16_t Key = VK_ESCAPE;
    EXPECT_TRUE(A->KeyPress(Key, {}));
    EXPECT_EQ(A->GetBoundsRect(), (TRect{0, 0, 20, 20}));
    EXPECT_EQ(B->GetBoundsRect(), (TRect{50, 0, 90, 40}));
    EXPECT_EQ(B->TextRect(), Caption);
    EXPECT_EQ(Link->Text(), QStringLiteral("link"));
    EXPECT_FALSE(A->Dragging());
    EXPECT_FALSE(B->Dragging());
    EXPECT_EQ(Graph.DragSource(), nullptr);

    A->BeginDrag({10, 10});
    A->DragBy(4, 0, false);
    A->MouseUp(mbLeft, {}, {14, 10});
    EXPECT_EQ(A->GetBoundsRect(), (TRect{4, 0, 24, 20}));
    EXPECT_EQ(Ends, (std::vector<bool>{true, false}));

    A->DisableDrag();
    A->DisableDrag();
    A->EnableDrag();
    EXPECT_FALSE(A->BeginDrag({10, 10}));
    A->EnableDrag();
    EXPECT_TRUE(A->BeginDrag({10, 10}));
    EXPECT_TRUE(A->EndDrag(true));
}

TEST_F(GraphObjectTest, ArrowKeysMoveAndShiftArrowsResize)
{
    Graph.SetSnapToGrid(false);
    TGraphNode *Node = Graph.InsertNode({10, 10, 30, 30});
    uint16_t Key = VK_RIGHT;
    EXPECT_TRUE(Node->KeyPress(Key, {}));
    EXPECT_EQ(Node->GetBoundsRect(), (TRect{11, 10, 31, 30}));
    Key = VK_DOWN;
    EXPECT_TRUE(Node->KeyPress(Key, {ssShift}));
    EXPECT_EQ(Node->GetBoundsRect(), (TRect{11, 10, 31, 31}));
    Key = VK_LEFT;
    Graph.GraphConstraints().SetSourceRect(Node->GetBoundsRect());
    EXPECT_TRUE(Node->KeyPress(Key, {ssCtrl}));
    EXPECT_EQ(Node->GetBoundsRect(), (TRect{3, 10, 23, 31})) << "Ctrl steps by the grid";
    EXPECT_FALSE(Node->KeyPress(Key, {ssAlt}));
    Key = 'A';
    EXPECT_FALSE(Node->KeyPress(Key, {}));

    Node->SetNodeOptions({gnoMovable});
    Key = VK_DOWN;
    Node->KeyPress(Key, {ssShift});
    EXPECT_EQ(Node->GetBoundsRect(), (TRect{3, 10, 23, 31}));
}

TEST_F(GraphObjectTest, DeleteAsksTheOwner)
{
    TGraphNode *Node = Insert(0, 0);
    EXPECT_FALSE(TGraphObject::Delete(nullptr));
    Graph.OnCanRemoveObject = [](TGraphControl *, TGraphObject *, bool &CanRemove) {
        CanRemove = false;
    };
    EXPECT_FALSE(TGraphObject::Delete(Node));
    EXPECT_EQ(Graph.Objects().Count(), 1);
    Graph.OnCanRemoveObject = nullptr;
    EXPECT_TRUE(TGraphObject::Delete(Node));
    EXPECT_EQ(Graph.Objects().Count(), 0);
}

} // namespace
} // namespace talivo
