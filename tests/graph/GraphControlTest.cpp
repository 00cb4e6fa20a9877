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
    explicit TFailingNode(TGraphDocument *AOwner) : TRectangularNode(AOwner)
    {
        throw std::runtime_error("cannot be made");
    }
    static const TGraphObjectClass &StaticClass()
    {
        static const TGraphObjectClass Class =
            TGraphObjectClass::Of<TFailingNode>("TFailingNode", &TRectangularNode::StaticClass());
        return Class;
    }
    const TGraphObjectClass &ClassType() const override { return StaticClass(); }
};

class GraphControlTest : public ::testing::Test {
protected:
    TGraphNode *Insert(int32_t Left, int32_t Top, int32_t Size = 20)
    {
        return Graph.InsertNode({Left, Top, Left + Size, Top + Size});
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

    const std::vector<std::string> Expected = {
        "TRectangularNode",  "TRoundRectangularNode", "TEllipticNode",  "TTriangularNode",
        "TRhomboidalNode",   "TPentagonalNode",       "THexagonalNode", "TCircularNode",
        "TCircularMarkNode", "TCircularFlagNode"};
    ASSERT_EQ(TGraphControl::NodeClassCount(), static_cast<int32_t>(Expected.size()));
    for (int32_t I = 0; I < TGraphControl::NodeClassCount(); ++I) {
        EXPECT_EQ(TGraphControl::NodeClasses(I)->ClassName(), Expected[I]);
    }
    EXPECT_EQ(TGraphControl::FindClass("TCircularNode"), &TCircularNode::StaticClass());
    EXPECT_EQ(TGraphControl::FindClass("TGraphLink"), &TGraphLink::StaticClass());
    EXPECT_EQ(TGraphControl::FindClass("TNoSuchNode"), nullptr);
    TGraphControl::RegisterNode(TCircularNode::StaticClass());
    EXPECT_EQ(TGraphControl::NodeClassCount(), static_cast<int32_t>(Expected.size()));
}

TEST_F(GraphControlTest, IdsCountOnAndSkipTakenNumbers)
{
    TGraphNode *A = Insert(0, 0);
    TGraphNode *B = Insert(30, 0);
    TGraphNode *C = Insert(60, 0);
    EXPECT_EQ(A->ID(), 1u);
    EXPECT_EQ(B->ID(), 2u);
    EXPECT_EQ(C->ID(), 3u);
    EXPECT_TRUE(TGraphObject::Delete(B));
    TGraphNode *D = Insert(90, 0);
    EXPECT_EQ(D->ID(), 4u);
    EXPECT_EQ(Graph.FindObjectByID(2), nullptr);
    EXPECT_EQ(Graph.FindObjectByID(4), D);
    EXPECT_EQ(Graph.Objects()[2], D);

    // An object keeps a free ID of its own; a taken one moves on to the next free number.
    D->ReplaceID(4, 7);
    EXPECT_EQ(Graph.FindObjectByID(7), D);
    EXPECT_EQ(Graph.FindObjectByID(4), nullptr);
    EXPECT_EQ(Graph.CreateUniqueID(D), 7u);
    A->ReplaceID(1, 3);
    EXPECT_EQ(Graph.FindObjectByID(3), C) << "duplicates: the topmost holder is found";
    EXPECT_EQ(Graph.CreateUniqueID(A), 4u);
    EXPECT_EQ(Graph.CreateUniqueID(C), 4u);
}

// The ID index must give what scanning every object again after each clash gives.
TEST_F(GraphControlTest, UniqueIdsMatchARescanAfterRandomEdits)
{
    const auto Rescan = [this](TGraphObject *Obj) {
        uint32_t Candidate =
            Obj->ID() != 0 ? Obj->ID() : static_cast<uint32_t>(Graph.Objects().Count()) + 1;
        for (bool Clash = true; Clash;) {
            Clash = false;
            for (int32_t I = Graph.Objects().Count() - 1; I >= 0; --I) {
                if (Graph.Objects()[I] != Obj && Graph.Objects()[I]->ID() == Candidate) {
                    ++Candidate;
                    Clash = true;
                    break;
                }
            }
        }
        return Candidate;
    };
    std::mt19937 Random(7);
    for (int Step = 0; Step < 600; ++Step) {
        const int32_t Count = Graph.Objects().Count();
        const int Action = static_cast<int>(Random() % 4);
        if (Action == 0 && Count > 0) {
            TGraphObject::Delete(Graph.Objects()[static_cast<int32_t>(Random() % Count)]);
        } else if (Action == 1 && Count > 0) {
            TGraphObject *Obj = Graph.Objects()[static_cast<int32_t>(Random() % Count)];
            Obj->ReplaceID(Obj->ID(), static_cast<uint32_t>(Random() % 40));
        } else {
            const uint32_t Expected = static_cast<uint32_t>(Count) + 1;
            TGraphNode *Node = Insert(0, 0);
            ASSERT_NE(Node, nullptr);
            ASSERT_EQ(Node->ID(), [&] {
                // The new node is listed now; the rescan asks for the number it would have got.
                uint32_t Candidate = Expected;
                for (bool Clash = true; Clash;) {
                    Clash = false;
                    for (int32_t I = 0; I < Graph.Objects().Count() - 1; ++I) {
                        if (Graph.Objects()[I]->ID() == Candidate) {
                            ++Candidate;
                            Clash = true;
                        }
                    }
                }
                return Candidate;
            }());
        }
        for (int32_t I = 0; I < Graph.Objects().Count(); ++I) {
            TGraphObject *Obj = Graph.Objects()[I];
            ASSERT_EQ(Graph.CreateUniqueID(Obj), Rescan(Obj)) << "step " << Step;
        }
        for (uint32_t ID = 0; ID < 60; ++ID) {
            TGraphObject *Found = nullptr;
            for (int32_t I = Graph.Objects().Count() - 1; I >= 0 && !Found; --I) {
                if (Graph.Objects()[I]->ID() == ID) {
                    Found = Graph.Objects()[I];
                }
            }
            ASSERT_EQ(Graph.FindObjectByID(ID), Found) << "step " << Step;
        }
    }
}

TEST_F(GraphControlTest, FailedInsertionReturnsNilAndChangesNothing)
{
    int Events = 0;
    Graph.OnObjectInsert = [&](TGraphControl *, TGraphObject *) { ++Events; };
    Graph.OnGraphChange = [&](TGraphControl *) { ++Events; };
    EXPECT_EQ(Graph.InsertNode({0, 0, 20, 20}, &TFailingNode::StaticClass()), nullptr);

    Graph.OnObjectInitInstance = [](TGraphControl *, TGraphObject *) {
        throw std::runtime_error("refused");
    };
    EXPECT_EQ(Insert(0, 0), nullptr);
    EXPECT_EQ(Graph.InsertNode({0, 0, 20, 20}, &TGraphObject::StaticClass()), nullptr);
    EXPECT_EQ(Graph.InsertNode({0, 0, 20, 20}, &TGraphLink::StaticClass()), nullptr);
    EXPECT_EQ(Graph.Objects().Count(), 0);
    EXPECT_FALSE(Graph.Modified());
    EXPECT_EQ(Events, 0);

    Graph.OnObjectInitInstance = nullptr;
    EXPECT_EQ(Insert(0, 0)->ID(), 1u);
}

TEST_F(GraphControlTest, BatchedInsertsSettleTheModifiedStateOnce)
{
    int Inserts = 0;
    int GraphChanges = 0;
    Graph.OnObjectInsert = [&](TGraphControl *, TGraphObject *) { ++Inserts; };
    Graph.OnGraphChange = [&](TGraphControl *G) {
        ++GraphChanges;
        EXPECT_TRUE(G->Modified());
    };
    Graph.BeginUpdate();
    Graph.BeginUpdate();
    for (int I = 0; I < 10; ++I) {
        Insert(I * 30, 0);
    }
    Graph.EndUpdate();
    EXPECT_EQ(GraphChanges, 0);
    Graph.EndUpdate();
    EXPECT_EQ(Inserts, 10);
    EXPECT_EQ(GraphChanges, 1);
    EXPECT_TRUE(Graph.Modified());

    // Outside a batch every data change reports at once.
    Insert(0, 50);
    EXPECT_EQ(GraphChanges, 2);
}

TEST_F(GraphControlTest, ClearRemovesLastToFirstAndLeavesTheGraphUnmodified)
{
    for (int I = 0; I < 3; ++I) {
        Insert(I * 30, 0);
    }
    Graph.Objects()[1]->SetSelected(true);
    Graph.SetCommandMode(cmPan);
    std::vector<uint32_t> Removed;
    int GraphChanges = 0;
    bool Vetoed = false;
    Graph.OnObjectRemove = [&](TGraphControl *, TGraphObject *Obj) {
        Removed.push_back(Obj->ID());
    };
    Graph.OnGraphChange = [&](TGraphControl *) { ++GraphChanges; };
    Graph.OnCanRemoveObject = [&](TGraphControl *, TGraphObject *, bool &CanRemove) {
        Vetoed = true;
        CanRemove = false;
    };
    Graph.Clear();
    EXPECT_EQ(Removed, (std::vector<uint32_t>{3, 2, 1}));
    EXPECT_FALSE(Vetoed) << "query events are suspended while clearing";
    EXPECT_EQ(Graph.Objects().Count(), 0);
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0);
    EXPECT_FALSE(Graph.Modified());
    EXPECT_EQ(GraphChanges, 1);
    EXPECT_EQ(Graph.CommandMode(), cmEdit);

