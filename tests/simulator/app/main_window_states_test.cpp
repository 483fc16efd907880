// The main window's states: commands per state, restarts, an empty train, sound errors of a
// tick, and the order of closing.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "../../common/box_texts.h"
#include "../../common/recording_engine3d.h"
#include "../../common/route_files.h"
#include "../shared/reset_simulation.h"
#include "app/main_window.h"
#include "app/sim_hooks.h"
#include "app/sim_state.h"
#include "app/sound_fx.h"
#include "cab/traction_model.h"
#include "platform/clock.h"
#include "platform/msgbox.h"
#include "train/physics.h"
#include "train/vehicle.h"

namespace {

namespace fs = std::filesystem;

class MainWindowStates : public testing::Test {
protected:
    void SetUp() override
    {
        ResetSimulation();
        plat_message_box_clear_records();
        savedDir = QDir::currentPath();
        root = fs::weakly_canonical(fs::path(DROVIK_TEST_BINARY_DIR) / "states_root");
        fs::remove_all(root);
        fs::create_directories(root);
        WriteRouteFiles(root);
        SimState.paths.root = root.string();
        SetEngine3D(&engine);
    }
    void TearDown() override
    {
        SetEngine3D(nullptr);
        QDir::setCurrent(savedDir);
        plat_clock_override(nullptr, nullptr);
        ResetSimState();
    }
    static void GiveTrain()
    {
        std::lock_guard guard(SimLock);
        Consist.count = 1;
        Consist.tonnage = 148;
        Consist.length = 32;
    }
    QString savedDir;
    fs::path root;
    TRecordingEngine3D engine;
};

TEST_F(MainWindowStates, EveryCommandIsOn)
{
    TVaruRor w;
    for (QAction* on : {w.NewSituation2, w.LoadSituation1, w.SaveSituation1, w.Open1, w.Quit1,
                        w.SelectTrain1, w.KestrovaneHelp1, w.About1})
        EXPECT_TRUE(on->isEnabled()) << on->text().toStdString();
    for (QAction* on : {w.LocoPhysics1, w.CabLayout1, w.Insert1, w.Edit_menu, w.Jumpto1, w.Options1})
        EXPECT_TRUE(on->isEnabled()) << on->text().toStdString();
    EXPECT_TRUE(w.Button3->isEnabled()) << "Timetable";
    EXPECT_TRUE(w.Button1->isEnabled()) << "test lights";

    // Stopping enables "Cab Layout . . ." only when the editor exists.
    GiveTrain();
    w.StartStopSim();
    EXPECT_FALSE(w.CabLayout1->isEnabled());
    w.StartStopSim();
    EXPECT_TRUE(w.CabLayout1->isEnabled());
}

TEST_F(MainWindowStates, ReadyRunningStoppedRunning)
{
    SimState.tractionModel = "RE-RUZ125";
    SimState.paths.root = root.string();
    GiveTrain();
    TVaruRor w;
    SetupDriveMode();  // no such model under the root
    EXPECT_EQ(w.windowTitle(), "RE-RUZ125: ERROR!");
    EXPECT_FALSE(w.CIT_menu->menuAction()->isEnabled());
    EXPECT_TRUE(w.Button1->isHidden());
    for (QAction* a : {w.LoadSituation1, w.NewSituation2, w.SelectTrain1})
        EXPECT_TRUE(a->isEnabled());

    // The first start loads: the working folder becomes the root, the random numbers restart.
    const std::mt19937 before = SimRandom;
    w.StartStopSim();
    EXPECT_EQ(w.windowTitle(), "RE-RUZ125: Sim running . . .");
    EXPECT_EQ(w.Open1->text(), "Stop Sim");
    EXPECT_TRUE(w.HiResTimer1.Enabled());
    EXPECT_EQ(QDir::currentPath().toStdString(), root.string());
    {
        std::lock_guard guard(SimLock);
        EXPECT_NE(SimRandom, before);
        SimState.worldLoaded = true;  // as placing the train does once world and route are in
    }

    w.StartStopSim();
    EXPECT_EQ(w.windowTitle(), "RE-RUZ125: Sim stopped.");
    EXPECT_EQ(w.Open1->text(), "Start Sim");
    EXPECT_FALSE(w.HiResTimer1.Enabled());

    // A restart reloads nothing and keeps the train where it is.
    QDir::setCurrent(savedDir);
    std::mt19937 seeded;
    {
        std::lock_guard guard(SimLock);
        seeded = SimRandom;
        Physics.odometer = 1.5;
    }
    w.StartStopSim();
    EXPECT_EQ(w.windowTitle(), "RE-RUZ125: Sim running . . .");
    EXPECT_EQ(QDir::currentPath(), savedDir);
    {
        std::lock_guard guard(SimLock);
        EXPECT_EQ(SimRandom, seeded);
        EXPECT_GE(Physics.odometer, 1.5);
        EXPECT_TRUE(SimState.worldLoaded);
    }
    w.StartStopSim();
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(MainWindowStates, EmptyTrainDoesNotStart)
{
    const struct {
        double tonnage, length;
    } trains[] = {{0, 0}, {0, 40}, {120, 0}};
    for (const auto& t : trains) {
        plat_message_box_clear_records();
        {
            std::lock_guard guard(SimLock);
            Consist.tonnage = t.tonnage;
            Consist.length = t.length;
            Physics.mass = 7;
        }
        TVaruRor w;
        w.StartStopSim();
        EXPECT_EQ(BoxTexts(), std::vector<std::string>(
                                 {"The train has no vehicles to drive (its mass or length is 0).\r"
                                  "Choose a situation or make up a train with \"Train Consist . . .\" first."}));
        EXPECT_FALSE(w.HiResTimer1.Enabled());
        EXPECT_EQ(w.windowTitle(), "Varu Ror");
        EXPECT_EQ(w.Open1->text(), "Start Sim");
        EXPECT_TRUE(w.CabLayout1->isEnabled());
        std::lock_guard guard(SimLock);
        EXPECT_EQ(Physics.mass, 7.0);
        EXPECT_FALSE(SimState.worldLoaded);
    }
}

// Boxes shown through a host handler, with the thread that asked for each.
std::vector<std::thread::id> boxThreads;
std::vector<bool> lockFreeAtBox;  // whether the timer thread could take SimLock while a box was up
TVaruRor* nestedWindow = nullptr;
int AnswerAndRecord(const char*, const char*, int, int)
{
    boxThreads.push_back(std::this_thread::get_id());
    std::thread([] {
        const bool free = SimLock.try_lock();
        if (free)
            SimLock.unlock();
        lockFreeAtBox.push_back(free);
    }).join();
    // While a real box is open its event loop runs the next queued second.
    if (nestedWindow)
        nestedWindow->SecondTimerWork();
    return PLAT_ANSWER_OK;
}
int ChatterAlways(int range)
{
    return range == 55 ? 1 : 0;
}

TEST_F(MainWindowStates, SoundErrorOfATickIsShownOnceOnTheGuiThread)
{
    SimState.paths.root = root.string();  // no sounds folder: every sample fails to load
    GiveTrain();
    TVaruRor w;
    w.StartStopSim();
    ASSERT_TRUE(w.HiResTimer1.Enabled());
    boxThreads.clear();
    lockFreeAtBox.clear();
    nestedWindow = &w;
    SoundSetRandom(ChatterAlways);
    plat_message_box_set_handler(AnswerAndRecord);
    plat_message_box_set_headless(false);
    {
        std::lock_guard guard(SimLock);
        SimState.soundOn = true;
    }
    SoundAvailable = true;
    w.SecondTimerWork();
    // Some more seconds of the running simulation.
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(2500);
    while (std::chrono::steady_clock::now() < end) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    w.StartStopSim();
    plat_message_box_set_headless(true);
    plat_message_box_set_handler(nullptr);
    SoundSetRandom(nullptr);
    nestedWindow = nullptr;

    const std::vector<std::string> texts = BoxTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("chat1.wav\rError: "), std::string::npos) << texts[0];
    EXPECT_EQ(boxThreads, std::vector<std::thread::id>({std::this_thread::get_id()}));
    EXPECT_EQ(lockFreeAtBox, std::vector<bool>({true}));
    // Off for good: drive mode does not switch it on again.
    EXPECT_FALSE(SoundAvailable);
    SetupDriveMode();
    std::lock_guard guard(SimLock);
    EXPECT_FALSE(SimState.soundOn);
}

struct CloseSnapshot {
    bool timerEnabled;
    bool situationWritten;
    bool debugOpen;
};
std::vector<CloseSnapshot> closeSnapshots;
TVaruRor* closingWindow = nullptr;
fs::path closingSituation;
void SnapshotSleep(uint32_t)
{
    std::lock_guard guard(SimLock);
    closeSnapshots.push_back({closingWindow->HiResTimer1.Enabled(),
                              fs::exists(closingSituation), SimState.routeDebug != nullptr});
}

TEST_F(MainWindowStates, CloseOrder)
{
    fs::create_directories(root / "routes" / "Tarrow-Venn");
    fs::create_directories(root / "rail yard");
    std::ofstream(root / "routes" / "Tarrow-Venn" / "Tarrow-Venn.dat") << "x";
    std::ofstream(root / "routes" / "Tarrow-Venn" / "0905 Freight.txt") << "x";
    std::ofstream(root / "rail yard" / "Demo Freight.trn") << "x";
    const std::string r = root.string();
    SimState.paths.root = r;
    SimState.paths.route = r + "\\routes\\Tarrow-Venn\\Tarrow-Venn.dat";
    SimState.paths.timetable = r + "\\routes\\Tarrow-Venn\\0905 Freight.txt";
    SimState.paths.train = r + "\\rail yard\\Demo Freight.trn";
    ASSERT_TRUE(OpenRouteDebugFile());
    GiveTrain();
    closingSituation = root / "situations" / "Previous Situation.txt";
    closeSnapshots.clear();
    TVaruRor w;
    closingWindow = &w;
    plat_clock_override(nullptr, SnapshotSleep);
    w.StartStopSim();
    w.close();
    closingWindow = nullptr;

    // The timer is off before the wait; the situation is saved and the debug file closed after.
    ASSERT_EQ(closeSnapshots.size(), 1u);
    EXPECT_FALSE(closeSnapshots[0].timerEnabled);
    EXPECT_FALSE(closeSnapshots[0].situationWritten);
    EXPECT_TRUE(closeSnapshots[0].debugOpen);
    EXPECT_TRUE(fs::exists(closingSituation));
    EXPECT_EQ(SimState.routeDebug, nullptr);
    // A second close does nothing more.
    w.close();
    EXPECT_EQ(closeSnapshots.size(), 1u);
}

}  // namespace
