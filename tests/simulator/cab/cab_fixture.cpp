// A simulation root with a small traction model, built field by field.
#include "cab_fixture.h"

#include <QImage>

#include <fstream>

#include "../../common/bmp_writer.h"
#include "../../common/route_files.h"
#include "app/main_window.h"
#include "app/sim_state.h"
#include "cab/cab_items.h"
#include "cab/cab_layout.h"
#include "cab/cab_picture.h"
#include "platform/msgbox.h"
#include "train/brake.h"
#include "train/physics.h"

namespace fs = std::filesystem;

namespace {

// A 24-bit bitmap file from a pixel function (x, y) -> 0xRRGGBB.
template <class Pixel>
std::string Bitmap24(int width, int height, Pixel pixel)
{
    bmp_image image{width, height, 24, 40, {}, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) image.pixels.push_back(pixel(x, y));
    }
    return bmp_bytes(image);
}

CitValue Int(int64_t v) { return CitValue::make_integer(v); }
CitValue Ident(const char* v) { return CitValue::make_ident(v); }
CitValue Bool(bool v) { return CitValue::make_boolean(v); }
CitValue BitmapValue(const std::string& bmp)
{
    return CitValue::make_binary(cit_write_graphic_data({"", bmp}, false));
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

std::string SolidBitmap(int width, int height, uint32_t rgb)
{
    return Bitmap24(width, height, [rgb](int, int) { return rgb; });
}

uint32_t FrameColour(int k)
{
    return (uint32_t(k * 12 + 8) << 16) | 0x40;
}

std::string ImageListBytes(int width, int height, const std::vector<uint32_t>& colours)
{
    const int count = int(colours.size());
    const int rows = std::max(1, (count + 3) / 4);
    le_bytes s;
    s.u16(0x4C49).u16(0x0101).u16(uint16_t(count)).u16(uint16_t(rows * 4)).u16(4).u16(uint16_t(width));
    s.u16(uint16_t(height)).u32(0xFFFFFFFF).u16(0x18);
    for (int i = 0; i < 4; ++i) s.u16(0xFFFF);
    return s.s + Bitmap24(width * 4, height * rows, [&](int x, int y) {
               const int i = (y / height) * 4 + x / width;
               return i < count ? colours[size_t(i)] : 0u;
           });
}

CitComponent ItemComponent(const char* className, std::vector<CitProperty> own)
{
    CitComponent c;
    c.class_name = className;
    c.name = "cit";
    c.properties = {{"Left", Int(7)}, {"Top", Int(9)}, {"Width", Int(40)}, {"Height", Int(120)},
                    {"Hint", CitValue::make_string("stored hint")}};
    for (CitProperty& p : own) c.properties.push_back(std::move(p));
    return c;
}

CitFile LeverFile(int maximum, int frames)
{
    CitFile f;
    f.add("TBAR", ItemComponent("TvexaTracker",
                                {{"Minimum", Int(0)}, {"Maximum", Int(maximum)}, {"Value", Int(0)},
                                 {"Orientation", Ident("vtbVertical")},
                                 {"BackColor", Ident("clSilver")}, {"TumbWidth", Int(20)},
                                 {"TumbHeight", Int(20)}, {"ShowCaption", Bool(false)}}));
    std::vector<uint32_t> colours;
    for (int k = 0; k < frames; ++k) colours.push_back(FrameColour(k));
    CitComponent list;
    list.class_name = "TImageList";
    list.name = "cit";
    list.properties = {{"Height", Int(120)}, {"Width", Int(40)},
                       {"Bitmap", CitValue::make_binary(ImageListBytes(40, 120, colours))}};
    f.add("IMGL", list);
    return f;
}

CitFile GaugeFile()
{
    CitFile f;
    f.add("TQuorrGauge",
          ItemComponent("TQuorrGauge", {{"BackColor", Ident("clMaroon")},
                                        {"ForeColor", Ident("clWhite")},
                                        {"Kind", Ident("gk270needle")}, {"MinValue", Int(0)},
                                        {"MaxValue", Int(160)}, {"Progress", Int(0)},
                                        {"ShowText", Bool(true)}}));
    return f;
}

CitFile PushSwitchFile()
{
    CitFile f;
    f.add("TBitBtn", ItemComponent("TBitBtn", {{"Glyph.Data",
                                                BitmapValue(SolidBitmap(16, 16, 0x808080))}}));
    return f;
}

CitFile ToggleSwitchFile()
{
    CitFile f;
    f.add("TSpeedButton",
          ItemComponent("TSpeedButton", {{"AllowAllUp", Bool(true)}, {"GroupIndex", Int(1)},
                                         {"Glyph.Data", BitmapValue(SolidBitmap(64, 16, 0x00FF00))},
                                         {"NumGlyphs", Int(4)}}));
    return f;
}

CitFile LightFile(uint32_t brushColour)
{
    CitFile f;
    f.add("TShape", ItemComponent("TShape", {{"Brush.Color", cit_color_value(brushColour)},
                                             {"Pen.Width", Int(2)}, {"Shape", Ident("stCircle")}}));
    return f;
}

void CabTest::SetUp()
{
    ResetSimState();
    Physics = TPhysics{};
    PhysicsInit();
    for (const char* function : {"throttle", "reverser", "autobrake", "indbrake", "speed",
                                 "wheelslip", "motorAmp", "BPpress", "BCpress", "ERpress",
                                 "MRpress", "BPflow", "horn", "sander", "brakeAmp", "lineVolt"})
        *SimSlotByFunction(function) = TSimSlot{};
    DynBrakeLevel = TSimSlot{};
    BrakeValve = bvLap;
    Brake.reduction = 0;
    TractionType = ttELE;
    EpBrake = false;
    plat_message_box_clear_records();
    root = fs::path(DROVIK_TEST_BINARY_DIR) /
           ("root-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root);
    fs::create_directories(root / "traction");
    SimState.paths.root = root.string();
    WriteRouteFiles(root);
    SetEngine3D(&engine);
    window = std::make_unique<TVaruRor>();
}

void CabTest::TearDown()
{
    LeaveEditorMode();
    FreeCabItems();
    window.reset();
    SetEngine3D(nullptr);
    fs::remove_all(root);
}

void CabTest::WriteItem(const std::string& stem, const CitFile& file)
{
    WriteBytes(root / "cab items" / (stem + ".cit"), cit_encode(file));
}

std::string CabTest::IniPath(const std::string& model) const
{
    return (root / "traction" / model / (model + ".ini")).string();
}

void CabTest::WriteIni(const std::string& model, const std::string& cabLayout,
                       const std::string& more)
{
    WriteBytes(IniPath(model), "[cab layout]\r\n" + cabLayout + "\r\n" + more);
}

void CabTest::WritePicture(const std::string& model)
{
    fs::create_directories(root / "traction" / model);
    QImage picture(793, 524, QImage::Format_RGB32);
    picture.fill(QColor(60, 50, 40));
    std::string error;
    ASSERT_TRUE(SaveJpegFile((root / "traction" / model / (model + "-cab.jpg")).string(), picture,
                             90, &error))
        << error;
}

void CabTest::WriteStandardModel(const std::string& traction, const std::string& brake)
{
    WritePicture("TESTLOCO");
    WriteIni("TESTLOCO",
             "3d_top=0\r\n3d_left=0\r\n3d_height=218\r\n3d_width=579\r\n"
             "control1=TESTLOCO.throttle-brake, 300:50\r\n"
             "control2=TESTLOCO.reverser, 300:120\r\n"
             "control3=TESTLOCO.autobrake, 300:200\r\n"
             "control4=TESTLOCO.indbrake, 300:260\r\n"
             "gauge1=TESTLOCO.speed, 240:400\r\n"
             "gauge2=TESTLOCO.BPpress, 240:520\r\n"
             "swpush1=TESTLOCO.horn, 440:400\r\n"
             "swtogg1=TESTLOCO.sander, 440:460\r\n"
             "light1=TESTLOCO.wheelslip, 440:520\r\n"
             "clock=digital, 40:700\r\n",
             "[general]\r\ntraction_type=" + traction + "\r\n[loco physics]\r\nbrake_type=" +
                 brake + "\r\n[sound]\r\nrun1=electric.wav\r\n");
    WriteItem("TESTLOCO.throttle-brake", LeverFile(16, 17));
    WriteItem("TESTLOCO.reverser", LeverFile(3, 4));
    WriteItem("TESTLOCO.autobrake", LeverFile(7, 8));
    WriteItem("TESTLOCO.indbrake", LeverFile(6, 7));
    WriteItem("TESTLOCO.speed", GaugeFile());
    WriteItem("TESTLOCO.BPpress", GaugeFile());
    WriteItem("TESTLOCO.horn", PushSwitchFile());
    WriteItem("TESTLOCO.sander", ToggleSwitchFile());
    WriteItem("TESTLOCO.wheelslip", LightFile(0x0000FF));
}