    Graph.SetCommandMode(cmPan);
    Graph.Clear();
    EXPECT_EQ(GraphChanges, 1);
    EXPECT_EQ(Graph.CommandMode(), cmEdit);
}

TEST_F(GraphControlTest, RemovalLeavesTheCursorDeselectsAndFrees)
{
    TGraphNode *A = Insert(0, 0);
    A->SetSelected(true);
    Graph.RenewObjectAtCursor(A);
    std::vector<std::string> Log;
    Graph.OnObjectMouseLeave = [&](TGraphControl *, TGraphObject *) { Log.push_back("leave"); };
    Graph.OnObjectSelect = [&](TGraphControl *, TGraphObject *Obj) {
        Log.push_back(Obj->Selected() ? "select" : "deselect");
    };
    Graph.OnObjectRemove = [&](TGraphControl *, TGraphObject *) { Log.push_back("remove"); };
    Graph.Objects().Delete(0);
    EXPECT_EQ(Log, (std::vector<std::string>{"leave", "deselect", "remove"}));
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
    TGraphNode *A = Insert(10, 10);
    std::vector<bool> Ends;
    Graph.OnObjectEndDrag = [&](TGraphControl *, TGraphObject *, uint32_t, bool Cancelled) {
        Ends.push_back(Cancelled);
    };
    ASSERT_TRUE(A->BeginDrag({15, 15}));
    Graph.Objects().Delete(0);
    EXPECT_EQ(Graph.DragSource(), nullptr);
    EXPECT_EQ(Graph.DraggingObjects().Count(), 0);
    EXPECT_EQ(Ends, (std::vector<bool>{true}));

    // A node being inserted with the mouse is freed by its removal, not a second time by the
    // cancelled drag.
    Graph.SetCommandMode(cmInsertNode);
    TGraphNode *B = Insert(10, 10);
    ASSERT_TRUE(B->BeginDrag({30, 30}));
    Graph.Objects().Delete(0);
    EXPECT_EQ(Graph.Objects().Count(), 0);
    EXPECT_EQ(Graph.CommandMode(), cmEdit);

    Graph.SetCommandMode(cmInsertNode);
    TGraphNode *C = Insert(10, 10);
    ASSERT_TRUE(C->BeginDrag({30, 30}));
    uint16_t Key = VK_ESCAPE;
    EXPECT_TRUE(C->KeyPress(Key, {}));
    EXPECT_EQ(Graph.Objects().Count(), 0) << "a cancelled insertion removes the node";
}

