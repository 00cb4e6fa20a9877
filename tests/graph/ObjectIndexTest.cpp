#include "graph/control/GraphControl.h"
#include "graph/objects/GraphNode.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace talivo {
namespace {

std::vector<TGraphObject *> ListOf(const TGraphObjectList &list)
{
    std::vector<TGraphObject *> result;
    for (int32_t i = 0; i < list.Count(); ++i)
        result.push_back(list[i]);
    return result;
}

// The hit test as a walk over every object, from the top of the list down.
TGraphObject *WalkedObjectAt(TGraphControl &graph, TPoint pt, TGraphObject *lookAfter = nullptr)
{
    const TGraphObjectList &objects = graph.Objects();
    const int32_t start = lookAfter ? objects.IndexOf(lookAfter) - 1 : objects.Count() - 1;
    TGraphObject *result = nullptr;
    for (int32_t i = start; i >= 0; --i) {
        TGraphObject *obj = objects[i];
        const uint32_t ht = obj == graph.DragSource() ? hzNone : obj->HitTest(pt);
        if (ht == hzNone)
            continue;
        if (!result) {
            result = obj;
            if (graph.SelectedObjects().Count() == 0 || obj->Selected())
                break;
        } else if (obj->Selected() && (ht & (hzBody | hzCaption)) == 0) {
            return obj;
        }
    }
    return result;
}

// The selection, in order, that a band over every object would leave.
std::vector<TGraphObject *> WalkedSelection(TGraphControl &graph, const TRect &rect, bool keepOld,
                                            const TGraphObjectClass *objectClass)
{
    std::vector<TGraphObject *> selection = ListOf(graph.SelectedObjects());
    for (TGraphObject *obj : ListOf(graph.Objects())) {
        const bool was = obj->Selected();
        bool will = was;
        if ((!objectClass || obj->ClassType().InheritsFrom(*objectClass)) &&
            obj->ContainsRect(rect))
            will = !(keepOld && was) && obj->Options().Contains(goSelectable);
        else if (!keepOld)
            will = false;
        if (will && !was)
            selection.push_back(obj);
        else if (!will && was)
            selection.erase(std::find(selection.begin(), selection.end(), obj));
    }
    return selection;
}

class ObjectIndexTest : public ::testing::Test {
protected:
    ObjectIndexTest()
    {
        Graph.resize(400, 300);
        Graph.KeepInside = false;
        for (int32_t i = 0; i < TGraphControl::NodeClassCount(); ++i)
            Classes.push_back(TGraphControl::NodeClasses(i));
    }

    int32_t Random(int32_t low, int32_t high)
    {
        return std::uniform_int_distribution<int32_t>(low, high)(Engine);
    }

    TRect RandomRect(int32_t maxSize)
    {
        const int32_t left = Random(-300, 2000);
        const int32_t top = Random(-300, 2000);
        return {left, top, left + Random(1, maxSize), top + Random(1, maxSize)};
    }

    TGraphObject *RandomObject() { return Graph.Objects()[Random(0, Graph.Objects().Count() - 1)]; }

    void AddNodes(int32_t count)
    {
        for (int32_t i = 0; i < count; ++i) {
            // Mostly marks, some nodes that span many cells of the index.
            const TRect bounds = RandomRect(Random(0, 9) == 0 ? 1500 : 60);
            TGraphNode *node =
                Graph.InsertNode(bounds, Classes[Random(0, int32_t(Classes.size()) - 1)]);
            if (Random(0, 3) == 0)
                node->SetText(QString::number(i));
        }
    }

    void ExpectSameHits(int32_t points)
    {
        for (int32_t i = 0; i < 20; ++i) {
            TGraphObject *obj = RandomObject();
            ASSERT_EQ(obj->ZOrder(), Graph.Objects().IndexOf(obj));
        }
        for (int32_t i = 0; i < points; ++i) {
            const TPoint pt{Random(-320, 2100), Random(-320, 2100)};
            ASSERT_EQ(Graph.FindObjectAt(pt.X, pt.Y), WalkedObjectAt(Graph, pt))
                << pt.X << "," << pt.Y;
            TGraphObject *hit = WalkedObjectAt(Graph, pt);
            if (hit) {
                ASSERT_EQ(Graph.FindObjectAt(pt.X, pt.Y, hit), WalkedObjectAt(Graph, pt, hit));
            }
        }
    }

