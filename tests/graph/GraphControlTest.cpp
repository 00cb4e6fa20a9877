#include "graph/control/GraphControl.h"
#include "graph/objects/CircularNode.h"
#include "graph/objects/GraphLink.h"
#include "graph/objects/RectangularNode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace talivo {
namespace {

// Exposes the control's protected routing to the tests.
class TTestGraph : public TGraphControl {
public:
    using TGraphControl::Click;
    using TGraphControl::DblClick;
    using TGraphControl::DoContextPopup;
    using TGraphControl::RenewObjectAtCursor;
};

class TFailingNode : public TRectangularNode {
public:
    explicit TFailingNode(TGraphDocument *owner) : TRectangularNode(owner)
    {
        throw std::runtime_error("cannot be made");
    }
    static const TGraphObjectClass &StaticClass()
    {
        static const TGraphObjectClass objectClass =
            TGraphObjectClass::Of<TFailingNode>("TFailingNode", &TRectangularNode::StaticClass());
        return objectClass;
    }
    const TGraphObjectClass &ClassType() const override { return StaticClass(); }
};

class GraphControlTest : public ::testing::Test {
protected:
    TGraphNode *Insert(int32_t left, int32_t top, int32_t size = 20)
    {
        return Graph.InsertNode({left, top, left + size, top + size});
    }