TEST_F(GraphControlTest, ConstraintsConfinePointsRectanglesAndOffsets)
{
    TGraphConstraints &K = Graph.GraphConstraints();
    K.SetBounds(0, 0, 100, 50);
    EXPECT_EQ(K.BoundsRect(), (TRect{0, 0, 100, 50}));
    EXPECT_FALSE(K.WithinBounds({{100, 10}}));
    EXPECT_TRUE(K.WithinBounds({{0, 0}, {99, 49}}));
    TPoint Pt{100, 60};
    EXPECT_FALSE(K.ConfinePt(Pt));
    EXPECT_EQ(Pt, (TPoint{100, 50}));
    EXPECT_TRUE(K.ConfinePt(Pt));
    TRect R{-5, 10, 120, 40};
    EXPECT_FALSE(K.ConfineRect(R));
    EXPECT_EQ(R, (TRect{0, 10, 100, 40}));

    K.SetSourceRect({10, 10, 30, 30});
    int32_t dX = -50;
    int32_t dY = 40;
    EXPECT_TRUE(K.ConfineOffset(dX, dY, {osLeft, osTop, osRight, osBottom}));
    EXPECT_EQ(dX, -10);
    EXPECT_EQ(dY, 20);
    dX = -50;
    EXPECT_TRUE(K.ConfineOffset(dX, dY, {}));
    EXPECT_EQ(dX, -50);
    K.SetSourceRect({10, 0, 30, 20});
    dX = 0;
    dY = -10;
    EXPECT_FALSE(K.ConfineOffset(dX, dY, {osTop})) << "already at the top edge";
    EXPECT_EQ(dY, 0);

    // A source wider than the bounds: the right side wins.
    K.SetSourceRect({-10, 0, 200, 10});
    dX = 5;
    dY = 0;
    EXPECT_TRUE(K.ConfineOffset(dX, dY, {osLeft, osRight}));
    EXPECT_EQ(dX, -100);
    K.SetMaxRight(300);
    EXPECT_EQ(K.BoundsRect(), (TRect{0, 0, 300, 50}));
}

