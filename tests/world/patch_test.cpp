// Patches: easy patches, the chain order, deletion by kind, blending flags and shadow patches.
#include "world/blending.h"
#include "world/polygon_patch.h"
#include "world_fixture.h"

namespace {

using Patches = WorldTest;

std::vector<polygon*> chain_of(const polygon* father) {
    std::vector<polygon*> out;
    for (polygon* p = father->next_patch; p; p = p->next_patch) out.push_back(p);
    return out;
}

// A shadow-kind patch made by hand (kind 5) on the father.
polygon* hang_kind(polygon* father, int kind) {
    polygon* patch = duplicate_polygon(father);
    patch->patch_kind = static_cast<uint8_t>(kind);
    EXPECT_EQ(polygon_insert_patch(father, patch), 0);
    return patch;
}

TEST_F(Patches, EasyPatchIsASquareOnThePolygon) {
    const int patches_before = polygon_get_patch_count();
    polygon* floor = make({{-5, -5, 0}, {-5, 5, 0}, {5, 5, 0}, {5, -5, 0}});
    const vec3 centre{1, 2, 0};
    polygon* patch = polygon_add_patch_easy(floor, &centre, 0.5, nullptr, nullptr, 10, 20, 30);
    ASSERT_NE(patch, nullptr);
    EXPECT_EQ(patch->point_count, 4);
    EXPECT_NEAR(area(patch), 1.0, 1e-12) << "side twice the size";
    EXPECT_STREQ(patch->name, "patch");
    EXPECT_EQ(patch->patch_kind, patch_kind_easy);
    EXPECT_EQ(patch->red, 10);
    EXPECT_EQ(patch->points->brightness, 8);
    EXPECT_EQ(patch->previous_patch, floor);
    for (const point* q = patch->points; q; q = q->next) EXPECT_EQ(is_point_inside_polygon({q->x, q->y, q->z}, floor), 1);
    EXPECT_NEAR(patch->centre[0], 1, 1e-12);
    EXPECT_EQ(polygon_get_patch_count(), patches_before + 1);
    free_polygon(floor);
    EXPECT_EQ(polygon_get_patch_count(), patches_before) << "patches go with their father";
}

TEST_F(Patches, EasyPatchesStayAheadOfOtherKindsInInsertionOrder) {
    polygon* floor = make({{-5, -5, 0}, {-5, 5, 0}, {5, 5, 0}, {5, -5, 0}});
    polygon* shadow = hang_kind(floor, 5);
    polygon* e1 = polygon_add_patch_easy(floor, nullptr, 1, nullptr, nullptr, 0, 0, 0);
    polygon* shadow2 = hang_kind(floor, 4);
    polygon* e2 = polygon_add_patch_easy(floor, nullptr, 1, nullptr, nullptr, 0, 0, 0);
    EXPECT_EQ(chain_of(floor), (std::vector<polygon*>{e1, e2, shadow, shadow2}));
    for (polygon* p = floor->next_patch; p; p = p->next_patch) EXPECT_EQ(p->previous_patch->next_patch, p);
    Polygon_delete_patches(floor, 5);
    EXPECT_EQ(chain_of(floor), (std::vector<polygon*>{e1, e2, shadow2}));
    free_polygon(e1);
    EXPECT_EQ(chain_of(floor), (std::vector<polygon*>{e2, shadow2}));
    EXPECT_EQ(e2->previous_patch, floor);
    Polygon_delete_patches(floor, 4);
    EXPECT_EQ(chain_of(floor), (std::vector<polygon*>{e2}));
    Polygon_delete_patches(floor, 1);
    EXPECT_EQ(floor->next_patch, nullptr);
    polygon* easy = polygon_add_patch_easy(floor, nullptr, 1, nullptr, nullptr, 0, 0, 0);
    polygon* loose = duplicate_polygon(floor);
    loose->patch_kind = 5;
    EXPECT_EQ(polygon_insert_patch(easy, loose), -1) << "a patch never carries patches";
    loose->patch_kind = 0;
    free_polygon(loose);
    free_polygon(floor);
}

TEST_F(Patches, BlendingTurnsOnFromTheFirstOpaqueElementAfterATranslucentOne) {
    polygon* floor = make({{-5, -5, 0}, {-5, 5, 0}, {5, 5, 0}, {5, -5, 0}});
    polygon* glass = polygon_add_patch_easy(floor, nullptr, 1, nullptr, nullptr, 0, 0, 0);
    polygon* decal = polygon_add_patch_easy(floor, nullptr, 1, nullptr, nullptr, 0, 0, 0);
    EXPECT_EQ(decal->blending_on, 0);
    polygon_set_translucent(glass, convert_translucent_string_to_number("normal_glass"));
    EXPECT_EQ(glass->blending, 0xA2);
    EXPECT_EQ(polygon_get_translucent(glass), 0x52);
    EXPECT_EQ(decal->blending_on, 1) << "an opaque patch over glass is blended";
    EXPECT_EQ(floor->blending_on, 0);
    free_polygon(glass);
    EXPECT_EQ(decal->blending_on, 0) << "recomputed when the glass goes";
    EXPECT_STREQ(polygon_get_translucent_name(decal), "DISABLE_BLENDING");
    EXPECT_EQ(convert_translucent_string_to_number("glass"), -1);
    free_polygon(floor);
}

TEST_F(Patches, AShadowIsTheCastersOutlineProjectedFromTheLight) {
    const int patches_before = polygon_get_patch_count();
    polygon* floor = make({{-5, -5, 0}, {-5, 5, 0}, {5, 5, 0}, {5, -5, 0}});
    polygon* roof = make({{-0.5, -0.5, 1, 0, 0}, {-0.5, 0.5, 1, 0, 8}, {0.5, 0.5, 1, 8, 8}, {0.5, -0.5, 1, 8, 0}});
    const vec3 light{0, 0, 10};
    polygon* shadow = polygon_add_shadow_patch(floor, roof, light, 5);
    ASSERT_NE(shadow, nullptr);
    EXPECT_STREQ(shadow->name, "shadow_patch");
    EXPECT_EQ(shadow->patch_kind, 5);
    EXPECT_EQ(shadow->point_count, 4);
    const double half = 0.5 * 10 / 9;
    EXPECT_NEAR(area(shadow), 4 * half * half, 1e-9);
    EXPECT_TRUE(has_point(shadow, {half, half, 0}, 1e-9));
    for (const point* q = shadow->points; q; q = q->next) {
        EXPECT_NEAR(q->bitmap_x, q->x > 0 ? 8 : 0, 1e-9) << "cords of the caster at the ray's crossing";
        EXPECT_NEAR(q->bitmap_y, q->y > 0 ? 8 : 0, 1e-9) << "cords of the caster at the ray's crossing";
    }
    EXPECT_EQ(shadow->linear_bitmap_cords, 1);
    EXPECT_EQ(chain_of(floor), std::vector<polygon*>{shadow});
    EXPECT_EQ(polygon_add_shadow_patch(floor, roof, {0, 0, -10}, 5), nullptr) << "light under the floor";
    EXPECT_EQ(polygon_add_shadow_patch(floor, floor, light, 5), nullptr);
    EXPECT_EQ(polygon_add_shadow_patch(nullptr, roof, light, 5), nullptr);
    EXPECT_EQ(polygon_get_patch_count(), patches_before + 1);
    free_polygon(floor);
    EXPECT_EQ(polygon_get_patch_count(), patches_before) << "a shadow from the fast pool is counted out too";
    free_polygon(roof);
}

TEST_F(Patches, ShadowsMadeInFastModeLiveInThePoolAndGoWithIt) {
    polygon* floor = make({{-5, -5, 0}, {-5, 5, 0}, {5, 5, 0}, {5, -5, 0}});
    polygon* roof = make({{-0.5, -0.5, 1}, {-0.5, 0.5, 1}, {0.5, 0.5, 1}, {0.5, -0.5, 1}});
    const uint32_t bytes = engine_get_bytes_in_use();
    fast_alloc_mode_on();
    polygon* shadow = polygon_add_shadow_patch(floor, roof, {0, 0, 10}, 6);
    fast_alloc_mode_off();
    ASSERT_NE(shadow, nullptr);
    EXPECT_EQ(shadow->fast_pool, 1);
    EXPECT_TRUE(is_in_big_block(shadow));
    EXPECT_TRUE(is_in_big_block(shadow->name));
    Polygon_delete_patches(floor, 6);
    EXPECT_EQ(floor->next_patch, nullptr);
    free_all_big_blocks();
    int32_t kind = 0;
    EXPECT_FALSE(registry_lookup(shadow, &kind));
    EXPECT_EQ(engine_get_bytes_in_use(), bytes);
    free_polygon(floor);
    free_polygon(roof);
}

TEST_F(Patches, ShadowsOfLargePolygonsAreNotLimitedToAHundredPoints) {
    polygon* floor = make({{-50, -50, 0}, {-50, 50, 0}, {50, 50, 0}, {50, -50, 0}});
    polygon* disc = init_poly();
    const int n = 150;
    for (int i = 0; i < n; ++i) {
        const double a = -2 * M_PI * i / n;
        const double values[6] = {std::cos(a), std::sin(a), 1, 0, 0, 8};
        polygon_add_point(disc, values);
    }
    polygon_recalculate(disc);
    polygon* shadow = polygon_add_shadow_patch(floor, disc, {0, 0, 10}, 5);
    ASSERT_NE(shadow, nullptr);
    EXPECT_GE(shadow->point_count, n);
    free_polygon(floor);
    free_polygon(disc);
}

}  // namespace