    TTestGraph Graph;
};

TEST_F(GraphControlTest, NewControlStartsEmptyInEditModeWithTheFirstRegisteredClasses)
{
    EXPECT_EQ(Graph.Objects().Count(), 0);
    EXPECT_EQ(Graph.CommandMode(), cmEdit);
    EXPECT_EQ(Graph.Zoom(), 100.0);
    EXPECT_FALSE(Graph.Modified());
    EXPECT_EQ(Graph.DefaultNodeClass(), &TRectangularNode::StaticClass());
    EXPECT_EQ(Graph.DefaultLinkClass(), &TGraphLink::StaticClass());

    const std::vector<std::string> expected = {
        "TRectangularNode",  "TRoundRectangularNode", "TEllipticNode",  "TTriangularNode",
        "TRhomboidalNode",   "TPentagonalNode",       "THexagonalNode", "TCircularNode",
        "TCircularMarkNode", "TCircularFlagNode"};
    ASSERT_EQ(TGraphControl::NodeClassCount(), static_cast<int32_t>(expected.size()));
    for (int32_t i = 0; i < TGraphControl::NodeClassCount(); ++i)
        EXPECT_EQ(TGraphControl::NodeClasses(i)->ClassName(), expected[i]);
    EXPECT_EQ(TGraphControl::FindClass("TCircularNode"), &TCircularNode::StaticClass());
    EXPECT_EQ(TGraphControl::FindClass("TGraphLink"), &TGraphLink::StaticClass());
    EXPECT_EQ(TGraphControl::FindClass("TNoSuchNode"), nullptr);
    TGraphControl::RegisterNode(TCircularNode::StaticClass());
    EXPECT_EQ(TGraphControl::NodeClassCount(), static_cast<int32_t>(expected.size()));
}

TEST_F(GraphControlTest, IdsCountOnAndSkipTakenNumbers)
{
    TGraphNode *a = Insert(0, 0);
    TGraphNode *b = Insert(30, 0);
    TGraphNode *c = Insert(60, 0);
    EXPECT_EQ(a->ID(), 1u);
    EXPECT_EQ(b->ID(), 2u);
    EXPECT_EQ(c->ID(), 3u);
    EXPECT_TRUE(TGraphObject::Delete(b));
    TGraphNode *d = Insert(90, 0);
    EXPECT_EQ(d->ID(), 4u);
    EXPECT_EQ(Graph.FindObjectByID(2), nullptr);
    EXPECT_EQ(Graph.FindObjectByID(4), d);
    EXPECT_EQ(Graph.Objects()[2], d);

    // An object keeps a free ID of its own; a taken one moves on to the next free number.
    d->ReplaceID(4, 7);
    EXPECT_EQ(Graph.FindObjectByID(7), d);
    EXPECT_EQ(Graph.FindObjectByID(4), nullptr);
    EXPECT_EQ(Graph.CreateUniqueID(d), 7u);
    a->ReplaceID(1, 3);
    EXPECT_EQ(Graph.FindObjectByID(3), c) << "duplicates: the topmost holder is found";
    EXPECT_EQ(Graph.CreateUniqueID(a), 4u);
    EXPECT_EQ(Graph.CreateUniqueID(c), 4u);
}

// The ID index must give what scanning every object again after each clash gives.
TEST_F(GraphControlTest, UniqueIdsMatchARescanAfterRandomEdits)
{
    const auto rescan = [this](TGraphObject *obj) {
        uint32_t candidate =
            obj->ID() != 0 ? obj->ID() : static_cast<uint32_t>(Graph.Objects().Count()) + 1;
        for (bool clash = true; clash;) {
            clash = false;
            for (int32_t i = Graph.Objects().Count() - 1; i >= 0; --i) {
                if (Graph.Objects()[i] != obj && Graph.Objects()[i]->ID() == candidate) {
                    ++candidate;
                    clash = true;
                    break;
                }
            }
        }
        return candidate;
    };
    std::mt19937 random(7);
    for (int step = 0; step < 600; ++step) {
        const int32_t count = Graph.Objects().Count();
        const int action = static_cast<int>(random() % 4);
        if (action == 0 && count > 0) {
            TGraphObject::Delete(Graph.Objects()[static_cast<int32_t>(random() % count)]);
        } else if (action == 1 && count > 0) {
            TGraphObject *obj = Graph.Objects()[static_cast<int32_t>(random() % count)];
            obj->ReplaceID(obj->ID(), static_cast<uint32_t>(random() % 40));
        } else {
            const uint32_t expected = static_cast<uint32_t>(count) + 1;
            TGraphNode *node = Insert(0, 0);
            ASSERT_NE(node, nullptr);
            ASSERT_EQ(node->ID(), [&] {
                // The new node is listed now; the rescan asks for the number it would have got.
                uint32_t candidate = expected;
                for (bool clash = true; clash;) {
                    clash = false;
                    for (int32_t i = 0; i < Graph.Objects().Count() - 1; ++i) {
                        if (Graph.Objects()[i]->ID() == candidate) {
                            ++candidate;
                            clash = true;
                        }
                    }
                }
                return candidate;
            }());
        }
        for (int32_t i = 0; i < Graph.Objects().Count(); ++i) {
            TGraphObject *obj = Graph.Objects()[i];
            ASSERT_EQ(Graph.CreateUniqueID(obj), rescan(obj)) << "step " << step;
        }
        for (uint32_t id = 0; id < 60; ++id) {
            TGraphObject *found = nullptr;
            for (int32_t i = Graph.Objects().Count() - 1; i >= 0 && !found; --i) {
                if (Graph.Objects()[i]->ID() == id)
                    found = Graph.Objects()[i];
            }
            ASSERT_EQ(Graph.FindObjectByID(id), found) << "step " << step;
        }
    }
}

TEST_F(GraphControlTest, FailedInsertionReturnsNilAndChangesNothing)
{
    int events = 0;
    Graph.OnObjectInsert = [&](TGraphControl *, TGraphObject *) { ++events; };
    Graph.OnGraphChange = [&](TGraphControl *) { ++events; };
    EXPECT_EQ(Graph.InsertNode({0, 0, 20, 20}, &TFailingNode::StaticClass()), nullptr);

    Graph.OnObjectInitInstance = [](TGraphControl *, TGraphObject *) {
        throw std::runtime_error("refused");
    };
    EXPECT_EQ(Insert(0, 0), nullptr);
    EXPECT_EQ(Graph.InsertNode({0, 0, 20, 20}, &TGraphObject::StaticClass()), nullptr);
    EXPECT_EQ(Graph.InsertNode({0, 0, 20, 20}, &TGraphLink::StaticClass()), nullptr);
    EXPECT_EQ(Graph.Objects().Count(), 0);
    EXPECT_FALSE(Graph.Modified());
    EXPECT_EQ(events, 0);

    Graph.OnObjectInitInstance = nullptr;
    EXPECT_EQ(Insert(0, 0)->ID(), 1u);
}

TEST_F(GraphControlTest, BatchedInsertsSettleTheModifiedStateOnce)
{
    int inserts = 0;
    int graphChanges = 0;
    Graph.OnObjectInsert = [&](TGraphControl *, TGraphObject *) { ++inserts; };
    Graph.OnGraphChange = [&](TGraphControl *g) {
        ++graphChanges;
        EXPECT_TRUE(g->Modified());
    };
    Graph.BeginUpdate();
    Graph.BeginUpdate();
    for (int i = 0; i < 10; ++i)
        Insert(i * 30, 0);
    Graph.EndUpdate();
    EXPECT_EQ(graphChanges, 0);
    Graph.EndUpdate();
    EXPECT_EQ(inserts, 10);
    EXPECT_EQ(graphChanges, 1);
    EXPECT_TRUE(Graph.Modified());

    // Outside a batch every data change reports at once.
    Insert(0, 50);
    EXPECT_EQ(graphChanges, 2);
}

TEST_F(GraphControlTest, ClearRemovesLastToFirstAndLeavesTheGraphUnmodified)
{
    for (int i = 0; i < 3; ++i)
        Insert(i * 30, 0);
    Graph.Objects()[1]->SetSelected(true);
    Graph.SetCommandMode(cmPan);
    std::vector<uint32_t> removed;
    int graphChanges = 0;
    bool vetoed = false;
    Graph.OnObjectRemove = [&](TGraphControl *, TGraphObject *obj) {
        removed.push_back(obj->ID());
    };
    Graph.OnGraphChange = [&](TGraphControl *) { ++graphChanges; };
    Graph.OnCanRemoveObject = [&](TGraphControl *, TGraphObject *, bool &canRemove) {
        vetoed = true;
        canRemove = false;
    };
    Graph.Clear();
    EXPECT_EQ(removed, (std::vector<uint32_t>{3, 2, 1}));
    EXPECT_FALSE(vetoed) << "query events are suspended while clearing";
    EXPECT_EQ(Graph.Objects().Count(), 0);
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0);
    EXPECT_FALSE(Graph.Modified());
    EXPECT_EQ(graphChanges, 1);
    EXPECT_EQ(Graph.CommandMode(), cmEdit);

