// The demo route and world: what the route files name exists in the converted world, the ground
// faces the cab, and the generator saves the points its sun lit.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "demo_world.h"
#include "demo_world_bitmaps.h"
#include "drovik.h"
#include "platform/card_device.h"
#include "foundation/engine_globals.h"
#include "../common/recording_engine3d.h"
#include "route.h"
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
    fs::path root, home;
    TRecordingEngine3D engine;
};

TEST_F(DemoWorld, RouteNamesWorldObjectsAndTheLoopPassesTheLastStop)
{
    ASSERT_TRUE(WriteDemoWorldBitmaps(root.string()));
    ASSERT_TRUE(WriteDemoRoute(root.string()));
    ASSERT_TRUE(WriteDemoWorld(root.string()));
    const std::string bitmaps = (root / "world" / "bitmaps").string() + "/";
    ASSERT_EQ(Drovik_engine_load_world((root / "world" / "architype.drovik").string().c_str(),
                                       (root / "world").string().c_str(), bitmaps.c_str(), 0),
              0);

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
