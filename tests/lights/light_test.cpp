// Lights: each term against hand-worked values, modes, the frame's activation order, connection.
#include "../world/world_fixture.h"
#include "world/light.h"
#include "world/polygon_fill.h"

#include <fstream>
#include <iterator>

namespace {

struct rgb {
    int r, g, b;
    bool operator==(const rgb&) const = default;
};

std::string error_log() {
    std::ifstream in(log_directory() + "/error.log", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::ostream& operator<<(std::ostream& out, const rgb& c) { return out << c.r << " " << c.g << " " << c.b; }

class Lights : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        engine_state.card_in_use = 1;
        // A square at z = 0 facing up, colour (200, 100, 50); its first point is (0, 0, 0).
        square = add_square(0, 0);
        polygon_set_color_fill(square, 200, 100, 50);
        for (point* pt = square->points; pt; pt = pt->next) pt->normal_z = 127;
        thread_polygons_in_world_order();
    }
    void TearDown() override {
        light_delete_all(&engine_state.lights);
        if (texture) {
            square->texture = nullptr;
            engine_free(texture->image.name);
            record_destroy(texture);
        }
        WorldTest::TearDown();
    }

    light* make_light(int type, const vec3& at) {
        light* l = light_create(&engine_state.lights, "lamp");
        l->type = type;
        light_set_location(l, at);
        return l;
    }

    rgb first_point() const { return {square->points->red, square->points->green, square->points->blue}; }

    polygon* square = nullptr;
    bitmap_texture* texture = nullptr;
};

TEST_F(Lights, EachTermGivesItsHandWorkedValue) {
    const struct {
        const char* what;
        int type;
        vec3 at;
        double reach;
        bool textured;
        rgb expected;
    } cases[] = {
        // (200, 100, 50) x trunc(86 x 1) >> 8
        {"ambient", 0x8, {0, 0, 10}, -1, false, {67, 33, 16}},
        // 86 on every byte of a textured polygon
        {"ambient, textured", 0x8, {0, 0, 10}, -1, true, {86, 86, 86}},
        // h = 1 x 85 / 256; trunc(h x colour x 255 / 256)
        {"diffuse", 0x10, {0, 0, 10}, -1, false, {66, 33, 16}},
        // trunc(h x 255)
        {"diffuse, textured", 0x10, {0, 0, 10}, -1, true, {84, 84, 84}},
        // fall-off 1 - 10 / 20 halves h
        {"diffuse, linear fall-off", 0x12, {0, 0, 10}, 20, false, {33, 16, 8}},
        // fall-off 1 - 100 / 400
        {"diffuse, quadratic fall-off", 0x14, {0, 0, 10}, 20, false, {49, 24, 12}},
        // reach 0: the diffuse term vanishes
        {"reach 0", 0x18, {0, 0, 10}, 0, false, {67, 33, 16}},
        // reflected (-0.707, 0, 0.707) against the viewer (1, 0, 0): 85 x 0.5 / 256 x 255
        {"specular", 0x20, {10, 0, 10}, -1, false, {42, 42, 42}},
        {"a light below the point", 0x30, {0, 0, -10}, -1, false, {0, 0, 0}},
        // the light's direction (0, 0, -1) through (0, 0, 10): the point is in front
        {"directional diffuse", 0x11, {0, 0, 10}, -1, false, {66, 33, 16}},
        {"directional, point behind", 0x11, {0, 0, -5}, -1, false, {0, 0, 0}},
    };
    texture = record_new<bitmap_texture>(kind_bitmap);
    for (const auto& c : cases) {
        square->texture = c.textured ? texture : nullptr;
        light* l = make_light(c.type, c.at);
        l->distance_reach = c.reach;
        light_set_direction(l, {0, 0, -1});
        light_activate(l, light_mode_reset);
        EXPECT_EQ(first_point(), c.expected) << c.what;
        light_delete_all(&engine_state.lights);
    }
    square->texture = nullptr;
}

TEST_F(Lights, WithoutTheCardNothingChanges) {
    engine_state.card_in_use = 0;
    const rgb before = first_point();
    light_activate(make_light(0x3A, {0, 0, 10}), light_mode_reset);
    EXPECT_EQ(first_point(), before);
}

TEST_F(Lights, SubtractingTakesTheTermsBackAndRemovingRestores) {
    polygon_set_points_color(square, 10, 20, 30);
    light* l = make_light(0x8, {0, 0, 10});
    light_activate(l, light_mode_add);
    EXPECT_EQ(first_point(), (rgb{77, 53, 46}));
    light_activate(l, light_mode_subtract);
    // The subtracted ambient term is shifted right, rounding down: one below on every byte.
    EXPECT_EQ(first_point(), (rgb{9, 19, 29}));
    light_remove_light(l);
    EXPECT_EQ(first_point(), (rgb{200, 100, 50}));
}

TEST_F(Lights, TwoResetLightsOfOneEntityAddUp) {
    for (const char* name : {"one", "two"}) {
        light* l = make_light(0x8, {0, 0, 10});
        l->name = static_cast<char*>(engine_free(l->name));
        jstrcpy_with_allocating(&l->name, name);
        light_set_activate_before_each_render(l, 1, light_mode_reset);
    }
    engine_activate_lights_before_render(engine_state.lights);
    EXPECT_EQ(first_point(), (rgb{134, 66, 32}));
    engine_activate_lights_before_render(engine_state.lights);
    EXPECT_EQ(first_point(), (rgb{134, 66, 32})) << "the next frame starts again from black";
}

TEST_F(Lights, ABadNormalKeepsTheAmbientTerm) {
    light* l = make_light(0x18, {0, 0, 10});
    // The first activation in editor mode makes the vertex normals; the next one keeps them.
    light_activate(l, light_mode_reset);
    square->points->normal_z = 0;
    light_activate(l, light_mode_reset);
    EXPECT_EQ(first_point(), (rgb{67, 33, 16}));
    EXPECT_STREQ(engine_get_last_error(), "light_calculate_rgb_for_point: point has a bad normal\n");
}

TEST_F(Lights, ALightWhoseObjectIsDeletedLightsNothing) {
    dynamic_object* d = dynamic_create("lamp_post");
    light* l = make_light(0x8, {0, 0, 10});
    l->entity_kind = kind_dynamic_object;
    l->entity = d;
    dynamic_delete(d);
    EXPECT_EQ(l->entity, nullptr);
    polygon_set_points_color(square, 1, 2, 3);
    light_activate(l, light_mode_reset);
    EXPECT_EQ(first_point(), (rgb{1, 2, 3})) << "never the whole world";
}

TEST_F(Lights, EntitiesAreConnectedByName) {
    const std::string long_name(2000, 'q');
    group* g = group_create(&engine_state.groups, "yard");
    const struct {
        int kind;
        const char* entity_name;
        int result;
        const void* entity;
        int kind_after;
        std::string message;
    } cases[] = {
        {kind_group, "NULL", 0, nullptr, kind_group, ""},
        {kind_group, "yard", 0, g, kind_group, ""},
        {kind_group, long_name.c_str(), -1, nullptr, kind_group,
         "light_connect_to_entities: failed to find group " + long_name + " of light lamp\n"},
        {kind_dynamic_object, nullptr, 0, nullptr, kind_group,
         "light_connect_to_entities: target dynamic object is NULL (light=lamp)\n"},
        {kind_dynamic_object, long_name.c_str(), -1, nullptr, kind_dynamic_object,
         "light_connect_to_entities: failed to find dynamic object " + long_name + " of light lamp\n"},
        {kind_polygon, long_name.c_str(), -1, nullptr, kind_polygon,
         "light_connect_to_entities: failed to find polygon " + long_name + " of light lamp\n"},
        {77, long_name.c_str(), -1, nullptr, 77,
         "light_connect_to_entities: bad entity id  light==lamp entity name== " + long_name + "\n"},
    };
    for (const auto& c : cases) {
        light* l = make_light(0x8, {0, 0, 10});
        l->entity_kind = c.kind;
        jstrcpy_with_allocating(&l->entity_name, c.entity_name);
        const size_t before = error_log().size();
        EXPECT_EQ(light_connect_to_entities(l), c.result) << c.kind;
        EXPECT_EQ(l->entity, c.entity) << c.kind;
        EXPECT_EQ(l->entity_kind, c.kind_after) << c.kind;
        if (!c.message.empty()) {
            EXPECT_NE(error_log().find(c.message, before), std::string::npos) << c.kind;
        }
        light_delete_all(&engine_state.lights);
    }
}

}  // namespace
