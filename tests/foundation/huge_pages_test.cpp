// Large tables in huge pages: a zeroed table starts all zero even where the heap had dirty blocks,
// and keeps its items when moved.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/huge_pages.h"

namespace {

bool all_zero(const zeroed_table<uint64_t>& table) {
    for (size_t i = 0; i < table.size(); ++i) {
        if (table[i]) return false;
    }
    return true;
}

TEST(ZeroedTable, StartsAllZeroWhateverTheHeapHeldBefore) {
    for (const size_t count : {size_t{0}, size_t{1}, size_t{1000}, size_t{3} << 20}) {
        {
            std::vector<uint64_t> dirty(count + 1, ~uint64_t{0});
            EXPECT_EQ(dirty.back(), ~uint64_t{0});
        }
        zeroed_table<uint64_t> table(count);
        ASSERT_EQ(table.size(), count);
        EXPECT_TRUE(all_zero(table)) << count << " items";
    }
}

TEST(ZeroedTable, KeepsItsItemsWhenMoved) {
    zeroed_table<uint64_t> table(size_t{1} << 20);
    table[0] = 7;
    table[table.size() - 1] = 9;
    zeroed_table<uint64_t> moved(std::move(table));
    EXPECT_EQ(table.size(), 0u);
    ASSERT_EQ(moved.size(), size_t{1} << 20);
    EXPECT_EQ(moved[0], 7u);
    EXPECT_EQ(moved[moved.size() - 1], 9u);
    zeroed_table<uint64_t> other(4);
    other = std::move(moved);
    ASSERT_EQ(other.size(), size_t{1} << 20);
    EXPECT_EQ(other[0], 7u);
}

TEST(HalfFullSlots, APowerOfTwoAtLeastTwiceTheKeysAndTheSmallest) {
    struct slots_case {
        size_t keys, smallest, slots;
    };
    const slots_case cases[] = {{0, 16, 16}, {8, 16, 16}, {9, 16, 32}, {513, 1024, 2048}, {1000000, 16, 2097152}};
    for (const slots_case& c : cases) EXPECT_EQ(half_full_slots(c.keys, c.smallest), c.slots) << c.keys << " keys";
}

TEST(ReserveInHugePages, ReservesWithoutAddingItems) {
    std::vector<double> v;
    reserve_in_huge_pages(v, size_t{5} << 20);
    EXPECT_TRUE(v.empty());
    EXPECT_GE(v.capacity(), size_t{5} << 20);
    v.push_back(1.5);
    EXPECT_EQ(v.front(), 1.5);
}

}  // namespace
