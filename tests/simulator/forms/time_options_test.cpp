// The timetable window and the options window.
#include <QAbstractButton>
#include <QButtonGroup>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <fstream>
#include <random>

#include "../../common/files.h"
#include "../../common/recording_engine3d.h"
#include "app/ini_file.h"
#include "app/main_window.h"
#include "app/sim_hooks.h"
#include "app/sim_state.h"
#include "forms/options_form.h"
#include "forms/time_form.h"
#include "platform/msgbox.h"
#include "train/physics.h"

namespace fs = std::filesystem;

namespace {

class TimeFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("kestrovane_forms_" + std::to_string(std::random_device{}()));
        fs::create_directories(root);
        plat_message_box_clear_records();
    }
    void TearDown() override { fs::remove_all(root); }
    std::string Timetable(int entries)
    {
        std::string text = "0905 Freight\r\n";
        for (int i = 0; i < entries; ++i)
            text += std::to_string(i) + ".5 9 " + std::to_string(5 * i) + " Stop " + std::to_string(i) + "\r\n";
        const fs::path path = root / "timetable.txt";
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    static QString Cell(const TTimeForm1& f, int row, int column)
    {
        const QTableWidgetItem* item = f.StringGrid1->item(row, column);
        return item ? item->text() : QString();
    }
    fs::path root;
};

TEST_F(TimeFormTest, EntriesAndTheNextStop)
{
    const std::string path = Timetable(12);
    TTimeForm1 f(nullptr, path, 2.7, "09:01:30");
    EXPECT_EQ(f.windowTitle(), "0905 Freight working timetable");
    EXPECT_EQ(f.Label1->text(), "MP- 2.7");
    EXPECT_EQ(f.Label2->text(), "Time- 09:01:30");
    EXPECT_EQ(f.StringGrid1->horizontalHeaderItem(0)->text(), "MP (km)");
    EXPECT_EQ(f.StringGrid1->horizontalHeaderItem(1)->text(), "Time");
    EXPECT_EQ(f.StringGrid1->horizontalHeaderItem(2)->text(), "Station/Way point");
    EXPECT_EQ(f.StringGrid1->rowCount(), 69);
    EXPECT_EQ(Cell(f, 1, 0), "1.5");
    EXPECT_EQ(Cell(f, 1, 1), "09:05");
    EXPECT_EQ(Cell(f, 1, 2), "Stop 1");
    EXPECT_EQ(Cell(f, 11, 1), "09:55");

    struct next_case {
        double km;
        int starred;  // the grid row below the header
        int top;
    } cases[] = {{0.0, 0, 1}, {0.5, 0, 1}, {2.7, 3, 1}, {9.6, 10, 3}, {20.0, 12, 5}};
    for (const next_case& c : cases) {
        SCOPED_TRACE(c.km);
        TTimeForm1 g(nullptr, path, c.km, "09:00:00");
        for (int row = 0; row < 13; ++row)
            EXPECT_EQ(Cell(g, row, 0).endsWith("*"), row == c.starred) << row;
        EXPECT_TRUE(g.StringGrid1->item(c.starred, 0)->isSelected());
        EXPECT_EQ(g.TopRow(), c.top);
    }
    EXPECT_TRUE(plat_message_box_records().empty());
}

TEST_F(TimeFormTest, MissingFileIsSaidAndTheGridStaysEmpty)
{
    const std::string path = (root / "none.txt").string();
    TTimeForm1 f(nullptr, path, 1.0, "09:00:00");
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Timetable file: \"" + path + "\" not found.");
    EXPECT_EQ(Cell(f, 0, 0), "");
}

class OptionsFormTest : public TimeFormTest {
protected:
    void SetUp() override
    {
        TimeFormTest::SetUp();
        SimState = TSimState{};
        Physics = TPhysics{};
        SetEngine3D(&engine);
        window = new TVaruRor;
        VaruRor = window;
    }
    void TearDown() override
    {
        VaruRor = nullptr;
        delete window;
        SetEngine3D(nullptr);
        SimState = TSimState{};
        TimeFormTest::TearDown();
    }
    TRecordingEngine3D engine;
    TVaruRor* window = nullptr;
};

