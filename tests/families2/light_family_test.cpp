// The light family through its exports: refusals by table, defaults and names, the entity lit,
// operations, applying and removing light, NULL arguments and deleted entities.
#include <gtest/gtest.h>

#include <cmath>

#include "scene_fixture.h"

namespace {

double v3[3] = {1, 2, 3};
unsigned char rgb[3];
int operation;

const family_row light_rows[] = {
    {"Drovik_light_delete", "Drovik_light_delete", 0, [](DROVIK_HANDLE h) { Drovik_light_delete(h); return 0.0; }},
    {"Drovik_light_get_next_light", "Drovik_light_get_next_light", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_light_get_next_light(h)); }},
    {"Drovik_light_set_location", "Drovik_light_set_location", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_light_set_location(h, v3)); }},
    {"Drovik_light_get_location", "Drovik_light_get_location", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_light_get_location(h, v3)); }},
    {"Drovik_light_set_direction", "Drovik_light_set_direction", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_light_set_direction(h, v3)); }},
    {"Drovik_light_get_direction", "Drovik_light_get_direction", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_light_get_direction(h, v3)); }},
    {"Drovik_light_point_at", "Drovik_light_point_at", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_light_point_at(h, v3)); }},
    {"Drovik_light_set_color", "Drovik_light_set_color", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_light_set_color(h, rgb)); }},
    {"Drovik_light_get_color", "Drovik_light_get_color", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_light_get_color(h, rgb)); }},
    {"Drovik_light_set_type_of_light", "Drovik_light_set_type_of_light", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_light_set_type_of_light(h, 8)); }},
    {"Drovik_light_get_type_of_light", "Drovik_light_get_type_of_light", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_light_get_type_of_light(h)); }},
    {"Drovik_light_set_ray_tracing", "Drovik_light_set_ray_tracing", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_light_set_ray_tracing(h, 1)); }},
    {"Drovik_light_is_ray_tracing", "Drovik_light_is_ray_tracing", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_light_is_ray_tracing(h)); }},
    {"Drovik_light_set_distance_reach", "Drovik_light_set_distance_reach", 0,
     [](DROVIK_HANDLE h) { return Drovik_light_set_distance_reach(h, 5); }},
    {"Drovik_light_get_distance_reach", "Drovik_light_get_distance_reach", 0,
     [](DROVIK_HANDLE h) { return Drovik_light_get_distance_reach(h); }},
    {"Drovik_light_set_ambient", "Drovik_light_set_ambient", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_light_set_ambient(h, 2)); }},
    {"Drovik_light_set_diffuse", "Drovik_light_set_diffuse", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_light_set_diffuse(h, 2)); }},
    {"Drovik_light_set_specular", "Drovik_light_set_specular", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_light_set_specular(h, 2)); }},
    {"Drovik_light_get_ambient", "Drovik_light_get_ambient", 0,
     [](DROVIK_HANDLE h) { return Drovik_light_get_ambient(h); }},
    {"Drovik_light_get_diffuse", "Drovik_light_get_diffuse", 0,
     [](DROVIK_HANDLE h) { return Drovik_light_get_diffuse(h); }},
    {"Drovik_light_get_specular", "Drovik_light_get_specular", 0,
     [](DROVIK_HANDLE h) { return Drovik_light_get_specular(h); }},
    {"Drovik_light_set_specular_shining", "Drovik_light_set_type_of_light", 0,
     [](DROVIK_HANDLE h) { return Drovik_light_set_specular_shining(h, 3); }},
    {"Drovik_light_get_specular_shining", "Drovik_light_set_type_of_light", 0,
     [](DROVIK_HANDLE h) { return Drovik_light_get_specular_shining(h); }},
    {"Drovik_light_set_entity_to_light", "Drovik_light_set_entity_to_light", -1,
     [](DROVIK_HANDLE h) { return double(Drovik_light_set_entity_to_light(h, nullptr)); }},
    {"Drovik_light_get_entity_to_light", "Drovik_light_get_entity_to_light", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_light_get_entity_to_light(h)); }},
    {"Drovik_light_activate", "Drovik_light_activate", 0,
     [](DROVIK_HANDLE h) { Drovik_light_activate(h, 1); return 0.0; }},
    {"Drovik_light_activate_before_each_render", "Drovik_light_activate_before_each_render", 0,
     [](DROVIK_HANDLE h) { Drovik_light_activate_before_each_render(h, 1, 1); return 0.0; }},
    {"Drovik_light_is_activated_before_render", "Drovik_light_is_activated_before_render", 0,
     [](DROVIK_HANDLE h) { return double(Drovik_light_is_activated_before_render(h, &operation)); }},
    {"Drovik_light_remove_light", "Drovik_light_remove_light", 0,
     [](DROVIK_HANDLE h) { Drovik_light_remove_light(h); return 0.0; }},
    {"Drovik_light_get_name", "Drovik_light_get_name", 0,
     [](DROVIK_HANDLE h) { return as_number(Drovik_light_get_name(h)); }},
    {"Drovik_light_set_name", "Drovik_light_set_name", 0,
     [](DROVIK_HANDLE h) { Drovik_light_set_name(h, "x"); return 0.0; }},
};