TEST_F(GraphControlTest, CommandModeKeepsTheSelectionOnlyForPanAndEdit)
{
    TGraphNode *A = Insert(0, 0);
    A->SetSelected(true);
    int Changes = 0;
    Graph.OnCommandModeChange = [&](TGraphControl *) { ++Changes; };
    Graph.SetCommandMode(cmPan);
    Graph.SetCommandMode(cmEdit);
    EXPECT_TRUE(A->Selected());
    Graph.SetCommandMode(cmEdit);
    EXPECT_EQ(Changes, 2);
    Graph.SetCommandMode(cmViewOnly);
    EXPECT_FALSE(A->Selected());
    EXPECT_EQ(Graph.SelectedObjects().Count(), 0);
}

TEST_F(GraphControlTest, AlignAndResizeTheSelection)
{
    TGraphNode *A = Graph.InsertNode({10, 10, 30, 30});
    TGraphNode *B = Graph.InsertNode({50, 40, 90, 60});
    A->SetSelected(true);
    B->SetSelected(true);
    EXPECT_FALSE(Graph.AlignSelection(haSpaceEqually, vaNoChange));
    EXPECT_EQ(B->GetBoundsRect(), (TRect{50, 40, 90, 60}));

    EXPECT_TRUE(Graph.AlignSelection(haLeft, vaBottom));
    EXPECT_EQ(B->GetBoundsRect(), (TRect{10, 10, 50, 30}));
    EXPECT_EQ(A->GetBoundsRect(), (TRect{10, 10, 30, 30}));

    EXPECT_TRUE(Graph.ResizeSelection(roLargest, roNoChange));
    EXPECT_EQ(A->GetBoundsRect(), (TRect{10, 10, 50, 30}));
    EXPECT_FALSE(Graph.ResizeSelection(roSmallest, roSmallest));

    // Three objects: the middle one is moved so that the gaps are equal.
    TGraphNode *C = Graph.InsertNode({200, 0, 220, 20});
    TGraphNode *D = Graph.InsertNode({100, 0, 120, 20});
    Graph.ClearSelection();
    B->SetBoundsRect({0, 0, 20, 20});
    for (TGraphNode *N : {B, C, D}) {
        N->SetSelected(true);
    }
    EXPECT_FALSE(Graph.AlignSelection(haSpaceEqually, vaNoChange));
    EXPECT_EQ(D->GetBoundsRect(), (TRect{100, 0, 120, 20}));
    D->SetBoundsRect({30, 0, 50, 20});
    EXPECT_TRUE(Graph.AlignSelection(haSpaceEqually, vaNoChange));
    EXPECT_EQ(D->GetBoundsRect(), (TRect{100, 0, 120, 20}));
}

