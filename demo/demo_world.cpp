// The demo route and 3D world: a flat loop of track through a town of scenery, written as a text
// world and converted to the engine's binary format by the engine itself.
#include "demo_world.h"

#include "bitmap_writer.h"
#include "drovik.h"
#include "foundation/memory.h"
#include "platform/numbers.h"
#include "render/images/winbmp.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadius = 75000;  // 1.5 km: the loop is 9.4 km round
constexpr int kLoopPoints = 190;   // about 2480 units (50 m) apart
constexpr double kRailWidth = 150;

struct Point {
    double x, y, z;
};

// The lead-in point, the loop from point 1 round, then points 1 and 2 again to close it.
std::vector<Point> survey()
{
    std::vector<Point> points{{-2500, kRadius, 0}};
    for (int k = 0; k < kLoopPoints; ++k) {
        const double a = 2 * kPi * k / kLoopPoints;
        points.push_back({kRadius * std::sin(a), kRadius * std::cos(a), 0});
    }
    points.push_back(points[1]);
    points.push_back(points[2]);
    return points;
}

struct Landmark {
    int segment;
    const char* name;
    double offset;  // metres
};

const Landmark landmarks[] = {{10, "adsign1", 12}, {36, "adsign2", -12}, {120, "adsign3", 15}};

// The route kilometre of each segment start, summed as the simulator sums it.
std::vector<float> segment_kms(const std::vector<Point>& points)
{
    std::vector<float> kms;
    float km = 0.0f;
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        kms.push_back(km);
        const double length = std::hypot(points[i + 1].x - points[i].x, points[i + 1].y - points[i].y);
        km = static_cast<float>(km + length / 50 / 1000);
    }
    return kms;
}

bool write_text(const fs::path& path, const std::string& text)
{
    if (DemoKeeps(path.string())) return true;
    return DemoWriteFile(path.string(), std::vector<unsigned char>(text.begin(), text.end()));
}

// ---- world text

// u and v count whole bitmaps: 0 to 1 spans the picture once, larger values repeat it.
struct Corner {
    double x, y, z, u, v;
};

// The face normal times 127, on the side from which the corners run clockwise: the side drawn.
Point face_normal(const std::vector<Corner>& corners)
{
    const Corner& a = corners[0];
    const Corner& b = corners[1];
    const Corner& c = corners[2];
    const Point ab{b.x - a.x, b.y - a.y, b.z - a.z}, ac{c.x - a.x, c.y - a.y, c.z - a.z};
    const Point n{ac.y * ab.z - ac.z * ab.y, ac.z * ab.x - ac.x * ab.z, ac.x * ab.y - ac.y * ab.x};
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    return {n.x / length * 127, n.y / length * 127, n.z / length * 127};
}

// The corners run clockwise seen from the side that is drawn; each point carries the face normal.
std::string polygon(const char* name, int r, int g, int b, const char* bitmap, int transparent,
                    const std::vector<Corner>& corners)
{
    std::string s = plat_format("\tPOLYGON: %s\n\t\tCOLOR: %d %d %d\n\t\tBITMAP: %s\n\t\tTRANSPARENT: %d\n"
                                "\t\tROTATED: NO\n\t\tLIGHT_DIMINUTION: 40\n\t\tNUM_OF_POINTS: %d\n",
                                name, r, g, b, bitmap, transparent, static_cast<int>(corners.size()));
    const Point n = face_normal(corners);
    for (const Corner& c : corners) {
        s += plat_format("\t\t\t%.3f %.3f %.3f %.3f %.3f 100 N: %d %d %d\n", c.x, c.y, c.z, c.u, c.v,
                         static_cast<int>(std::lround(n.x)), static_cast<int>(std::lround(n.y)),
                         static_cast<int>(std::lround(n.z)));
    }
    return s;
}

