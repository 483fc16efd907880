// Handles into a loaded binary world: a polygon's points live in its own block, and each stays a
// point handle exactly as long as it is one of the polygon's points.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drovik.h"
#include "engine_state_load.h"
#include "foundation/engine_globals.h"
#include "foundation/memory.h"
#include "startup.h"
#include "world/engine_state.h"
#include "world/polygon.h"
#include "world/world_order.h"

namespace {

class LoadedWorldHandles : public ::testing::Test {
protected:
    void SetUp() override {
        engine_first_init();
        int count = 0;
        ASSERT_EQ(engine_load_world("small.drovik", DROVIK_FORMATS_FIXTURES, nullptr, load_flags::editor, 5, 6, 5,
                                    &count),
                  0);
    }
    void TearDown() override { engine_close(0); }
};

bool is_point(const void* handle) { return Drovik_point_is_point(const_cast<void*>(handle), nullptr) == 1; }
bool is_polygon(const void* handle) { return Drovik_polygon_is_polygon(const_cast<void*>(handle), nullptr) == 1; }

std::vector<point*> points_of(const polygon* p) {
    std::vector<point*> out;
    for (point* pt = p->points; pt; pt = pt->next) out.push_back(pt);
    return out;
}

TEST_F(LoadedWorldHandles, EveryPointIsAHandleAndItsBlockHoldsNothingElse) {
    int polygons = 0;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p), ++polygons) {
        EXPECT_TRUE(is_polygon(p));
        for (point* pt : points_of(p)) {
            EXPECT_TRUE(is_point(pt));
            EXPECT_EQ(pt->in_block, 1) << "read points come with their polygon";
            // Inside the block but not the start of a record: no handle.
            EXPECT_FALSE(is_point(reinterpret_cast<unsigned char*>(pt) + 8));
            EXPECT_FALSE(is_polygon(pt));
        }
    }
    EXPECT_GT(polygons, 2);
}

TEST_F(LoadedWorldHandles, FreedPointsAndDeletedPolygonsStopBeingHandles) {
    polygon* p = get_first_polygon();
    while (p && (p->next_patch || p->owner)) p = get_next_polygon(p);
    ASSERT_NE(p, nullptr);
    ASSERT_GE(p->point_count, 3);
    // One point taken out and freed: only that one stops being a handle.
    point* second = polygon_get_point(p, 1);
    free_point(polygon_extract_point(p, second));
    EXPECT_FALSE(is_point(second));
    for (point* pt : points_of(p)) EXPECT_TRUE(is_point(pt));
    // A point added later has a record of its own and is a handle too.
    const double values[6] = {1, 2, 3, 0, 0, 8};
    ASSERT_EQ(polygon_add_point(p, values), 0);
    std::vector<point*> before = points_of(p);
    EXPECT_TRUE(is_point(before.back()));
    EXPECT_EQ(before.back()->in_block, 0);
    // The polygon deleted: it and every point, in its block or not, are gone (ASan checks no freed
    // memory is read to find that out).
    ASSERT_EQ(polygon_list_remove(&engine_state.main_module->root->polygons, p), 0);
    ASSERT_EQ(polygon_world_list_remove(&engine_state.world_order, p), 0);
    free_polygon(p);
    EXPECT_FALSE(is_polygon(p));
    for (point* pt : before) EXPECT_FALSE(is_point(pt));
}

TEST_F(LoadedWorldHandles, PointsOfAClosedWorldAreNoHandles) {
    std::vector<point*> all;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) {
        for (point* pt : points_of(p)) all.push_back(pt);
    }
    ASSERT_FALSE(all.empty());
    engine_close(0);
    for (point* pt : all) EXPECT_FALSE(is_point(pt));
}

TEST_F(LoadedWorldHandles, ADeletedPolygonLeavesTheOthersAndItsMemoryIsNotReadAgain) {
    polygon* p = get_first_polygon();
    while (p && (p->next_patch || p->owner)) p = get_next_polygon(p);
    ASSERT_NE(p, nullptr);
    std::vector<const void*> others;
    for (polygon* q = get_first_polygon(); q; q = get_next_polygon(q)) {
        if (q == p) continue;
        others.push_back(q);
        for (point* pt : points_of(q)) others.push_back(pt);
    }
    ASSERT_EQ(polygon_list_remove(&engine_state.main_module->root->polygons, p), 0);
    ASSERT_EQ(polygon_world_list_remove(&engine_state.world_order, p), 0);
    free_polygon(p);
    for (const void* handle : others) EXPECT_TRUE(is_polygon(handle) || is_point(handle));
#if defined(__SANITIZE_ADDRESS__)
    // Dead while its run lives on, or freed with the run's last polygon.
    volatile int32_t* dead = &p->serial_id;
    EXPECT_DEATH((void)*dead, "use-after-poison|heap-use-after-free");
#endif
}

}  // namespace
