// The software renderer on the demo world and on box towns of 1, 10 and 100 times its polygons, at
// 640 x 480 and 1920 x 1080, through the engine's interface into a memory window: frames per second
// and nanoseconds per written pixel (medians of the wall clock), polygons drawn a frame and the share
// of scanned pixels hidden behind nearer ones.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "../demo/demo_world.h"
#include "../demo/demo_world_bitmaps.h"
#include "box_town.h"
#include "drovik.h"
#include "platform/window.h"
#include "render/render_backend.h"
#include "render/software/raster_bands.h"
#include "world/engine_state.h"

namespace fs = std::filesystem;

namespace {

struct resolution {
    int width, height;
};
constexpr resolution resolutions[] = {{640, 480}, {1920, 1080}};
constexpr int town_factors[] = {1, 10, 100};
// An odd dark grey no polygon of the worlds here draws: what the counting frame leaves uncovered.
constexpr uint16_t uncovered = 0x0821;

// Thread counts the rasteriser is measured with: one, and one per core.
std::vector<int> thread_counts() {
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    if (cores == 1) return {1};
    return {1, cores};
}

struct view {
    double eye[3], target[3];
};

// What one frame scans: the polygons handed to the rasteriser and the pixels they cover.
struct scan_count {
    long polygons = 0;
    double pixels = 0;
};
scan_count scanned;

double projected_area(const projected_point* p, int count) {
    double twice = 0;
    for (int i = 0; i < count; ++i) {
        const projected_point& a = p[i];
        const projected_point& b = p[(i + 1) % count];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::fabs(twice) / 2;
}

int counting_polygon(camera* c, polygon* p, const clip_point* points, int count, const clip_point* camera_points,
                     const projected_point* projected) {
    ++scanned.polygons;
    scanned.pixels += projected_area(projected, count);
    return render_backend_software().projected_polygon(c, p, points, count, camera_points, projected);
}

struct frame_figures {
    long polygons;
    double scanned, covered;
};

// One frame drawn without the sky on an odd background, counting what the rasteriser scans and
// what stays covered in the window.
frame_figures count_frame(plat_window* window, DROVIK_HANDLE camera) {
    render_backend counting = render_backend_software();
    counting.projected_polygon = counting_polygon;
    background* sky = engine_state.current_background;
    const uint16_t pixel = engine_state.background_pixel;
    engine_state.current_background = nullptr;
    engine_state.background_pixel = uncovered;
    render_backend_use(&counting);
    scanned = {};
    Drovik_engine_render(window, camera);
    render_backend_use(nullptr);
    engine_state.current_background = sky;
    engine_state.background_pixel = pixel;
    const std::vector<uint16_t> frame = plat_window_frame(window);
    const auto covered = std::count_if(frame.begin(), frame.end(), [](uint16_t p) { return p != uncovered; });
    return {scanned.polygons, scanned.pixels, static_cast<double>(covered)};
}

void frames(benchmark::State& state, plat_window* window, DROVIK_HANDLE camera) {
    for (auto _ : state) {
        if (Drovik_engine_render(window, camera) != 0) state.SkipWithError("render failed");
    }
}

// Keeps the median seconds a frame of each case.
class median_reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.aggregate_name == "median") seconds[run.run_name.function_name] = run.GetAdjustedRealTime() / 1e3;
        }
    }
    std::map<std::string, double> seconds;
};

struct table_row {
    std::string world;
    int polygons, width, height, threads;
    double seconds;
    frame_figures figures;
};

int world_polygons() {
    int count = 0;
    for (DROVIK_HANDLE p = Drovik_polygon_get_first_polygon(); p; p = Drovik_polygon_get_next(p)) ++count;
    return count;
}

