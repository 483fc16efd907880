// An editor world with an empty MAIN module for the polygon and group tests, and polygons made
// through the exports and put on the MAIN root list.
#pragma once
#include <initializer_list>

#include "family_fixture.h"
#include "world/bsp_node.h"
#include "world/group.h"
#include "world/polygon.h"

struct corner {
    double x, y, z;
};

class PolyGroupTest : public FamilyTest {
protected:
    void SetUp() override {
        FamilyTest::SetUp();
        main_ = init_module();
        main_->root = init_bsp_node();
        module_list_push(&engine_state.modules, main_);
        engine_state.main_module = main_;
        set_editor_mode(1);
    }

    void TearDown() override {
        group_delete(&engine_state.groups, nullptr);
        engine_state.main_module = nullptr;
        FamilyTest::TearDown();
    }

    // A polygon through the exports, in no list: the corners in order, brightness 100.
    static DROVIK_HANDLE make_polygon(std::initializer_list<corner> corners) {
        DROVIK_HANDLE p = Drovik_polygon_create();
        for (const corner& c : corners) {
            const double record[6] = {c.x, c.y, c.z, 0, 0, 100};
            Drovik_polygon_add_point(p, record);
        }
        Drovik_polygon_is_valid(p);
        return p;
    }

    // The same polygon put on the MAIN root list, as a world's polygon.
    DROVIK_HANDLE add_polygon(std::initializer_list<corner> corners, DROVIK_HANDLE owner_group = nullptr) {
        DROVIK_HANDLE p = make_polygon(corners);
        Drovik_polygon_set_group(p, owner_group);
        polygon_list_add(&main_->root->polygons, static_cast<polygon*>(p));
        return p;
    }

    // A unit square in the plane z = h, facing +z (up = true) or -z.
    DROVIK_HANDLE add_square(double h, bool up, DROVIK_HANDLE owner_group = nullptr) {
        if (up) return add_polygon({{0, 0, h}, {0, 1, h}, {1, 1, h}, {1, 0, h}}, owner_group);
        return add_polygon({{0, 0, h}, {1, 0, h}, {1, 1, h}, {0, 1, h}}, owner_group);
    }

    static vec3 point_at(DROVIK_HANDLE polygon_handle, int n) {
        return point_position(polygon_get_point(static_cast<polygon*>(polygon_handle), n));
    }

    struct module* main_ = nullptr;
};
