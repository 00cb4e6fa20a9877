#include "graph/objects/CellMap.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace talivo {
namespace {

uint64_t KeyOf(int32_t x, int32_t y)
{
    return (uint64_t{static_cast<uint32_t>(x)} << 32) | static_cast<uint32_t>(y);
}

// Cells around the origin, negative coordinates too, through several growths of the table, and
// after the emptied cells are dropped from the middle of probe runs.
TEST(CellMapTest, EveryCellKeepsItsSlotsThroughGrowthAndDropping)
{
    TCellMap map;
    std::vector<uint64_t> keys;
    for (int32_t x = -30; x < 30; ++x) {
        for (int32_t y = -25; y < 25; ++y)
            keys.push_back(KeyOf(x, y));
    }
    keys.push_back(KeyOf(std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min()));
    keys.push_back(KeyOf(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    for (size_t i = 0; i < keys.size(); ++i)
        map.Get(keys[i]).push_back(static_cast<int32_t>(i));
    ASSERT_EQ(map.Size(), keys.size());
    for (size_t i = 0; i < keys.size(); ++i)
        ASSERT_EQ(map.Get(keys[i]), std::vector<int32_t>{static_cast<int32_t>(i)});
    EXPECT_EQ(map.Find(KeyOf(30, 0)), nullptr);

    for (size_t i = 0; i < keys.size(); i += 2)
        map.Find(keys[i])->clear();
    map.DropEmpty();
    EXPECT_EQ(map.Size(), keys.size() / 2);
    for (size_t i = 0; i < keys.size(); ++i) {
        const TCellMap::TSlots *slots = map.Find(keys[i]);
        if (i % 2 == 0) {
            ASSERT_EQ(slots, nullptr) << i;
        } else {
            ASSERT_NE(slots, nullptr) << i;
            ASSERT_EQ(*slots, std::vector<int32_t>{static_cast<int32_t>(i)});
        }
    }
    map.Get(keys[0]).push_back(7);
    EXPECT_EQ(*map.Find(keys[0]), std::vector<int32_t>{7});
    map.Clear();
    EXPECT_EQ(map.Size(), 0u);
    EXPECT_EQ(map.Find(keys[1]), nullptr);
}

} // namespace
} // namespace talivo
