// The 3D view on the demo data with the real engine: "Start Sim" shows the line in the panel,
// and a jump along the route changes what it shows.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

#include "demo_world.h"
#include "demo_world_bitmaps.h"
#include "main_window.h"
#include "physics.h"
#include "platform/msgbox.h"
#include "route.h"
#include "sim_hooks.h"
#include "sim_state.h"
#include "vehicle.h"

namespace fs = std::filesystem;

namespace {

class ThreeDView : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSimState();
        Physics = TPhysics{};
        PhysicsInit();
        plat_message_box_clear_records();
        root = fs::temp_directory_path() / ("kestrovane_view_" + std::to_string(std::random_device{}()));
        fs::create_directories(root);
        savedDir = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(root.string()));
        ASSERT_TRUE(WriteDemoWorldBitmaps(root.string()));
        ASSERT_TRUE(WriteDemoRoute(root.string()));
        ASSERT_TRUE(WriteDemoWorld(root.string()));
        SimState.paths.root = root.string();
        std::lock_guard guard(SimLock);
        Consist.count = 1;
        Consist.tonnage = 420;
        Consist.length = 60;
    }
    void TearDown() override
    {
        QDir::setCurrent(savedDir);
        ResetSimState();
        ClearConsist(Consist);
        fs::remove_all(root);
    }
    // The panel's picture after the timer has run for a while.
    static QImage PanelAfterTicks(TVaruRor& w)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
        while (std::chrono::steady_clock::now() < until) {
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return w.ThreeDPanel->pixmap().toImage();
    }
    static size_t Colours(const QImage& image)
    {
        std::set<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3) {
            for (int x = 0; x < image.width(); x += 3) colours.insert(image.pixel(x, y));
        }
        return colours.size();
    }
    fs::path root;
    QString savedDir;
};

TEST_F(ThreeDView, StartSimShowsTheLineAndAJumpMovesIt)
{
    TVaruRor w;
    w.StartStopSim();
    ASSERT_TRUE(w.HiResTimer1.Enabled());
    {
        std::lock_guard guard(SimLock);
        ASSERT_TRUE(SimState.worldLoaded);
        EXPECT_EQ(Drovik3D::Route().current.segment.index, 3);
    }
    const QImage first = PanelAfterTicks(w);
    ASSERT_EQ(first.size(), w.ThreeDPanel->size());
    EXPECT_GT(Colours(first), 8u);

    ASSERT_TRUE(w.JumpToSegmentText("60"));
    const QImage moved = PanelAfterTicks(w);
    EXPECT_GT(Colours(moved), 8u);
    EXPECT_NE(first, moved);
    w.StartStopSim();
    EXPECT_TRUE(plat_message_box_records().empty());
    std::lock_guard guard(SimLock);
    Switch3DCardOff();
    CloseEngine();
}

}  // namespace
