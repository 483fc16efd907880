// Worlds built in memory for the engine-state tests: a reader installed for ".wld" runs a scene
// function, and helpers make modules, polygons, objects and dynamic objects.
#pragma once
#include <gtest/gtest.h>

#include "platform/clock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <string>

#include "../common/files.h"
#include "engine_state_load.h"
#include "formats/world_formats.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "startup.h"
#include "world/bsp_node.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/object_module.h"
#include "world/polygon.h"

namespace state_test {

inline std::function<void()>& scene() {
    static std::function<void()> f;
    return f;
}

inline int scene_reader(const char*, const char*, const char*, group**) {
    if (scene()) scene()();
    return 0;
}

inline module* add_module(const char* name) {
    module* m = init_module();
    jstrcpy_with_allocating(&m->name, name);
    m->root = init_bsp_node();
    module** tail = &engine_state.modules;
    while (*tail) tail = &(*tail)->next;
    *tail = m;
    return m;
}

// A polygon through the points (x, y, z), brightness 8.
inline polygon* make_polygon(std::initializer_list<vec3> corners, const char* name = nullptr) {
    polygon* p = init_poly();
    for (const vec3& c : corners) {
        const double values[6] = {c.x, c.y, c.z, 0, 0, 8};
        polygon_add_point(p, values);
    }
    if (name) polygon_set_name(p, name);
    polygon_recalculate(p);
    return p;
}

inline polygon* add_polygon(module* m, std::initializer_list<vec3> corners, const char* name = nullptr) {
    polygon* p = make_polygon(corners, name);
    polygon_list_add(&m->root->polygons, p);
    return p;
}

// A square of side 2r in the plane x = x0, facing +x.
inline polygon* add_wall_x(module* m, double x0, double cy, double cz, double r, const char* name = nullptr) {
    return add_polygon(m, {{x0, cy - r, cz - r}, {x0, cy + r, cz - r}, {x0, cy + r, cz + r}, {x0, cy - r, cz + r}},
                       name);
}

// A square of side 2r in the plane z = z0.
inline polygon* add_floor(module* m, double cx, double cy, double z0, double r, const char* name = nullptr) {
    return add_polygon(m, {{cx - r, cy - r, z0}, {cx + r, cy - r, z0}, {cx + r, cy + r, z0}, {cx - r, cy + r, z0}},
                       name);
}

inline object* add_object(module* m, const char* module_name, const vec3& at) {
    object* o = init_object();
    object_set_module_name(o, module_name);
    matrix_set_translation(o->matrix, at);
    object_list_push(&m->root->objects, o);
    return o;
}

// A dynamic object standing in the root of m whose own module is module_name.
inline dynamic_object* add_dynamic(module* m, const char* name, const char* module_name) {
    dynamic_object* d = init_dynamic_object();
    jstrcpy_with_allocating(&d->name, name);
    jstrcpy_with_allocating(&d->module_name, module_name);
    dynamic_node_list_push(&m->root->dynamic_objects, d);
    return d;
}

inline double polygon_area(const polygon* p) {
    vec3 sum{0, 0, 0};
    const point* first = p->points;
    for (const point* a = first; a && a->next; a = a->next) {
        const point* b = a->next;
        const vec3 c = vec_cross({a->x - first->x, a->y - first->y, a->z - first->z},
                                 {b->x - first->x, b->y - first->y, b->z - first->z});
        vec_add(sum, c);
    }
    return vec_length(sum) / 2;
}

inline std::string error_log() { return read_file(log_directory() + "/error.log"); }
inline std::string engine_log() { return read_file(log_directory() + "/Drovik.log"); }

// What error.log gains from the reader's making or its last call on, so a case sees only its own lines.
class error_log_reader {
public:
    error_log_reader() : seen_(error_log().size()) {}
    std::string added() {
        const std::string text = error_log();
        const std::string tail = text.substr(std::min(seen_, text.size()));
        seen_ = text.size();
        return tail;
    }

private:
    size_t seen_;
};

// The engine started, a ".wld" reader that runs scene(), and a folder for world files.
class StateTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine_first_init();
        world_formats_set_reader("wld", scene_reader);
        scene() = nullptr;
        folder = std::filesystem::path(DROVIK_TEST_BINARY_DIR) / "engine_state_worlds";
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        // A close leaves its caption behind: the baseline holds it too.
        set_log_window_caption(load_texts::caption_closing);
        baseline = engine_get_bytes_in_use();
        errors = error_log_reader();
    }
    void TearDown() override {
        engine_close(0);
        EXPECT_EQ(engine_get_bytes_in_use(), baseline);
        world_formats_set_reader("wld", nullptr);
        scene() = nullptr;
    }

    int load(const char* file, uint32_t flags = 0) {
        engine_close(0);
        int count = 0;
        return engine_load_world(file, folder.string().c_str(), nullptr, flags, 5, 6, 5, &count);
    }

    std::string new_errors() { return errors.added(); }

    std::filesystem::path folder;
    uint32_t baseline = 0;
    error_log_reader errors;
};

// A state test whose engine clock reads `clock_now`, 1000 at the start of each case.
inline uint32_t clock_now = 1000;

class ClockedStateTest : public StateTest {
protected:
    void SetUp() override {
        StateTest::SetUp();
        clock_now = 1000;
        plat_clock_override([] { return clock_now; }, nullptr);
    }
    void TearDown() override {
        plat_clock_override(nullptr, nullptr);
        StateTest::TearDown();
    }
};

}  // namespace state_test