    Graph.SetCommandMode(cmPan);
    Graph.Clear();
    EXPECT_EQ(graphChanges, 1);
    EXPECT_EQ(Graph.CommandMode(), cmEdit);
}

TEST_F(GraphControlTest, RemovalLeavesTheCursorDeselectsAndFrees)
{
    TGraphNode *a = Insert(0, 0);
    a->SetSelected(true);
    Graph.RenewObjectAtCursor(a);
    std::vector<std::string> log;
    Graph.OnObjectMouseLeave = [&](TGraphControl *, TGraphObject *) { log.push_back("leave"); };
    Graph.OnObjectSelect = [&](TGraphControl *, TGraphObject *obj) {
        log.push_back(obj->Selected() ? "select" : "deselect");
    };
    Graph.OnObjectRemove = [&](TGraphControl *, TGraphObject *) { log.push_back("remove"); };
    Graph.Objects().Delete(0);
    EXPECT_EQ(log, (std::vector<std::string>{"leave", "deselect", "remove"}));
    EXPECT_EQ(Graph.ObjectAtCursor(), nullptr);
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0);
    EXPECT_EQ(Graph.FindObjectByID(1), nullptr);

    // A handler that fails does not keep the object alive or listed.
    Insert(0, 0);
    Graph.OnObjectRemove = [](TGraphControl *, TGraphObject *) {
        throw std::runtime_error("handler");
    };
    EXPECT_THROW(Graph.Objects().Delete(0), std::runtime_error);
    EXPECT_EQ(Graph.Objects().Count(), 0);
}