// A vertical quad from (x0, y0) to (x1, y1), seen from both sides.
std::string upright(const char* name, const char* bitmap, int transparent, double x0, double y0, double x1, double y1,
                    double bottom, double top, double u, double v)
{
    return polygon(name, 120, 120, 120, bitmap, transparent,
                   {{x0, y0, bottom, 0, v}, {x1, y1, bottom, u, v}, {x1, y1, top, u, 0}, {x0, y0, top, 0, 0}}) +
           polygon(name, 120, 120, 120, bitmap, transparent,
                   {{x1, y1, bottom, 0, v}, {x0, y0, bottom, u, v}, {x0, y0, top, u, 0}, {x1, y1, top, 0, 0}});
}

// A horizontal quad seen from above.
std::string flat(const char* name, const char* bitmap, double x0, double y0, double x1, double y1, double z, double u,
                 double v)
{
    return polygon(name, 110, 120, 90, bitmap, -1, {{x0, y0, z, 0, v}, {x0, y1, z, 0, 0}, {x1, y1, z, u, 0}, {x1, y0, z, u, v}});
}

std::string module(const std::string& name, const std::string& polygons)
{
    return "BEGIN_MODULE: " + name + "\n" + polygons + "END_MODULE: " + name + "\n\n";
}

std::string dynamic_block(const std::string& name, double x, double y)
{
    return plat_format("\tDYNAMIC: %s\n\t\tMODULE_NAME: %s\n\t\tFATHER: NONE\n\t\tTYPE: regular\n"
                       "\t\tCONTROL: COMPUTER\n\t\tTRACK: NO_TRACK\n\t\tCHASE: NO_CHASE\n\t\tCHASE_TYPE: NO_CHASE\n"
                       "\t\tCHASE_DISTANCE: 0\n\t\tPHYSICS: SPEED: 0 0 0 FORCE: 0 0 0 MAX_SPEED: 0 FRICTION: 1 "
                       "ELASTICITY: 0\tROTATION: OBJECT_SPACE 0 0 0\n\t\tMATRIX:\n\t\t\t1 0 0\n\t\t\t0 1 0\n\t\t\t0 0 1\n"
                       "\t\tLOCATION: %.3f %.3f 0\n\t\tSCALE: 1 1 1\n\tEND_OBJECT: %s\n",
                       name.c_str(), name.c_str(), x, y, name.c_str());
}

// The scenery models: heading 0 faces +y, the bottom at z 0; the track piece is 2500 long.
std::string model(const std::string& kind, int tree_key, int palm_key)
{
    if (kind == "track")
        return flat("rails", "TRACK.BMP", -kRailWidth / 2, -1250, kRailWidth / 2, 1250, 4, 1, 2500 / kRailWidth);
    if (kind == "tree")
        return upright("tree", "TREE.BMP", tree_key, -150, 0, 150, 0, 0, 600, 1, 1) +
               upright("tree", "TREE.BMP", tree_key, 0, -150, 0, 150, 0, 600, 1, 1);
    if (kind == "palm")
        return upright("palm", "PALM.BMP", palm_key, -160, 0, 160, 0, 0, 700, 1, 1) +
               upright("palm", "PALM.BMP", palm_key, 0, -160, 0, 160, 0, 700, 1, 1);
    if (kind == "house")
        return upright("wall", "HOUSE.BMP", -1, -300, -200, 300, -200, 0, 320, 1, 1) +
               upright("wall", "HOUSE.BMP", -1, 300, -200, 300, 200, 0, 320, 1, 1) +
               upright("wall", "HOUSE.BMP", -1, 300, 200, -300, 200, 0, 320, 1, 1) +
               upright("wall", "HOUSE.BMP", -1, -300, 200, -300, -200, 0, 320, 1, 1) +
               polygon("roof", 150, 50, 40, "NO_BITMAP", -1,
                       {{-300, -200, 320, 0, 0}, {-300, 200, 320, 0, 0}, {300, 200, 320, 0, 0}, {300, -200, 320, 0, 0}});
    if (kind == "grass") return flat("grass", "GRASS.JPG", -200, -200, 200, 200, 2, 1, 1);
    // A billboard on two posts, facing the line both ways.
    return polygon("board", 230, 200, 40, "NO_BITMAP", -1,
                   {{-250, 0, 180, 0, 0}, {250, 0, 180, 0, 0}, {250, 0, 420, 0, 0}, {-250, 0, 420, 0, 0}}) +
           polygon("board", 200, 40, 40, "NO_BITMAP", -1,
                   {{250, 0, 180, 0, 0}, {-250, 0, 180, 0, 0}, {-250, 0, 420, 0, 0}, {250, 0, 420, 0, 0}}) +
           upright("post", "NO_BITMAP", -1, -200, 0, -180, 0, 0, 180, 0, 0) +
           upright("post", "NO_BITMAP", -1, 180, 0, 200, 0, 0, 180, 0, 0);
}