TEST_F(OptionsFormTest, FillShowsTheOptions)
{
    SimState.wet = true;
    SimState.view3D = false;
    Physics.cleanliness = kRailPoor;
    window->ThreeDPanel->setGeometry(11, 22, 333, 144);
    engine.intensity = 0.5;
    struct fill_case {
        bool running, loaded;
        bool fog;
    } cases[] = {{false, true, false}, {true, false, false}, {true, true, true}};
    for (const fill_case& c : cases) {
        SimState.worldLoaded = c.loaded;
        TOptionsForm f(window);
        f.FillOptionsForm(c.running);
        EXPECT_EQ(f.fogCheckBox->isChecked(), c.fog);
        EXPECT_EQ(f.top_te->text(), "22");
        EXPECT_EQ(f.left_te->text(), "11");
        EXPECT_EQ(f.width_te->text(), "333");
        EXPECT_EQ(f.height_te->text(), "144");
        EXPECT_EQ(f.rainGroup->checkedId(), 1);
        EXPECT_EQ(f.RailTypeGroup->checkedId(), 2);
        EXPECT_FALSE(f.threeD_active_ChkBox->isChecked());
        EXPECT_TRUE(f.accel3D_ChkBox->isChecked());
    }
}

// The box shows fog only above a quarter; applying it off sets the faint haze back.
TEST_F(OptionsFormTest, FogBoxFollowsTheIntensity)
{
    SimState.worldLoaded = true;
    struct fog_case {
        double intensity;
        bool checked;
    } cases[] = {{0.0, false}, {0.07, false}, {0.25, false}, {0.26, true}, {0.5, true}};
    for (const fog_case& c : cases) {
        SCOPED_TRACE(c.intensity);
        engine.intensity = c.intensity;
        TOptionsForm f(window);
        f.FillOptionsForm(true);
        EXPECT_EQ(f.fogCheckBox->isChecked(), c.checked);
    }
    for (bool fog : {true, false}) {
        SCOPED_TRACE(fog);
        TOptionsForm f(window);
        f.FillOptionsForm(true);
        f.fogCheckBox->setChecked(fog);
        engine.calls.clear();
        std::string error;
        ASSERT_TRUE(f.ApplyOptions("", true, &error)) << error;
        ASSERT_GE(engine.calls.size(), 2u);
        EXPECT_EQ(engine.calls[1], fog ? "SetAtmosphericEffectIntensity(0.5)" : "SetAtmosphericEffectIntensity(0.07)");
    }
}

TEST_F(OptionsFormTest, ApplyInOrderWithTheEngineOnlyWhileRunning)
{
    const std::string ini = (root / "RE-RUZ125.ini").string();
    for (bool running : {false, true}) {
        SCOPED_TRACE(running);
        engine.calls.clear();
        SimState.worldLoaded = true;
        TOptionsForm f(window);
        f.FillOptionsForm(running);
        f.wireframecheck->setChecked(true);
        f.fogCheckBox->setChecked(true);
        f.top_te->setText("30");
        f.left_te->setText("40");
        f.width_te->setText("320");
        f.height_te->setText("200");
        f.rainGroup->button(1)->setChecked(true);
        f.RailTypeGroup->button(0)->setChecked(true);
        f.threeD_active_ChkBox->setChecked(false);
        f.accel3D_ChkBox->setChecked(true);
        std::string error;
        ASSERT_TRUE(f.ApplyOptions(ini, running, &error)) << error;
        EXPECT_TRUE(SimState.wireFrame);
        EXPECT_TRUE(SimState.wet);
        EXPECT_EQ(Physics.cleanliness, kRailClean);
        EXPECT_FALSE(SimState.view3D);
        EXPECT_TRUE(SimState.card3D);
        EXPECT_EQ(window->ThreeDPanel->geometry(), QRect(40, 30, 320, 200));
        EXPECT_EQ(window->InfoBoxLabel1->geometry(), QRect(380, 30, 120, 200));
        const TIniFile file(ini);
        EXPECT_EQ(file.ReadString("cab layout", "3d_top", ""), "30");
        EXPECT_EQ(file.ReadString("cab layout", "3d_left", ""), "40");
        EXPECT_EQ(file.ReadString("cab layout", "3d_height", ""), "200");
        EXPECT_EQ(file.ReadString("cab layout", "3d_width", ""), "320");
        const std::vector<std::string> expected =
            running ? std::vector<std::string>{"SetWireFrameRenderingMode()", "SetAtmosphericEffectIntensity(0.5)",
                                               "Use3DCardDetailed(2, 0, 0, 0, 0, 0)", "HideLogWindow()"}
                    : std::vector<std::string>{};
        EXPECT_EQ(engine.calls, expected);
    }
}