    void ExpectSameBands(int32_t bands)
    {
        for (int32_t i = 0; i < bands; ++i) {
            // Zero-size bands too: a click in the edit mode is one.
            const TRect rect = Random(0, 2) == 0 ? RandomRect(1) : RandomRect(700);
            const TRect band{rect.Left, rect.Top, rect.Right - 1, rect.Bottom - 1};
            const bool keepOld = Random(0, 1) == 1;
            const TGraphObjectClass *objectClass =
                Random(0, 3) == 0 ? Classes[Random(0, int32_t(Classes.size()) - 1)] : nullptr;
            const std::vector<TGraphObject *> expected =
                WalkedSelection(Graph, band, keepOld, objectClass);
            Graph.ToggleSelection(band, keepOld, objectClass);
            ASSERT_EQ(ListOf(Graph.SelectedObjects()), expected);
        }
    }

    TGraphControl Graph;
    std::vector<const TGraphNodeClass *> Classes;
    std::mt19937 Engine{7};
};

TEST_F(ObjectIndexTest, HitTestAndBandsMatchAWalkOverEveryObjectThroughEdits)
{
    AddNodes(300);
    ExpectSameHits(400);
    ExpectSameBands(40);

    for (int round = 0; round < 12; ++round) {
        for (int i = 0; i < 15; ++i) {
            TGraphObject *obj = RandomObject();
            switch (Random(0, 7)) {
            case 0:
                obj->MoveBy(Random(-200, 200), Random(-200, 200));
                break;
            case 1:
                obj->SetBoundsRect(RandomRect(Random(0, 4) == 0 ? 1200 : 80));
                break;
            case 2:
                obj->SetZOrder(Random(0, Graph.Objects().Count() - 1));
                break;
            case 3:
                Random(0, 1) ? obj->BringToFront() : obj->SendToBack();
                break;
            case 4:
                TGraphObject::Delete(obj);
                break;
            case 5:
                obj->Pen().SetWidth(Random(0, 12));
                break;
            case 6:
                obj->SetSelected(!obj->Selected());
                break;
            default:
                obj->SetVisible(!obj->Visible());
                break;
            }
        }
        AddNodes(5);
        if (round % 4 == 3) {
            Graph.SetMarkerSize(static_cast<TMarkerSize>(Random(3, 9)));
            Graph.SetShowHiddenObjects(!Graph.ShowHiddenObjects());
        }
        ExpectSameHits(150);
        ExpectSameBands(10);
    }
}

// Objects moving away all at once leave many empty cells behind, which the index keeps for a
// while and then drops; hits stay right all along, also where objects come back. Enough objects
// move for the index to place them all afresh, and in other rounds only a third of them.
TEST_F(ObjectIndexTest, HitsStayRightWhileEveryObjectMovesFarAwayAndBack)
{
    AddNodes(4500);
    for (int round = 0; round < 8; ++round) {
        const int32_t step = round < 4 ? 3000 : -3000;
        const int32_t every = round % 3 == 2 ? 3 : 1;
        Graph.BeginUpdate();
        for (int32_t i = 0; i < Graph.Objects().Count(); i += every)
            Graph.Objects()[i]->MoveBy(step, round % 2 ? step : 0);
        Graph.EndUpdate();
        for (int32_t i = 0; i < Graph.Objects().Count(); i += 7) {
            const TRect bounds = Graph.Objects()[i]->BoundsRect();
            const TPoint pt{bounds.Left + bounds.Width() / 2, bounds.Top + bounds.Height() / 2};
            ASSERT_EQ(Graph.FindObjectAt(pt.X, pt.Y), WalkedObjectAt(Graph, pt)) << round;
        }
    }
    ExpectSameHits(300);
    ExpectSameBands(10);
}

TEST_F(ObjectIndexTest, ObjectsInsertedBelowOthersKeepTheirPlaceInTheOrder)
{
    const TGraphNodeClass *nodeClass = Classes[0];
    TGraphObject *bottom = Graph.InsertNode({0, 0, 100, 100}, nodeClass);
    TGraphObject *top = Graph.InsertNode({0, 0, 100, 100}, nodeClass);
    EXPECT_EQ(Graph.FindObjectAt(50, 50), top);
    EXPECT_EQ(Graph.FindObjectAt(50, 50, top), bottom);
    EXPECT_EQ(Graph.FindObjectAt(50, 50, bottom), nullptr);

    top->SendToBack();
    EXPECT_EQ(Graph.FindObjectAt(50, 50), bottom);
    EXPECT_EQ(Graph.FindObjectAt(50, 50, bottom), top);

    // An object put into the list below the others, not appended.
    TGraphObject *inserted = Graph.InsertNode({0, 0, 100, 100}, nodeClass);
    Graph.Objects().Move(Graph.Objects().Count() - 1, 1);
    EXPECT_EQ(Graph.FindObjectAt(50, 50), bottom);
    EXPECT_EQ(Graph.FindObjectAt(50, 50, bottom), inserted);
    EXPECT_EQ(Graph.FindObjectAt(50, 50, inserted), top);

    // Emptied and filled again, the index starts afresh.
    Graph.Clear();
    EXPECT_EQ(Graph.FindObjectAt(50, 50), nullptr);
    TGraphObject *again = Graph.InsertNode({40, 40, 60, 60}, nodeClass);
    EXPECT_EQ(Graph.FindObjectAt(50, 50), again);
    EXPECT_EQ(Graph.FindObjectAt(50, 50, again), nullptr);
}

TEST_F(ObjectIndexTest, BandSurvivesHandlersThatDeleteObjectsItHasYetToVisit)
{
    std::vector<TGraphObject *> row;
    for (int32_t i = 0; i < 10; ++i)
        row.push_back(Graph.InsertNode({i * 30, 0, i * 30 + 20, 20}, Classes[0]));
    // The first selection takes the last object of the row (and with it, itself) away.
    bool deleted = false;
    Graph.OnObjectSelect = [&](TGraphControl *, TGraphObject *obj) {
        if (!deleted && obj->Selected()) {
            deleted = true;
            TGraphObject::Delete(row.back());
        }
    };
    Graph.ToggleSelection({0, 0, 400, 10}, false);
    Graph.OnObjectSelect = nullptr;
    EXPECT_EQ(Graph.Objects().Count(), 9);
    EXPECT_EQ(Graph.SelectedObjects().Count(), 9);
}

TEST_F(ObjectIndexTest, PaintDrawsTheObjectsThatMeetTheClipInListOrder)
{
    AddNodes(200);
    std::vector<TGraphObject *> expected;
    std::vector<TGraphObject *> drawn;
    Graph.OnBeforeDraw = [&](TGraphControl *, TCanvas &canvas) {
        expected.clear();
        for (TGraphObject *obj : ListOf(Graph.Objects())) {
            if (obj->IsVisibleOn(canvas))
                expected.push_back(obj);
        }
    };
    Graph.OnObjectBeforeDraw = [&](TGraphControl *, TGraphObject *obj, TCanvas &) {
        drawn.push_back(obj);
    };
    Graph.SetZoom(50);
    for (TGraphDrawOrder order : {doDefault, doNodesOnTop}) {
        Graph.SetDrawOrder(order);
        for (const QRect &clip : {QRect(50, 40, 120, 90), QRect(0, 0, 30, 300), Graph.rect()}) {
            drawn.clear();
            QImage image(Graph.viewport()->size(), QImage::Format_RGB32);
            Graph.viewport()->render(&image, clip.topLeft(), QRegion(clip), QWidget::RenderFlags());
            EXPECT_FALSE(drawn.empty());
            EXPECT_EQ(drawn, expected);
        }
    }
    Graph.OnBeforeDraw = nullptr;
    Graph.OnObjectBeforeDraw = nullptr;
}

} // namespace
} // namespace talivo
