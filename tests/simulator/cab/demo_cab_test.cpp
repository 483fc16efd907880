// The demo cab: its model loads with picture and items, and its levers drive the train.
#include <QLabel>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "app/main_window.h"
#include "app/sim_state.h"
#include "app/sim_tick.h"
#include "cab/cab_items.h"
#include "cab/cab_layout.h"
#include "cab/traction_model.h"
#include "cab_fixture.h"
#include "demo_cab.h"
#include "train/brake.h"
#include "train/physics.h"
#include "train/vehicle.h"

namespace {

namespace fs = std::filesystem;

class DemoCabTest : public CabTest {
protected:
    void SetUp() override
    {
        CabTest::SetUp();
        fs::create_directories(root / "traction" / "RE-RUZ125");
        std::ofstream(IniPath("RE-RUZ125"), std::ios::binary)
            << "[general]\r\ntraction_type=ELE\r\n\r\n[loco physics]\r\nmass=88\r\n"
               "brake_type=auto\r\n";
        ASSERT_TRUE(WriteDemoCab(root.string(), "RE-RUZ125"));

        ClearConsist(Consist);
        TVehicleRec loco;
        loco.name = "RE-RUZ125";
        loco.isTraction = 1;
        loco.mass = 88;
        loco.length = 19.5;
        loco.maxTraction = 300;
        loco.power = 5000;
        loco.maxBrake = 250;
        loco.numAxles = 4;
        AddVehicle(Consist, 0, loco);
    }
    void TearDown() override
    {
        ClearConsist(Consist);
        CabTest::TearDown();
    }
};

TEST_F(DemoCabTest, ModelLoadsWithPictureAndEveryItem)
{
    SetupDriveMode();
    EXPECT_EQ(window->windowTitle(), "RE-RUZ125: Ready");
    EXPECT_EQ(window->ThreeDPanel->geometry(), QRect(0, 0, 579, 218));
    EXPECT_EQ(window->cab_bkgd->pixmap().size(), QSize(793, 524));
    EXPECT_EQ(CabItems.leverCount, 4);
    EXPECT_EQ(CabItems.gaugeCount, 4);
    EXPECT_EQ(CabItems.pushCount, 1);
    EXPECT_EQ(CabItems.toggleCount, 1);
    EXPECT_EQ(CabItems.lightCount, 2);
    EXPECT_NE(window->cab_bkgd->findChild<QWidget*>("analog_clock"), nullptr);
    EXPECT_EQ(Physics.throttle.name, "c1");
    EXPECT_EQ(Physics.reverser.name, "c2");
    EXPECT_EQ(AutoBrake.name, "c3");
    EXPECT_EQ(IndBrake.name, "c4");
    EXPECT_EQ(Physics.speed.name, "g1");
    EXPECT_EQ(Horn.name, "p1");
    EXPECT_TRUE(BoxTexts().empty());
    // Every lever has a frame per position; no item lies over the 3D window.
    for (int n = 0; n < CabItems.leverCount; ++n) {
        const TvexaTracker* lever = CabItems.levers[size_t(n)];
        EXPECT_EQ(int(CabItems.leverImages[size_t(n)].frames.size()),
                  lever->Maximum() - lever->Minimum() + 1);
    }
    for (QWidget* item : window->cab_bkgd->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (item->objectName().startsWith("control") || item->objectName().startsWith("gauge")) {
            EXPECT_FALSE(item->geometry().intersects(QRect(0, 0, 579, 218)))
                << item->objectName().toStdString();
        }
    }
}

// The red handle of a lever's picture lies under the control's thumb frame.
bool HandleUnderThumb(const TvexaTracker* lever)
{
    const TGaugeRect thumb = lever->ThumbRect();
    const QColor c = lever->BackBitmap().pixelColor((thumb.left + thumb.right) / 2,
                                                    (thumb.top + thumb.bottom) / 2);
    return c.red() > 120 && c.green() < 90 && c.blue() < 90;
}

TEST_F(DemoCabTest, LeverPicturesFollowTheirThumbs)
{
    // The editor loads the levers as stored, without drive mode's start positions.
    EditCabLayout("RE-RUZ125");
    ASSERT_EQ(CabItems.leverCount, 4);
    for (int n = 1; n <= CabItems.leverCount; ++n) {
        TvexaTracker* lever = CabItems.levers[size_t(n - 1)];
        SCOPED_TRACE(lever->toolTip().toStdString());
        EXPECT_TRUE(HandleUnderThumb(lever)) << "as loaded, at " << lever->Value();
        for (int v = lever->Minimum(); v <= lever->Maximum(); ++v) {
            lever->SetValue(v);
            LeverChanged(lever, v);
            EXPECT_TRUE(HandleUnderThumb(lever)) << v;
        }
    }
}

// Resting on either end of its scale, a needle leaves the dial's numbers and caption (the
// bright marks inside the ticks) as the face shows them.
TEST_F(DemoCabTest, NeedlesAtTheScaleEndsCoverNoLabel)
{
    SetupDriveMode();
    ASSERT_EQ(CabItems.gaugeCount, 4);
    for (int n = 1; n <= CabItems.gaugeCount; ++n) {
        TQuorrGauge* gauge = CabItems.gauges[size_t(n - 1)];
        SCOPED_TRACE(gauge->toolTip().toStdString());
        gauge->SetShowText(false);
        const QImage face = gauge->BackBitmap().convertToFormat(QImage::Format_RGB32);
        for (int value : {gauge->MinValue(), gauge->MaxValue()}) {
            gauge->SetProgress(value);
            const QImage drawn = gauge->grab().toImage().convertToFormat(QImage::Format_RGB32);
            int covered = 0;
            for (int y = 0; y < face.height(); ++y)
                for (int x = 0; x < face.width(); ++x) {
                    const double r = std::hypot(x - face.width() / 2.0, y - face.height() / 2.0);
                    const bool ink = r < 36 && qGray(face.pixel(x, y)) > 110;
                    covered += ink && drawn.pixel(x, y) != face.pixel(x, y);
                }
            EXPECT_EQ(covered, 0) << value;
        }
    }
}

TEST_F(DemoCabTest, FullPowerMakesTheSpeedGaugeRiseEverySecond)
{
    SetupDriveMode();
    SumConsist(Consist);
    Physics.mass = Consist.tonnage;
    SimState.view3D = false;
    CabItems.levers[0]->SetValue(16);  // notch 8
    int last = CabItems.gauges[0]->Progress();
    int rises = 0;
    for (int second = 0; second < 30; ++second) {
        bool due = false;
        for (int tick = 0; tick < 20; ++tick)
            SimulationTick(50, [&] { due = true; });
        ASSERT_TRUE(due);
        SecondTickWork([](const std::string&) {});
        const int shown = CabItems.gauges[0]->Progress();
        EXPECT_GE(shown, last);
        rises += shown > last;
        last = shown;
    }
    EXPECT_EQ(Physics.throttle.value, 8);
    EXPECT_GT(last, 0);
    EXPECT_GT(rises, 5);
    EXPECT_EQ(last, PhysRound(Physics.speed.value));
}

}  // namespace
