// Values read from cab item files: lever ranges as stored, hostile sizes refused.
#include <QApplication>
#include <QMouseEvent>

#include <climits>
#include <cstdint>
#include <string>

#include "app/main_window.h"
#include "app/sim_state.h"
#include "cab/cab_items.h"
#include "cab/traction_model.h"
#include "cab_fixture.h"

namespace {

using CabItemValuesTest = CabTest;

// Sets (or adds) one property of the file's first entry.
CitFile With(CitFile file, const std::string& name, int64_t value)
{
    CitComponent& c = file.entries.front().component;
    for (CitProperty& p : c.properties) {
        if (p.name == name) {
            p.value = CitValue::make_integer(value);
            return file;
        }
    }
    c.properties.push_back({name, CitValue::make_integer(value)});
    return file;
}

TEST_F(CabItemValuesTest, LeverRangeAboveOneHundredComesBackFromItsFile)
{
    struct Case {
        int minimum, maximum, value;
    };
    const Case cases[] = {{100, 116, 108}, {-300, -150, -200}, {150, 300, 300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.minimum << ".." << c.maximum);
        WriteIni("TESTLOCO", "control1=TESTLOCO.throttle, 10:10\r\n");
        CitFile file = With(With(With(LeverFile(16, 17), "Minimum", c.minimum), "Maximum",
                                 c.maximum),
                            "Value", c.value);
        WriteItem("TESTLOCO.throttle", file);
        LoadCabLayout(IniPath("TESTLOCO"));
        ASSERT_EQ(CabItems.leverCount, 1);
        const TvexaTracker* lever = CabItems.levers[0];
        EXPECT_EQ(lever->Minimum(), c.minimum);
        EXPECT_EQ(lever->Maximum(), c.maximum);
        EXPECT_EQ(lever->Value(), c.value);
        FreeCabItems();
    }
}

// A lever may span the whole integer range; dragged to its lowest value it shows its first
// frame.
TEST_F(CabItemValuesTest, LeverOverTheWholeIntegerRangeDragsToItsLowestValue)
{
    WriteIni("TESTLOCO", "control1=TESTLOCO.throttle, 10:10\r\n");
    WriteItem("TESTLOCO.throttle",
              With(With(With(LeverFile(16, 17), "Minimum", INT_MIN), "Maximum", INT_MAX), "Value", 0));
    LoadCabLayout(IniPath("TESTLOCO"));
    ASSERT_EQ(CabItems.leverCount, 1);
    TvexaTracker* lever = CabItems.levers[0];
    LeverChanged(lever, 9);
    ASSERT_EQ(lever->BackBitmap().pixel(20, 60) & 0xFFFFFF, FrameColour(8));
    const QPoint start(20, lever->TrackStart());
    QMouseEvent move(QEvent::MouseMove, QPointF(start), lever->mapToGlobal(QPointF(start)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(lever, &move);
    EXPECT_EQ(lever->Value(), INT_MIN);
    EXPECT_EQ(lever->BackBitmap().pixel(20, 60) & 0xFFFFFF, FrameColour(0));
}

struct HostileCase {
    const char* key;    // cab layout key
    const char* kind;   // which fixture file
    const char* property;
    int64_t value;
    const char* reason;  // expected after the path and "\r"
};

CitFile FixtureFile(const std::string& kind)
{
    if (kind == "lever") return LeverFile(16, 17);
    if (kind == "gauge") return GaugeFile();
    if (kind == "push") return PushSwitchFile();
    if (kind == "toggle") return ToggleSwitchFile();
    return LightFile(0x0000FF);
}

int Count(const std::string& kind)
{
    if (kind == "lever") return CabItems.leverCount;
    if (kind == "gauge") return CabItems.gaugeCount;
    if (kind == "push") return CabItems.pushCount;
    if (kind == "toggle") return CabItems.toggleCount;
    return CabItems.lightCount;
}

// Sizes beyond what a cab can show, or below zero, would overflow the lever's geometry or
// make the painter allocate gigabytes: the file is refused before a control is made of it.
TEST_F(CabItemValuesTest, HostileSizesRefuseTheFile)
{
    const HostileCase cases[] = {
        {"control1", "lever", "TrackHeight", INT_MIN,
         "property TrackHeight holds -2147483648, outside 0..4096"},
        {"control1", "lever", "TumbHeight", -100000,
         "property TumbHeight holds -100000, outside 0..4096"},
        {"control1", "lever", "TumbWidth", INT_MIN,
         "property TumbWidth holds -2147483648, outside 0..4096"},
        {"control1", "lever", "Left", INT_MIN, "property Left holds -2147483648, outside -4096..4096"},
        {"control1", "lever", "Minimum", int64_t(1) << 40,
         "property Minimum holds 1099511627776, outside -2147483648..2147483647"},
        {"swpush1", "push", "Width", INT_MAX, "property Width holds 2147483647, outside 0..4096"},
        {"gauge1", "gauge", "Height", 4097, "property Height holds 4097, outside 0..4096"},
        {"swtogg1", "toggle", "Height", -1, "property Height holds -1, outside 0..4096"},
        {"light1", "light", "Pen.Width", 100000, "property Pen.Width holds 100000, outside 0..4096"},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + " " + c.property);
        plat_message_box_clear_records();
        WriteIni("TESTLOCO", std::string(c.key) + "=TESTLOCO.item, 10:10\r\n");
        WriteItem("TESTLOCO.item", With(FixtureFile(c.kind), c.property, c.value));
        LoadCabLayout(IniPath("TESTLOCO"));
        EXPECT_EQ(Count(c.kind), 0);
        const std::string path = SimState.paths.root + "\\cab items\\TESTLOCO.item.cit";
        EXPECT_EQ(BoxTexts(), std::vector<std::string>({path + "\r" + c.reason}));
        FreeCabItems();
    }
}

TEST_F(CabItemValuesTest, SizesUpToTheCabsSideAreRead)
{
    WriteIni("TESTLOCO", "swpush1=TESTLOCO.horn, 10:10\r\ncontrol1=TESTLOCO.throttle, 10:10\r\n");
    WriteItem("TESTLOCO.horn", With(With(PushSwitchFile(), "Width", 4096), "Height", 0));
    WriteItem("TESTLOCO.throttle", With(With(LeverFile(16, 17), "TrackHeight", 0), "Left", -4096));
    LoadCabLayout(IniPath("TESTLOCO"));
    ASSERT_EQ(CabItems.pushCount, 1);
    EXPECT_EQ(CabItems.pushSwitches[0]->size(), QSize(4096, 0));
    ASSERT_EQ(CabItems.leverCount, 1);
    EXPECT_EQ(CabItems.levers[0]->TrackHeight(), 0);
    EXPECT_TRUE(BoxTexts().empty());
}

}  // namespace