TEST_F(GraphControlTest, SelectNextObjectStepsToSelectableObjectsAndEnds)
{
    TGraphNode *A = Insert(0, 0);
    TGraphNode *B = Insert(30, 0);
    TGraphNode *C = Insert(60, 0);
    B->SetOptions({goLinkable, goShowCaption});
    EXPECT_TRUE(Graph.SelectNextObject(false));
    EXPECT_TRUE(A->Selected());
    EXPECT_TRUE(Graph.SelectNextObject(false));
    EXPECT_TRUE(C->Selected()) << "B cannot be selected and is skipped";
    EXPECT_FALSE(A->Selected());
    EXPECT_TRUE(Graph.SelectNextObject(false));
    EXPECT_TRUE(A->Selected()) << "wraps around";
    EXPECT_TRUE(Graph.SelectNextObject(true));
    EXPECT_TRUE(C->Selected());
    EXPECT_TRUE(Graph.SelectNextObject(false, &TCircularNode::StaticClass()) == false);

    for (TGraphNode *N : {A, C}) {
        N->SetOptions({goLinkable, goShowCaption});
    }
    EXPECT_FALSE(Graph.SelectNextObject(false));
    EXPECT_FALSE(Graph.SelectNextObject(true));
}

// Selecting and deselecting in any order, also after the selection list was reordered by hand
// or an object was converted, leaves the list and the selection events as a plain list would.
TEST_F(GraphControlTest, SelectionListFollowsEverySelectionChange)
{
    std::vector<TGraphObject *> Nodes;
    for (int I = 0; I < 40; ++I) {
        Nodes.push_back(Insert(I * 30, 0));
    }
    std::vector<TGraphObject *> Expected;
    std::vector<TGraphObject *> Events;
    Graph.OnObjectSelect = [&](TGraphControl *, TGraphObject *Obj) { Events.push_back(Obj); };
    const auto Listed = [this] {
        std::vector<TGraphObject *> Result;
        for (int32_t I = 0; I < Graph.SelectedObjects().Count(); ++I) {
            Result.push_back(Graph.SelectedObjects()[I]);
        }
        return Result;
    };
    std::mt19937 Random(11);
    for (int Step = 0; Step < 3000; ++Step) {
        const int Kind = std::uniform_int_distribution<int>(0, 99)(Random);
        TGraphObject *&Node = Nodes[std::uniform_int_distribution<size_t>(0, 39)(Random)];
        Events.clear();
        if (Kind < 2) {
            Graph.ClearSelection();
            EXPECT_EQ(Events, std::vector<TGraphObject *>(Expected.rbegin(), Expected.rend()));
            Expected.clear();
        } else if (Kind < 4 && Expected.size() > 1) {
            Graph.SelectedObjects().Move(0, static_cast<int32_t>(Expected.size()) - 1);
            std::rotate(Expected.begin(), Expected.begin() + 1, Expected.end());
        } else if (Kind < 5) {
            TGraphObject *Old = Node;
            Node = Node->ConvertTo(Node->ClassType().InheritsFrom(TCircularNode::StaticClass())
                                       ? &TRectangularNode::StaticClass()
                                       : &TCircularNode::StaticClass());
            std::replace(Expected.begin(), Expected.end(), Old, Node);
        } else if (Node->Selected()) {
            Node->SetSelected(false);
            Expected.erase(std::find(Expected.begin(), Expected.end(), Node));
            EXPECT_EQ(Events, std::vector<TGraphObject *>{Node});
        } else {
            Node->SetSelected(true);
            Expected.push_back(Node);
            EXPECT_EQ(Events, std::vector<TGraphObject *>{Node});
        }
        ASSERT_EQ(Listed(), Expected) << "after step " << Step;
        for (TGraphObject *Obj : Nodes) {
            ASSERT_EQ(Obj->Selected(), std::count(Expected.begin(), Expected.end(), Obj) == 1);
        }
    }
    Graph.OnObjectSelect = nullptr;
}

