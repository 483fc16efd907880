// Cab items: loading, binding by function name, the per-second exchange and the lever maps.
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>

#include <filesystem>
#include <fstream>
#include <initializer_list>

#include "app/ini_file.h"
#include "app/main_window.h"
#include "app/sim_state.h"
#include "cab/cab_item_files.h"
#include "cab/cab_items.h"
#include "cab/traction_model.h"
#include "cab_fixture.h"
#include "train/brake.h"
#include "train/physics.h"

namespace {

class CabBindingTest : public CabTest {
protected:
    void LoadStandard(const std::string& traction = "ELE", const std::string& brake = "auto")
    {
        WriteStandardModel(traction, brake);
        LoadTractionModel("TESTLOCO");
        ASSERT_EQ(CabItems.leverCount, 4);
    }
    TvexaTracker* Lever(int n) { return CabItems.levers[size_t(n - 1)]; }

    struct BrakeStep {
        int handle, valve;
        double reduction;
    };
    // Each handle of the brake lever (the third) gives its valve position and reduction.
    void ExpectBrakeSteps(std::initializer_list<BrakeStep> steps)
    {
        for (const BrakeStep& step : steps) {
            Brake.reduction = 0;
            Lever(3)->SetValue(step.handle);
            UpdateCabItems();
            EXPECT_EQ(BrakeValve, step.valve) << step.handle;
            EXPECT_EQ(Brake.reduction, step.reduction) << step.handle;
        }
    }
};

TEST_F(CabBindingTest, FunctionNamesBindTheirVariables)
{
    const struct {
        const char* function;
        TSimSlot* slot;
    } cases[] = {{"throttle-brake", &Physics.throttle}, {"throttle", &Physics.throttle},
                 {"controller", &Physics.throttle},     {"reverser", &Physics.reverser},
                 {"autobrake", &AutoBrake},             {"indbrake", &IndBrake},
                 {"speed", &Physics.speed},             {"wheelslip", &Physics.wheelslip},
                 {"motorAmp", &Physics.motorAmp},       {"BPpress", &Brake.BP},
                 {"BCpress", &Brake.BC},                {"ERpress", &Brake.ER},
                 {"MRpress", &Brake.MR},                {"BPflow", &Brake.FLOW},
                 {"horn", &Horn},                       {"sander", &Physics.sander},
                 {"brakeAmp", &BrakeAmp},               {"lineVolt", &Physics.lineVolt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.function);
        EXPECT_TRUE(BindSimVariable(c.function, "g7"));
        EXPECT_EQ(c.slot->name, "g7");
    }
    EXPECT_FALSE(BindSimVariable("Speed", "g1"));  // names compare with case
    EXPECT_FALSE(BindSimVariable("", "g1"));
    EXPECT_EQ(Physics.speed.name, "g7");
    BindSimVariable("speed", "g10xyz");
    EXPECT_EQ(Physics.speed.name, "g10x");  // at most 4 characters
}

TEST_F(CabBindingTest, LoadedItemsArePlacedNamedAndBound)
{
    LoadStandard();
    EXPECT_EQ(CabItems.gaugeCount, 2);
    EXPECT_EQ(CabItems.pushCount, 1);
    EXPECT_EQ(CabItems.toggleCount, 1);
    EXPECT_EQ(CabItems.lightCount, 1);
    EXPECT_EQ(Lever(1)->objectName(), "control1");
    EXPECT_EQ(Lever(1)->pos(), QPoint(50, 300));  // the value gives top before left
    EXPECT_EQ(Lever(1)->toolTip(), "throttle-brake");
    EXPECT_EQ(Lever(1)->parentWidget(), static_cast<QWidget*>(window->cab_bkgd));
    EXPECT_EQ(CabItems.gauges[1]->objectName(), "gauge2");
    EXPECT_EQ(CabItems.gauges[1]->geometry(), QRect(520, 240, 40, 120));
    EXPECT_EQ(CabItems.gauges[1]->MaxValue(), 160);
    EXPECT_EQ(CabItems.lights[0]->Shape(), stCircle);
    EXPECT_EQ(Physics.throttle.name, "c1");
    EXPECT_EQ(Physics.reverser.name, "c2");
    EXPECT_EQ(AutoBrake.name, "c3");
    EXPECT_EQ(IndBrake.name, "c4");
    EXPECT_EQ(Physics.speed.name, "g1");
    EXPECT_EQ(Brake.BP.name, "g2");
    EXPECT_EQ(Horn.name, "p1");
    EXPECT_EQ(Physics.sander.name, "t1");
    EXPECT_EQ(Physics.wheelslip.name, "l1");
    EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(CabBindingTest, GaugesShowTheirSlotsAfterTheUpdate)
{
    LoadStandard();
    Physics.speed.value = 42.6;
    Brake.BP.value = 300;  // beyond the scale: the gauge keeps to its maximum
    UpdateCabItems();
    EXPECT_EQ(CabItems.gauges[0]->Progress(), 43);
    EXPECT_EQ(CabItems.gauges[1]->Progress(), 160);
    EXPECT_DOUBLE_EQ(Physics.speed.value, 42.6);  // shown, not read back
}

TEST_F(CabBindingTest, SwitchesAreReadIntoTheirSlots)
{
    LoadStandard();
    CabItems.toggleSwitches[0]->SetDown(true);
    UpdateCabItems();
    EXPECT_EQ(Physics.sander.value, 1.0);
    CabItems.toggleSwitches[0]->SetDown(false);
    UpdateCabItems();
    EXPECT_EQ(Physics.sander.value, 0.0);

    // The push switch reads 1 only while it is held; the horn is then reset.
    TBitBtn* horn = CabItems.pushSwitches[0];
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, horn->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(horn, &press);
    EXPECT_EQ(horn->Tag(), 1);
    UpdateSimSlot(Horn);
    EXPECT_EQ(Horn.value, 1.0);
    UpdateCabItems();
    EXPECT_EQ(Horn.value, 0.0);
    QMouseEvent release(QEvent::MouseButtonRelease, at, horn->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(horn, &release);
    UpdateSimSlot(Horn);
    EXPECT_EQ(Horn.value, 0.0);
}

TEST_F(CabBindingTest, LightsSwitchWithinTheirColourPairs)
{
    LoadStandard();
    TShape* light = CabItems.lights[0];
    const struct {
        TColor from;
        double value;
        TColor to;
    } cases[] = {{0x00FFFF, 0.0, 0x008080}, {0x00FFFF, 0.4, 0x008080}, {0x00FFFF, 2.0, 0x00FFFF},
                 {0x008080, 1.0, 0x00FFFF}, {0x0000FF, 0.0, 0x000080}, {0x008000, 0.0, 0x00FF00},
                 {0xFF0000, 0.0, 0x800000}, {0xFFFFFF, 0.0, 0x808080}, {0x123456, 0.0, 0x123456},
                 {0x0000FF, 1.0, 0x0000FF}};
    for (const auto& c : cases) {
        light->SetBrushColor(c.from);
        SetLightItem(light, c.value);
        EXPECT_EQ(light->BrushColor(), c.to) << std::hex << c.from << " " << c.value;
    }
    // Bound to wheel slip: the update shows the slot.
    light->SetBrushColor(0x000080);
    Physics.wheelslip.value = 1;
    UpdateCabItems();
    EXPECT_EQ(light->BrushColor(), 0x0000FFu);
}

TEST_F(CabBindingTest, TestLightsSwapEveryVisibleLight)
{
    LoadStandard();
    CycleTestLights();
    EXPECT_EQ(CabItems.lights[0]->BrushColor(), 0x000080u);
    CycleTestLights();
    EXPECT_EQ(CabItems.lights[0]->BrushColor(), 0x0000FFu);
    CabItems.lights[0]->hide();
    CycleTestLights();
    EXPECT_EQ(CabItems.lights[0]->BrushColor(), 0x0000FFu);
}

TEST_F(CabBindingTest, ElectricLeverGivesNotchesAboveEightAndDynamicBrakeBelow)
{
    LoadStandard("ELE");
    const struct {
        int lever;
        double throttle, dynamic;
    } cases[] = {{8, 0, 0}, {12, 4, 0}, {3, 0, 5}, {0, 0, 8}, {16, 8, 0}};
    for (const auto& c : cases) {
        Lever(1)->SetValue(c.lever);
        UpdateCabItems();
        EXPECT_EQ(Physics.throttle.value, c.throttle) << c.lever;
        EXPECT_EQ(DynBrakeLevel.value, c.dynamic) << c.lever;
    }
    EXPECT_NEAR(Physics.lineVolt.value, 25.0, 8.0);
}

TEST_F(CabBindingTest, DieselLeverIsOneAboveTheNotch)
{
    LoadStandard("DEL");
    Lever(1)->SetValue(5);
    Lever(4)->SetValue(3);
    UpdateCabItems();
    EXPECT_EQ(Physics.throttle.value, 4);
    EXPECT_EQ(IndBrake.value, 3);
}

TEST_F(CabBindingTest, SubwayLeverMapsToNotchesAndBrakeSteps)
{
    LoadStandard("SUB", "ep");
    const struct {
        int lever;
        double throttle, autobrake;
        int valve;
        double reduction;
    } cases[] = {{4, 0, 0, bvRelease, 0},  {3, 2, 0, bvRelease, 0},  {1, 8, 0, bvRelease, 0},
                 {6, 0, 2, bvService, 10}, {8, 0, 4, bvService, 25}, {5, 0, 1, bvService, 5}};
    for (const auto& c : cases) {
        Brake.reduction = 0;
        Lever(1)->SetValue(c.lever);
        UpdateCabItems();
        EXPECT_EQ(Physics.throttle.value, c.throttle) << c.lever;
        EXPECT_EQ(AutoBrake.value, c.autobrake) << c.lever;
        EXPECT_EQ(DynBrakeLevel.value, 2 * c.autobrake) << c.lever;
        EXPECT_EQ(IndBrake.value, 0) << c.lever;
        EXPECT_EQ(BrakeValve, c.valve) << c.lever;
        EXPECT_EQ(Brake.reduction, c.reduction) << c.lever;
    }
}

TEST_F(CabBindingTest, WithoutEpBrakeTheHandleStepsDecideTheValve)
{
    LoadStandard("SUB", "auto");
    Lever(1)->SetValue(6);  // automatic brake handle 2: running
    UpdateCabItems();
    EXPECT_EQ(BrakeValve, bvRunning);

    FreeCabItems();
    LoadStandard("ELE", "auto");
    ExpectBrakeSteps({{1, bvRelease, 0}, {2, bvRunning, 0}, {3, bvLap, 0},
                      {4, bvService, 10}, {5, bvService, 25}, {6, bvEmergency, 0}});
    BrakeValve = bvLap;
    Lever(3)->SetValue(7);  // no such step: the valve stays
    UpdateCabItems();
    EXPECT_EQ(BrakeValve, bvLap);
}

TEST_F(CabBindingTest, HstBrakeLeverSteps)
{
    LoadStandard("HST", "ep");
    ExpectBrakeSteps({{1, bvRelease, 0}, {2, bvService, 3}, {5, bvService, 14}, {7, bvService, 22}});
    Lever(1)->SetValue(3);
    UpdateCabItems();
    EXPECT_EQ(Physics.throttle.value, 2);
}

TEST_F(CabBindingTest, WithoutAThrottleLeverTheNotchIsLeftAlone)
{
    for (int type : {ttDEL, ttELE, ttSUB, ttHST}) {
        TractionType = type;
        Physics.throttle.value = 3;
        UpdateCabItems();
        UpdateCabItems();
        EXPECT_EQ(Physics.throttle.value, 3) << type;
    }
}

TEST_F(CabBindingTest, ReverserSetsTheDirectionOnlyAtRest)
{
    LoadStandard();
    const struct {
        int lever;
        double direction;
    } cases[] = {{3, -1.0}, {2, 0.0}, {1, 1.0}, {0, 1.0}};
    for (const auto& c : cases) {
        Lever(2)->SetValue(c.lever);
        UpdateCabItems();
        EXPECT_EQ(Physics.direction.value, c.direction) << c.lever;
    }
    Physics.moving = 1;
    Lever(2)->SetValue(3);
    UpdateCabItems();
    EXPECT_EQ(Physics.direction.value, 1.0);
}

TEST_F(CabBindingTest, ItemTenBindsAsTenAndAnEleventhIsRefused)
{
    std::string layout;
    for (int n = 1; n <= 11; ++n)
        layout += "gauge" + std::to_string(n) + "=TESTLOCO." +
                  (n == 10 ? "speed" : "g" + std::to_string(n)) + ", 10:" +
                  std::to_string(10 * n) + "\r\n";
    WriteIni("TESTLOCO", layout);
    for (int n = 1; n <= 11; ++n) WriteItem("TESTLOCO.g" + std::to_string(n), GaugeFile());
    WriteItem("TESTLOCO.speed", GaugeFile());
    LoadCabLayout(IniPath("TESTLOCO"));
    EXPECT_EQ(CabItems.gaugeCount, 10);
    EXPECT_EQ(Physics.speed.name, "g10");
    EXPECT_EQ(BoxTexts(), std::vector<std::string>({"Cab item gauge11 not loaded: at most 10 items of a type."}));

    Physics.speed.value = 77;
    UpdateCabItems();
    EXPECT_EQ(CabItems.gauges[9]->Progress(), 77);
    EXPECT_EQ(CabItems.gauges[0]->Progress(), 0);
}

TEST_F(CabBindingTest, LeverFramesFollowTheValueAndAreClamped)
{
    LoadStandard();
    TvexaTracker* lever = Lever(1);
    const auto shown = [&] { return lever->BackBitmap().pixel(20, 60) & 0xFFFFFF; };
    EXPECT_EQ(shown(), FrameColour(0));
    const struct {
        int value, frame;
    } cases[] = {{5, 4}, {17, 16}, {0, 0}, {-3, 0}, {40, 16}};
    for (const auto& c : cases) {
        LeverChanged(lever, c.value);
        EXPECT_EQ(shown(), FrameColour(c.frame)) << c.value;
    }
}

// A lever's frames come from its own file only; the item list's image name serves the
// editor, which fills the list on request.
TEST_F(CabBindingTest, LeverWithoutImageListLoadsWithoutFrames)
{
    WriteIni("TESTLOCO", "control1=TESTLOCO.throttle, 10:10\r\n");
    CitFile file = LeverFile(2, 0);
    file.entries.pop_back();  // no image list
    WriteItem("TESTLOCO.throttle", file);
    std::filesystem::create_directories(root / "cab items" / "images");
    for (int k = 1; k <= 3; ++k) {
        const std::string bmp = SolidBitmap(40, 120, FrameColour(k - 1));
        std::ofstream(root / "cab items" / "images" / ("lever" + std::to_string(k) + ".bmp"),
                      std::ios::binary)
            << bmp;
    }
    WriteItemBitmapName("control1", "lever");
    EXPECT_EQ(ReadItemBitmapName("control1"), "lever");
    EXPECT_EQ(ReadItemBitmapName("control2"), "default");
    LoadCabLayout(IniPath("TESTLOCO"));
    ASSERT_EQ(CabItems.leverCount, 1);
    EXPECT_TRUE(CabItems.leverImages[0].frames.empty());
    EXPECT_TRUE(BoxTexts().empty());

    ASSERT_TRUE(LoadLeverImages(1, "lever"));
    EXPECT_EQ(CabItems.leverImages[0].frames.size(), 3u);
    LeverChanged(Lever(1), 3);
    EXPECT_EQ(Lever(1)->BackBitmap().pixel(1, 1) & 0xFFFFFF, FrameColour(2));

    // A missing frame file stops the list with its message.
    std::filesystem::remove(root / "cab items" / "images" / "lever2.bmp");
    EXPECT_FALSE(LoadLeverImages(1, "lever"));
    EXPECT_EQ(BoxTexts().back(), "Cannot open imagelist file: lever2");
    EXPECT_EQ(CabItems.leverImages[0].frames.size(), 3u);  // the frames it had
}

TEST_F(CabBindingTest, SavedLeverReadsBackTheSame)
{
    LoadStandard();
    Lever(1)->SetValue(9);
    const std::string path = (root / "cab items" / "copy.cit").string();
    ASSERT_TRUE(SaveControlItem(path, 1));
    TvexaTracker lever;
    TImageList images;
    ReadLeverItem(cit_read_file(path), lever, images);
    EXPECT_EQ(lever.Maximum(), 16);
    EXPECT_EQ(lever.Value(), 9);
    EXPECT_EQ(lever.Orientation(), vtbVertical);
    EXPECT_EQ(lever.geometry(), Lever(1)->geometry());
    EXPECT_EQ(lever.toolTip(), "throttle-brake");
    ASSERT_EQ(images.frames.size(), 17u);
    for (int k : {0, 5, 16})
        EXPECT_EQ(images.frames[size_t(k)].pixel(3, 3) & 0xFFFFFF, FrameColour(k));
}

TEST_F(CabBindingTest, AnItemItsFileHidesStaysHidden)
{
    WriteIni("TESTLOCO", "light1=TESTLOCO.shown, 10:10\r\nlight2=TESTLOCO.hidden, 10:40\r\n");
    WriteItem("TESTLOCO.shown", LightFile(0x0000FF));
    CitFile hidden = LightFile(0x0000FF);
    hidden.entries[0].component.set("Visible", CitValue::make_boolean(false));
    WriteItem("TESTLOCO.hidden", hidden);
    LoadCabLayout(IniPath("TESTLOCO"));
    ASSERT_EQ(CabItems.lightCount, 2);
    EXPECT_TRUE(CabItems.lights[0]->isVisibleTo(window->cab_bkgd));
    EXPECT_FALSE(CabItems.lights[1]->isVisibleTo(window->cab_bkgd));
    CycleTestLights();  // only visible lights take part
    EXPECT_EQ(CabItems.lights[0]->BrushColor(), 0x000080u);
    EXPECT_EQ(CabItems.lights[1]->BrushColor(), 0x0000FFu);
}

TEST_F(CabBindingTest, MissingOrBrokenItemFilesStopTheirType)
{
    WriteIni("TESTLOCO",
             "control1=TESTLOCO.throttle, 10:10\r\ncontrol2=TESTLOCO.absent, 10:10\r\n"
             "control3=TESTLOCO.reverser, 10:10\r\ngauge1=TESTLOCO.broken, 10:10\r\n"
             "light1=TESTLOCO.nodot, 10:10\r\nlight2=nodot, 10:10\r\n");
    WriteItem("TESTLOCO.throttle", LeverFile(16, 17));
    WriteItem("TESTLOCO.reverser", LeverFile(3, 4));
    std::ofstream(root / "cab items" / "TESTLOCO.broken.cit", std::ios::binary) << "garbage";
    WriteItem("TESTLOCO.nodot", LightFile(0x0000FF));
    WriteItem("nodot", LightFile(0x0000FF));
    LoadCabLayout(IniPath("TESTLOCO"));
    EXPECT_EQ(CabItems.leverCount, 1);
    EXPECT_EQ(CabItems.gaugeCount, 0);
    EXPECT_EQ(CabItems.lightCount, 2);
    EXPECT_TRUE(Physics.reverser.name.empty());
    EXPECT_EQ(CabItems.lights[1]->toolTip(), "");  // a stem without "." binds nothing
    const std::string missing = SimState.paths.root + "\\cab items\\TESTLOCO.absent.cit";
    const std::string broken = SimState.paths.root + "/cab items/TESTLOCO.broken.cit";
    EXPECT_EQ(BoxTexts(), std::vector<std::string>(
                              {"CIT file not found: \r\" " + missing + " \"",
                               "bad cab item file \"" + broken + "\": resource entry 1 (at offset 0): "
                               "truncated resource type: needs 1 bytes, 0 left at offset 7"}));
}

TEST_F(CabBindingTest, UnloadFreesItemsAndClearsTheLeverBindings)
{
    LoadStandard();
    FreeCabItems();
    EXPECT_EQ(CabItems.leverCount, 0);
    EXPECT_EQ(CabItems.levers[0], nullptr);
    EXPECT_TRUE(Physics.throttle.name.empty());
    EXPECT_TRUE(AutoBrake.name.empty());
    EXPECT_TRUE(Physics.reverser.name.empty());
    EXPECT_EQ(Physics.speed.name, "g1");  // stays, but its item slot is empty
    UpdateCabItems();
}

}  // namespace
