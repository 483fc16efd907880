// Large working blocks kept for reuse while a scope is open, and given back when it ends.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <thread>

#include "foundation/scratch_pool.h"

namespace {

constexpr size_t megabyte = size_t{1} << 20;

TEST(ScratchPool, BlocksAreKeptOnlyWhileAScopeIsOpen) {
    const size_t before = scratch_kept_bytes();
    scratch_free(scratch_allocate(2 * megabyte));
    EXPECT_EQ(scratch_kept_bytes(), before) << "no scope: the block goes back to the heap";
    {
        const scratch_scope outer;
        void* block = scratch_allocate(2 * megabyte);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % alignof(std::max_align_t), 0u);
        scratch_free(block);
        EXPECT_EQ(scratch_kept_bytes(), before + 2 * megabyte);
        void* again = scratch_allocate(megabyte);  // smaller, so the kept block serves
        EXPECT_EQ(again, block);
        EXPECT_EQ(scratch_kept_bytes(), before);
        scratch_free(again);
        scratch_free(scratch_allocate(1024));
        EXPECT_EQ(scratch_kept_bytes(), before + 2 * megabyte) << "small blocks are the heap's";
        {
            const scratch_scope inner;
        }
        EXPECT_EQ(scratch_kept_bytes(), before + 2 * megabyte) << "only the outermost scope gives them back";
    }
    EXPECT_EQ(scratch_kept_bytes(), before);
}

TEST(ScratchPool, AMuchLargerBlockIsNotSpentOnASmallRequest) {
    const scratch_scope scope;
    const size_t before = scratch_kept_bytes();
    void* large = scratch_allocate(16 * megabyte);
    scratch_free(large);
    void* small = scratch_allocate(2 * megabyte);
    EXPECT_NE(small, large);
    EXPECT_EQ(scratch_kept_bytes(), before + 16 * megabyte);
    scratch_free(small);
    void* quarter = scratch_allocate(4 * megabyte);
    EXPECT_EQ(quarter, large);
    scratch_free(quarter);
}

TEST(ScratchPool, EachThreadKeepsItsOwnBlocks) {
    const scratch_scope scope;
    const size_t before = scratch_kept_bytes();
    scratch_free(scratch_allocate(2 * megabyte));
    size_t other_thread_kept = 1;
    std::thread([&other_thread_kept] { other_thread_kept = scratch_kept_bytes(); }).join();
    EXPECT_EQ(other_thread_kept, 0u);
    EXPECT_EQ(scratch_kept_bytes(), before + 2 * megabyte);
}

TEST(ScratchPool, VectorsAndResourcesDrawOnThePool) {
    const scratch_scope scope;
    const size_t before = scratch_kept_bytes();
    {
        scratch_vector<uint64_t> values;
        for (uint64_t i = 0; i < 300000; ++i) values.push_back(i * 3);
        for (uint64_t i = 0; i < 300000; i += 99991) EXPECT_EQ(values[i], i * 3);
    }
    EXPECT_GT(scratch_kept_bytes(), before) << "the vector's large blocks were kept";
    std::pmr::memory_resource* resource = scratch_resource();
    void* block = resource->allocate(3 * megabyte, alignof(double));
    resource->deallocate(block, 3 * megabyte, alignof(double));
    void* again = scratch_allocate(3 * megabyte);
    EXPECT_EQ(again, block);
    scratch_free(again);
}

}  // namespace
