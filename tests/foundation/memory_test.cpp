// Engine memory: counted zero-filled blocks, the fast pool, and the registry of live records.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "foundation/memory.h"
#include "foundation/registry.h"
#include "world/records.h"
#include "work_dir.h"

namespace {

TEST(EngineMemory, BlocksAreZeroFilledAndCountedUntilFreed) {
    const uint32_t before = engine_get_bytes_in_use();
    auto* block = static_cast<unsigned char*>(engine_alloc(1000));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(block[i], 0);
    EXPECT_EQ(engine_get_bytes_in_use(), before + 1000);
    EXPECT_GE(engine_get_max_bytes_in_use(), before + 1000);
    EXPECT_EQ(engine_free(block), nullptr);
    EXPECT_EQ(engine_get_bytes_in_use(), before);
    EXPECT_GE(engine_get_max_bytes_in_use(), before + 1000) << "the maximum keeps the peak";
    EXPECT_EQ(engine_free(nullptr), nullptr);
}

TEST(EngineMemory, UncountedBlocksDoNotMoveTheCounterWhenFreed) {
    const uint32_t before = engine_get_bytes_in_use();
    engine_set_uncounted(1);
    void* block = engine_alloc(64);
    engine_set_uncounted(0);
    EXPECT_EQ(engine_get_bytes_in_use(), before);
    engine_free(block);
    EXPECT_EQ(engine_get_bytes_in_use(), before);
}

TEST(EngineMemory, DeadRecordsShowTheFillPattern) {
    auto* block = static_cast<unsigned char*>(engine_alloc(24));
    engine_fill_dead(block);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(block[i], 0x55);
    engine_free(block);
}

class FastPool : public ::testing::Test {
protected:
    void SetUp() override { before_ = engine_get_bytes_in_use(); }
    void TearDown() override {
        fast_alloc_mode_off();
        free_all_big_blocks();
        EXPECT_EQ(engine_get_bytes_in_use(), before_);
    }
    temp_work_dir work_;
    uint32_t before_ = 0;
};

TEST_F(FastPool, BumpsThroughBigBlocksAndChainsANewOneWhenFull) {
    auto* a = static_cast<unsigned char*>(jfast_alloc(100));
    auto* b = static_cast<unsigned char*>(jfast_alloc(50));
    ASSERT_NE(a, nullptr);
    // Pieces are rounded up so that every one is aligned for any record.
    EXPECT_EQ(b, a + 112);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b) % alignof(std::max_align_t), 0u);
    big_block* first = big_block_chain();
    EXPECT_EQ(first->used, 176);
    EXPECT_EQ(first->remaining, big_block_size - 176);
    void* c = jfast_alloc(big_block_size);
    ASSERT_NE(c, nullptr);
    EXPECT_NE(big_block_chain(), first);
    EXPECT_EQ(big_block_chain()->next, first);
    EXPECT_EQ(is_in_big_block(b), 1);
    EXPECT_EQ(is_in_big_block(static_cast<unsigned char*>(c) + big_block_size - 1), 1);
    int local = 0;
    EXPECT_EQ(is_in_big_block(&local), 0);
}

TEST_F(FastPool, RefusesSizesOutsideOneBigBlock) {
    EXPECT_EQ(jfast_alloc(big_block_size + 1), nullptr);
    EXPECT_STREQ(engine_get_last_error(), "jfast_alloc: size is to big or <=0");
    EXPECT_EQ(jfast_alloc(0), nullptr);
    EXPECT_EQ(jfast_alloc(-5), nullptr);
}

TEST_F(FastPool, FreeingInsideABigBlockOrInFastModeDoesNothing) {
    void* pooled = jfast_alloc(64);
    engine_free(pooled);
    EXPECT_EQ(is_in_big_block(pooled), 1);
    void* ordinary = engine_alloc(32);
    fast_alloc_mode_on();
    void* fast = engine_alloc(16);
    EXPECT_EQ(is_in_big_block(fast), 1);
    const uint32_t held = engine_get_bytes_in_use();
    engine_free(ordinary);
    EXPECT_EQ(engine_get_bytes_in_use(), held) << "fast mode frees nothing";
    fast_alloc_mode_off();
    engine_free(ordinary);
}

TEST_F(FastPool, RecordsCarvedFromABigBlockStopBeingHandlesWithIt) {
    fast_alloc_mode_on();
    void* record = record_create(sizeof(polygon), kind_polygon);
    fast_alloc_mode_off();
    int32_t kind = 0;
    ASSERT_TRUE(registry_lookup(record, &kind));
    free_all_big_blocks();
    EXPECT_FALSE(registry_lookup(record, &kind));
}