TEST_F(GraphControlTest, RemovingTheDragSourceEndsItsDrag)
{
    TGraphNode *a = Insert(10, 10);
    std::vector<bool> ends;
    Graph.OnObjectEndDrag = [&](TGraphControl *, TGraphObject *, uint32_t, bool cancelled) {
        ends.push_back(cancelled);
    };
    ASSERT_TRUE(a->BeginDrag({15, 15}));
    Graph.Objects().Delete(0);
    EXPECT_EQ(Graph.DragSource(), nullptr);
    EXPECT_EQ(Graph.DraggingObjects().Count(), 0);
    EXPECT_EQ(ends, (std::vector<bool>{true}));

    // A node being inserted with the mouse is freed by its removal, not a second time by the
    // cancelled drag.
    Graph.SetCommandMode(cmInsertNode);
    TGraphNode *b = Insert(10, 10);
    ASSERT_TRUE(b->BeginDrag({30, 30}));
    Graph.Objects().Delete(0);
    EXPECT_EQ(Graph.Objects().Count(), 0);
    EXPECT_EQ(Graph.CommandMode(), cmEdit);

    Graph.SetCommandMode(cmInsertNode);
    TGraphNode *c = Insert(10, 10);
    ASSERT_TRUE(c->BeginDrag({30, 30}));
    uint16_t key = VK_ESCAPE;
    EXPECT_TRUE(c->KeyPress(key, {}));
    EXPECT_EQ(Graph.Objects().Count(), 0) << "a cancelled insertion removes the node";
}

TEST_F(GraphControlTest, ConstraintsConfinePointsRectanglesAndOffsets)
{
    TGraphConstraints &k = Graph.GraphConstraints();
    k.SetBounds(0, 0, 100, 50);
    EXPECT_EQ(k.BoundsRect(), (TRect{0, 0, 100, 50}));
    EXPECT_FALSE(k.WithinBounds({{100, 10}}));
    EXPECT_TRUE(k.WithinBounds({{0, 0}, {99, 49}}));
    TPoint pt{100, 60};
    EXPECT_FALSE(k.ConfinePt(pt));
    EXPECT_EQ(pt, (TPoint{100, 50}));
    EXPECT_TRUE(k.ConfinePt(pt));
    TRect r{-5, 10, 120, 40};
    EXPECT_FALSE(k.ConfineRect(r));
    EXPECT_EQ(r, (TRect{0, 10, 100, 40}));

    k.SetSourceRect({10, 10, 30, 30});
    int32_t dx = -50;
    int32_t dy = 40;
    EXPECT_TRUE(k.ConfineOffset(dx, dy, {osLeft, osTop, osRight, osBottom}));
    EXPECT_EQ(dx, -10);
    EXPECT_EQ(dy, 20);
    dx = -50;
    EXPECT_TRUE(k.ConfineOffset(dx, dy, {}));
    EXPECT_EQ(dx, -50);
    k.SetSourceRect({10, 0, 30, 20});
    dx = 0;
    dy = -10;
    EXPECT_FALSE(k.ConfineOffset(dx, dy, {osTop})) << "already at the top edge";
    EXPECT_EQ(dy, 0);

    // A source wider than the bounds: the right side wins.
    k.SetSourceRect({-10, 0, 200, 10});
    dx = 5;
    dy = 0;
    EXPECT_TRUE(k.ConfineOffset(dx, dy, {osLeft, osRight}));
    EXPECT_EQ(dx, -100);
    k.SetMaxRight(300);
    EXPECT_EQ(k.BoundsRect(), (TRect{0, 0, 300, 50}));
}

TEST_F(GraphControlTest, CommandModeKeepsTheSelectionOnlyForPanAndEdit)
{
    TGraphNode *a = Insert(0, 0);
    a->SetSelected(true);
    int changes = 0;
    Graph.OnCommandModeChange = [&](TGraphControl *) { ++changes; };
    Graph.SetCommandMode(cmPan);
    Graph.SetCommandMode(cmEdit);
    EXPECT_TRUE(a->Selected());
    Graph.SetCommandMode(cmEdit);
    EXPECT_EQ(changes, 2);
    Graph.SetCommandMode(cmViewOnly);
    EXPECT_FALSE(a->Selected());
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0);
}

