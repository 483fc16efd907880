// The demo route and world: what the route files name exists in the converted world, the ground
// faces the cab, trees and palms are see-through around their pictures, and the generator saves
// the points its sun lit.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "../../common/recording_engine3d.h"
#include "demo_world.h"
#include "demo_world_bitmaps.h"
#include "drovik.h"
#include "foundation/engine_globals.h"
#include "foundation/memory.h"
#include "platform/card_device.h"
#include "render/images/winbmp.h"
#include "route/route.h"
#include "startup.h"
#include "world/bsp_node.h"
#include "world/bsp_tree.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"

namespace fs = std::filesystem;

namespace {

class DemoWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("kestrovane_demo_world_" + std::to_string(std::random_device{}()));
        fs::create_directories(root);
        home = fs::current_path();
        fs::current_path(root);  // the engine's logs go to the working folder
        Drovik3D::Route() = Drovik3D::TRouteState{};
        SetEngine3D(&engine);
    }
    void TearDown() override
    {
        if (engine_is_initialized())
            engine_shutdown();
        SetEngine3D(nullptr);
        Drovik3D::Route() = Drovik3D::TRouteState{};
        fs::current_path(home);
        fs::remove_all(root);
    }
    // The converted demo world, loaded.
    void LoadDemoWorld()
    {
        ASSERT_TRUE(WriteDemoWorldBitmaps(root.string()));
        ASSERT_TRUE(WriteDemoWorld(root.string()));
        const std::string bitmaps = (root / "world" / "bitmaps").string() + "/";
        ASSERT_EQ(Drovik_engine_load_world((root / "world" / "architype.drovik").string().c_str(),
                                           (root / "world").string().c_str(), bitmaps.c_str(), 0),
                  0);
    }
    // Runs the demo generator on root/data with extra environment settings; its exit code and
    // what it wrote on stderr.
    int RunGenerator(const std::string& environment, std::string& errors)
    {
        const std::string command = "DROVIK_HEADLESS_BOXES=1 SDL_VIDEODRIVER=dummy " + environment + " '" +
                                    DROVIK_MAKE_DEMO_DATA + "' '" + (root / "data").string() + "' 2>&1 >/dev/null";
        FILE* output = popen(command.c_str(), "r");
        if (!output)
            return -1;
        char buffer[512];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, output)) > 0;) errors.append(buffer, n);
        const int status = pclose(output);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // The generated world, loaded.
    void LoadGeneratedWorld()
    {
        const fs::path world = root / "data" / "world";
        const std::string bitmaps = (world / "bitmaps").string() + "/";
        ASSERT_EQ(Drovik_engine_load_world((world / "architype.drovik").string().c_str(), world.string().c_str(),
                                           bitmaps.c_str(), 0),
                  0);
    }
    // The colours of the ground's points.
    static std::vector<std::array<int, 3>> GroundColours()
    {
        std::vector<std::array<int, 3>> colours;
        std::vector<polygon*> polygons;
        bsp_tree_get_all_polygons(engine_state.main_module->root, polygons);
        for (const polygon* p : polygons) {
            if (std::string(p->name ? p->name : "") != "ground")
                continue;
            for (const point* pt = p->points; pt; pt = pt->next) colours.push_back({pt->red, pt->green, pt->blue});
        }
        return colours;
    }
    static std::string FirstLightName()
    {
        DROVIK_HANDLE sun = Drovik_light_get_first_light();
        return sun ? Drovik_light_get_name(sun) : "";
    }
    // A tree seen from 1000 units away: no pixel shows the key colour, and within the tree's outline the
    // scene behind shows where the picture has no crown or trunk.
    void ExpectTheSceneThroughTheFirstTree()
    {
        DROVIK_HANDLE tree = Drovik_object_get_object_using_name("tree0");
        ASSERT_NE(tree, nullptr);
        double x = 0, y = 0, z = 0;
        ASSERT_EQ(Drovik_object_get_location(tree, &x, &y, &z), 0);
        DROVIK_HANDLE camera = Drovik_camera_get_default_camera();
        ASSERT_NE(camera, nullptr);
        Drovik_camera_set_location(camera, x, y - 1000, 300);
        Drovik_camera_point_at(camera, x, y, 300);
        Drovik_camera_set_zoom(camera, 70);
        const int width = 160, height = 120;
        const auto render = [&]() {
            std::vector<uint16_t> pixels;
            DROVIK_WINDOW window = plat_window_create_memory(width, height);
            EXPECT_EQ(Drovik_engine_render(window, camera), 0);
            for (int row = 0; row < height; ++row) {
                for (int column = 0; column < width; ++column) pixels.push_back(plat_window_pixel(window, column, row));
            }
            plat_window_destroy(window);
            return pixels;
        };
        const std::vector<uint16_t> with_tree = render();
        ASSERT_EQ(Drovik_object_disable(tree), 0);
        const std::vector<uint16_t> without_tree = render();

        // The key, lit or shaded, in RGB565: red and blue at least 16 of 31, green at most 7 of 63.
        const auto keyed = [](uint16_t p) { return (p >> 11) >= 16 && (p >> 5 & 63) <= 7 && (p & 31) >= 16; };
        int left = width, right = -1, top = height, bottom = -1, changed = 0;
        EXPECT_EQ(std::count_if(with_tree.begin(), with_tree.end(), keyed), 0);
        for (int i = 0; i < width * height; ++i) {
            if (with_tree[static_cast<size_t>(i)] == without_tree[static_cast<size_t>(i)])
                continue;
            ++changed;
            left = std::min(left, i % width), right = std::max(right, i % width);
            top = std::min(top, i / width), bottom = std::max(bottom, i / width);
        }
        // The picture is drawn once: its crown is a disc in a square and its trunk a narrow bar below it.
        // The tree covers well under three quarters of the box around it, and the box's top corners,
        // beside the crown, show the scene behind.
        ASSERT_GT(changed, 200);
        const int box = (right - left + 1) * (bottom - top + 1);
        EXPECT_LT(changed * 4, box * 3) << changed << " of " << box;
        for (int column : {left, right}) {
            const size_t i = static_cast<size_t>(top * width + column);
            EXPECT_EQ(with_tree[i], without_tree[i]) << column << ", " << top;
        }
    }
    fs::path root, home;
    TRecordingEngine3D engine;
};

