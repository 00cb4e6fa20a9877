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

    TGraphNode *Insert(int32_t left, int32_t top, int32_t size = 20)
    {
        return Graph.InsertNode({left, top, left + size, top + size});
    }

    void ResetCounts()
    {
        ObjectChanges = 0;
        GraphChanges = 0;
    }

    std::vector<std::string> Paths(const TPropEntries &entries)
    {
        std::vector<std::string> result;
        for (const TPropEntry &entry : entries)
            result.push_back(entry.Path);
        return result;
    }

    TGraphControl Graph;
    int ObjectChanges = 0;
    int GraphChanges = 0;
};

TEST_F(GraphObjectTest, SettersReportOnlyRealChanges)
{
    TGraphNode *node = Insert(0, 0);
    ResetCounts();
    node->SetText("");
    node->SetVisible(true);
    node->SetOptions({goLinkable, goSelectable, goShowCaption});
    EXPECT_EQ(ObjectChanges, 0);
    EXPECT_EQ(GraphChanges, 0);
    node->SetText("#1");
    EXPECT_EQ(ObjectChanges, 1);
    EXPECT_EQ(GraphChanges, 1);
    node->SetTag(5);
    EXPECT_EQ(ObjectChanges, 1) << "Tag is a plain field";

    node->SetOptions({goLinkable, goShowCaption});
    ResetCounts();
    node->SetSelected(true);
    EXPECT_FALSE(node->Selected());
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0);
    EXPECT_EQ(ObjectChanges + GraphChanges, 0);
}

TEST_F(GraphObjectTest, BatchedChangesAreReportedOnceWithTheirUnion)
{
    TGraphNode *node = Insert(0, 0);
    ResetCounts();
    node->BeginUpdate();
    node->BeginUpdate();
    node->SetText("caption");
    node->SetVisible(false);
    node->Brush().SetColor(clRed);
    node->EndUpdate();
    EXPECT_EQ(ObjectChanges, 0);
    node->EndUpdate();
    EXPECT_EQ(ObjectChanges, 1);
    EXPECT_EQ(GraphChanges, 1);
    EXPECT_EQ(node->States(), TGraphObjectStates{});
}

TEST_F(GraphObjectTest, ChangingTheFontDetachesItFromTheOwnersFont)
{
    TGraphNode *follower = Insert(0, 0);
    TGraphNode *own = Insert(30, 0);
    EXPECT_TRUE(own->ParentFont());
    own->Font().SetHeight(-20);
    EXPECT_FALSE(own->ParentFont());
    Graph.Font().SetName("Courier");
    EXPECT_EQ(follower->Font().Name(), "Courier");
    EXPECT_TRUE(follower->ParentFont());
    EXPECT_NE(own->Font().Name(), "Courier");
    EXPECT_EQ(own->Font().Height(), -20);
    own->SetParentFont(true);
    EXPECT_EQ(own->Font().Name(), "Courier");
    EXPECT_TRUE(own->ParentFont());
}

TEST_F(GraphObjectTest, ZOrderIsClampedToTheList)
{
    TGraphNode *a = Insert(0, 0);
    TGraphNode *b = Insert(30, 0);
    TGraphNode *c = Insert(60, 0);
    a->SetZOrder(-5);
    EXPECT_EQ(a->ZOrder(), 2);
    b->SetZOrder(1000);
    EXPECT_EQ(b->ZOrder(), 2);
    b->SendToBack();
    EXPECT_EQ(Graph.Objects()[0], b);
    c->BringToFront();
    EXPECT_EQ(Graph.Objects()[2], c);
}

TEST_F(GraphObjectTest, HitTestingRespectsVisibilityAndSelectability)
{
    TGraphNode *node = Insert(10, 10);
    EXPECT_EQ(node->HitTest({20, 20}) & hzBody, hzBody);
    EXPECT_EQ(node->HitTest({100, 100}), hzNone);
    node->SetVisible(false);
    EXPECT_EQ(node->HitTest({20, 20}), hzNone);
    EXPECT_FALSE(node->ContainsPoint(20, 20));
    Graph.SetShowHiddenObjects(true);
    EXPECT_NE(node->HitTest({20, 20}), hzNone);
    node->SetOptions({goLinkable, goShowCaption});
    EXPECT_EQ(node->HitTest({20, 20}), hzInert);
    EXPECT_TRUE(node->ContainsRect({0, 0, 12, 12}));
    EXPECT_FALSE(node->ContainsRect({100, 100, 120, 120}));
}

TEST_F(GraphObjectTest, AssignCopiesTheLookButNotTagOrId)
{
    TGraphNode *source = Insert(0, 0);
    TGraphNode *dest = Insert(30, 0);
    source->SetText("src");
    source->SetHint("hint");
    source->SetTag(42);
    source->Pen().SetColor(clBlue);
    source->SetHasCustomData(true);
    dest->Assign(*source);
    EXPECT_EQ(dest->Text(), "src");
    EXPECT_EQ(dest->Hint(), "hint");
    EXPECT_EQ(dest->Pen().Color(), clBlue);
    EXPECT_EQ(dest->Tag(), 0);
    EXPECT_EQ(dest->ID(), 2u);
    EXPECT_FALSE(dest->HasCustomData());
}

