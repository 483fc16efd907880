// A large binary world is built on several threads: it must come out as one thread builds it.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "../common/files.h"
#include "drovik.h"
#include "formats/binary_format.h"
#include "foundation/engine_globals.h"
#include "foundation/parallel.h"
#include "platform/msgbox.h"
#include "startup.h"
#include "world/engine_state.h"
#include "world/world_order.h"

namespace fs = std::filesystem;

namespace {

constexpr int editor_flags = 0x4;
constexpr int viewer_flags = 0;

// Rows of boxes, each row a street group under the town, with the parts a polygon record may
// carry spread over them: colours, names, bitmap names, triangles, a pentagon and a polygon whose
// points all coincide. Enough polygons for several threads' runs.
bf_world town(int polygons) {
    using namespace bf_layout;
    bf_world w;
    w.cords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    w.group_names = {"town"};
    w.groups.push_back({1, 0, 0});
    w.polygon_names = {"door", "roof"};
    w.bitmap_names = {"brick"};
    static constexpr int faces[6][4] = {{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 4, 5, 1},
                                        {1, 5, 6, 2}, {2, 6, 7, 3}, {3, 7, 4, 0}};
    for (int box = 0; static_cast<int>(w.polygons.size()) < polygons; ++box) {
        const int row = box / 40;
        if (box % 40 == 0) {
            w.group_names.push_back("street_" + std::to_string(row));
            w.groups.push_back({static_cast<uint32_t>(w.group_names.size()), 1, 0});
        }
        const float x = static_cast<float>(box % 40) * 30, y = static_cast<float>(row) * 30;
        const float size = 10 + static_cast<float>(box % 7), height = 5 + static_cast<float>(box % 11);
        const auto first = static_cast<uint32_t>(w.points.size());
        for (int corner = 0; corner < 8; ++corner) {
            const bool right = corner == 1 || corner == 2 || corner == 5 || corner == 6;
            const bool back = corner == 2 || corner == 3 || corner == 6 || corner == 7;
            w.points.push_back({x + (right ? size : 0), y + (back ? size : 0), corner < 4 ? 0.0f : height,
                                static_cast<uint8_t>(box % 200), 90, static_cast<uint8_t>(corner * 30), 0, 0, 0});
        }
        for (int f = 0; f < 6; ++f) {
            bf_polygon p;
            p.presence = has_group;
            p.group = static_cast<uint32_t>(w.groups.size());
            const int n = static_cast<int>(w.polygons.size());
            const int points = n % 13 == 0 ? 3 : 4;
            p.kind_word = (points == 3 ? kind_three_points : kind_four_points) | kind_collisional;
            for (int k = 0; k < points; ++k) {
                p.points.push_back(first + static_cast<uint32_t>(faces[f][k]));
                p.cords.push_back(static_cast<uint32_t>(k));
            }
            if (n % 5 == 0) {
                p.presence |= has_colour;
                p.red = static_cast<uint8_t>(n % 251);
                p.green = 40;
                p.blue = 200;
            }
            if (n % 97 == 0) {
                p.presence |= has_name;
                p.name = 1 + static_cast<uint32_t>(n % 2);
            }
            if (n % 89 == 0) {
                p.presence |= has_bitmap_name;
                p.bitmap_name = 1;
            }
            w.polygons.push_back(std::move(p));
        }
    }
    bf_polygon pentagon;
    pentagon.presence = has_group;
    pentagon.group = 2;
    for (uint32_t k : {0u, 1u, 2u, 3u, 3u}) {
        pentagon.points.push_back(k);
        pentagon.cords.push_back(k % 4);
    }
    w.polygons.push_back(pentagon);
    bf_polygon flat;  // every point the same: no plane
    flat.presence = has_group;
    flat.group = 2;
    flat.kind_word = bf_layout::kind_three_points;
    flat.points = {5, 5, 5};
    flat.cords = {0, 1, 2};
    w.polygons.push_back(flat);
    return w;
}

std::string exact(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%a ", v);
    return text;
}

// Everything the build gives each polygon of the world, in the world's order, then the groups.
std::vector<std::string> built_world() {
    std::vector<std::string> lines;
    for (const polygon* p : world_polygons()) {
        std::string line = std::to_string(p->serial_id) + " " + (p->owner_group ? p->owner_group->name : "-") + " " +
                           (p->name ? p->name : "-") + " " + (p->bitmap_name ? p->bitmap_name : "-") + " " +
                           std::to_string(p->red) + "," + std::to_string(p->green) + "," + std::to_string(p->blue) +
                           " " + std::to_string(p->colour_pixel) + " " + std::to_string(p->drawer_index) + " " +
                           std::to_string(p->average_brightness) + " ";
        for (double v : p->plane) line += exact(v);
        for (double v : p->box) line += exact(v);
        line += exact(p->fade_distance);
        for (const point* pt = p->points; pt; pt = pt->next) {
            line += "| " + exact(pt->x) + exact(pt->y) + exact(pt->z) + exact(pt->bitmap_x) + exact(pt->bitmap_y) +
                    std::to_string(pt->red) + "," + std::to_string(pt->green) + "," + std::to_string(pt->blue);
        }
        lines.push_back(line);
    }
    for (const group* g = engine_state.groups; g; g = g->next) {
        std::string line = std::string("group ") + g->name;
        for (int32_t v : g->box) line += " " + std::to_string(v);
        for (double v : g->centre) line += " " + exact(v);
        lines.push_back(line);
    }
    std::string centre = "world";
    for (double v : engine_state.world_centre) centre += " " + exact(v);
    lines.push_back(centre);
    return lines;
}

class LoadThreads : public ::testing::Test {
protected:
    void SetUp() override {
        plat_message_box_set_headless(true);
        folder_ = make_temp_folder("drovik_load_threads_");
        file_ = (folder_ / "town.drovik").string();
        const bf_world w = town(3 * static_cast<int>(bf_polygon_mark_step) + 700);
        polygons_ = w.polygons.size();
        for (const bf_point& p : w.points) {
            const float xyz[3] = {p.x, p.y, p.z};
            for (int k = 0; k < 3; ++k) {
                town_box_[k] = std::min(town_box_[k], static_cast<int>(xyz[k]));
                town_box_[k + 3] = std::max(town_box_[k + 3], static_cast<int>(xyz[k]));
            }
        }
        ASSERT_EQ(bfl_write_world_file(file_.c_str(), w), 0);
    }
    void TearDown() override {
        parallel_set_threads(0);
        if (engine_is_initialized()) engine_shutdown();
        std::error_code error;
        fs::remove_all(folder_, error);
    }

