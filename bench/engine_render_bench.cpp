// The frame render through the engine's interface on one generated world: frames per second into
// a 640 x 480 memory window and into a 640 x 480 SDL window (the dummy video driver when there is
// no display).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "drovik.h"
#include "formats/binary_format.h"
#include "platform/window.h"

namespace fs = std::filesystem;

namespace {

constexpr int frame_width = 640;
constexpr int frame_height = 480;

// Rows of coloured walls standing across the view at growing depth, each row shifted sideways,
// in front of a camera at the origin looking along -x.
bf_world wall_rows() {
    using namespace bf_layout;
    bf_world w;
    w.cords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    w.group_names.push_back("walls");
    w.groups.push_back({1, 0, 0});
    for (int row = 0; row < 40; ++row) {
        const float x = -150.0f - 60.0f * static_cast<float>(row);
        for (int column = -6; column <= 6; ++column) {
            const float y = 90.0f * static_cast<float>(column) + 30.0f * static_cast<float>(row % 3);
            const float z = -80.0f + 10.0f * static_cast<float>((row + column) % 5);
            const auto first = static_cast<uint32_t>(w.points.size());
            for (const auto& [dy, dz] : {std::pair{60.0f, 120.0f}, {60.0f, 0.0f}, {0.0f, 0.0f}, {0.0f, 120.0f}}) {
                w.points.push_back({x, y + dy, z + dz, 255, 255, 255, 127, 0, 0});
            }
            bf_polygon p;
            p.presence = has_colour | has_group;
            p.kind_word = kind_four_points;
            p.red = static_cast<uint8_t>(60 + (row * 7) % 180);
            p.green = static_cast<uint8_t>(60 + (column * 13 + 91) % 180);
            p.blue = static_cast<uint8_t>(90 + (row * 11) % 150);
            p.group = 1;
            for (uint32_t k = 0; k < 4; ++k) {
                p.points.push_back(first + k);
                p.cords.push_back(k);
            }
            w.polygons.push_back(std::move(p));
        }
    }
    return w;
}

std::map<std::string, double> frames_per_second;

void render_speed(benchmark::State& state, plat_window* window, const char* name) {
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (Drovik_engine_render(window, nullptr) != 0) state.SkipWithError("render failed");
        plat_pump_events();
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    if (seconds.count() > 0) frames_per_second[name] = static_cast<double>(state.iterations()) / seconds.count();
}

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("DROVIK_HEADLESS_BOXES", "1", 0);
    const fs::path folder = fs::temp_directory_path() / "drovik_engine_render_bench";
    fs::create_directories(folder);
    fs::current_path(folder);
    if (bfl_write_world_file("walls.drovik", wall_rows()) != 0 ||
        Drovik_engine_load_world("walls.drovik", ".", "", 0) != 0) {
        std::fprintf(stderr, "engine_render_bench: the generated world did not load\n");
        return 1;
    }
    Drovik_engine_set_picture_quality(frame_width * frame_height);
    plat_window* memory = plat_window_create_memory(frame_width, frame_height);
    plat_window* sdl = plat_window_create_sdl("engine_render_bench", PLAT_DEFAULT_POSITION, PLAT_DEFAULT_POSITION,
                                              frame_width, frame_height, true);
    benchmark::RegisterBenchmark("memory window", render_speed, memory, "memory")->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("SDL window", render_speed, sdl, "sdl")->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    std::printf("memory window 640x480: %.1f frames/s\n", frames_per_second["memory"]);
    std::printf("SDL window 640x480: %.1f frames/s\n", frames_per_second["sdl"]);
    benchmark::Shutdown();
    plat_window_destroy(sdl);
    plat_window_destroy(memory);
    Drovik_engine_close();
    fs::current_path(fs::temp_directory_path());
    std::error_code error;
    fs::remove_all(folder, error);
    return 0;
}
