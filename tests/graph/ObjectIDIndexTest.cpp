#include "graph/objects/ObjectIDIndex.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace talivo {
namespace {

constexpr uint32_t kLast = std::numeric_limits<uint32_t>::max();

// The index only keeps the pointers; distinct addresses stand for distinct objects.
TGraphObject *Object(int n)
{
    static char slots[8];
    return reinterpret_cast<TGraphObject *>(&slots[n]);
}

TEST(ObjectIDIndex, AFreeIDSkipsWholeRunsAndWrapsPastTheLargestID)
{
    TObjectIDIndex index;
    index.Add(Object(0), 3);
    index.Add(Object(1), 5);
    EXPECT_EQ(index.FirstFree(3), 4u);
    index.Add(Object(2), 4);
    // 3, 4 and 5 have joined into one run.
    EXPECT_EQ(index.FirstFree(3), 6u);
    EXPECT_EQ(index.FirstFree(2), 2u);

    index.Add(Object(3), kLast - 1);
    index.Add(Object(4), kLast);
    index.Add(Object(5), 0);
    EXPECT_EQ(index.FirstFree(kLast - 1), 1u);
    EXPECT_EQ(index.FirstFree(kLast - 2), kLast - 2);
}

TEST(ObjectIDIndex, AnIDStaysTakenUntilItsLastHolderGoes)
{
    TObjectIDIndex index;
    for (int n = 0; n < 3; ++n)
        index.Add(Object(n), 10 + n);
    index.Add(Object(3), 11);
    EXPECT_EQ(index.CountOf(11), 2);
    index.Remove(Object(1), 11);
    EXPECT_EQ(index.FirstFree(10), 13u);
    EXPECT_EQ(index.Any(11), Object(3));
    EXPECT_FALSE(index.Contains(Object(1), 11));
    index.Remove(Object(3), 11);
    // The run splits around the freed ID.
    EXPECT_EQ(index.FirstFree(10), 11u);
    EXPECT_EQ(index.FirstFree(12), 13u);
    EXPECT_EQ(index.Any(11), nullptr);
    // Removing what is not listed changes nothing.
    index.Remove(Object(5), 12);
    EXPECT_EQ(index.Any(12), Object(2));
}

} // namespace
} // namespace talivo
