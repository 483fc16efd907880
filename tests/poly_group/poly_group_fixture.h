// An editor world with an empty MAIN module for the polygon and group tests, and polygons made
// through the exports and put on the MAIN root list.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

#include "family_fixture.h"
#include "world/bsp_node.h"
#include "world/group.h"
#include "world/polygon.h"

// One export of a family table: the name its checks print and its result when refused.
struct export_row {
    const char* export_name;
    const char* check_name;  // NULL: checked silently
    double failure;
    double (*call)(DROVIK_HANDLE);
};

// Arguments the table's calls pass after the refused handle.
namespace row_arguments {
inline double v16[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
inline double out16[16];
inline int i;
inline const unsigned char rgb[3] = {1, 2, 3};
}  // namespace row_arguments

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

    // The export refuses the foreign handle once, under the row's name, with the row's value.
    void expect_refused(const export_row& row, void* foreign) {
        SCOPED_TRACE(row.export_name);
        EXPECT_EQ(row.call(foreign), row.failure);
        const std::vector<plat_box_record> boxes = new_boxes();
        if (!row.check_name) {
            EXPECT_EQ(new_log(), "");
            EXPECT_TRUE(boxes.empty());
            return;
        }
        EXPECT_EQ(new_log(), std::string(row.check_name) +
                                 ": Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong "
                                 "handle !\n");
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, row.check_name);
        EXPECT_EQ(boxes[0].text, "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !");
    }

    static vec3 point_at(DROVIK_HANDLE polygon_handle, int n) {
        return point_position(polygon_get_point(static_cast<polygon*>(polygon_handle), n));
    }

    struct module* main_ = nullptr;
};
