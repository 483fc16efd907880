// Shadows through the engine exports: kinds from the handle registry, patches laid and the dynamic
// ones taken away again.
#include <gtest/gtest.h>

#include <string>

#include "family_fixture.h"

namespace {

// A 2 x 2 square at height z facing up.
polygon* square_at_height(double z, double half = 1) {
    polygon* p = init_poly();
    for (const vec3& q : {vec3{-half, -half, z}, vec3{-half, half, z}, vec3{half, half, z}, vec3{half, -half, z}}) {
        const double values[6] = {q.x, q.y, q.z, 0, 0, 8};
        polygon_add_point(p, values);
    }
    polygon_recalculate(p);
    return p;
}

int patches_of(const polygon* p) {
    int n = 0;
    for (const polygon* q = p->next_patch; q; q = q->next_patch) ++n;
    return n;
}

using Shadows = ViewTest;

TEST_F(Shadows, OnlyLiveGroupsPolygonsAndObjectsCastOrReceive) {
    polygon* floor = square_at_height(0, 4);
    const double light[3] = {0, 0, 10};
    new_log();
    EXPECT_EQ(Drovik_engine_create_shadow(eye_, floor, light, 4), -1);
    EXPECT_EQ(new_log(), "Drovik_engine_create_shadow: the caster is not a group, a polygon or an object\n");
    EXPECT_EQ(Drovik_engine_create_shadow(floor, nullptr, light, 4), -1);
    EXPECT_EQ(new_log(), "Drovik_engine_create_shadow: the receiver is not a group, a polygon or an object\n");
    char garbage[64] = {};
    EXPECT_EQ(Drovik_engine_create_shadow(floor, garbage, light, 4), -1);
    EXPECT_EQ(new_log(), "Drovik_engine_create_shadow: the receiver is not a group, a polygon or an object\n");
    EXPECT_TRUE(new_boxes().empty());
    EXPECT_EQ(patches_of(floor), 0);
    free_polygon(floor);
}

TEST_F(Shadows, PolygonOnPolygonAndOnAnObject) {
    polygon* floor = square_at_height(0, 4);
    polygon* roof = square_at_height(1);
    const double light[3] = {0, 0, 10};
    EXPECT_EQ(Drovik_engine_create_shadow(roof, floor, light, 4), 0);
    EXPECT_EQ(patches_of(floor), 1);

    DROVIK_HANDLE ground = Drovik_object_create("ground");
    ASSERT_EQ(Drovik_object_add_polygon(ground, square_at_height(0, 4)), 0);
    polygon* ground_polygon = static_cast<polygon*>(Drovik_object_get_polygon(ground, nullptr));
    EXPECT_EQ(Drovik_engine_create_shadow(roof, ground, light, 4), 0);
    EXPECT_EQ(patches_of(ground_polygon), 1);
    free_polygon(floor);
    free_polygon(roof);
}

TEST_F(Shadows, DynamicShadowsAreTakenAwayAgain) {
    DROVIK_HANDLE ground = Drovik_object_create("ground");
    ASSERT_EQ(Drovik_object_add_polygon(ground, square_at_height(0, 4)), 0);
    DROVIK_HANDLE bird = Drovik_object_create("bird");
    ASSERT_EQ(Drovik_object_add_polygon(bird, square_at_height(2)), 0);
    polygon* ground_polygon = static_cast<polygon*>(Drovik_object_get_polygon(ground, nullptr));
    const double light[3] = {0, 0, 10};
    EXPECT_GE(Drovik_engine_create_dynamic_shadow(bird, ground, light, 4), 0);
    EXPECT_EQ(patches_of(ground_polygon), 1);
    Drovik_engine_delete_dynamic_shadows();
    EXPECT_EQ(patches_of(ground_polygon), 0);
}

}  // namespace
