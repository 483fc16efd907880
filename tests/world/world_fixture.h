// A small in-memory world for the entity tests: an editor-mode MAIN module, logs in a temp folder.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>

#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "platform/msgbox.h"
#include "world/bsp_node.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/polygon_geometry.h"
#include "world/polygon_patch.h"
#include "world/world_order.h"

struct xyz_uv {
    double x, y, z, u = 0, v = 0, brightness = 8;
};

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        old_dir_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() / ("drovik_world_" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        plat_message_box_set_headless(true);
        engine_set_speaker_mode(0);
        bytes_before_ = engine_get_bytes_in_use();
        records_before_ = registry_size();
        engine_state_reset(1);
        main_ = init_module();
        main_->root = init_bsp_node();
        jstrcpy_with_allocating(&main_->name, "MAIN");
        module_list_push(&engine_state.modules, main_);
        engine_state.main_module = main_;
    }

    void TearDown() override {
        group_delete(&engine_state.groups, nullptr);
        dynamic_free_all(&engine_state.dynamic_objects);
        module_list_free(&engine_state.modules);
        engine_state_release();
        close_log_files();
        EXPECT_EQ(registry_size(), records_before_) << "records left alive";
        EXPECT_EQ(engine_get_bytes_in_use(), bytes_before_) << "engine memory leaked";
        std::filesystem::current_path(old_dir_);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // A polygon with the given points; not on any list.
    static polygon* make(std::initializer_list<xyz_uv> points, const char* bitmap = nullptr) {
        polygon* p = init_poly();
        if (bitmap) polygon_set_bitmap_name(p, bitmap);
        for (const xyz_uv& q : points) {
            const double values[6] = {q.x, q.y, q.z, q.u, q.v, q.brightness};
            polygon_add_point(p, values);
        }
        polygon_recalculate(p);
        return p;
    }

    // A polygon added to the MAIN module's root list (the editor world).
    polygon* add(std::initializer_list<xyz_uv> points, group* g = nullptr) {
        polygon* p = make(points);
        p->owner_group = g;
        polygon_list_add(&main_->root->polygons, p);
        return p;
    }

    // The unit square [x0, x0 + 1] x [y0, y0 + 1] at height z, facing up (+z).
    polygon* add_square(double x0, double y0, double z = 0, group* g = nullptr) {
        return add({{x0, y0, z}, {x0, y0 + 1, z}, {x0 + 1, y0 + 1, z}, {x0 + 1, y0, z}}, g);
    }

    static std::vector<vec3> points_of(const polygon* p) {
        std::vector<vec3> out;
        for (const point* q = p->points; q; q = q->next) out.push_back({q->x, q->y, q->z});
        return out;
    }

    // Area of a planar polygon.
    static double area(const polygon* p) {
        const std::vector<vec3> v = points_of(p);
        vec3 sum{0, 0, 0};
        for (size_t i = 0; i < v.size(); ++i) vec_add(sum, vec_cross(v[i], v[(i + 1) % v.size()]));
        return vec_length(sum) / 2;
    }

    static bool has_point(const polygon* p, const vec3& q, double t = 1e-9) {
        for (const vec3& v : points_of(p)) {
            if (std::fabs(v.x - q.x) <= t && std::fabs(v.y - q.y) <= t && std::fabs(v.z - q.z) <= t) return true;
        }
        return false;
    }

    module* main_ = nullptr;

private:
    std::filesystem::path old_dir_, dir_;
    uint32_t bytes_before_ = 0;
    size_t records_before_ = 0;
};