TEST_F(GraphObjectTest, ConvertToKeepsIdentityPlaceAndProperties)
{
    Insert(0, 0);
    TGraphNode *old = Graph.InsertNode({40, 40, 80, 80});
    Insert(100, 0);
    old->SetText("mark");
    old->SetTag(1001);
    old->SetSelected(true);
    int data = 0;
    old->SetData(&data);
    int removed = 0;
    Graph.OnObjectRemove = [&](TGraphControl *, TGraphObject *) { ++removed; };

    EXPECT_EQ(old->ConvertTo(nullptr), old);
    EXPECT_EQ(old->ConvertTo(&TRectangularNode::StaticClass()), old);
    EXPECT_EQ(old->ConvertTo(&TGraphLink::StaticClass()), old);

    TGraphObject *converted = old->ConvertTo(&TCircularNode::StaticClass());
    ASSERT_NE(converted, old);
    EXPECT_EQ(converted->ClassName(), "TCircularNode");
    EXPECT_EQ(converted->ID(), 2u);
    EXPECT_EQ(converted->Text(), "mark");
    EXPECT_EQ(converted->Tag(), 1001);
    EXPECT_EQ(converted->GetBoundsRect(), (TRect{40, 40, 80, 80}));
    EXPECT_EQ(converted->Data(), &data);
    EXPECT_EQ(Graph.Objects().Count(), 3);
    EXPECT_EQ(Graph.Objects()[1], converted);
    EXPECT_EQ(Graph.FindObjectByID(2), converted);
    EXPECT_TRUE(converted->Selected());
    EXPECT_EQ(Graph.SelectedObjects()[0], converted);
    EXPECT_EQ(converted->States(), TGraphObjectStates{});
    EXPECT_EQ(removed, 0);
    EXPECT_EQ(Insert(0, 100)->ID(), 4u);
}

TEST_F(GraphObjectTest, StreamFormHoldsTheNonDefaultPropertiesInTableOrder)
{
    TGraphNode *node = Graph.InsertNode({90, 40, 110, 60});
    EXPECT_EQ(Paths(node->SaveToEntries()),
              (std::vector<std::string>{"ID", "G.Left", "G.Top", "G.Width", "G.Height"}));

    node->SetText("#1");
    node->Brush().SetColor(clRed);
    node->Font().SetHeight(-10);
    node->SetTag(3);
    node->SetNodeOptions({gnoMovable, gnoShowBackground});
    const TPropEntries entries = node->SaveToEntries();
    EXPECT_EQ(Paths(entries),
              (std::vector<std::string>{"ID", "G.Text", "G.Brush.Color", "G.Font.Charset",
                                        "G.Font.Color", "G.Font.Height", "G.Font.Name",
                                        "G.Font.Style", "G.ParentFont", "G.Tag", "G.Left", "G.Top",
                                        "G.Width", "G.Height", "G.NodeOptions"}));

    TGraphObject *copy = TRectangularNode::StaticClass().CreateLoaded(&Graph.Document(), entries);
    copy->Loaded();
    EXPECT_EQ(copy->SaveToEntries(), entries);
    EXPECT_EQ(copy->ID(), node->ID()) << "a loaded object keeps its stored ID";

    const TRect before = copy->GetBoundsRect();
    EXPECT_THROW(copy->LoadFromEntries({{"G.Width", int64_t{50}}, {"G.Radius", int64_t{1}}}),
                 EGraphStreamError);
    EXPECT_FALSE(copy->HasState(osReading));
    EXPECT_FALSE(copy->HasState(osUpdating));
    EXPECT_THROW(copy->LoadFromEntries({{"G.Pen.Style", int64_t{99}}}), EGraphStreamError);
    EXPECT_THROW(copy->LoadFromEntries({{"G.Text", int64_t{1}}}), EGraphStreamError);
    EXPECT_NE(copy->GetBoundsRect(), before) << "values read before the failure stay";
}

TEST_F(GraphObjectTest, CustomDataTravelsThroughTheStreamEvents)
{
    TGraphNode *node = Insert(0, 0);
    node->SetHasCustomData(true);
    Graph.OnObjectWrite = [](TGraphControl *, TGraphObject *, QIODevice &stream) {
        stream.write("abc");
    };
    QByteArray read;
    Graph.OnObjectRead = [&](TGraphControl *, TGraphObject *, QIODevice &stream) {
        read = stream.readAll();
    };
    const TPropEntries entries = node->SaveToEntries();
    ASSERT_EQ(entries.back().Path, "G.CustomData");
    EXPECT_EQ(std::get<QByteArray>(entries.back().Value), QByteArray("\x03\0\0\0abc", 7));
    node->LoadFromEntries(entries);
    EXPECT_EQ(read, "abc");
    EXPECT_THROW(node->LoadFromEntries({{"G.CustomData", QByteArray("\x09\0\0\0ab", 6)}}),
                 EGraphStreamError);
}