class LightFamily : public SceneTest {
protected:
    DROVIK_HANDLE create(const char* name, double x = 0, double y = 0, double z = 10) {
        const double at[3] = {x, y, z};
        DROVIK_HANDLE l = Drovik_light_create(name, at);
        EXPECT_NE(l, nullptr);
        return l;
    }
};

TEST_F(LightFamily, EveryExportRefusesAForeignHandleUnderItsCheckName) {
    expect_rows_refuse_a_foreign_handle(light_rows);
}

TEST_F(LightFamily, NewLightsHaveTheDefaultsAndUniqueNames) {
    DROVIK_HANDLE first = create("lamp", 1, 2, 3);
    DROVIK_HANDLE second = create("lamp");
    EXPECT_STREQ(Drovik_light_get_name(second), "lamp_2");
    EXPECT_EQ(Drovik_light_get_first_light(), second);
    EXPECT_EQ(Drovik_light_get_next_light(second), first);
    EXPECT_EQ(Drovik_light_get_next_light(first), nullptr);
    EXPECT_EQ(Drovik_light_get_using_name("LAMP_2"), second);

    double at[3];
    ASSERT_EQ(Drovik_light_get_location(first, at), 1);
    EXPECT_EQ(at[0], 1);
    EXPECT_EQ(at[2], 3);
    Drovik_light_get_direction(first, at);
    EXPECT_NEAR(at[0], -1 / std::sqrt(3.0), 1e-12);
    EXPECT_EQ(Drovik_light_get_type_of_light(first), 0x3A);
    EXPECT_EQ(Drovik_light_get_distance_reach(first), -1);
    EXPECT_EQ(Drovik_light_get_ambient(first), 1);
    EXPECT_EQ(Drovik_light_get_specular_shining(first), 1);
    unsigned char colour[3] = {};
    EXPECT_EQ(Drovik_light_get_color(first, colour), colour);
    EXPECT_EQ(colour[0], 255);
    EXPECT_EQ(Drovik_light_get_entity_to_light(first), nullptr);

    Drovik_light_set_name(first, "lamp_2");
    EXPECT_STREQ(Drovik_light_get_name(first), "lamp_2_2");
    Drovik_light_set_name(first, "LAMP_2_2");  // its own name is free to it
    EXPECT_STREQ(Drovik_light_get_name(first), "LAMP_2_2");

    Drovik_light_delete(second);
    EXPECT_EQ(Drovik_light_get_first_light(), first);
    Drovik_light_delete_all();
    EXPECT_EQ(Drovik_light_get_first_light(), nullptr);
}

TEST_F(LightFamily, DirectionIsNormalisedAndAZeroOneBecomesTheXAxis) {
    DROVIK_HANDLE l = create("lamp");
    const double zero[3] = {0, 0, 0};
    Drovik_light_set_direction(l, zero);
    EXPECT_EQ(new_log(), "light_set_direction: bad light direction\n");
    double d[3];
    Drovik_light_get_direction(l, d);
    EXPECT_EQ(d[0], 1);
    EXPECT_EQ(d[1], 0);
    EXPECT_EQ(d[2], 0);

    const double target[3] = {0, 3, 10};
    Drovik_light_point_at(l, target);  // the light stands at (0, 0, 10)
    Drovik_light_get_direction(l, d);
    EXPECT_EQ(d[1], 1);
}

TEST_F(LightFamily, OnlyGroupsObjectsAndPolygonsCanBeLit) {
    DROVIK_HANDLE l = create("lamp");
    group* g = group_create(&engine_state.groups, "yard");
    ASSERT_EQ(Drovik_light_set_entity_to_light(l, g), 0);

    DROVIK_HANDLE camera = Drovik_camera_create("eye");
    new_boxes();
    new_log();
    EXPECT_EQ(Drovik_light_set_entity_to_light(l, camera), -1);
    EXPECT_EQ(new_log(), "light_set_entity_to_light: entity_to_light must be a group or an object or a polygon\n");
    EXPECT_EQ(one_box(),
              "Drovik_light_set_entity_to_light: entity_to_light must be a group or an object or a polygon\n");
    EXPECT_EQ(Drovik_light_get_entity_to_light(l), g);
}

