// Writes the demo data set (models, pictures, a train) into the root folder given on the command line.
#include "bitmap_writer.h"
#include "demo_cab.h"
#include "demo_situations.h"
#include "demo_sounds.h"
#include "demo_world.h"
#include "demo_world_bitmaps.h"

#include "train/train_file.h"
#include "train/vehicle.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int picture_width = 134;  // one cell of the yard's grid
constexpr int picture_height = 50;

struct Model {
    const char* name;
    bool traction;
    const char* description;
    double mass, length, xArea;
    int maxTraction, power, maxBrake, numAxles;
};

const Model loco = {"RE-RUZ125", true, "Bo-Bo electric freight locomotive", 88.0, 19.5, 0.0,
                    300, 5000, 250, 4};
const Model box_car = {"BOX-40", false, "40 ft box car", 60.0, 12.5, 9.5, 0, 0, 80, 4};
const Model hopper = {"HOPPER-70", false, "70 t covered hopper", 90.0, 15.0, 10.5, 0, 0, 110, 4};

std::string number(double v)
{
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

std::vector<unsigned char> text_bytes(const std::string& text)
{
    return std::vector<unsigned char>(text.begin(), text.end());
}

std::string traction_ini(const Model& m)
{
    return "[general]\r\ntraction_type=ELE\r\ndescription=" + std::string(m.description) +
           "\r\nyearComm=1985\r\nmodel=RUZ125\r\n\r\n[loco physics]\r\nmass=" + number(m.mass) +
           "\r\nlength=" + number(m.length) + "\r\nmaxTraction=" + std::to_string(m.maxTraction) +
           "\r\nmaxIndBrk=200\r\npower_hp=" + std::to_string(m.power) +
           "\r\nmaxBrake=" + std::to_string(m.maxBrake) +
           "\r\nnumAxles=" + std::to_string(m.numAxles) + "\r\nbrake_type=auto\r\n";
}

std::string car_ini(const Model& m)
{
    return "[general]\r\ndescription=" + std::string(m.description) + "\r\n\r\n[data]\r\nmass=" +
           number(m.mass) + "\r\nlength=" + number(m.length) + "\r\nxArea=" + number(m.xArea) +
           "\r\nmaxBrake=" + std::to_string(m.maxBrake) +
           "\r\nnumAxles=" + std::to_string(m.numAxles) + "\r\n";
}

void wheels(DemoCanvas& c, int first, int second)
{
    const DemoRgb black{20, 20, 20};
    for (int x : {first, first + 14, second, second + 14}) c.FillCircle(x, 41, 5, black);
    c.FillRect(2, 47, picture_width - 3, 48, DemoRgb{90, 90, 90});  // rail
}

DemoCanvas loco_picture()
{
    DemoCanvas c(picture_width, picture_height, DemoRgb{255, 255, 255});
    c.FillRect(6, 12, 127, 36, DemoRgb{30, 70, 160});
    c.FillRect(6, 28, 127, 30, DemoRgb{240, 200, 40});  // stripe
    c.FillRect(10, 15, 22, 23, DemoRgb{190, 220, 240});  // cab windows
    c.FillRect(111, 15, 123, 23, DemoRgb{190, 220, 240});
    c.FillRect(50, 6, 84, 11, DemoRgb{60, 60, 60});  // pantograph base
    c.FrameRect(6, 12, 127, 36, DemoRgb{10, 30, 80});
    wheels(c, 22, 97);
    return c;
}

DemoCanvas box_picture()
{
    DemoCanvas c(picture_width, picture_height, DemoRgb{255, 255, 255});
    c.FillRect(8, 10, 125, 36, DemoRgb{140, 70, 40});
    c.FrameRect(52, 13, 80, 35, DemoRgb{90, 40, 20});  // sliding door
    c.FrameRect(8, 10, 125, 36, DemoRgb{70, 30, 10});
    wheels(c, 20, 100);
    return c;
}

DemoCanvas hopper_picture()
{
    DemoCanvas c(picture_width, picture_height, DemoRgb{255, 255, 255});
    c.FillRect(8, 10, 125, 28, DemoRgb{150, 150, 150});
    for (int y = 29; y <= 36; ++y) {  // the hopper bays narrowing downwards
        int inset = (y - 28) * 2;
        c.FillRect(14 + inset, y, 60 - inset, y, DemoRgb{130, 130, 130});
        c.FillRect(73 + inset, y, 119 - inset, y, DemoRgb{130, 130, 130});
    }
    c.FrameRect(8, 10, 125, 28, DemoRgb{80, 80, 80});
    wheels(c, 20, 100);
    return c;
}

DemoCanvas empty_picture()
{
    DemoCanvas c(picture_width, picture_height, DemoRgb{255, 255, 255});
    c.FrameRect(0, 0, picture_width - 1, picture_height - 1, DemoRgb{128, 128, 128});
    return c;
}

// The picture a cab item falls back to when its own is missing.
DemoCanvas default_picture()
{
    DemoCanvas c(24, 24, DemoRgb{192, 192, 192});
    c.FrameRect(0, 0, 23, 23, DemoRgb{64, 64, 64});
    return c;
}

DemoCanvas prompt_picture()
{
    DemoCanvas c(picture_width, picture_height, DemoRgb{255, 250, 200});
    c.FrameRect(0, 0, picture_width - 1, picture_height - 1, DemoRgb{0, 128, 0});
    // An arrow pointing into the first cell: place the traction unit here.
    c.FillRect(20, 22, 90, 27, DemoRgb{0, 128, 0});
    for (int i = 0; i <= 14; ++i) c.FillRect(90 + i, 10 + i, 90 + i, 39 - i, DemoRgb{0, 128, 0});
    return c;
}

TVehicleRec record(const Model& m)
{
    TVehicleRec r;
    r.name = m.name;
    r.isTraction = m.traction ? 1 : 0;
    r.unused = 0;
    r.mass = m.mass;
    r.length = m.length;
    r.xArea = m.xArea;
    r.maxTraction = m.maxTraction;
    r.power = m.power;
    r.maxBrake = m.maxBrake;
    r.numAxles = m.numAxles;
    return r;
}

class Writer {
public:
    explicit Writer(fs::path root) : root_(std::move(root)) {}

    void Text(const fs::path& relative, const std::string& text) { Bytes(relative, text_bytes(text)); }
    void Picture(const fs::path& relative, const DemoCanvas& canvas) { Bytes(relative, canvas.BmpBytes()); }
    void Bytes(const fs::path& relative, const std::vector<unsigned char>& bytes)
    {
        if (!DemoWriteFile((root_ / relative).string(), bytes)) ok_ = false;
    }
    void Fail(const std::string& what)
    {
        std::fprintf(stderr, "make_demo_data: cannot write %s\n", what.c_str());
        ok_ = false;
    }
    bool Ok() const { return ok_; }
    const fs::path& Root() const { return root_; }

private:
    fs::path root_;
    bool ok_ = true;
};

void write_models(Writer& w)
{
    fs::path folder = fs::path("traction") / loco.name;
    w.Text(folder / (std::string(loco.name) + ".ini"), traction_ini(loco));
    w.Picture(folder / (std::string(loco.name) + "-ext.bmp"), loco_picture());
    const std::pair<const Model*, DemoCanvas> cars[] = {{&box_car, box_picture()},
                                                        {&hopper, hopper_picture()}};
    for (const auto& [model, picture] : cars) {
        folder = fs::path("rolling stock") / model->name;
        w.Text(folder / (std::string(model->name) + ".ini"), car_ini(*model));
        w.Picture(folder / (std::string(model->name) + "-ext.bmp"), picture);
    }
}

void write_yard(Writer& w)
{
    w.Picture(fs::path("images") / "empty_rect.bmp", empty_picture());
    w.Picture(fs::path("images") / "yard_prompt.bmp", prompt_picture());
    w.Picture(fs::path("images") / "default.bmp", default_picture());

    TConsist train;
    ClearConsist(train);
    const Model* order[] = {&loco, &box_car, &box_car, &hopper, &hopper};
    int p = 0;
    for (const Model* m : order) AddVehicle(train, p++, record(*m));
    fs::path folder = w.Root() / "rail yard";
    std::error_code ec;
    fs::create_directories(folder, ec);
    std::string error;
    const fs::path train_path = folder / "Demo Freight.trn";
    if (DemoKeeps(train_path.string())) return;
    if (ec) w.Fail(train_path.string() + ": " + ec.message());
    else if (!SaveTrain(train_path.string(), train, &error)) w.Fail(train_path.string() + ": " + error);
}

}  // namespace