// The reduction to 256 colours keeps 5 bits of red and blue and 6 of green: the key (255, 0, 255)
// becomes (248, 0, 248). A palette entry is the key when it matches the key in those bits.
bool is_key(const rgb8& c)
{
    return (c.r & 0xF8) == (255 & 0xF8) && (c.g & 0xFC) == 0 && (c.b & 0xF8) == (255 & 0xF8);
}

// The palette index of the key colour in an 8-bit bitmap, -1 when it has none.
int key_index(const fs::path& bmp)
{
    std::ifstream in(bmp, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    winbmp_status status{};
    uint32_t format = 0;
    uint8_t* image = winbmp_from_memory(bytes.data(), bytes.size(), &status, &format);
    if (!image) return -1;
    rgb8 palette[256];
    const int count = winbmp_get_palette(image, palette);
    engine_free(image);
    for (int i = 0; i < count; ++i) {
        if (is_key(palette[i])) return i;
    }
    return -1;
}

// The sun, high in the south-west, lights the whole world with its ambient and diffuse terms.
const char* const sun =
    "LIGHT: sun\n\tLOCATION: -300000 -400000 600000\n\tDIRECTION: 0.3 0.4 -0.6\n\tCOLOR: 255 250 230\n"
    "\tAMBIENT: 1 2 0 1\n\tRAYTRACING: NO\n\tDISTANCE: -1\n\tTARGET: GROUP NULL\n\tAUTO: NO LIGHT_SET\n"
    "\tTYPE: LIGHT_AMBIENT LIGHT_DIFFUSE\nEND_LIGHT: sun\n\n";

std::string world_text(const std::vector<Point>& points, int tree_key, int palm_key)
{
    std::string s = "// The Tarrow-Venn demo world, in the route survey's coordinates.\nBEGIN_DESIGN:\n\n";
    s += "ATMOSPHERE: 170 190 215 FOG: 0.0700  LIGHT: 0\n\n";
    s += "BACKGROUND: sky\n\tNUMBER_OF_FRAMES: 1\n\tREPLACE_RATE: 1\n\tPICTURES_EXTENSION: JBM\n\tPICTURES: sky\n"
         "\tDISTANCE: 100000\n\tBOTTOM: 0\n\tBOTTOM_INTENSITY: 100\n\tINTENSITY_STEP: 0\nEND_BACKGROUND: sky\n\n";
    s += sun;

    std::string main;
    const char* kinds[] = {"track", "tree", "house", "palm", "grass"};
    for (int slot = 0; slot < 6; ++slot) {
        for (int k = 0; k < 5; ++k)
            main += dynamic_block(kinds[k] + std::to_string(slot), 3000.0 * k, 3000.0 * slot);
    }
    for (const Landmark& l : landmarks) main += dynamic_block(l.name, -3000, 3000.0 * (&l - landmarks));
    // Ground tiles under the whole loop, the rail strip along the survey on them.
    const double tile = 8000;
    for (int row = -10; row < 10; ++row) {
        for (int column = -10; column < 10; ++column)
            main += flat("ground", "GROUND.JPG", column * tile, row * tile, (column + 1) * tile, (row + 1) * tile, 0,
                         4, 4);
    }
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        const Point& a = points[i];
        const Point& b = points[i + 1];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        const double nx = -(b.y - a.y) / length * kRailWidth / 2, ny = (b.x - a.x) / length * kRailWidth / 2;
        const double v = length / kRailWidth;
        main += polygon("rail", 90, 80, 70, "TRACK.BMP", -1,
                        {{a.x + nx, a.y + ny, 3, 0, v}, {b.x + nx, b.y + ny, 3, 0, 0}, {b.x - nx, b.y - ny, 3, 1, 0},
                         {a.x - nx, a.y - ny, 3, 1, v}});
    }
    s += module("main", main);
    for (int slot = 0; slot < 6; ++slot) {
        for (const char* kind : kinds) s += module(kind + std::to_string(slot), model(kind, tree_key, palm_key));
    }
    for (const Landmark& l : landmarks) s += module(l.name, model("adsign", -1, -1));
    return s + "END_DESIGN:\n";
}