TEST_F(GraphControlTest, AlignAndResizeTheSelection)
{
    TGraphNode *a = Graph.InsertNode({10, 10, 30, 30});
    TGraphNode *b = Graph.InsertNode({50, 40, 90, 60});
    a->SetSelected(true);
    b->SetSelected(true);
    EXPECT_FALSE(Graph.AlignSelection(haSpaceEqually, vaNoChange));
    EXPECT_EQ(b->GetBoundsRect(), (TRect{50, 40, 90, 60}));

    EXPECT_TRUE(Graph.AlignSelection(haLeft, vaBottom));
    EXPECT_EQ(b->GetBoundsRect(), (TRect{10, 10, 50, 30}));
    EXPECT_EQ(a->GetBoundsRect(), (TRect{10, 10, 30, 30}));

    EXPECT_TRUE(Graph.ResizeSelection(roLargest, roNoChange));
    EXPECT_EQ(a->GetBoundsRect(), (TRect{10, 10, 50, 30}));
    EXPECT_FALSE(Graph.ResizeSelection(roSmallest, roSmallest));

    // Three objects: the middle one is moved so that the gaps are equal.
    TGraphNode *c = Graph.InsertNode({200, 0, 220, 20});
    TGraphNode *d = Graph.InsertNode({100, 0, 120, 20});
    Graph.ClearSelection();
    b->SetBoundsRect({0, 0, 20, 20});
    for (TGraphNode *n : {b, c, d})
        n->SetSelected(true);
    EXPECT_FALSE(Graph.AlignSelection(haSpaceEqually, vaNoChange));
    EXPECT_EQ(d->GetBoundsRect(), (TRect{100, 0, 120, 20}));
    d->SetBoundsRect({30, 0, 50, 20});
    EXPECT_TRUE(Graph.AlignSelection(haSpaceEqually, vaNoChange));
    EXPECT_EQ(d->GetBoundsRect(), (TRect{100, 0, 120, 20}));
}

TEST_F(GraphControlTest, SelectNextObjectStepsToSelectableObjectsAndEnds)
{
    TGraphNode *a = Insert(0, 0);
    TGraphNode *b = Insert(30, 0);
    TGraphNode *c = Insert(60, 0);
    b->SetOptions({goLinkable, goShowCaption});
    EXPECT_TRUE(Graph.SelectNextObject(false));
    EXPECT_TRUE(a->Selected());
    EXPECT_TRUE(Graph.SelectNextObject(false));
    EXPECT_TRUE(c->Selected()) << "B cannot be selected and is skipped";
    EXPECT_FALSE(a->Selected());
    EXPECT_TRUE(Graph.SelectNextObject(false));
    EXPECT_TRUE(a->Selected()) << "wraps around";
    EXPECT_TRUE(Graph.SelectNextObject(true));
    EXPECT_TRUE(c->Selected());
    EXPECT_TRUE(Graph.SelectNextObject(false, &TCircularNode::StaticClass()) == false);

    for (TGraphNode *n : {a, c})
        n->SetOptions({goLinkable, goShowCaption});
    EXPECT_FALSE(Graph.SelectNextObject(false));
    EXPECT_FALSE(Graph.SelectNextObject(true));
}

