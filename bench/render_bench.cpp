// Software renderer speed: each span drawer in pixels per second, a generated textured scene and a
// plain fill of a 640 x 480 frame in frames per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "render/software/fill_bag.h"
#include "render/software/span_drawers.h"
#include "render_bench_scene.h"

namespace {

constexpr int span_pixels = 640;

// A 256 x 256 texture with 32 shade tables, a frame row, its coverage mask and z cells.
struct drawer_rig {
    std::vector<uint8_t> texels = std::vector<uint8_t>(256 * 256);
    std::vector<std::vector<uint16_t>> tables = std::vector<std::vector<uint16_t>>(32, std::vector<uint16_t>(256));
    std::vector<const uint16_t*> table_pointers = std::vector<const uint16_t*>(32);
    std::vector<uint16_t> averages = std::vector<uint16_t>(32, 0x7BEF);
    std::vector<uint16_t> row = std::vector<uint16_t>(span_pixels);
    std::vector<uint32_t> mask = std::vector<uint32_t>(span_pixels / 32);
    std::vector<uint32_t> zcells = std::vector<uint32_t>(span_pixels);
    fill_bag bag{};

    drawer_rig() {
        for (size_t i = 0; i < texels.size(); ++i) texels[i] = static_cast<uint8_t>((i * 7 + i / 256) % 255);
        for (int l = 0; l < 32; ++l) {
            for (int t = 0; t < 256; ++t) tables[l][t] = static_cast<uint16_t>(t * 31 + l);
            table_pointers[l] = tables[l].data();
        }
        bag.texture = {texels.data(), table_pointers.data(), averages.data(), 256, 256, 0};
        bag.step = 16;
        bag.step_log2 = 4;
        bag.step_reciprocal = 1.0 / 16;
        bag.shade_level = 8;
        bag.light_factor = 0.0001;
        bag.distance_from_eye = 4;
        // Depth and texture cords change along the span: a floor seen at an angle.
        bag.inverse_z = {-0.00001, 0, -0.01};
        bag.u_z = {-0.003, 0, -0.2};
        bag.v_z = {-0.001, 0, -0.5};
        bag.shade_z = {0, 0, -0.09};
    }

    void draw(span_drawer d) {
        std::fill(mask.begin(), mask.end(), 0);
        std::fill(zcells.begin(), zcells.end(), 0);
        bag.span_x = 0.5 - span_pixels / 2;
        bag.span_y = 0.5;
        bag.span_length = span_pixels;
        bag.destination = row.data();
        bag.zbuffer_cell = zcells.data();
        bag.mask_word = mask.data();
        bag.mask_bit = 0;
        bag.span_free = 1;
        d(bag);
    }
};

void drawer_speed(benchmark::State& state, span_drawer d) {
    drawer_rig rig;
    for (auto _ : state) {
        rig.draw(d);
        benchmark::DoNotOptimize(rig.row.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * span_pixels);
}

const std::pair<const char*, span_drawer> drawers[] = {
    {"draw_y_line_bitmap_tiled", draw_y_line_bitmap_tiled},
    {"draw_y_line_bitmap_tiled_linear", draw_y_line_bitmap_tiled_linear},
    {"draw_y_line_bitmap_tiled_interpolated_shading", draw_y_line_bitmap_tiled_interpolated_shading},
    {"draw_y_line_bitmap_tiled_semi_zbuff", draw_y_line_bitmap_tiled_semi_zbuff},
    {"draw_y_line_bitmap_tiled_semi_zbuff_transparent", draw_y_line_bitmap_tiled_semi_zbuff_transparent},
    {"draw_y_line_bitmap_tiled_full_zbuff", draw_y_line_bitmap_tiled_full_zbuff},
    {"draw_y_line_solid_shaded", draw_y_line_solid_shaded},
    {"draw_y_line_solid_shaded_semi_zbuff", draw_y_line_solid_shaded_semi_zbuff},
    {"draw_y_line_solid_shaded_full_zbuff", draw_y_line_solid_shaded_full_zbuff},
};

void scene_speed(benchmark::State& state) {
    bench_scene scene;
    for (auto _ : state) scene.frame();
}

void fill_speed(benchmark::State& state) {
    bench_scene scene;
    for (auto _ : state) scene.plain_fill();
}

// Keeps the runs' rates for the summary lines instead of printing a table.
class rate_collector : public benchmark::BenchmarkReporter {
public:
    std::map<std::string, double> per_second;
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto items = run.counters.find("items_per_second");
            const double seconds = run.GetAdjustedRealTime() / 1e9;
            per_second[run.benchmark_name()] =
                items != run.counters.end() ? items->second.value : (seconds > 0 ? 1 / seconds : 0);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    for (const auto& [name, d] : drawers) {
        benchmark::RegisterBenchmark(name, drawer_speed, d)->Unit(benchmark::kNanosecond);
    }
    benchmark::RegisterBenchmark("scene", scene_speed)->Unit(benchmark::kNanosecond);
    benchmark::RegisterBenchmark("plain_fill", fill_speed)->Unit(benchmark::kNanosecond);
    benchmark::Initialize(&argc, argv);
    rate_collector rates;
    benchmark::RunSpecifiedBenchmarks(&rates);
    for (const auto& [name, d] : drawers) {
        std::printf("drawer %s: %.1f Mpix/s\n", name, rates.per_second[name] / 1e6);
    }
    const double frames = rates.per_second["scene"];
    const double fills = rates.per_second["plain_fill"];
    std::printf("scene 640x480: %.1f frames/s\n", frames);
    std::printf("plain fill 640x480: %.1f frames/s\n", fills);
    std::printf("frame/fill ratio: %.2f\n", frames > 0 ? fills / frames : 0.0);
    benchmark::Shutdown();
    return 0;
}