int main(int argc, char** argv)
{
    // Files already in the folder stay as the user left them; --force writes every file anew.
    const bool force = argc == 3 && std::string(argv[1]) == "--force";
    if (argc != 2 && !force) {
        std::fprintf(stderr, "usage: make_demo_data [--force] <root folder>\n");
        return 2;
    }
    const char* root = argv[argc - 1];
    DemoSetRewrite(force);
    // The 3D card only has to run for the world's lights: Mesa's software renderer serves with no
    // display and no graphics hardware.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    // Nothing is shown: the widgets and the engine's windows are drawn in memory, also when
    // the desktop offers a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    try {
        Writer w{fs::path(root)};
        write_models(w);
        write_yard(w);
        const bool sounds = WriteDemoSounds(root);
        const bool situations = WriteDemoScreens(root) && WriteDemoSituations(root);
        const bool cab = WriteDemoCab(root, loco.name);
        const bool bitmaps = WriteDemoWorldBitmaps(root);
        const bool route = WriteDemoRoute(root);
        const bool world = bitmaps && WriteDemoWorld(root);
        return w.Ok() && sounds && situations && cab && bitmaps && route && world ? 0 : 1;
    } catch (const std::exception& e) {
        // Folders that cannot be made end the run with the system's reason.
        std::fprintf(stderr, "make_demo_data: %s\n", e.what());
        return 1;
    }
}