TEST_F(LightFamily, OperationsOutsideTheThreeAreRefusedWithABox) {
    DROVIK_HANDLE l = create("lamp");
    Drovik_light_activate(l, 3);
    EXPECT_EQ(one_box(),
              "Drovik_light_activate: Light operation can be only one of the three:\nLight_ADD\nLIGHT_SUBTRACT\n"
              "LIGHT_SET\n");

    Drovik_light_activate_before_each_render(l, 1, 5);
    EXPECT_EQ(one_box(),
              "Drovik_light_activate_before_each_render: Light operation can be only one of the three:\nLight_ADD\n"
              "LIGHT_SUBTRACT\nLIGHT_SET\n");
    int stored = -7;
    EXPECT_EQ(Drovik_light_is_activated_before_render(l, &stored), 0);
    EXPECT_EQ(stored, 0);

    Drovik_light_activate_before_each_render(l, 1, 2);
    EXPECT_EQ(Drovik_light_is_activated_before_render(l, &stored), 1);
    EXPECT_EQ(stored, 2);
    Drovik_light_activate_before_each_render(l, 0, 7);  // off: the operation is not looked at
    EXPECT_TRUE(new_boxes().empty());
    EXPECT_EQ(Drovik_light_is_activated_before_render(l, &stored), 0);
    EXPECT_EQ(stored, 2);
}

TEST_F(LightFamily, ActivateAndRemoveColourTheBoundGroupOnlyWithTheCard) {
    group* g = group_create(&engine_state.groups, "yard");
    polygon* lit = add_square(0, 0, g);
    polygon* other = add_square(5, 0);
    DROVIK_HANDLE l = create("lamp");
    Drovik_light_set_type_of_light(l, 8);  // ambient only: (200, 100, 50) x 86 >> 8
    Drovik_light_set_entity_to_light(l, g);

    Drovik_light_activate(l, 0);
    EXPECT_EQ(colour_of(lit), (std::vector<uint8_t>{200, 100, 50}));

    engine_state.card_in_use = 1;
    Drovik_light_activate(l, 0);
    EXPECT_EQ(colour_of(lit), (std::vector<uint8_t>{67, 33, 16}));
    EXPECT_EQ(colour_of(other), (std::vector<uint8_t>{200, 100, 50}));
    Drovik_light_activate(l, 1);
    EXPECT_EQ(colour_of(lit), (std::vector<uint8_t>{134, 66, 32}));
    Drovik_light_activate(l, 2);  // the shift rounds the negated term down: -68, -34, -17
    EXPECT_EQ(colour_of(lit), (std::vector<uint8_t>{66, 32, 15}));

    Drovik_light_remove_light(l);
    EXPECT_EQ(colour_of(lit), (std::vector<uint8_t>{200, 100, 50}));
}

TEST_F(LightFamily, NullVectorsAndColoursAreNeverTouched) {
    EXPECT_EQ(Drovik_light_create("lamp", nullptr), nullptr);
    EXPECT_EQ(Drovik_light_get_first_light(), nullptr);
    DROVIK_HANDLE l = create("lamp", 4, 5, 6);
    EXPECT_EQ(Drovik_light_set_location(l, nullptr), 0);
    EXPECT_EQ(Drovik_light_get_location(l, nullptr), 0);
    EXPECT_EQ(Drovik_light_set_direction(l, nullptr), 0);
    EXPECT_EQ(Drovik_light_get_direction(l, nullptr), 0);
    EXPECT_EQ(Drovik_light_point_at(l, nullptr), 0);
    EXPECT_EQ(Drovik_light_set_color(l, nullptr), 0);
    EXPECT_EQ(Drovik_light_get_color(l, nullptr), nullptr);
    EXPECT_EQ(Drovik_light_is_activated_before_render(l, nullptr), 0);
    double at[3];
    Drovik_light_get_location(l, at);
    EXPECT_EQ(at[0], 4);
    EXPECT_EQ(new_log(), "");
}

TEST_F(LightFamily, ALightWhoseEntityIsDeletedLightsNothing) {
    engine_state.card_in_use = 1;
    polygon* target = add_square(0, 0);
    polygon* other = add_square(5, 0);
    DROVIK_HANDLE l = create("lamp");
    Drovik_light_set_type_of_light(l, 8);
    Drovik_light_set_entity_to_light(l, target);
    Drovik_light_activate_before_each_render(l, 1, 0);

    ASSERT_EQ(polygon_list_remove(&main_->root->polygons, target), 0);
    free_polygon(target);
    EXPECT_EQ(Drovik_light_get_entity_to_light(l), nullptr);
    Drovik_light_activate(l, 0);
    engine_activate_lights_before_render(engine_state.lights);
    Drovik_light_remove_light(l);
    EXPECT_EQ(colour_of(other), (std::vector<uint8_t>{200, 100, 50}));
}

}  // namespace
