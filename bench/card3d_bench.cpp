// The 3D card against the software renderer: one generated world (textured ground and boxes under a
// sky) at 640 x 480 along one camera path, drawn by each and shown in a memory window; frames per
// second of both by the wall clock, their ratio, the threads each used, and the last frame of each
// saved as sw.bmp and gl.bmp in the folder given.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "platform/msgbox.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "render/card3d/card3d.h"
#include "render/frame_state.h"
#include "render/images/bitmap_texture.h"
#include "render/images/winbmp.h"
#include "render/software/background.h"
#include "render/software/frame_buffers.h"
#include "render/software/raster_bands.h"
#include "render/software/world_traversal.h"
#include "render_bench_scene.h"
#include "world/bsp_node.h"
#include "world/bsp_tree.h"
#include "world/camera.h"
#include "world/colour.h"
#include "world/engine_state.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/polygon_fill.h"
#include "world/world_order.h"

namespace {

constexpr int frame_width = 640;
constexpr int frame_height = 480;
constexpr int path_frames = 120;

bitmap_texture* texture(const char* name, int width, int height, int cell, const rgb8& a, const rgb8& b) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels[y * width + x] = static_cast<uint8_t>((x / cell + y / cell) % 2);
    }
    const rgb8 palette[2] = {a, b};
    return bitmap_texture_create_from_pixels(&engine_state.bitmaps, name, width, height, pixels.data(), palette, 2, -1);
}

// A box of side s standing on the ground at (x, y): its four sides and its top.
void box(bsp_node* node, bitmap_texture* t, double x, double y, double s) {
    const double a = x - s / 2, b = x + s / 2, c = y - s / 2, d = y + s / 2;
    bench_add_quad(node, t, {{b, d, s, 1, 0}, {b, d, 0, 1, 1}, {b, c, 0, 0, 1}, {b, c, s, 0, 0}});
    bench_add_quad(node, t, {{a, c, s, 1, 0}, {a, c, 0, 1, 1}, {a, d, 0, 0, 1}, {a, d, s, 0, 0}});
    bench_add_quad(node, t, {{a, d, s, 1, 0}, {a, d, 0, 1, 1}, {b, d, 0, 0, 1}, {b, d, s, 0, 0}});
    bench_add_quad(node, t, {{b, c, s, 1, 0}, {b, c, 0, 1, 1}, {a, c, 0, 0, 1}, {a, c, s, 0, 0}});
    bench_add_quad(node, t, {{a, c, s, 0, 0}, {a, d, s, 1, 0}, {b, d, s, 1, 1}, {b, c, s, 0, 1}});
}

class bench_world {
public:
    bench_world() {
        plat_message_box_set_headless(true);
        engine_set_speaker_mode(0);
        engine_state_reset(0);
        engine_state.zbuffer_state = 1;
        main_ = init_module();
        main_->root = init_bsp_node();
        jstrcpy_with_allocating(&main_->name, "MAIN");
        module_list_push(&engine_state.modules, main_);
        engine_state.main_module = main_;
        bitmap_texture* grass = texture("grass", 64, 64, 8, {60, 140, 50}, {80, 170, 60});
        bitmap_texture* brick = texture("brick", 64, 64, 16, {170, 70, 50}, {200, 190, 170});
        bitmap_texture* sky = texture("sky", 1024, 256, 64, {120, 160, 230}, {200, 220, 250});
        for (int i = 0; i < 20; ++i) {
            for (int j = -4; j < 4; ++j) {
                const double x = -i * 400.0, y = j * 400.0;
                bench_add_quad(main_->root, grass, {{x, y, 0, 0, 0}, {x - 400, y, 0, 0, 1}, {x - 400, y + 400, 0, 1, 1},
                                                   {x, y + 400, 0, 1, 0}});
            }
            box(main_->root, brick, -i * 400.0 - 200, (i % 2 ? 1 : -1) * 500.0, 200);
        }
        build_module_bsp_tree(main_, true);
        thread_polygons_in_world_order();
        engine_state.current_background = background_create(&engine_state.backgrounds, "sky", sky);
        cam_ = camera_init("bench", frame_width, frame_height, 70, 0, 0, {0, 0, 150}, {-1, 0, -0.1}, 4);
        init_draw_buffer(&buffer_, 2);
        set_buffer_dimentions(&buffer_, frame_width, frame_height);
        window_ = plat_window_create_memory(frame_width, frame_height);
    }

    ~bench_world() {
        card3d_close();
        plat_window_destroy(window_);
        free_draw_buffer(&buffer_);
        camera_free(cam_);
        background_delete_all(&engine_state.backgrounds);
        engine_state.current_background = nullptr;
        module_list_free(&engine_state.modules);
        while (bitmap_texture* b = engine_state.bitmaps) {
            engine_state.bitmaps = b->next;
            bitmap_texture_free(b);
        }
        engine_state_release();
        free_frame_buffers();
    }

