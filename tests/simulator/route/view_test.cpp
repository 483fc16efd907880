// The 3D view on the demo data with the real engine: "Start Sim" shows the line in the panel,
// and a jump along the route changes what it shows.
#include <QApplication>
#include <QCheckBox>
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

#include "../../common/recording_engine3d.h"
#include "app/main_window.h"
#include "app/sim_hooks.h"
#include "app/sim_state.h"
#include "demo_world.h"
#include "demo_world_bitmaps.h"
#include "forms/options_form.h"
#include "platform/msgbox.h"
#include "route/route.h"
#include "train/physics.h"
#include "train/vehicle.h"

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
    // The panel's picture once it differs from `before`: a loaded machine may take longer than the
    // usual ticks to draw the next frame.
    static QImage PanelChangedFrom(TVaruRor& w, const QImage& before)
    {
        QImage now = PanelAfterTicks(w);
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (now == before && std::chrono::steady_clock::now() < until) {
            QApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            now = w.ThreeDPanel->pixmap().toImage();
        }
        return now;
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
    const QImage moved = PanelChangedFrom(w, first);
    EXPECT_GT(Colours(moved), 8u);
    EXPECT_NE(first, moved);
    w.StartStopSim();
    EXPECT_TRUE(plat_message_box_records().empty());
    std::lock_guard guard(SimLock);
    Switch3DCardOff();
    CloseEngine();
}

// "Fog" in the Options while driving on the card: the frame's far pixels move toward the atmosphere colour.
TEST_F(ThreeDView, FogFromTheOptionsReachesTheCardsFrame)
{
    TVaruRor w;
    w.StartStopSim();
    ASSERT_TRUE(w.HiResTimer1.Enabled());
    // The only device here may be a software one, which the simulator's start does not take: start it.
    ASSERT_EQ(Drovik_engine_use_3D_accelerator_card(1), 0);
    const QImage clear = PanelAfterTicks(w);
    int r = 0, g = 0, b = 0;
    Drovik_engine_get_atmospheric_effect(&r, &g, &b);
    {
        TOptionsForm form(&w);
        form.FillOptionsForm(true);
        EXPECT_FALSE(form.fogCheckBox->isChecked());
        form.fogCheckBox->setChecked(true);
        form.accel3D_ChkBox->setChecked(false);  // keeps the running card as it is
        std::string error;
        ASSERT_TRUE(form.ApplyOptions("", true, &error)) << error;
    }
    ASSERT_EQ(Drovik_engine_is_3D_accelerator_card_used(), 1);
    const QImage fogged = PanelAfterTicks(w);
    ASSERT_EQ(fogged.size(), clear.size());
    const auto gap = [&](QRgb c) { return std::abs(qRed(c) - r) + std::abs(qGreen(c) - g) + std::abs(qBlue(c) - b); };
    int nearer = 0, farther = 0;
    for (int y = 0; y < clear.height(); ++y) {
        for (int x = 0; x < clear.width(); ++x) {
            const int before = gap(clear.pixel(x, y)), after = gap(fogged.pixel(x, y));
            if (after + 12 < before) ++nearer;
            if (after > before + 12) ++farther;
        }
    }
    EXPECT_GT(nearer, clear.width() * clear.height() / 10);
    EXPECT_LT(farther, nearer / 20);
    w.StartStopSim();
    std::lock_guard guard(SimLock);
    Switch3DCardOff();
    CloseEngine();
}

}  // namespace

namespace {

class LoadWorldCalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSimState();
        plat_message_box_clear_records();
        SimState.paths.root = "/demo";
        panel.resize(200, 100);
        SetEngine3D(&engine);
    }
    void TearDown() override
    {
        SetEngine3D(nullptr);
        ResetSimState();
    }
    TRecordingEngine3D engine;
    QLabel panel;
};

TEST_F(LoadWorldCalls, OptionsFollowTheLoadInOrder)
{
    SimState.wireFrame = true;
    LoadWorld3D(&panel);
    const std::vector<std::string> expected = {
        "LoadWorld(/demo\\world\\architype.drovik, /demo\\world\\bitmaps\\)",
        "HideLogWindow()",
        "SetFarObjectsColorAccuracy(16)",
        "SetPerspectiveCorrectionAccuracy(100)",
        "UseZBuffer(1)",
        "SetAtmosphericEffectIntensity(0.07)",
        "ShowFramesPerSecondRate(0)",
        "SetWireFrameRenderingMode()",
        "SetColorDepth(16)",
        "CheckHardwareSupport()",
        "Use3DCardDetailed(2, 0, 0, 0, 0, 0)",
        "HideLogWindow()",
        "GetDefaultCamera()",
        "SetCameraZoom(camera, 70)",
        "SetPictureQuality(20000)",
    };
    EXPECT_EQ(engine.calls, expected);
    EXPECT_EQ(SimState.camera, engine.Camera());
    EXPECT_TRUE(SimState.card3D);
    EXPECT_TRUE(plat_message_box_records().empty());
}

TEST_F(LoadWorldCalls, WithoutACardTheCardGoesOffWithItsWarning)
{
    engine.hardware = 0;
    LoadWorld3D(&panel);
    EXPECT_EQ(engine.CallsOf("Use3DCard(").size(), 1u);
    EXPECT_EQ(engine.CallsOf("Use3DCard(").front(), "Use3DCard(0)");
    EXPECT_FALSE(SimState.card3D);
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Please use a 3D graphics device.\r\n(The game will run better and faster.)");
}

TEST_F(LoadWorldCalls, AFailedLoadTurnsTheViewAndTheCardOff)
{
    engine.loadResult = -1;
    LoadWorld3D(&panel);
    EXPECT_EQ(engine.calls.size(), 1u);
    EXPECT_FALSE(SimState.view3D);
    EXPECT_FALSE(SimState.card3D);
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Failed to load, aborting 3D world.\r\nLook at error.log to see why");
}

}  // namespace