TEST_F(GraphControlTest, BoundsAreCachedAndFollowTheObjects)
{
    EXPECT_EQ(Graph.GetObjectsBounds(Graph.Objects()), (TRect{0, 0, 0, 0}));
    EXPECT_EQ(Graph.GraphBounds(), (TRect{0, 0, 0, 0}));
    TGraphNode *A = Graph.InsertNode({100, 100, 120, 120});
    const TRect First = A->VisualRect();
    EXPECT_EQ(Graph.GraphBounds(), First);
    TGraphNode *B = Graph.InsertNode({200, 50, 220, 70});
    TRect Both = First;
    Both.Right = B->VisualRect().Right;
    Both.Top = B->VisualRect().Top;
    EXPECT_EQ(Graph.GraphBounds(), Both);
    B->SetBoundsRect({110, 110, 130, 130});
    EXPECT_EQ(Graph.GraphBounds(), Graph.GetObjectsBounds(Graph.Objects()));
    EXPECT_EQ(Graph.SelectionBounds(), (TRect{0, 0, 0, 0}));
    A->SetSelected(true);
    EXPECT_EQ(Graph.SelectionBounds(), First);
    A->SetVisible(false);
    B->SetBoundsRect({120, 120, 140, 140});
    EXPECT_EQ(Graph.GraphBounds(), B->VisualRect());
    Graph.SetShowHiddenObjects(true);
    EXPECT_EQ(Graph.GraphBounds(), Graph.GetObjectsBounds(Graph.Objects()));
    EXPECT_EQ(Graph.GraphBounds().Left, First.Left);
}

// During a drag the graph's bounds are the bounds of the objects left in place and of the dragged
// ones; whatever happens meanwhile, they are those of a walk over every object.
TEST_F(GraphControlTest, GraphBoundsFollowEveryDragStepAndEveryOtherChange)
{
    Graph.SetSnapToGrid(false);
    Graph.KeepInside = false;
    std::mt19937 Random(3);
    const auto Pick = [&Random](int Low, int High) {
        return std::uniform_int_distribution<int>(Low, High)(Random);
    };
    for (int I = 0; I < 40; ++I) {
        Insert(Pick(0, 600), Pick(0, 400), Pick(10, 40));
    }
    for (int Round = 0; Round < 60; ++Round) {
        for (int32_t I = 0; I < Graph.Objects().Count(); ++I) {
            Graph.Objects()[I]->SetSelected(Pick(0, 3) == 0);
        }
        TGraphObject *Source = Graph.Objects()[Pick(0, Graph.Objects().Count() - 1)];
        Source->SetSelected(true);
        const TRect Bounds = Source->BoundsRect();
        ASSERT_TRUE(Source->BeginDrag(
            {(Bounds.Left + Bounds.Right) / 2, (Bounds.Top + Bounds.Bottom) / 2}));
        for (int Step = 0; Step < 8 && Graph.DragSource(); ++Step) {
            switch (Pick(0, 5)) {
            case 0:
                Graph.Objects()[Pick(0, Graph.Objects().Count() - 1)]->MoveBy(Pick(-50, 50), 0);
                break;
            case 1:
                Insert(Pick(-100, 800), Pick(-100, 600));
                break;
            case 2:
                if (Graph.Objects().Count() > 5) {
                    TGraphObject::Delete(Graph.Objects()[Pick(0, Graph.Objects().Count() - 1)]);
                }
                break;
            default:
                Source->DragBy(Pick(-90, 90), Pick(-90, 90), false);
                break;
            }
            ASSERT_EQ(Graph.GraphBounds(), Graph.GetObjectsBounds(Graph.Objects()))
                << "round " << Round << ", step " << Step;
        }
        if (Graph.DragSource()) {
            Graph.DragSource()->EndDrag(Pick(0, 1) == 0);
        }
        ASSERT_EQ(Graph.GraphBounds(), Graph.GetObjectsBounds(Graph.Objects())) << Round;
    }
}

