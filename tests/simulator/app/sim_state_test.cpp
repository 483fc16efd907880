// The shared simulation state: start values and the route debug file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/sim_state.h"

namespace {

namespace fs = std::filesystem;

class RouteDebugFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetSimState();
        root = fs::path(DROVIK_TEST_BINARY_DIR) / "debug_root";
        fs::remove_all(root);
        fs::create_directories(root / "Routes" / "tarrow-venn");
        SimState.paths.root = root.string();
    }
    void TearDown() override { ResetSimState(); }
    fs::path root;
};

TEST_F(RouteDebugFileTest, CreatedWithItsFirstLineAndClosed)
{
    const fs::path file = root / "Routes" / "tarrow-venn" / "debug.txt";
    std::ofstream(file) << "old contents\n";
    ASSERT_TRUE(OpenRouteDebugFile());
    ASSERT_NE(SimState.routeDebug, nullptr);
    CloseRouteDebugFile();
    EXPECT_EQ(SimState.routeDebug, nullptr);
    std::stringstream text;
    text << std::ifstream(file).rdbuf();
    EXPECT_EQ(text.str(), "landmarks section\n");
}

TEST_F(RouteDebugFileTest, MissingRouteFolderLeavesNoFile)
{
    SimState.paths.root = (root / "nowhere").string();
    EXPECT_FALSE(OpenRouteDebugFile());
    EXPECT_EQ(SimState.routeDebug, nullptr);
}

TEST(SimState, StartValues)
{
    ResetSimState();
    EXPECT_TRUE(SimState.view3D);
    EXPECT_TRUE(SimState.card3D);
    EXPECT_FALSE(SimState.worldLoaded);
    EXPECT_FALSE(SimState.editorMode);
    EXPECT_EQ(SimState.camera, nullptr);
    EXPECT_EQ(SimState.startSegment, 3);
}

}  // namespace
