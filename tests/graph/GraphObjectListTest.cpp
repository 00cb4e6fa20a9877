#include "graph/objects/GraphObjectList.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <random>
#include <utility>
#include <vector>

namespace talivo {
namespace {

using TIds = std::vector<int>;
using TEvents = std::vector<std::pair<int, TGraphObjectListAction>>;

// The list never dereferences its items, so addresses inside a buffer serve as distinct objects,
// named by their offset.
class GraphObjectListTest : public ::testing::Test {
protected:
    std::array<char, 128> Pool{};
    TGraphObjectList List;
    TEvents Log;

    TGraphObject *Obj(int I) { return reinterpret_cast<TGraphObject *>(&Pool[I]); }
    int Id(TGraphObject *Item) { return Item ? reinterpret_cast<char *>(Item) - Pool.data() : -1; }

    void Fill(int N)
    {
        for (int I = 0; I < N; ++I) {
            List.Add(Obj(I));
        }
    }

    void Record()
    {
        List.SetOnChange(
            [this](TGraphObjectList *, TGraphObject *Item, TGraphObjectListAction Action) {
                Log.emplace_back(Id(Item), Action);
            });
    }

    TIds Ids()
    {
        TIds Result;
        for (int I = 0; I < List.Count(); ++I) {
            Result.push_back(Id(List[I]));
        }
        return Result;
    }
};

TEST_F(GraphObjectListTest, EditsKeepOrderAndReportOnce)
{
    Record();
    EXPECT_EQ(List.Add(Obj(0)), 0);
    EXPECT_EQ(List.Add(Obj(2)), 1);
    List.Insert(1, Obj(1));
    List.Insert(3, Obj(3));
    EXPECT_EQ(Ids(), (TIds{0, 1, 2, 3}));
    EXPECT_EQ(List.IndexOf(Obj(2)), 2);
    EXPECT_EQ(List.Remove(Obj(1)), 1);
    EXPECT_EQ(List.Remove(Obj(9)), -1);
    List.Delete(0);
    EXPECT_EQ(Ids(), (TIds{2, 3}));
    EXPECT_EQ(Log, (TEvents{{0, glAdded},
                            {2, glAdded},
                            {1, glAdded},
                            {3, glAdded},
                            {1, glRemoved},
                            {0, glRemoved}}));

    Log.clear();
    List.Add(Obj(4));
    List.Move(0, 2);
    EXPECT_EQ(Ids(), (TIds{3, 4, 2}));
    List.Move(2, 0);
    List.Move(1, 1);
    EXPECT_EQ(Ids(), (TIds{2, 3, 4}));
    EXPECT_EQ(Log, (TEvents{{4, glAdded}, {2, glReordered}, {2, glReordered}}));
}

TEST_F(GraphObjectListTest, GrowsLinearlyAndShrinksFromTheEnd)
{
    Fill(16);
    EXPECT_EQ(List.Capacity(), 16);
    List.Add(Obj(16));
    EXPECT_EQ(List.Capacity(), 32);
    List.Clear();
    Fill(64);
    EXPECT_EQ(List.Capacity(), 64);
    List.Add(Obj(64));
    EXPECT_EQ(List.Capacity(), 72);

    Record();
    List.SetCapacity(63);
    EXPECT_EQ(List.Capacity(), 63);
    EXPECT_EQ(List.Count(), 63);
    EXPECT_EQ(Log, (TEvents{{64, glRemoved}, {63, glRemoved}}));
}

TEST_F(GraphObjectListTest, ClearAndAssign)
{
    Fill(2);
    List.First();
    EXPECT_TRUE(List.Push());
    Record();
    List.Clear();
    EXPECT_EQ(Log, (TEvents{{1, glRemoved}, {0, glRemoved}}));
    EXPECT_EQ(List.Capacity(), 0);
    EXPECT_FALSE(List.Pop());

    TGraphObjectList Source;
    Source.Add(Obj(5));
    Source.Add(Obj(6));
    Log.clear();
    List.Assign(Source);
    List.Assign(List);
    EXPECT_EQ(Ids(), (TIds{5, 6}));
    EXPECT_EQ(List.Capacity(), 2);
    EXPECT_EQ(Log, (TEvents{{5, glAdded}, {6, glAdded}}));
}

TEST_F(GraphObjectListTest, FailuresRaiseAndChangeNothing)
{
    Fill(3);
    Record();
    auto ExpectError = [&](auto Call, const char *Message) {
        try {
            Call();
            ADD_FAILURE() << "no error for " << Message;
        } catch (const EListError &E) {
            EXPECT_STREQ(E.what(), Message);
        }
        EXPECT_EQ(Ids(), (TIds{0, 1, 2}));
        EXPECT_EQ(List.Capacity(), 16);
        EXPECT_TRUE(Log.empty());
    };
    ExpectError([&] { List.Items(3); }, "Index out of range (3)");
    ExpectError([&] { List.Items(-1); }, "Index out of range (-1)");
    ExpectError([&] { List.Delete(3); }, "Index out of range (3)");
    ExpectError([&] { List.Insert(4, Obj(9)); }, "Index out of range (4)");
    ExpectError([&] { List.Move(0, 3); }, "Index out of range (3)");
    ExpectError([&] { List.Move(-2, 1); }, "Index out of range (-2)");
    ExpectError([&] { List.Move(5, 5); }, "Index out of range (5)");
    ExpectError([&] { List.Add(nullptr); }, "Cannot store a nil object in the list");
    ExpectError([&] { List.SetCapacity(-1); }, "Capacity out of range (-1)");

    List.First();
    EXPECT_EQ(Id(List.Next()), 1);
    EXPECT_EQ(Id(List.Next()), 2);
    EXPECT_EQ(List.Next(), nullptr);
    ExpectError([&] { List.Next(); }, "List enumeration is not initialized");
    ExpectError([&] { List.Next(); }, "List enumeration is not initialized");
    List.Last();
    EXPECT_EQ(Id(List.Prior()), 1);
    EXPECT_EQ(Id(List.Prior()), 0);
    EXPECT_EQ(List.Prior(), nullptr);
    ExpectError([&] { List.Prior(); }, "List enumeration is not initialized");
}

TEST_F(GraphObjectListTest, WalksSurviveDeletions)
{
    Fill(6);
    TIds Seen;
    for (TGraphObject *Item = List.First(); Item; Item = List.Next()) {
        Seen.push_back(Id(Item));
        if (Id(Item) == 1) {
            List.Remove(Obj(1)); // the current one
        } else if (Id(Item) == 3) {
            List.Remove(Obj(0)); // one already passed
        } else if (Id(Item) == 4) {
            List.Remove(Obj(5)); // one still ahead
        }
    }
    EXPECT_EQ(Seen, (TIds{0, 1, 2, 3, 4}));

    List.Clear();
    Fill(6);
    Seen.clear();
    for (TGraphObject *Item = List.Last(); Item; Item = List.Prior()) {
        Seen.push_back(Id(Item));
        if (Id(Item) == 4) {
            List.Remove(Obj(4));
        } else if (Id(Item) == 3) {
            List.Remove(Obj(1));
        }
    }
    EXPECT_EQ(Seen, (TIds{5, 4, 3, 2, 0}));
    EXPECT_EQ(Ids(), (TIds{0, 2, 3, 5}));
}

TEST_F(GraphObjectListTest, NestedWalkAndHandlerDeletions)
{
    Fill(5);
    // Removing object 1 takes object 2 with it, from inside the report.
    List.SetOnChange([this](TGraphObjectList *, TGraphObject *Item, TGraphObjectListAction) {
        if (Id(Item) == 1) {
            List.Remove(Obj(2));
        }
    });
    TIds Outer, InnerCounts;
    for (TGraphObject *Item = List.First(); Item; Item = List.Next()) {
        Outer.push_back(Id(Item));
        ASSERT_TRUE(List.Push());
        int Inner = 0;
        for (TGraphObject *Other = List.First(); Other; Other = List.Next()) {
            ++Inner;
            if (Id(Item) == 1 && Id(Other) == 1) {
                List.Delete(1);
            }
        }
        InnerCounts.push_back(Inner);
        ASSERT_TRUE(List.Pop());
    }
    EXPECT_FALSE(List.Pop());
    EXPECT_EQ(Outer, (TIds{0, 1, 3, 4}));
    EXPECT_EQ(InnerCounts, (TIds{5, 4, 3, 3}));

    // A handler that drops itself must finish its own call safely.
    List.SetOnChange([this](TGraphObjectList *, TGraphObject *, TGraphObjectListAction) {
        List.SetOnChange(nullptr);
        Log.emplace_back(0, glAdded);
    });
    List.Add(Obj(7));
    List.Add(Obj(8));
    EXPECT_EQ(Log.size(), 1u);
}

// Edits anywhere in the list, in an order that moves the list's free slots back and forth, keep
// the items, the indexes and the capacity exactly as a plain array would.
TEST_F(GraphObjectListTest, EditsInAnyOrderMatchAPlainArray)
{
    std::mt19937 Random(7);
    TIds Model;
    int32_t Capacity = 0;
    const auto Pick = [&Random](size_t Count) {
        return static_cast<int32_t>(std::uniform_int_distribution<size_t>(0, Count - 1)(Random));
    };
    for (int Step = 0; Step < 4000; ++Step) {
        const int Kind = std::uniform_int_distribution<int>(0, 9)(Random);
        if (Kind < 3 || Model.empty()) {
            const int Item = Pick(Pool.size());
            if (Kind == 0 && !Model.empty()) {
                const int32_t Index = Pick(Model.size() + 1);
                List.Insert(Index, Obj(Item));
                Model.insert(Model.begin() + Index, Item);
            } else {
                List.Add(Obj(Item));
                Model.push_back(Item);
            }
            if (static_cast<int32_t>(Model.size()) > Capacity) {
                Capacity += Capacity < 64 ? 16 : 8;
            }
        } else if (Kind < 6) {
            // Runs from the front and from the back, as a selection is emptied.
            const int32_t Index = Kind == 3   ? 0
                                  : Kind == 4 ? Pick(Model.size())
                                              : static_cast<int32_t>(Model.size()) - 1;
            List.Delete(Index);
            Model.erase(Model.begin() + Index);
        } else if (Kind == 6) {
            const int32_t From = Pick(Model.size());
            const int32_t To = Pick(Model.size());
            List.Move(From, To);
            const int Item = Model[From];
            Model.erase(Model.begin() + From);
            Model.insert(Model.begin() + To, Item);
        } else if (Kind == 7) {
            const int Item = Model[Pick(Model.size())];
            const auto Last = std::find(Model.rbegin(), Model.rend(), Item);
            const int32_t Expected = static_cast<int32_t>(Model.rend() - Last) - 1;
            EXPECT_EQ(List.IndexOf(Obj(Item)), Expected);
            EXPECT_EQ(List.Remove(Obj(Item)), Expected);
            Model.erase(Model.begin() + Expected);
        } else if (Kind == 8) {
            Capacity = static_cast<int32_t>(Model.size()) + Pick(20);
            List.SetCapacity(Capacity);
        } else {
            Capacity = Pick(Model.size());
            List.SetCapacity(Capacity);
            Model.resize(Capacity);
        }
        ASSERT_EQ(Ids(), Model) << "after step " << Step;
        ASSERT_EQ(List.Capacity(), Capacity) << "after step " << Step;
    }
}

} // namespace
} // namespace talivo