TEST_F(GraphControlTest, ClicksAndPopupsGoToTheFirstSelectedObject)
{
    std::vector<std::string> Log;
    Graph.OnClick = [&](TGraphControl *) { Log.push_back("click"); };
    Graph.OnDblClick = [&](TGraphControl *) { Log.push_back("dblclick"); };
    Graph.OnObjectClick = [&](TGraphControl *, TGraphObject *O) {
        Log.push_back("object click " + std::to_string(O->ID()));
    };
    Graph.OnObjectDblClick = [&](TGraphControl *, TGraphObject *O) {
        Log.push_back("object dblclick " + std::to_string(O->ID()));
    };
    Graph.OnContextPopup = [&](TGraphControl *, const TPoint &, bool &) { Log.push_back("popup"); };
    Graph.OnObjectContextPopup = [&](TGraphControl *, TGraphObject *, const TPoint &,
                                     bool &Handled) {
        Log.push_back("object popup");
        Handled = true;
    };
    bool Handled = false;
    Graph.Click();
    Graph.DblClick();
    Graph.DoContextPopup({5, 5}, Handled);
    EXPECT_FALSE(Handled);
    Insert(0, 0);
    Insert(30, 0)->SetSelected(true);
    Graph.Objects()[0]->SetSelected(true);
    Graph.Click();
    Graph.DblClick();
    Graph.DoContextPopup({5, 5}, Handled);
    EXPECT_TRUE(Handled);
    EXPECT_EQ(Log, (std::vector<std::string>{"click", "dblclick", "popup", "object click 2",
                                             "object dblclick 2", "object popup"}));
}

TEST_F(GraphControlTest, LinkRecordsAreKeptAsRead)
{
    const TPropEntries Stored = {
        {"ID", int64_t{9}},
        {"G.Text", QString("link")},
        {"G.BeginStyle", QByteArray("lsArrow")},
        {"G.EndSize", int64_t{6}},
        {"G.LinkOptions", QByteArray("\x03loA\x03loB")},
        {"G.Source", int64_t{1}},
        {"G.Target", int64_t{4294967295}},
        {"G.BreakPoints", QByteArray("\x01\x02", 2)},
    };
    TGraphObject *Link = TGraphLink::StaticClass().CreateLoaded(&Graph.Document(), Stored);
    Link->Loaded();
    EXPECT_TRUE(Link->IsLink());
    EXPECT_EQ(Link->ID(), 9u);
    EXPECT_EQ(Link->SaveToEntries(), Stored);
    EXPECT_EQ(Link->HitTest({0, 0}), hzNone);

    Link->ReplaceID(1, 12);
    EXPECT_EQ(Link->SaveToEntries()[5], (TPropEntry{"G.Source", int64_t{12}}));
    EXPECT_EQ(Link->ConvertTo(&TRectangularNode::StaticClass()), Link);
    EXPECT_THROW(
        TGraphLink::StaticClass().CreateLoaded(&Graph.Document(), {{"G.Left", int64_t{1}}}),
        EGraphStreamError);
    EXPECT_EQ(Graph.Objects().Count(), 1);
}

} // namespace
} // namespace talivo