    std::vector<std::string> load_on(int threads, int flags) {
        parallel_set_threads(threads);
        fs::remove(folder_ / "town.bsp");
        EXPECT_EQ(Drovik_engine_load_world(file_.c_str(), folder_.string().c_str(), nullptr, flags), 0);
        return built_world();
    }

    fs::path folder_;
    std::string file_;
    size_t polygons_ = 0;
    int town_box_[6] = {INT_MAX, INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MIN};  // every point's
};

TEST_F(LoadThreads, ManyThreadsBuildWhatOneBuilds) {
    for (int flags : {editor_flags, viewer_flags}) {
        const std::vector<std::string> one = load_on(1, flags);
        const std::vector<std::string> many = load_on(5, flags);
        ASSERT_EQ(one.size(), many.size()) << "flags " << flags;
        for (size_t i = 0; i < one.size(); ++i) ASSERT_EQ(one[i], many[i]) << "flags " << flags << " line " << i;
    }
}

TEST_F(LoadThreads, SerialNumbersAndBoxesFollowTheFile) {
    parallel_set_threads(4);
    ASSERT_EQ(Drovik_engine_load_world(file_.c_str(), folder_.string().c_str(), nullptr, editor_flags), 0);
    const std::vector<polygon*> all = world_polygons();
    ASSERT_EQ(all.size(), polygons_);
    for (size_t i = 1; i < all.size(); ++i) ASSERT_EQ(all[i]->serial_id, all[0]->serial_id + static_cast<int>(i)) << i;
    // The last two are the pentagon and the polygon without a plane.
    EXPECT_EQ(all[all.size() - 2]->point_count, 5);
    EXPECT_EQ(all.back()->point_count, 3);
    const group* street = all.back()->owner_group;
    ASSERT_NE(street, nullptr);
    EXPECT_STREQ(street->name, "street_0");
    // Row 0: x from 0 to the last box (at 39 * 30, 10 + 39 % 7 wide), y up to the widest box (16),
    // height up to 15.
    EXPECT_EQ(street->box[0], 0);
    EXPECT_EQ(street->box[3], 39 * 30 + 14);
    EXPECT_EQ(street->box[4], 16);
    EXPECT_EQ(street->box[5], 15);
    // The town holds every street: its box is every point's.
    ASSERT_NE(street->father, nullptr);
    EXPECT_STREQ(street->father->name, "town");
    for (int k = 0; k < 6; ++k) EXPECT_EQ(street->father->box[k], town_box_[k]) << k;
}

}  // namespace
