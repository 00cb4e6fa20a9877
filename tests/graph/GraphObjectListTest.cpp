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

    TGraphObject *Obj(int i) { return reinterpret_cast<TGraphObject *>(&Pool[i]); }
    int Id(TGraphObject *item) { return item ? reinterpret_cast<char *>(item) - Pool.data() : -1; }

    void Fill(int n)
    {
        for (int i = 0; i < n; ++i)
            List.Add(Obj(i));
    }

    void Record()
    {
        List.SetOnChange(
            [this](TGraphObjectList *, TGraphObject *item, TGraphObjectListAction action) {
                Log.emplace_back(Id(item), action);
            });
    }

    TIds Ids()
    {
        TIds result;
        for (int i = 0; i < List.Count(); ++i)
            result.push_back(Id(List[i]));
        return result;
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

    TGraphObjectList source;
    source.Add(Obj(5));
    source.Add(Obj(6));
    Log.clear();
    List.Assign(source);
    List.Assign(List);
    EXPECT_EQ(Ids(), (TIds{5, 6}));
    EXPECT_EQ(List.Capacity(), 2);
    EXPECT_EQ(Log, (TEvents{{5, glAdded}, {6, glAdded}}));
}

TEST_F(GraphObjectListTest, FailuresRaiseAndChangeNothing)
{
    Fill(3);
    Record();
    auto expectError = [&](auto call, const char *message) {
        try {
            call();
            ADD_FAILURE() << "no error for " << message;
        } catch (const EListError &e) {
            EXPECT_STREQ(e.what(), message);
        }
        EXPECT_EQ(Ids(), (TIds{0, 1, 2}));
        EXPECT_EQ(List.Capacity(), 16);
        EXPECT_TRUE(Log.empty());
    };
    expectError([&] { List.Items(3); }, "Index out of range (3)");
    expectError([&] { List.Items(-1); }, "Index out of range (-1)");
    expectError([&] { List.Delete(3); }, "Index out of range (3)");
    expectError([&] { List.Insert(4, Obj(9)); }, "Index out of range (4)");
    expectError([&] { List.Move(0, 3); }, "Index out of range (3)");
    expectError([&] { List.Move(-2, 1); }, "Index out of range (-2)");
    expectError([&] { List.Move(5, 5); }, "Index out of range (5)");
    expectError([&] { List.Add(nullptr); }, "Cannot store a nil object in the list");
    expectError([&] { List.SetCapacity(-1); }, "Capacity out of range (-1)");

    List.First();
    EXPECT_EQ(Id(List.Next()), 1);
    EXPECT_EQ(Id(List.Next()), 2);
    EXPECT_EQ(List.Next(), nullptr);
    expectError([&] { List.Next(); }, "List enumeration is not initialized");
    expectError([&] { List.Next(); }, "List enumeration is not initialized");
    List.Last();
    EXPECT_EQ(Id(List.Prior()), 1);
    EXPECT_EQ(Id(List.Prior()), 0);
    EXPECT_EQ(List.Prior(), nullptr);
    expectError([&] { List.Prior(); }, "List enumeration is not initialized");
}

TEST_F(GraphObjectListTest, WalksSurviveDeletions)
{
    Fill(6);
    TIds seen;
    for (TGraphObject *item = List.First(); item; item = List.Next()) {
        seen.push_back(Id(item));
        if (Id(item) == 1) {
            List.Remove(Obj(1)); // the current one
        } else if (Id(item) == 3) {
            List.Remove(Obj(0)); // one already passed
        } else if (Id(item) == 4) {
            List.Remove(Obj(5)); // one still ahead
        }
    }
    EXPECT_EQ(seen, (TIds{0, 1, 2, 3, 4}));

    List.Clear();
    Fill(6);
    seen.clear();
    for (TGraphObject *item = List.Last(); item; item = List.Prior()) {
        seen.push_back(Id(item));
        if (Id(item) == 4)
            List.Remove(Obj(4));
        else if (Id(item) == 3)
            List.Remove(Obj(1));
    }
    EXPECT_EQ(seen, (TIds{5, 4, 3, 2, 0}));
    EXPECT_EQ(Ids(), (TIds{0, 2, 3, 5}));
}

TEST_F(GraphObjectListTest, NestedWalkAndHandlerDeletions)
{
    Fill(5);
    // Removing object 1 takes object 2 with it, from inside the report.
    List.SetOnChange([this](TGraphObjectList *, TGraphObject *item, TGraphObjectListAction) {
        if (Id(item) == 1)
            List.Remove(Obj(2));
    });
    TIds outer, innerCounts;
    for (TGraphObject *item = List.First(); item; item = List.Next()) {
        outer.push_back(Id(item));
        ASSERT_TRUE(List.Push());
        int inner = 0;
        for (TGraphObject *other = List.First(); other; other = List.Next()) {
            ++inner;
            if (Id(item) == 1 && Id(other) == 1)
                List.Delete(1);
        }
        innerCounts.push_back(inner);
        ASSERT_TRUE(List.Pop());
    }
    EXPECT_FALSE(List.Pop());
    EXPECT_EQ(outer, (TIds{0, 1, 3, 4}));
    EXPECT_EQ(innerCounts, (TIds{5, 4, 3, 3}));

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
    std::mt19937 random(7);
    TIds model;
    int32_t capacity = 0;
    const auto pick = [&random](size_t count) {
        return static_cast<int32_t>(std::uniform_int_distribution<size_t>(0, count - 1)(random));
    };
    for (int step = 0; step < 4000; ++step) {
        const int kind = std::uniform_int_distribution<int>(0, 9)(random);
        if (kind < 3 || model.empty()) {
            const int item = pick(Pool.size());
            if (kind == 0 && !model.empty()) {
                const int32_t index = pick(model.size() + 1);
                List.Insert(index, Obj(item));
                model.insert(model.begin() + index, item);
            } else {
                List.Add(Obj(item));
                model.push_back(item);
            }
            if (static_cast<int32_t>(model.size()) > capacity)
                capacity += capacity < 64 ? 16 : 8;
        } else if (kind < 6) {
            // Runs from the front and from the back, as a selection is emptied.
            const int32_t index = kind == 3   ? 0
                                  : kind == 4 ? pick(model.size())
                                              : static_cast<int32_t>(model.size()) - 1;
            List.Delete(index);
            model.erase(model.begin() + index);
        } else if (kind == 6) {
            const int32_t from = pick(model.size());
            const int32_t to = pick(model.size());
            List.Move(from, to);
            const int item = model[from];
            model.erase(model.begin() + from);
            model.insert(model.begin() + to, item);
        } else if (kind == 7) {
            const int item = model[pick(model.size())];
            const auto last = std::find(model.rbegin(), model.rend(), item);
            const int32_t expected = static_cast<int32_t>(model.rend() - last) - 1;
            EXPECT_EQ(List.IndexOf(Obj(item)), expected);
            EXPECT_EQ(List.Remove(Obj(item)), expected);
            model.erase(model.begin() + expected);
        } else if (kind == 8) {
            capacity = static_cast<int32_t>(model.size()) + pick(20);
            List.SetCapacity(capacity);
        } else {
            capacity = pick(model.size());
            List.SetCapacity(capacity);
            model.resize(capacity);
        }
        ASSERT_EQ(Ids(), model) << "after step " << step;
        ASSERT_EQ(List.Capacity(), capacity) << "after step " << step;
    }
}

} // namespace
} // namespace talivo