// A position that would put the 3D window off the cab window (793 x 524) is refused before
// anything is applied.
TEST_F(OptionsFormTest, BadPositionChangesNothing)
{
    const std::string ini = (root / "RE-RUZ125.ini").string();
    const struct {
        const char *top, *left, *width, *height;
        std::string message;
    } cases[] = {
        {"10", "10", "wide", "100",
         "Width must be a whole number from 1 to 783: the 3D window stays inside the cab window."},
        {"10", "10", "100000", "100000",
         "Width must be a whole number from 1 to 783: the 3D window stays inside the cab window."},
        {"10", "10", "-50", "100",
         "Width must be a whole number from 1 to 783: the 3D window stays inside the cab window."},
        {"10", "700", "100", "100",
         "Width must be a whole number from 1 to 93: the 3D window stays inside the cab window."},
        {"10", "10", "100", "600",
         "Height must be a whole number from 1 to 514: the 3D window stays inside the cab window."},
        {"-1", "10", "100", "100",
         "Top must be a whole number from 0 to 523: the 3D window stays inside the cab window."},
        {"10", "800", "100", "100",
         "Left must be a whole number from 0 to 792: the 3D window stays inside the cab window."},
    };
    window->ThreeDPanel->setGeometry(11, 22, 333, 144);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        TOptionsForm f(window);
        f.FillOptionsForm(false);
        f.wireframecheck->setChecked(true);
        f.top_te->setText(c.top);
        f.left_te->setText(c.left);
        f.width_te->setText(c.width);
        f.height_te->setText(c.height);
        std::string error;
        EXPECT_FALSE(f.ApplyOptions(ini, false, &error));
        EXPECT_EQ(error, c.message);
        EXPECT_FALSE(SimState.wireFrame);
        EXPECT_EQ(window->ThreeDPanel->geometry(), QRect(11, 22, 333, 144));
        EXPECT_FALSE(fs::exists(ini));
    }
    // The whole cab window is a valid place.
    TOptionsForm f(window);
    f.FillOptionsForm(false);
    f.top_te->setText("0");
    f.left_te->setText("0");
    f.width_te->setText("793");
    f.height_te->setText("524");
    std::string error;
    EXPECT_TRUE(f.ApplyOptions(ini, false, &error)) << error;
    EXPECT_EQ(window->ThreeDPanel->geometry(), QRect(0, 0, 793, 524));
}

// OK on a bad position keeps the window open with what was typed, and says why.
TEST_F(OptionsFormTest, OkOnABadPositionKeepsTheWindow)
{
    plat_message_box_set_headless(true);
    plat_message_box_clear_records();
    window->ThreeDPanel->setGeometry(11, 22, 333, 144);
    bool openAfterOk = false;
    QString typed;
    bool done = false;
    QTimer worker;
    QObject::connect(&worker, &QTimer::timeout, [&] {
        auto* form = qobject_cast<TOptionsForm*>(QApplication::activeModalWidget());
        if (!form || done)
            return;
        done = true;
        form->width_te->setText("100000");
        form->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        openAfterOk = form->isVisible();
        typed = form->width_te->text();
        form->reject();
    });
    worker.start(10);
    ShowOptionsForm();
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(typed, "100000");
    const auto boxes = plat_message_box_records();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Width must be a whole number from 1 to 782: the 3D window stays inside the cab window.");
    EXPECT_EQ(window->ThreeDPanel->geometry(), QRect(11, 22, 333, 144));
}

// The card's driver dialog may show while the card is switched on: the simulation is paused
// and SimLock free meanwhile, and runs again afterwards.
TEST_F(OptionsFormTest, CardIsSwitchedOnWithTheSimulationPausedAndTheLockFree)
{
    struct TCardEngine : TRecordingEngine3D {
        TVaruRor* window = nullptr;
        bool lockFree = false;
        bool ticking = true;
        void Use3DCardDetailed(int a, int b, int c, int d, int e, int f) override
        {
            TRecordingEngine3D::Use3DCardDetailed(a, b, c, d, e, f);
            lockFree = std::async(std::launch::async, [] {
                           const bool free = SimLock.try_lock();
                           if (free)
                               SimLock.unlock();
                           return free;
                       }).get();
            ticking = window->HiResTimer1.Enabled();
        }
    } card;
    card.window = window;
    SetEngine3D(&card);
    SimState.worldLoaded = true;
    SimState.card3D = true;
    std::atomic<int> ticks{0};
    window->HiResTimer1.OnTimer = [&] { ++ticks; };
    window->HiResTimer1.SetEnabled(true);
    bool done = false;
    QTimer worker;
    QObject::connect(&worker, &QTimer::timeout, [&] {
        auto* form = qobject_cast<TOptionsForm*>(QApplication::activeModalWidget());
        if (!form || done)
            return;
        done = true;
        form->accept();
    });
    worker.start(10);
    ShowOptionsForm();
    const bool tickingAfter = window->HiResTimer1.Enabled();
    window->HiResTimer1.SetEnabled(false);
    EXPECT_EQ(card.CallsOf("Use3DCardDetailed").size(), 1u);
    EXPECT_TRUE(card.lockFree);
    EXPECT_FALSE(card.ticking);
    EXPECT_TRUE(tickingAfter);
    SetEngine3D(&engine);
}

}  // namespace