// Lights colour the points only while the 3D card is in use: the card runs for this, without its
// driver dialog. Without it the world keeps its unlit colours.
void apply_lights()
{
    const int hidden = Drovik_3D_card_is_driver_selection_window_visible();
    Drovik_3D_card_hide_driver_selection_window(1);
    if (Drovik_engine_use_3D_accelerator_card(1) == 0) {
        for (DROVIK_HANDLE l = Drovik_light_get_first_light(); l; l = Drovik_light_get_next_light(l))
            Drovik_light_activate(l, 0);
    } else {
        std::fprintf(stderr, "make_demo_data: the 3D card did not start; the world is saved without its lights applied\n");
    }
    Drovik_3D_card_hide_driver_selection_window(hidden);
}

}  // namespace

bool WriteDemoRoute(const std::string& root)
{
    const fs::path folder = fs::path(root) / "routes" / "Tarrow-Venn";
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "make_demo_data: %s: %s\n", folder.string().c_str(), ec.message().c_str());
        return false;
    }
    const std::vector<Point> points = survey();
    std::string text;
    for (const Point& p : points) text += plat_format("%.3f %.3f %.3f\r\n", p.x, p.y, p.z);
    bool ok = write_text(folder / "Tarr_Venn_survey.txt", text);
    const std::vector<float> kms = segment_kms(points);
    std::string profile, names;
    for (const Landmark& l : landmarks) {
        profile += plat_format("%.3f %s\r\n", static_cast<double>(kms[static_cast<size_t>(l.segment)]), l.name);
        names += plat_format("%g %s\r\n", l.offset, l.name);
    }
    ok = write_text(folder / "track_profile.txt", profile) && ok;
    ok = write_text(fs::path(root) / "routes" / "landmarks.txt", names) && ok;
    if (!ok) std::fprintf(stderr, "make_demo_data: cannot write the route files in %s\n", folder.string().c_str());
    return ok;
}

bool WriteDemoWorld(const std::string& root)
{
    const fs::path world = fs::path(root) / "world";
    const fs::path target = world / "architype.drovik";
    if (DemoKeeps(target.string())) return true;
    const fs::path bitmaps = world / "bitmaps";
    const std::string text = world_text(survey(), key_index(bitmaps / "tree.bmp"), key_index(bitmaps / "palm.bmp"));
    // The text world is only the source: it and the tree cache of its load stay in a scratch folder.
    const fs::path scratch = fs::temp_directory_path() / ("demo_world_" + std::to_string(std::random_device{}()));
    std::error_code ec;
    fs::create_directories(scratch, ec);
    bool ok = !ec && DemoWriteFile((scratch / "architype.wld").string(), std::vector<unsigned char>(text.begin(), text.end()));
    const std::string bitmaps_folder = bitmaps.string() + "/";
    ok = ok && Drovik_engine_load_world("architype.wld", scratch.string().c_str(), bitmaps_folder.c_str(), 0) == 0;
    if (ok)
        apply_lights();
    ok = ok && Drovik_engine_save(target.string().c_str(), nullptr, 0x800) == 0;
    Drovik_engine_close();
    fs::remove_all(scratch, ec);
    if (!ok) std::fprintf(stderr, "make_demo_data: cannot convert the demo world into %s\n", target.string().c_str());
    return ok;
}
