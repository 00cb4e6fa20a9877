#include "graph/control/GraphControl.h"
#include "graph/objects/GraphNode.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace talivo {
namespace {

std::vector<TGraphObject *> ListOf(const TGraphObjectList &List)
{
    std::vector<TGraphObject *> Result;
    for (int32_t I = 0; I < List.Count(); ++I) {
        Result.push_back(List[I]);
    }
    return Result;
}

// The hit test as a walk over every object, from the top of the list down.
TGraphObject *WalkedObjectAt(TGraphControl &Graph, TPoint Pt, TGraphObject *LookAfter = nullptr)
{
    const TGraphObjectList &Objects = Graph.Objects();
    const int32_t Start = LookAfter ? Objects.IndexOf(LookAfter) - 1 : Objects.Count() - 1;
    TGraphObject *Result = nullptr;
    for (int32_t I = Start; I >= 0; --I) {
        TGraphObject *Obj = Objects[I];
        const uint32_t HT = Obj == Graph.DragSource() ? hzNone : Obj->HitTest(Pt);
        if (HT == hzNone) {
            continue;
        }
        if (!Result) {
            Result = Obj;
            if (Graph.SelectedObjects().Count() == 0 || Obj->Selected()) {
                break;
            }
        } else if (Obj->Selected() && (HT & (hzBody | hzCaption)) == 0) {
            return Obj;
        }
    }
    return Result;
}

// The selection, in order, that a band over every object would leave.
std::vector<TGraphObject *> WalkedSelection(TGraphControl &Graph, const TRect &Rect, bool KeepOld,
                                            const TGraphObjectClass *Class)
{
    std::vector<TGraphObject *> Selection = ListOf(Graph.SelectedObjects());
    for (TGraphObject *Obj : ListOf(Graph.Objects())) {
        const bool Was = Obj->Selected();
        bool Will = Was;
        if ((!Class || Obj->ClassType().InheritsFrom(*Class)) && Obj->ContainsRect(Rect)) {
            Will = !(KeepOld && Was) && Obj->Options().Contains(goSelectable);
        } else if (!KeepOld) {
            Will = false;
        }
        if (Will && !Was) {
            Selection.push_back(Obj);
        } else if (!Will && Was) {
            Selection.erase(std::find(Selection.begin(), Selection.end(), Obj));
        }
    }
    return Selection;
}

class ObjectIndexTest : public ::testing::Test {
protected:
    ObjectIndexTest()
    {
        Graph.resize(400, 300);
        Graph.KeepInside = false;
        for (int32_t I = 0; I < TGraphControl::NodeClassCount(); ++I) {
            Classes.push_back(TGraphControl::NodeClasses(I));
        }
    }

    int32_t Random(int32_t Low, int32_t High)
    {
        return std::uniform_int_distribution<int32_t>(Low, High)(Engine);
    }

    TRect RandomRect(int32_t MaxSize)
    {
        const int32_t Left = Random(-300, 2000);
        const int32_t Top = Random(-300, 2000);
        return {Left, Top, Left + Random(1, MaxSize), Top + Random(1, MaxSize)};
    }

    TGraphObject *RandomObject() { return Graph.Objects()[Random(0, Graph.Objects().Count() - 1)]; }

    void AddNodes(int32_t Count)
    {
        for (int32_t I = 0; I < Count; ++I) {
            // Mostly marks, some nodes that span many cells of the index.
            const TRect Bounds = RandomRect(Random(0, 9) == 0 ? 1500 : 60);
            TGraphNode *Node =
                Graph.InsertNode(Bounds, Classes[Random(0, int32_t(Classes.size()) - 1)]);
            if (Random(0, 3) == 0) {
                Node->SetText(QString::number(I));
            }
        }
    }

    void ExpectSameHits(int32_t Points)
    {
        for (int32_t I = 0; I < 20; ++I) {
            TGraphObject *Obj = RandomObject();
            ASSERT_EQ(Obj->ZOrder(), Graph.Objects().IndexOf(Obj));
        }
        for (int32_t I = 0; I < Points; ++I) {
            const TPoint Pt{Random(-320, 2100), Random(-320, 2100)};
            ASSERT_EQ(Graph.FindObjectAt(Pt.X, Pt.Y), WalkedObjectAt(Graph, Pt))
                << Pt.X << "," << Pt.Y;
            TGraphObject *Hit = WalkedObjectAt(Graph, Pt);
            if (Hit) {
                ASSERT_EQ(Graph.FindObjectAt(Pt.X, Pt.Y, Hit), WalkedObjectAt(Graph, Pt, Hit));
            }
        }
    }