TEST(Records, AreRegisteredWithTheirKindWordUntilDestroyed) {
    const uint32_t before = engine_get_bytes_in_use();
    camera* cam = record_new<camera>(kind_camera);
    ASSERT_NE(cam, nullptr);
    EXPECT_EQ(cam->kind, kind_camera);
    int32_t kind = 0;
    ASSERT_TRUE(registry_lookup(cam, &kind));
    EXPECT_EQ(kind, kind_camera);
    record_destroy(cam);
    EXPECT_FALSE(registry_lookup(cam, &kind));
    EXPECT_EQ(engine_get_bytes_in_use(), before);
}

// Three cells of 64 bytes, each made a record of kind 7, slots of 16 bytes from byte 16.
class RecordRun : public ::testing::Test {
protected:
    static constexpr size_t cell = 64;
    static constexpr int32_t record_kind = 7, slot_kind = 9;
    void SetUp() override {
        bytes_before_ = engine_get_bytes_in_use();
        records_before_ = registry_size();
        run_ = static_cast<unsigned char*>(record_run_reserve(3, cell, 16, 16, slot_kind));
        ASSERT_NE(run_, nullptr);
        for (int i = 0; i < 3; ++i) {
            ASSERT_EQ(kind_of(cell_at(i)), 0) << "a reserved cell reads as zero until it is made";
            std::memcpy(cell_at(i), &record_kind, sizeof record_kind);
        }
    }
    unsigned char* cell_at(int i) const { return run_ + static_cast<size_t>(i) * cell; }
    // Marks the slot `k` of cell `i` as a live record of the slot kind.
    void use_slot(int i, int k) const { std::memcpy(cell_at(i) + 16 + 16 * k, &slot_kind, sizeof slot_kind); }
    static int32_t kind_of(const void* address) {
        int32_t kind = 0;
        return registry_lookup(address, &kind) ? kind : -1;
    }
    unsigned char* run_ = nullptr;
    uint32_t bytes_before_ = 0;
    size_t records_before_ = 0;
};

TEST_F(RecordRun, EachCellIsARecordAndItsUsedSlotsAreRecordsToo) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(kind_of(cell_at(i)), record_kind) << "cell " << i;
        EXPECT_EQ(cell_at(i)[8], 0) << "zero-filled";
        EXPECT_EQ(kind_of(cell_at(i) + 16), -1) << "a slot not yet used";
    }
    use_slot(1, 0);
    use_slot(1, 2);
    EXPECT_EQ(kind_of(cell_at(1) + 16), slot_kind);
    EXPECT_EQ(kind_of(cell_at(1) + 48), slot_kind);
    EXPECT_EQ(kind_of(cell_at(1) + 24), -1) << "inside a slot";
    EXPECT_EQ(kind_of(cell_at(1) + 4), -1) << "inside the record";
    EXPECT_EQ(kind_of(cell_at(3)), -1) << "past the run";
    EXPECT_EQ(registry_size(), records_before_ + 1) << "one range for the whole run";
    for (int i = 0; i < 3; ++i) record_destroy(cell_at(i));
}

TEST_F(RecordRun, ADestroyedCellAndItsSlotsStopBeingRecordsWhileTheOthersStay) {
    use_slot(1, 0);
    use_slot(2, 0);
    record_destroy(cell_at(1));
    EXPECT_EQ(kind_of(cell_at(1)), -1);
    EXPECT_EQ(kind_of(cell_at(1) + 16), -1);
    EXPECT_EQ(kind_of(cell_at(0)), record_kind);
    EXPECT_EQ(kind_of(cell_at(2)), record_kind);
    EXPECT_EQ(kind_of(cell_at(2) + 16), slot_kind);
    record_destroy(cell_at(1));
    record_destroy(cell_at(0) + 16);
    EXPECT_EQ(kind_of(cell_at(0)), record_kind) << "destroying a dead cell or a slot address does nothing";
    EXPECT_GT(engine_get_bytes_in_use(), bytes_before_) << "the run is kept while a cell lives";
    record_destroy(cell_at(2));
    record_destroy(cell_at(0));
    EXPECT_EQ(engine_get_bytes_in_use(), bytes_before_) << "the last cell frees the run";
    EXPECT_EQ(registry_size(), records_before_);
}

#if defined(__SANITIZE_ADDRESS__)
TEST_F(RecordRun, ReadingADestroyedCellIsCaughtByAddressSanitizer) {
    record_destroy(cell_at(0));
    volatile unsigned char* dead = cell_at(0) + 20;
    EXPECT_DEATH((void)*dead, "use-after-poison");
    record_destroy(cell_at(1));
    record_destroy(cell_at(2));
}
#endif

}  // namespace