// Selecting and deselecting in any order, also after the selection list was reordered by hand
// or an object was converted, leaves the list and the selection events as a plain list would.
TEST_F(GraphControlTest, SelectionListFollowsEverySelectionChange)
{
    std::vector<TGraphObject *> nodes;
    for (int i = 0; i < 40; ++i)
        nodes.push_back(Insert(i * 30, 0));
    std::vector<TGraphObject *> expected;
    std::vector<TGraphObject *> events;
    Graph.OnObjectSelect = [&](TGraphControl *, TGraphObject *obj) { events.push_back(obj); };
    const auto listed = [this] {
        std::vector<TGraphObject *> result;
        for (int32_t i = 0; i < Graph.SelectedObjects().Count(); ++i)
            result.push_back(Graph.SelectedObjects()[i]);
        return result;
    };
    std::mt19937 random(11);
    for (int step = 0; step < 3000; ++step) {
        const int kind = std::uniform_int_distribution<int>(0, 99)(random);
        TGraphObject *&node = nodes[std::uniform_int_distribution<size_t>(0, 39)(random)];
        events.clear();
        if (kind < 2) {
            Graph.ClearSelection();
            EXPECT_EQ(events, std::vector<TGraphObject *>(expected.rbegin(), expected.rend()));
            expected.clear();
        } else if (kind < 4 && expected.size() > 1) {
            Graph.SelectedObjects().Move(0, static_cast<int32_t>(expected.size()) - 1);
            std::rotate(expected.begin(), expected.begin() + 1, expected.end());
        } else if (kind < 5) {
            TGraphObject *old = node;
            node = node->ConvertTo(node->ClassType().InheritsFrom(TCircularNode::StaticClass())
                                       ? &TRectangularNode::StaticClass()
                                       : &TCircularNode::StaticClass());
            std::replace(expected.begin(), expected.end(), old, node);
        } else if (node->Selected()) {
            node->SetSelected(false);
            expected.erase(std::find(expected.begin(), expected.end(), node));
            EXPECT_EQ(events, std::vector<TGraphObject *>{node});
        } else {
            node->SetSelected(true);
            expected.push_back(node);
            EXPECT_EQ(events, std::vector<TGraphObject *>{node});
        }
        ASSERT_EQ(listed(), expected) << "after step " << step;
        for (TGraphObject *obj : nodes)
            ASSERT_EQ(obj->Selected(), std::count(expected.begin(), expected.end(), obj) == 1);
    }
    Graph.OnObjectSelect = nullptr;
}

TEST_F(GraphControlTest, BoundsAreCachedAndFollowTheObjects)
{
    EXPECT_EQ(Graph.GetObjectsBounds(Graph.Objects()), (TRect{0, 0, 0, 0}));
    EXPECT_EQ(Graph.GraphBounds(), (TRect{0, 0, 0, 0}));
    TGraphNode *a = Graph.InsertNode({100, 100, 120, 120});
    const TRect first = a->VisualRect();
    EXPECT_EQ(Graph.GraphBounds(), first);
    TGraphNode *b = Graph.InsertNode({200, 50, 220, 70});
    TRect both = first;
    both.Right = b->VisualRect().Right;
    both.Top = b->VisualRect().Top;
    EXPECT_EQ(Graph.GraphBounds(), both);
    b->SetBoundsRect({110, 110, 130, 130});
    EXPECT_EQ(Graph.GraphBounds(), Graph.GetObjectsBounds(Graph.Objects()));
    EXPECT_EQ(Graph.SelectionBounds(), (TRect{0, 0, 0, 0}));
    a->SetSelected(true);
    EXPECT_EQ(Graph.SelectionBounds(), first);
    a->SetVisible(false);
    b->SetBoundsRect({120, 120, 140, 140});
    EXPECT_EQ(Graph.GraphBounds(), b->VisualRect());
    Graph.SetShowHiddenObjects(true);
    EXPECT_EQ(Graph.GraphBounds(), Graph.GetObjectsBounds(Graph.Objects()));
    EXPECT_EQ(Graph.GraphBounds().Left, first.Left);
}