    void ExpectSameBands(int32_t Bands)
    {
        for (int32_t I = 0; I < Bands; ++I) {
            // Zero-size bands too: a click in the edit mode is one.
            const TRect Rect = Random(0, 2) == 0 ? RandomRect(1) : RandomRect(700);
            const TRect Band{Rect.Left, Rect.Top, Rect.Right - 1, Rect.Bottom - 1};
            const bool KeepOld = Random(0, 1) == 1;
            const TGraphObjectClass *Class =
                Random(0, 3) == 0 ? Classes[Random(0, int32_t(Classes.size()) - 1)] : nullptr;
            const std::vector<TGraphObject *> Expected =
                WalkedSelection(Graph, Band, KeepOld, Class);
            Graph.ToggleSelection(Band, KeepOld, Class);
            ASSERT_EQ(ListOf(Graph.SelectedObjects()), Expected);
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

    for (int Round = 0; Round < 12; ++Round) {
        for (int I = 0; I < 15; ++I) {
            TGraphObject *Obj = RandomObject();
            switch (Random(0, 7)) {
            case 0:
                Obj->MoveBy(Random(-200, 200), Random(-200, 200));
                break;
            case 1:
                Obj->SetBoundsRect(RandomRect(Random(0, 4) == 0 ? 1200 : 80));
                break;
            case 2:
                Obj->SetZOrder(Random(0, Graph.Objects().Count() - 1));
                break;
            case 3:
                Random(0, 1) ? Obj->BringToFront() : Obj->SendToBack();
                break;
            case 4:
                TGraphObject::Delete(Obj);
                break;
            case 5:
                Obj->Pen().SetWidth(Random(0, 12));
                break;
            case 6:
                Obj->SetSelected(!Obj->Selected());
                break;
            default:
                Obj->SetVisible(!Obj->Visible());
                break;
            }
        }
        AddNodes(5);
        if (Round % 4 == 3) {
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
    for (int Round = 0; Round < 8; ++Round) {
        const int32_t Step = Round < 4 ? 3000 : -3000;
        const int32_t Every = Round % 3 == 2 ? 3 : 1;
        Graph.BeginUpdate();
        for (int32_t I = 0; I < Graph.Objects().Count(); I += Every) {
            Graph.Objects()[I]->MoveBy(Step, Round % 2 ? Step : 0);
        }
        Graph.EndUpdate();
        for (int32_t I = 0; I < Graph.Objects().Count(); I += 7) {
            const TRect Bounds = Graph.Objects()[I]->BoundsRect();
            const TPoint Pt{Bounds.Left + Bounds.Width() / 2, Bounds.Top + Bounds.Height() / 2};
            ASSERT_EQ(Graph.FindObjectAt(Pt.X, Pt.Y), WalkedObjectAt(Graph, Pt)) << Round;
        }
    }
    ExpectSameHits(300);
    ExpectSameBands(10);
}

TEST_F(ObjectIndexTest, ObjectsInsertedBelowOthersKeepTheirPlaceInTheOrder)
{
    const TGraphNodeClass *Class = Classes[0];
    TGraphObject *Bottom = Graph.InsertNode({0, 0, 100, 100}, Class);
    TGraphObject *Top = Graph.InsertNode({0, 0, 100, 100}, Class);
    EXPECT_EQ(Graph.FindObjectAt(50, 50), Top);
    EXPECT_EQ(Graph.FindObjectAt(50, 50, Top), Bottom);
    EXPECT_EQ(Graph.FindObjectAt(50, 50, Bottom), nullptr);

    Top->SendToBack();
    EXPECT_EQ(Graph.FindObjectAt(50, 50), Bottom);
    EXPECT_EQ(Graph.FindObjectAt(50, 50, Bottom), Top);

    // An object put into the list below the others, not appended.
    TGraphObject *Inserted = Graph.InsertNode({0, 0, 100, 100}, Class);
    Graph.Objects().Move(Graph.Objects().Count() - 1, 1);
    EXPECT_EQ(Graph.FindObjectAt(50, 50), Bottom);
    EXPECT_EQ(Graph.FindObjectAt(50, 50, Bottom), Inserted);
    EXPECT_EQ(Graph.FindObjectAt(50, 50, Inserted), Top);

    // Emptied and filled again, the index starts afresh.
    Graph.Clear();
    EXPECT_EQ(Graph.FindObjectAt(50, 50), nullptr);
    TGraphObject *Again = Graph.InsertNode({40, 40, 60, 60}, Class);
    EXPECT_EQ(Graph.FindObjectAt(50, 50), Again);
    EXPECT_EQ(Graph.FindObjectAt(50, 50, Again), nullptr);
}

TEST_F(ObjectIndexTest, BandSurvivesHandlersThatDeleteObjectsItHasYetToVisit)
{
    std::vector<TGraphObject *> Row;
    for (int32_t I = 0; I < 10; ++I) {
        Row.push_back(Graph.InsertNode({I * 30, 0, I * 30 + 20, 20}, Classes[0]));
    }
    // The first selection takes the last object of the row (and with it, itself) away.
    bool Deleted = false;
    Graph.OnObjectSelect = [&](TGraphControl *, TGraphObject *Obj) {
        if (!Deleted && Obj->Selected()) {
            Deleted = true;
            TGraphObject::Delete(Row.back());
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
    std::vector<TGraphObject *> Expected;
    std::vector<TGraphObject *> Drawn;
    Graph.OnBeforeDraw = [&](TGraphControl *, TCanvas &Canvas) {
        Expected.clear();
        for (TGraphObject *Obj : ListOf(Graph.Objects())) {
            if (Obj->IsVisibleOn(Canvas)) {
                Expected.push_back(Obj);
            }
        }
    };
    Graph.OnObjectBeforeDraw = [&](TGraphControl *, TGraphObject *Obj, TCanvas &) {
        Drawn.push_back(Obj);
    };
    Graph.SetZoom(50);
    for (TGraphDrawOrder Order : {doDefault, doNodesOnTop}) {
        Graph.SetDrawOrder(Order);
        for (const QRect &Clip : {QRect(50, 40, 120, 90), QRect(0, 0, 30, 300), Graph.rect()}) {
            Drawn.clear();
            QImage Image(Graph.viewport()->size(), QImage::Format_RGB32);
            Graph.viewport()->render(&Image, Clip.topLeft(), QRegion(Clip), QWidget::RenderFlags());
            EXPECT_FALSE(Drawn.empty());
            EXPECT_EQ(Drawn, Expected);
        }
    }
    Graph.OnBeforeDraw = nullptr;
    Graph.OnObjectBeforeDraw = nullptr;
}

} // namespace
} // namespace talivo