    // The camera at step n of the path: down the avenue, turning a little.
    void place(int n) {
        camera_set_location(cam_, {-n * 50.0, 0, 150});
        camera_set_direction(cam_, {-1, 0.2 * std::sin(n * 0.05), -0.1});
    }

    // The software frame, shown in the window as the card's is.
    void software_frame(int n) {
        place(n);
        camera_set_resolution(cam_, frame_width, frame_height);
        engine_draw_world_background(engine_state.current_background, &buffer_, engine_state.background_pixel, cam_);
        draw_world(&buffer_, main_, cam_, nullptr);
        const plat_surface frame{frame_width, frame_height, get_buffer_width(&buffer_),
                                 static_cast<uint16_t*>(buffer_.cells)};
        plat_present(window_, &frame, 0, 0, frame_width, frame_height, 0, 0);
    }

    bool start_card() {
        card3d_settings().hide_dialog = 1;
        engine_render_frame_state().show_frames_per_second = 0;
        return card3d_init(window_) == 0;
    }

    // The card's frame in the rendering manager's order with the z-buffer on: world, then sky; read
    // back and shown in the window.
    void card_frame(int n) {
        place(n);
        if (card3d_before_each_render(window_, cam_) != 0) return;
        draw_world(nullptr, main_, cam_, nullptr);
        engine_draw_world_background(engine_state.current_background, nullptr, 0, cam_);
        card3d_after_render();
    }

    // 16-bit pixels to a 24-bit BMP.
    static bool save(const std::string& path, const uint16_t* pixels, int pitch) {
        uint8_t* image = winbmp_init_bitmap(frame_width, frame_height, 24);
        if (!image) return false;
        for (int y = 0; y < frame_height; ++y) {
            for (int x = 0; x < frame_width; ++x) {
                int r, g, b;
                pixel_to_rgb(pixels[y * pitch + x], &r, &g, &b);
                winbmp_set_pixel(image, x, frame_height - 1 - y, r, g, b);  // the file's rows run bottom up
            }
        }
        const bool ok = winbmp_save_to_file(path.c_str(), image) == 0;
        engine_free(image);
        return ok;
    }

    bool save_software(const std::string& path) {
        return save(path, static_cast<const uint16_t*>(buffer_.cells), get_buffer_width(&buffer_));
    }

    bool save_card(const std::string& path) {
        const std::vector<uint16_t> frame = plat_window_frame(window_);
        return frame.size() == static_cast<size_t>(frame_width) * frame_height && save(path, frame.data(), frame_width);
    }

private:
    module* main_ = nullptr;
    camera* cam_ = nullptr;
    draw_buffer buffer_{};
    plat_window* window_ = nullptr;
};

bench_world* world = nullptr;

void software(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) world->software_frame(n++ % path_frames);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void llvmpipe(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) world->card_frame(n++ % path_frames);
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Keeps the median frames per second of each benchmark.
class fps_reporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto fps = run.counters.find("fps");
            if (run.aggregate_name == "median" && fps != run.counters.end())
                rates[run.run_name.function_name] = fps->second.value;
        }
    }
    std::map<std::string, double> rates;
};

}  // namespace

int main(int argc, char** argv) {
    // The card must be Mesa's software renderer, for a fair comparison on any machine.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    benchmark::Initialize(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: card3d_bench OUTDIR\n");
        return 2;
    }
    const std::string out = argv[1];
    bench_world scene;
    world = &scene;
    scene.software_frame(path_frames - 1);
    if (!scene.save_software(out + "/sw.bmp")) {
        std::fprintf(stderr, "card3d_bench: cannot write %s/sw.bmp\n", out.c_str());
        return 1;
    }
    benchmark::RegisterBenchmark("software", software)
        ->Iterations(path_frames)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    fps_reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::ClearRegisteredBenchmarks();

    if (!scene.start_card() || card3d().caps.renderer.find("llvmpipe") == std::string::npos) {
        std::fprintf(stderr, "card3d_bench: the card is not llvmpipe (%s)\n", card3d().caps.renderer.c_str());
        return 1;
    }
    benchmark::RegisterBenchmark("llvmpipe", llvmpipe)
        ->Iterations(path_frames)
        ->Repetitions(5)
        ->ReportAggregatesOnly(true)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    scene.card_frame(path_frames - 1);
    if (!scene.save_card(out + "/gl.bmp")) {
        std::fprintf(stderr, "card3d_bench: cannot write %s/gl.bmp\n", out.c_str());
        return 1;
    }
    const double n = reporter.rates["software"], m = reporter.rates["llvmpipe"];
    const char* lp_threads = std::getenv("LP_NUM_THREADS");
    std::printf("threads: software %d (DROVIK_RENDER_THREADS), llvmpipe LP_NUM_THREADS=%s (unset: one a core), "
                "%u cores\n",
                software_render_threads(), lp_threads ? lp_threads : "(unset)", std::thread::hardware_concurrency());
    std::printf("wall clock, medians of 5: software %.1f fps, llvmpipe %.1f fps, ratio %.2f\n", n, m,
                m > 0 ? n / m : 0.0);
    return 0;
}
