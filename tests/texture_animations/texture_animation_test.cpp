// Texture animations: the view chosen by angle, padded lists, speed changes and time mode.
#include "../world/world_fixture.h"
#include "platform/clock.h"
#include "world/animation.h"

namespace {

uint32_t fake_now = 1;
uint32_t fake_tick() { return fake_now; }

class TextureAnimations : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        anim = init_animation();
    }
    void TearDown() override {
        animation_delete(anim);
        for (bitmap_texture* b : bitmaps) {
            engine_free(b->image.name);
            record_destroy(b);
        }
        plat_clock_override(nullptr, nullptr);
        WorldTest::TearDown();
    }

    bitmap_texture* bitmap(const char* name) {
        bitmap_texture* b = record_new<bitmap_texture>(kind_bitmap);
        jstrcpy_with_allocating(&b->image.name, name);
        bitmaps.push_back(b);
        return b;
    }

    // Frame 0 of the view chosen when the viewer's direction makes cosine c with the facing.
    const char* seen_at(double c) {
        const bitmap_texture* b = animate_get_next_texture(anim, 0, {c, std::sqrt(std::max(0.0, 1 - c * c)), 0}, {1, 0, 0});
        return b ? b->image.name : nullptr;
    }

    animation* anim = nullptr;
    std::vector<bitmap_texture*> bitmaps;
};

TEST_F(TextureAnimations, TheViewFollowsTheAngleBands) {
    const struct {
        int view;
        const char* name;
    } views[] = {{view_back, "back"}, {view_back_sided, "back_sided"}, {view_side, "side"},
                 {view_front_sided, "front_sided"}, {view_front, "front"}};
    for (const auto& v : views) animation_add_bitmap(anim, v.view, bitmap(v.name), -1);
    ASSERT_EQ(animation_resize_lists(anim), 0);
    const struct {
        double c;
        const char* expected;
    } cases[] = {{1, "back"},           {0.9238796, "back"},        {0.923879532, "back_sided"},
                 {0.4, "back_sided"},   {0.382683432, "side"},      {0, "side"},
                 {-0.382683432, "front_sided"}, {-0.923879532, "front"}, {-1, "front"}};
    for (const auto& c : cases) EXPECT_STREQ(seen_at(c.c), c.expected) << c.c;
    EXPECT_EQ(animate_get_next_texture(anim, 0, {-1.1, 0, 0}, {1, 0, 0}), nullptr);
    EXPECT_NE(std::string(engine_get_last_error()).find("animate_get_next_texture: cos_angle<-1 !!!"),
              std::string::npos);
    EXPECT_EQ(animate_get_next_texture(anim, 1, {1, 0, 0}, {1, 0, 0}), nullptr) << "no list has frame 1";
}

TEST_F(TextureAnimations, AFrontOnlyAnimationShowsFrontFromEverySide) {
    animation_add_bitmap(anim, view_front, bitmap("front"), -1);
    animation_resize_lists(anim);
    for (const double c : {1.0, 0.5, 0.0, -0.5, -1.0}) EXPECT_STREQ(seen_at(c), "front") << c;
}

TEST_F(TextureAnimations, ShortListsArePaddedWithTheirLastBitmap) {
    bitmap_texture* back = bitmap("back");
    for (const char* name : {"f1", "f2", "f3"}) animation_add_bitmap(anim, view_front, bitmap(name), -1);
    animation_add_bitmap(anim, view_back, back, -1);
    ASSERT_EQ(animation_resize_lists(anim), 0);
    EXPECT_EQ(anim->frame_count, 3);
    EXPECT_EQ(anim->durations[2], 50u);
    frame_item* list = animation_get_list(anim, view_back);
    EXPECT_EQ(animate_get_texture_from_list(list, 2), back);
    EXPECT_EQ(animate_get_frame(list, 2)->placeholder, 1);
    EXPECT_EQ(animate_get_real_texture_from_list(list, 1), nullptr);
    // A real frame added in front of the placeholders takes their place in the count.
    EXPECT_EQ(animation_add_bitmap(anim, view_back, bitmap("back2"), -1), 1);
    animation_resize_lists(anim);
    EXPECT_STREQ(animate_get_real_texture_from_list(list, 1)->image.name, "back2");
    EXPECT_STREQ(animate_get_texture_from_list(list, 2)->image.name, "back2");
    EXPECT_EQ(animation_count_views(anim), 2);
    EXPECT_EQ(animation_uses_bitmap(anim, back), 1);
}

TEST_F(TextureAnimations, APolygonShowsTheViewItIsSeenFrom) {
    animation_add_bitmap(anim, view_front, bitmap("front"), -1);
    animation_add_bitmap(anim, view_back, bitmap("back"), -1);
    animation_resize_lists(anim);
    // A wall at x = 0; the camera stands on the side its normal points to, then on the other.
    polygon* p = add({{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}});
    p->anim = anim;
    camera c{};
    for (const double side : {1.0, -1.0}) {
        c.location[0] = side * 10 * p->plane[0];
        c.location[1] = 0.5;
        polygon_choose_animation_texture(p, &c);
        ASSERT_NE(p->texture, nullptr);
        EXPECT_STREQ(p->texture->image.name, side > 0 ? "front" : "back");
    }
    p->anim = nullptr;
    p->texture = nullptr;
}

TEST_F(TextureAnimations, SpeedSetsTheFactorOnce) {
    for (const char* name : {"a", "b"}) animation_add_bitmap(anim, view_front, bitmap(name), -1);
    animation_resize_lists(anim);
    animation_set_speed(anim, 2);
    EXPECT_EQ(anim->durations[0], 100u);
    animation_set_speed(anim, 2);
    EXPECT_EQ(anim->durations[0], 100u) << "the same speed twice changes nothing";
    animation_factor_speed(anim, 0.001);
    EXPECT_EQ(anim->durations[1], 1u) << "rounded to 0, kept at 1";
    animation_set_speed(anim, -1);
    EXPECT_STREQ(engine_get_last_error(), "animation_set_speed: speed is <=0 !!!\n");
}

TEST_F(TextureAnimations, TimeModeAdvancesByTheFrameDurationAcrossTheClockWrap) {
    for (const char* name : {"a", "b"}) animation_add_bitmap(anim, view_front, bitmap(name), -1);
    animation_resize_lists(anim);
    anim->durations[0] = anim->durations[1] = 10;  // 100 ms
    engine_state.time_based_animation = 1;
    plat_clock_override(fake_tick, nullptr);
    fake_now = 0xFFFFFFC0u;
    polygon* p = init_poly();
    p->anim = anim;
    p->animation_running = 1;
    polygon_advance_animation_frame(p);
    EXPECT_EQ(p->animation_frame, 0);
    fake_now += 99;  // past the wrap
    polygon_advance_animation_frame(p);
    EXPECT_EQ(p->animation_frame, 0);
    fake_now += 1;
    polygon_advance_animation_frame(p);
    EXPECT_EQ(p->animation_frame, 1);
    fake_now += 100;
    polygon_advance_animation_frame(p);
    EXPECT_EQ(p->animation_frame, 0);
    p->anim = nullptr;
    free_polygon(p);
}

}  // namespace