TEST_F(GraphObjectTest, CancelledDragPutsEveryDraggedObjectBack)
{
    Graph.SetSnapToGrid(false);
    // Kept inside the graph, a node at the origin could not move up: its visual rectangle (pen
    // included) already touches the edge.
    Graph.KeepInside = false;
    TGraphNode *a = Graph.InsertNode({0, 0, 20, 20});
    TGraphNode *b = Graph.InsertNode({50, 0, 90, 40});
    b->SetText(QStringLiteral("#1"));
    const TRect caption = b->TextRect();
    b->SetSelected(true);
    // A follower that is no node is put back from its whole record.
    TGraphObject *link = TGraphLink::StaticClass().Create(&Graph.Document());
    link->SetText(QStringLiteral("link"));
    link->SetSelected(true);
    std::vector<bool> ends;
    Graph.OnObjectEndDrag = [&](TGraphControl *, TGraphObject *, uint32_t, bool cancelled) {
        ends.push_back(cancelled);
    };
    a->MouseDown(mbLeft, {ssShift}, {10, 10});
    ASSERT_EQ(Graph.DragSource(), a);
    EXPECT_EQ(Graph.DraggingObjects().Count(), 3);
    link->SetText(QStringLiteral("changed meanwhile"));
    a->MouseMove({}, {15, 13});
    EXPECT_EQ(a->GetBoundsRect(), (TRect{5, 3, 25, 23}));
    EXPECT_EQ(b->GetBoundsRect(), (TRect{55, 3, 95, 43}));
    EXPECT_EQ(b->TextRect().TopLeft(), (TPoint{caption.Left + 5, caption.Top + 3}));
    EXPECT_TRUE(Graph.Modified());
    uint16_t key = VK_ESCAPE;
    EXPECT_TRUE(a->KeyPress(key, {}));
    EXPECT_EQ(a->GetBoundsRect(), (TRect{0, 0, 20, 20}));
    EXPECT_EQ(b->GetBoundsRect(), (TRect{50, 0, 90, 40}));
    EXPECT_EQ(b->TextRect(), caption);
    EXPECT_EQ(link->Text(), QStringLiteral("link"));
    EXPECT_FALSE(a->Dragging());
    EXPECT_FALSE(b->Dragging());
    EXPECT_EQ(Graph.DragSource(), nullptr);

    a->BeginDrag({10, 10});
    a->DragBy(4, 0, false);
    a->MouseUp(mbLeft, {}, {14, 10});
    EXPECT_EQ(a->GetBoundsRect(), (TRect{4, 0, 24, 20}));
    EXPECT_EQ(ends, (std::vector<bool>{true, false}));

    a->DisableDrag();
    a->DisableDrag();
    a->EnableDrag();
    EXPECT_FALSE(a->BeginDrag({10, 10}));
    a->EnableDrag();
    EXPECT_TRUE(a->BeginDrag({10, 10}));
    EXPECT_TRUE(a->EndDrag(true));
}

TEST_F(GraphObjectTest, ArrowKeysMoveAndShiftArrowsResize)
{
    Graph.SetSnapToGrid(false);
    TGraphNode *node = Graph.InsertNode({10, 10, 30, 30});
    uint16_t key = VK_RIGHT;
    EXPECT_TRUE(node->KeyPress(key, {}));
    EXPECT_EQ(node->GetBoundsRect(), (TRect{11, 10, 31, 30}));
    key = VK_DOWN;
    EXPECT_TRUE(node->KeyPress(key, {ssShift}));
    EXPECT_EQ(node->GetBoundsRect(), (TRect{11, 10, 31, 31}));
    key = VK_LEFT;
    Graph.GraphConstraints().SetSourceRect(node->GetBoundsRect());
    EXPECT_TRUE(node->KeyPress(key, {ssCtrl}));
    EXPECT_EQ(node->GetBoundsRect(), (TRect{3, 10, 23, 31})) << "Ctrl steps by the grid";
    EXPECT_FALSE(node->KeyPress(key, {ssAlt}));
    key = 'A';
    EXPECT_FALSE(node->KeyPress(key, {}));

    node->SetNodeOptions({gnoMovable});
    key = VK_DOWN;
    node->KeyPress(key, {ssShift});
    EXPECT_EQ(node->GetBoundsRect(), (TRect{3, 10, 23, 31}));
}

TEST_F(GraphObjectTest, DeleteAsksTheOwner)
{
    TGraphNode *node = Insert(0, 0);
    EXPECT_FALSE(TGraphObject::Delete(nullptr));
    Graph.OnCanRemoveObject = [](TGraphControl *, TGraphObject *, bool &canRemove) {
        canRemove = false;
    };
    EXPECT_FALSE(TGraphObject::Delete(node));
    EXPECT_EQ(Graph.Objects().Count(), 1);
    Graph.OnCanRemoveObject = nullptr;
    EXPECT_TRUE(TGraphObject::Delete(node));
    EXPECT_EQ(Graph.Objects().Count(), 0);
}

} // namespace
} // namespace talivo