TEST_F(DemoWorld, RouteNamesWorldObjectsAndTheLoopPassesTheLastStop)
{
    ASSERT_TRUE(WriteDemoRoute(root.string()));
    ASSERT_NO_FATAL_FAILURE(LoadDemoWorld());

    // Stored trees: the models' modules are split into more nodes than there are modules.
    int modules = 0, nodes = 0;
    for (const module* m = engine_state.modules; m; m = m->next, ++modules) nodes += bsp_tree_count_nodes(m->root);
    EXPECT_EQ(modules, 34);
    EXPECT_GT(nodes, modules);
    EXPECT_NE(engine_state.backgrounds, nullptr);
    for (int slot = 0; slot < 6; ++slot) {
        for (const char* kind : {"track", "tree", "house", "palm", "grass"}) {
            const std::string name = kind + std::to_string(slot);
            EXPECT_NE(dynamic_find_by_name(engine_state.dynamic_objects, name.c_str()), nullptr) << name;
        }
    }

    // The route reads with every landmark found in the world.
    std::string error;
    for (dynamic_object* d = engine_state.dynamic_objects; d; d = d->next) engine.objects[d->name] = 0;
    ASSERT_TRUE(Drovik3D::LoadRouteSurvey(root.string(), &error)) << error;
    ASSERT_EQ(Drovik3D::Route().landmarks.size(), 3u);
    for (const Drovik3D::TLandmarkRec& l : Drovik3D::Route().landmarks) EXPECT_NE(l.place.object, nullptr) << l.name;
    int marked = 0;
    for (const Drovik3D::TTrackSegment& s : Drovik3D::Route().segments) {
        if (s.landmark.empty())
            continue;
        ++marked;
        bool listed = false;
        for (const Drovik3D::TLandmarkRec& l : Drovik3D::Route().landmarks) listed = listed || l.name == s.landmark;
        EXPECT_TRUE(listed) << s.landmark;
    }
    EXPECT_EQ(marked, 3);
    const int count = Drovik3D::Route().current.count;
    EXPECT_GT(Drovik3D::Route().segments[static_cast<size_t>(count - 1)].routeKm, 8.9f);
    for (size_t i = 0; i + 1 < Drovik3D::Route().segments.size(); ++i) {
        const Drovik3D::TPoint3& a = Drovik3D::Route().segments[i].start;
        const Drovik3D::TPoint3& b = Drovik3D::Route().segments[i + 1].start;
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        EXPECT_TRUE(length >= 2000 && length <= 3000) << i << ": " << length;
    }
}

// The cab's view: 150 units above the first loop point, level, looking along the line. The lower
// rows of the picture are ground, rails and scenery, each textured, not one flat colour.
TEST_F(DemoWorld, TheGroundAndTheRailsShowFromTheCab)
{
    LoadDemoWorld();
    DROVIK_HANDLE camera = Drovik_camera_get_default_camera();
    ASSERT_NE(camera, nullptr);
    Drovik_camera_set_location(camera, 0, 75000, 150);
    Drovik_camera_set_tilt(camera, 0);
    Drovik_camera_set_head_angle(camera, 0);
    Drovik_camera_set_zoom(camera, 70);
    const int width = 160, height = 120;
    DROVIK_WINDOW window = plat_window_create_memory(width, height);
    ASSERT_EQ(Drovik_engine_render(window, camera), 0);
    std::set<uint16_t> colours;
    for (int y = height - 20; y < height; ++y) {
        for (int x = 0; x < width; ++x) colours.insert(plat_window_pixel(window, x, y));
    }
    plat_window_destroy(window);
    EXPECT_GT(colours.size(), 8u);

    // Every flat face is drawn from above: its plane faces up.
    int flat = 0;
    for (const module* m = engine_state.modules; m; m = m->next) {
        std::vector<polygon*> polygons;
        bsp_tree_get_all_polygons(m->root, polygons);
        for (const polygon* p : polygons) {
            if (std::fabs(p->plane[2]) < 0.5)
                continue;
            ++flat;
            EXPECT_GT(p->plane[2], 0) << p->name;
        }
    }
    EXPECT_GT(flat, 400);
}