// During a drag the graph's bounds are the bounds of the objects left in place and of the dragged
// ones; whatever happens meanwhile, they are those of a walk over every object.
TEST_F(GraphControlTest, GraphBoundsFollowEveryDragStepAndEveryOtherChange)
{
    Graph.SetSnapToGrid(false);
    Graph.KeepInside = false;
    std::mt19937 random(3);
    const auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    for (int i = 0; i < 40; ++i)
        Insert(pick(0, 600), pick(0, 400), pick(10, 40));
    for (int round = 0; round < 60; ++round) {
        for (int32_t i = 0; i < Graph.Objects().Count(); ++i)
            Graph.Objects()[i]->SetSelected(pick(0, 3) == 0);
        TGraphObject *source = Graph.Objects()[pick(0, Graph.Objects().Count() - 1)];
        source->SetSelected(true);
        const TRect bounds = source->BoundsRect();
        ASSERT_TRUE(source->BeginDrag(
            {(bounds.Left + bounds.Right) / 2, (bounds.Top + bounds.Bottom) / 2}));
        for (int step = 0; step < 8 && Graph.DragSource(); ++step) {
            switch (pick(0, 5)) {
            case 0:
                Graph.Objects()[pick(0, Graph.Objects().Count() - 1)]->MoveBy(pick(-50, 50), 0);
                break;
            case 1:
                Insert(pick(-100, 800), pick(-100, 600));
                break;
            case 2:
                if (Graph.Objects().Count() > 5)
                    TGraphObject::Delete(Graph.Objects()[pick(0, Graph.Objects().Count() - 1)]);
                break;
            default:
                source->DragBy(pick(-90, 90), pick(-90, 90), false);
                break;
            }
            ASSERT_EQ(Graph.GraphBounds(), Graph.GetObjectsBounds(Graph.Objects()))
                << "round " << round << ", step " << step;
        }
        if (Graph.DragSource())
            Graph.DragSource()->EndDrag(pick(0, 1) == 0);
        ASSERT_EQ(Graph.GraphBounds(), Graph.GetObjectsBounds(Graph.Objects())) << round;
    }
}

TEST_F(GraphControlTest, ClicksAndPopupsGoToTheFirstSelectedObject)
{
    std::vector<std::string> log;
    Graph.OnClick = [&](TGraphControl *) { log.push_back("click"); };
    Graph.OnDblClick = [&](TGraphControl *) { log.push_back("dblclick"); };
    Graph.OnObjectClick = [&](TGraphControl *, TGraphObject *o) {
        log.push_back("object click " + std::to_string(o->ID()));
    };
    Graph.OnObjectDblClick = [&](TGraphControl *, TGraphObject *o) {
        log.push_back("object dblclick " + std::to_string(o->ID()));
    };
    Graph.OnContextPopup = [&](TGraphControl *, const TPoint &, bool &) { log.push_back("popup"); };
    Graph.OnObjectContextPopup = [&](TGraphControl *, TGraphObject *, const TPoint &,
                                     bool &handled) {
        log.push_back("object popup");
        handled = true;
    };
    bool handled = false;
    Graph.Click();
    Graph.DblClick();
    Graph.DoContextPopup({5, 5}, handled);
    EXPECT_FALSE(handled);
    Insert(0, 0);
    Insert(30, 0)->SetSelected(true);
    Graph.Objects()[0]->SetSelected(true);
    Graph.Click();
    Graph.DblClick();
    Graph.DoContextPopup({5, 5}, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(log, (std::vector<std::string>{"click", "dblclick", "popup", "object click 2",
                                             "object dblclick 2", "object popup"}));
}

TEST_F(GraphControlTest, LinkRecordsAreKeptAsRead)
{
    const TPropEntries stored = {
        {"ID", int64_t{9}},
        {"G.Text", QString("link")},
        {"G.BeginStyle", QByteArray("lsArrow")},
        {"G.EndSize", int64_t{6}},
        {"G.LinkOptions", QByteArray("\x03loA\x03loB")},
        {"G.Source", int64_t{1}},
        {"G.Target", int64_t{4294967295}},
        {"G.BreakPoints", QByteArray("\x01\x02", 2)},
    };
    TGraphObject *link = TGraphLink::StaticClass().CreateLoaded(&Graph.Document(), stored);
    link->Loaded();
    EXPECT_TRUE(link->IsLink());
    EXPECT_EQ(link->ID(), 9u);
    EXPECT_EQ(link->SaveToEntries(), stored);
    EXPECT_EQ(link->HitTest({0, 0}), hzNone);

    link->ReplaceID(1, 12);
    EXPECT_EQ(link->SaveToEntries()[5], (TPropEntry{"G.Source", int64_t{12}}));
    EXPECT_EQ(link->ConvertTo(&TRectangularNode::StaticClass()), link);
    EXPECT_THROW(
        TGraphLink::StaticClass().CreateLoaded(&Graph.Document(), {{"G.Left", int64_t{1}}}),
        EGraphStreamError);
    EXPECT_EQ(Graph.Objects().Count(), 1);
}

} // namespace
} // namespace talivo
