// Demo data for the first screens: screen pictures, the route folder with its route file and
// working timetable, and saved situations.
#include "demo_situations.h"

#include "bitmap_writer.h"
#include "cab/cab_picture.h"

#include <QColor>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace fs = std::filesystem;

namespace {

void FillRect(QImage& image, int x0, int y0, int x1, int y1, QColor c)
{
    for (int y = std::max(0, y0); y <= std::min(image.height() - 1, y1); y++)
        for (int x = std::max(0, x0); x <= std::min(image.width() - 1, x1); x++)
            image.setPixelColor(x, y, c);
}

// Capitals of a 5 x 7 block font, a row a string; only the letters the screens use.
const char* const* Glyph(char letter)
{
    static const char* const k[] = {"X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"};
    static const char* const e[] = {"XXXXX", "X....", "X....", "XXXX.", "X....", "X....", "XXXXX"};
    static const char* const s[] = {".XXXX", "X....", "X....", ".XXX.", "....X", "....X", "XXXX."};
    static const char* const t[] = {"XXXXX", "..X..", "..X..", "..X..", "..X..", "..X..", "..X.."};
    static const char* const r[] = {"XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"};
    static const char* const o[] = {".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."};
    static const char* const v[] = {"X...X", "X...X", "X...X", "X...X", "X...X", ".X.X.", "..X.."};
    static const char* const a[] = {".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"};
    static const char* const n[] = {"X...X", "XX..X", "X.X.X", "X..XX", "X...X", "X...X", "X...X"};
    switch (letter) {
    case 'K': return k;
    case 'E': return e;
    case 'S': return s;
    case 'T': return t;
    case 'R': return r;
    case 'O': return o;
    case 'V': return v;
    case 'A': return a;
    case 'N': return n;
    default: return nullptr;
    }
}

void DrawText(QImage& image, const char* text, int x, int y, int cell, QColor c)
{
    for (; *text; text++, x += 6 * cell) {
        const char* const* rows = Glyph(*text);
        for (int row = 0; rows && row < 7; row++)
            for (int col = 0; col < 5; col++)
                if (rows[row][col] == 'X')
                    FillRect(image, x + col * cell, y + row * cell, x + (col + 1) * cell - 1,
                             y + (row + 1) * cell - 1, c);
    }
}

// Dusk over the hills, a line curving away and a locomotive: the first screen.
QImage FirstScreen()
{
    const int w = 800, h = 600;
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; y++) {
        const double f = double(y) / h;
        const QColor sky(int(40 + 200 * f), int(50 + 110 * f), int(110 + 40 * f));
        FillRect(image, 0, y, w - 1, y, sky);
    }
    for (int x = 0; x < w; x++) {  // two ridges of hills
        const int far = int(330 + 30 * std::sin(x / 70.0) + 15 * std::sin(x / 23.0));
        const int near = int(400 + 25 * std::sin(x / 110.0 + 1.0));
        FillRect(image, x, far, x, h - 1, QColor(70, 90, 80));
        FillRect(image, x, near, x, h - 1, QColor(50, 95, 45));
    }
    for (int y = 420; y < h; y++) {  // the track running towards the viewer
        const double spread = (y - 420) / 180.0;
        const int centre = int(400 + 120 * spread * spread);
        const int half = int(8 + 110 * spread);
        FillRect(image, centre - half - 6, y, centre + half + 6, y, QColor(110, 100, 90));
        FillRect(image, centre - half, y, centre - half + 2, y, QColor(200, 200, 205));
        FillRect(image, centre + half - 2, y, centre + half, y, QColor(200, 200, 205));
    }
    FillRect(image, 360, 380, 440, 430, QColor(30, 70, 160));  // the locomotive's front
    FillRect(image, 368, 388, 432, 402, QColor(190, 220, 240));
    FillRect(image, 360, 414, 440, 418, QColor(240, 200, 40));
    FillRect(image, 372, 420, 380, 426, QColor(255, 250, 200));
    FillRect(image, 420, 420, 428, 426, QColor(255, 250, 200));
    DrawText(image, "KESTROVANE", 130, 90, 9, QColor(20, 20, 40));
    DrawText(image, "KESTROVANE", 126, 86, 9, QColor(250, 235, 160));
    return image;
}

// A signal box's track diagram: the second screen.
QImage SecondScreen()
{
    const int w = 640, h = 420;
    QImage image(w, h, QImage::Format_RGB888);
    FillRect(image, 0, 0, w - 1, h - 1, QColor(24, 36, 52));
    const QColor line(150, 160, 170);
    FillRect(image, 20, 330, 620, 333, line);  // main line
    FillRect(image, 20, 370, 620, 373, line);  // loop
    for (int i = 0; i < 40; i++)               // a crossover between them
        FillRect(image, 300 + i, 333 + i, 303 + i, 334 + i, line);
    for (int x : {80, 220, 420, 560}) {        // signals: a post and a green aspect
        FillRect(image, x, 300, x + 2, 330, QColor(200, 200, 200));
        FillRect(image, x - 3, 292, x + 5, 300, QColor(30, 30, 30));
        FillRect(image, x - 1, 294, x + 3, 298, QColor(60, 220, 90));
    }
    FillRect(image, 150, 326, 210, 337, QColor(240, 200, 40));  // the train's track circuit
    return image;
}

bool WriteText(const fs::path& path, const std::string& text)
{
    return DemoWriteFile(path.string(), {text.begin(), text.end()});
}

std::string Situation(int segment, int hour, int minute, bool wet)
{
    return std::string(kDemoRoute) + ".dat\r\n" + std::to_string(segment) + "\r\n" +
           kDemoTimetable + "\r\n" + kDemoTrain + "\r\n" + std::to_string(hour) + "  " +
           std::to_string(minute) + "\r\n" + (wet ? "WET" : "DRY") + "\r\n";
}

}  // namespace

bool WriteDemoScreens(const std::string& root)
{
    const fs::path folder = fs::path(root) / "images";
    std::error_code ec;
    fs::create_directories(folder, ec);
    bool ok = !ec;
    const std::pair<const char*, QImage> screens[] = {{"first_scrn.jpg", FirstScreen()},
                                                      {"second_scrn.jpg", SecondScreen()}};
    for (const auto& [name, image] : screens) {
        std::string error;
        if (DemoKeeps((folder / name).string()))
            continue;
        if (!SaveJpegFile((folder / name).string(), image, 90, &error)) {
            std::fprintf(stderr, "make_demo_data: %s\n", error.c_str());
            ok = false;
        }
    }
    return ok;
}

bool WriteDemoSituations(const std::string& root)
{
    const fs::path route = fs::path(root) / "routes" / kDemoRoute;
    const fs::path situations = fs::path(root) / "situations";
    bool ok = WriteText(route / (std::string(kDemoRoute) + ".dat"),
                        "Tarrow - Venn\r\nSingle line with passing loops, 9 km\r\n");
    ok = WriteText(route / kDemoTimetable,
                   "Tarrow - Venn freight 0905\r\n"
                   "0.0 9 5 Tarrow Yard\r\n"
                   "1.8 9 11 Tarrow Junction\r\n"
                   "4.2 9 19 Marsh Lane\r\n"
                   "6.5 9 27 Coldharbour Loop\r\n"
                   "8.9 9 36 Venn\r\n") && ok;
    ok = WriteText(situations / "Tarrow Wet Evening.txt", Situation(5, 18, 40, true)) && ok;
    return WriteText(situations / "Previous Situation.txt", Situation(3, 9, 5, false)) && ok;
}