// The 8-bit tree and palm pictures stand on a key colour that the reduction to 256 colours stores as
// (248, 0, 248): their polygons name that palette entry as transparent.
TEST_F(DemoWorld, TreesAndPalmsAreTransparentWhereTheirPicturesShowTheKey)
{
    LoadDemoWorld();
    std::map<std::string, int> keys;
    for (const char* name : {"tree", "palm"}) {
        std::ifstream in(root / "world" / "bitmaps" / (std::string(name) + ".bmp"), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        winbmp_status status{};
        uint32_t format = 0;
        uint8_t* image = winbmp_from_memory(bytes.data(), bytes.size(), &status, &format);
        ASSERT_NE(image, nullptr) << name;
        rgb8 palette[256];
        const int count = winbmp_get_palette(image, palette);
        engine_free(image);
        for (int i = 0; i < count; ++i) {
            if (palette[i].r == 248 && palette[i].g == 0 && palette[i].b == 248)
                keys[name] = i;
        }
        ASSERT_EQ(keys.count(name), 1u) << name;
    }
    std::map<std::string, std::set<int>> indices;
    for (DROVIK_HANDLE p = Drovik_polygon_get_first_polygon(); p; p = Drovik_polygon_get_next(p)) {
        const std::string name = Drovik_polygon_get_name(p);
        if (keys.count(name) != 0)
            indices[name].insert(Drovik_polygon_get_transparent_index(p));
    }
    for (const auto& [name, key] : keys) EXPECT_EQ(indices[name], std::set<int>{key}) << name;
}

// The software renderer and the 3D card draw the trees see-through.
TEST_F(DemoWorld, TheSceneShowsThroughATree)
{
    LoadDemoWorld();
    ExpectTheSceneThroughTheFirstTree();
}

TEST_F(DemoWorld, TheSceneShowsThroughATreeOnThe3DCard)
{
    if (plat_card_devices().empty())
        GTEST_SKIP() << "no OpenGL device";
    LoadDemoWorld();
    const int visible = Drovik_3D_card_is_driver_selection_window_visible();
    Drovik_3D_card_hide_driver_selection_window(1);
    ASSERT_EQ(Drovik_engine_use_3D_accelerator_card(1), 0);
    Drovik_engine_show_frames_per_second_rate(0);  // the rate at the top left changes between frames
    ExpectTheSceneThroughTheFirstTree();
    Drovik_engine_show_frames_per_second_rate(1);
    Drovik_3D_card_hide_driver_selection_window(visible);
}

// The generator starts the 3D card, so the sun colours the points it lights before they are saved.
TEST_F(DemoWorld, TheSunIsSavedWithTheGroundPointsItLit)
{
    if (plat_card_devices().empty())
        GTEST_SKIP() << "no OpenGL device";
    std::string errors;
    ASSERT_EQ(RunGenerator("", errors), 0) << errors;
    EXPECT_EQ(errors.find("3D card"), std::string::npos) << errors;
    LoadGeneratedWorld();
    EXPECT_EQ(FirstLightName(), "sun");
    EXPECT_EQ(Drovik_light_get_next_light(Drovik_light_get_first_light()), nullptr);
    const std::vector<std::array<int, 3>> colours = GroundColours();
    ASSERT_GE(colours.size(), 1600u);
    // Unlit, a textured point is white. The sun high in the south-west gives the ambient 86 and a
    // diffuse term of 170/256 of its colour (255, 250, 230) times a cosine between 0.7 and 0.84.
    for (const auto& [r, g, b] : colours) {
        ASSERT_TRUE(r >= 200 && r <= 230) << r;
        ASSERT_TRUE(g >= 198 && g <= 227 && g <= r) << g;
        ASSERT_TRUE(b >= 188 && b <= 215 && b < g) << b;
    }
}

// Without a usable EGL the card cannot start: the generator says so and saves the world unlit,
// its sun still in it.
TEST_F(DemoWorld, WithoutTheCardTheWorldIsSavedUnlitAndTheGeneratorSaysSo)
{
    std::string errors;
    ASSERT_EQ(RunGenerator("__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent", errors), 0) << errors;
    EXPECT_NE(errors.find("make_demo_data: the 3D card did not start; the world is saved without its lights "
                          "applied\n"),
              std::string::npos)
        << errors;
    LoadGeneratedWorld();
    EXPECT_EQ(FirstLightName(), "sun");
    const std::vector<std::array<int, 3>> colours = GroundColours();
    ASSERT_GE(colours.size(), 1600u);
    for (const auto& c : colours) ASSERT_EQ(c, (std::array<int, 3>{255, 255, 255}));
}

}  // namespace