// Measures the loaded world at every resolution and thread count.
void measure(const std::string& world, const view& v, median_reporter& reporter, std::vector<table_row>& rows) {
    Drovik_engine_use_zbuffer(1);
    DROVIK_HANDLE camera = Drovik_camera_create("bench");
    Drovik_camera_set_zoom(camera, 70);
    Drovik_camera_set_location(camera, v.eye[0], v.eye[1], v.eye[2]);
    Drovik_camera_point_at(camera, v.target[0], v.target[1], v.target[2]);
    const int polygons = world_polygons();
    for (const resolution& r : resolutions) {
        plat_window* window = plat_window_create_memory(r.width, r.height);
        Drovik_engine_set_picture_quality(r.width * r.height);
        for (int threads : thread_counts()) {
            software_render_set_threads(threads);
            const std::string name = world + " " + std::to_string(r.width) + "x" + std::to_string(r.height) + " " +
                                     std::to_string(threads) + " thread";
            const frame_figures figures = count_frame(window, camera);
            benchmark::RegisterBenchmark(name.c_str(), frames, window, camera)
                ->UseRealTime()
                ->MinTime(0.3)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true)
                ->Unit(benchmark::kMillisecond);
            benchmark::RunSpecifiedBenchmarks(&reporter);
            benchmark::ClearRegisteredBenchmarks();
            rows.push_back({world, polygons, r.width, r.height, threads, reporter.seconds[name], figures});
        }
        plat_window_destroy(window);
    }
    Drovik_camera_delete(camera);
}

void print_table(const std::vector<table_row>& rows) {
    std::printf("\nsoftware renderer, wall clock, medians of 5; %u cores\n", std::thread::hardware_concurrency());
    std::printf("%-10s %8s %10s %7s %9s %9s %12s %9s %8s\n", "world", "polygons", "frame", "threads", "ms", "fps",
                "ns/written", "drawn", "hidden");
    for (const table_row& r : rows) {
        // Every pixel of the frame is written once: by the nearest polygon or by the sky.
        const double pixels = static_cast<double>(r.width) * r.height;
        const double hidden = r.figures.scanned > 0 ? std::max(0.0, 1 - r.figures.covered / r.figures.scanned) : 0;
        const std::string frame = std::to_string(r.width) + "x" + std::to_string(r.height);
        std::printf("%-10s %8d %10s %7d %9.2f %9.1f %12.2f %9ld %7.1f%%\n", r.world.c_str(), r.polygons,
                    frame.c_str(), r.threads, r.seconds * 1e3, r.seconds > 0 ? 1 / r.seconds : 0.0,
                    r.seconds * 1e9 / pixels, r.figures.polygons, hidden * 100);
    }
}

bool load(const std::string& file, const std::string& folder, const std::string& bitmaps) {
    if (Drovik_engine_load_world(file.c_str(), folder.c_str(), bitmaps.c_str(), 0) == 0) return true;
    std::fprintf(stderr, "world_render_bench: %s/%s did not load\n", folder.c_str(), file.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("DROVIK_HEADLESS_BOXES", "1", 0);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    benchmark::Initialize(&argc, argv);
    const fs::path root = fs::temp_directory_path() / "drovik_world_render_bench";
    fs::remove_all(root);
    fs::create_directories(root);
    fs::current_path(root);
    const std::string world = (root / "world").string(), bitmaps = world + "/bitmaps/";
    if (!WriteDemoWorldBitmaps(root.string()) || !WriteDemoWorld(root.string()) ||
        !load("architype.drovik", world, bitmaps)) {
        return 1;
    }
    median_reporter reporter;
    std::vector<table_row> rows;
    // From the lead-in of the loop across the ground toward the scenery by the centre.
    measure("demo", {{-4000, -4000, 300}, {6000, 7500, 100}}, reporter, rows);
    const int demo_polygons = world_polygons();
    for (int factor : town_factors) {
        const std::string name = "town" + std::to_string(factor) + "x";
        const int polygons = demo_polygons * factor;
        if (bfl_write_world_file((name + ".drovik").c_str(), box_town(polygons)) != 0 ||
            !load(name + ".drovik", ".", "")) {
            return 1;
        }
        // From a corner above the roofs along the diagonal of the square town.
        const double side = std::ceil(std::sqrt((polygons + 5) / 6.0)) * 400;
        measure(name, {{-300, -300, 250}, {side / 2, side / 2, 0}}, reporter, rows);
    }
    print_table(rows);
    benchmark::Shutdown();
    Drovik_engine_close();
    fs::current_path(fs::temp_directory_path());
    std::error_code error;
    fs::remove_all(root, error);
    return 0;
}
