// The demo route and world: what the route files name exists in the converted world.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "demo_world.h"
#include "demo_world_bitmaps.h"
#include "drovik.h"
#include "foundation/engine_globals.h"
#include "recording_engine3d.h"
#include "route.h"
#include "world/bsp_node.h"
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

}  // namespace
