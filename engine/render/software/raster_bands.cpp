// Rasterising a frame on several threads by bands of rows.
#include "render/software/raster_bands.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <numeric>
#include <thread>
#include <vector>

#include "foundation/errors.h"
#include "foundation/profiler.h"
#include "render/software/polygon_raster.h"
#include "world/engine_state.h"

namespace {

constexpr int most_threads = 64;
constexpr int bands_per_thread = 3;

// A kept polygon: its prepared bag, its points in the frame's stores, and the rows it may touch.
struct kept_polygon {
    fill_bag bag;
    bool marked;
    size_t first_point;
    int first_row, last_row;
};

// Worker threads waiting for a job that every thread, the caller's too, runs once.
class band_pool {
public:
    ~band_pool() { resize(0); }

    void resize(int workers) {
        if (workers == static_cast<int>(threads_.size())) return;
        {
            std::lock_guard<std::mutex> guard(lock_);
            stop_ = true;
        }
        start_.notify_all();
        for (std::thread& t : threads_) t.join();
        threads_.clear();
        stop_ = false;
        // A worker starts from the current job, so a job given before it first waits is not missed.
        for (int i = 0; i < workers; ++i) threads_.emplace_back([this, seen = generation_] { serve(seen); });
    }

    template <class F>
    void run(F& job) {
        {
            std::lock_guard<std::mutex> guard(lock_);
            job_ = static_cast<void*>(&job);
            call_ = [](void* f) { (*static_cast<F*>(f))(); };
            pending_ = static_cast<int>(threads_.size());
            ++generation_;
        }
        start_.notify_all();
        job();
        std::unique_lock<std::mutex> guard(lock_);
        done_.wait(guard, [this] { return pending_ == 0; });
        job_ = nullptr;
    }

private:
    void serve(uint64_t seen) {
        std::unique_lock<std::mutex> guard(lock_);
        for (;;) {
            start_.wait(guard, [&] { return stop_ || generation_ != seen; });
            if (stop_) return;
            seen = generation_;
            void* job = job_;
            void (*call)(void*) = call_;
            guard.unlock();
            call(job);
            guard.lock();
            if (--pending_ == 0) done_.notify_one();
        }
    }

    std::vector<std::thread> threads_;
    std::mutex lock_;
    std::condition_variable start_, done_;
    void* job_ = nullptr;
    void (*call_)(void*) = nullptr;
    int pending_ = 0;
    uint64_t generation_ = 0;
    bool stop_ = false;
};

struct band_state {
    int threads = -1;  // -1: not yet chosen
    bool keeping = false;
    int height = 0;
    int row_alignment = 1;
    std::vector<kept_polygon> kept;
    std::vector<clip_point> points, camera_points;
    std::vector<projected_point> projected;
    long fills = 0;
    band_pool pool;
};

band_state& bands() {
    static band_state state;
    return state;
}

int cores() { return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, most_threads); }

int threads_from_environment() {
    const char* text = std::getenv("DROVIK_RENDER_THREADS");
    if (!text || !*text) return 0;
    char* end = nullptr;
    const long count = std::strtol(text, &end, 10);
    if (*end != '\0' || count < 0) return 0;
    return static_cast<int>(std::min<long>(count, most_threads));
}

// Rows a polygon may scan: a row around its projected height, the whole frame when unknown.
void row_range(const fill_bag& bag, int& first, int& last) {
    double top = bag.projected[0].y, bottom = top;
    for (int i = 1; i < bag.count; ++i) {
        top = std::max(top, bag.projected[i].y);
        bottom = std::min(bottom, bag.projected[i].y);
    }
    const double from = std::floor(bag.middle_y - top) - 1;
    const double to = std::floor(bag.middle_y - bottom) + 1;
    first = from >= -2 ? static_cast<int>(std::min<double>(from, bag.height + 2)) : -2;
    last = to <= bag.height + 2 ? static_cast<int>(std::max<double>(to, -2)) : bag.height + 2;
}

void draw_band(band_state& s, raster_band& band) {
    for (const kept_polygon& k : s.kept) {
        if (k.last_row < band.first_row || k.first_row >= band.end_row) continue;
        fill_bag bag = k.bag;
        bag.points = &s.points[k.first_point];
        bag.camera_points = &s.camera_points[k.first_point];
        bag.projected = &s.projected[k.first_point];
        bag.poly = nullptr;
        bag.band = &band;
        fill_prepared_polygon(bag, k.marked);
    }
}

// Band edges fall on rows whose coverage bits start a word, so no word is shared by two bands.
std::vector<raster_band> make_bands(const band_state& s, std::vector<frame_statistics>& statistics) {
    const int wanted = s.threads * bands_per_thread;
    int rows = (s.height + wanted - 1) / wanted;
    rows = std::max(s.row_alignment, (rows + s.row_alignment - 1) / s.row_alignment * s.row_alignment);
    std::vector<raster_band> out;
    for (int first = 0; first < s.height || out.empty(); first += rows) {
        out.push_back({first, first + rows, nullptr, 0});
    }
    out.front().first_row = INT32_MIN;
    out.back().end_row = INT32_MAX;
    statistics.assign(out.size(), frame_statistics{});
    for (size_t i = 0; i < out.size(); ++i) out[i].statistics = &statistics[i];
    return out;
}

void add_statistics(const frame_statistics& band) {
    frame_statistics& total = engine_state.statistics;
    total.lines += band.lines;
    total.pixels += band.pixels;
    total.hidden_lines += band.hidden_lines;
    total.hidden_pixels += band.hidden_pixels;
    total.hidden_line_pixels += band.hidden_line_pixels;
}

void draw_kept() {
    band_state& s = bands();
    if (s.kept.empty()) return;
    std::vector<frame_statistics> statistics;
    std::vector<raster_band> list = make_bands(s, statistics);
    std::atomic<size_t> next{0};
    auto job = [&] {
        for (size_t i = next.fetch_add(1); i < list.size(); i = next.fetch_add(1)) draw_band(s, list[i]);
    };
    // The clock is read by this thread only, once before and once after the bands.
    const uint32_t start = profiler_tick();
    s.pool.run(job);
    const long microseconds = profiler_elapsed(start);
    for (const raster_band& band : list) {
        add_statistics(*band.statistics);
        for (int64_t i = 0; i < band.zbuffer_errors; ++i) report_error(1, raster_texts::zbuffer_range);
    }
    profiler_add(fill_poly_chunk(), microseconds, s.fills);
    s.kept.clear();
    s.points.clear();
    s.camera_points.clear();
    s.projected.clear();
    s.fills = 0;
}

}  // namespace

void software_render_set_threads(int count) {
    band_state& s = bands();
    s.threads = std::clamp(count, 0, most_threads);
    if (s.threads == 0) s.threads = cores();
}

int software_render_threads() {
    band_state& s = bands();
    if (s.threads < 0) software_render_set_threads(threads_from_environment());
    return s.threads;
}

void raster_bands_begin(const camera* c) {
    band_state& s = bands();
    const int threads = software_render_threads();
    s.keeping = threads > 1 && c && !raster_frame_state().check_spans;
    if (!s.keeping) return;
    s.pool.resize(threads - 1);
    s.height = c->height;
    const int pitch = std::max(c->buffer_pitch, 1);
    s.row_alignment = 32 / std::gcd(pitch, 32);
}

bool raster_bands_keep(const fill_bag& bag, bool marked) {
    band_state& s = bands();
    if (!s.keeping) return false;
    if (!fill_can_wait(bag)) {
        draw_kept();
        return false;
    }
    kept_polygon k{bag, marked, s.points.size(), 0, 0};
    row_range(bag, k.first_row, k.last_row);
    s.points.insert(s.points.end(), bag.points, bag.points + bag.count);
    s.camera_points.insert(s.camera_points.end(), bag.camera_points, bag.camera_points + bag.count);
    s.projected.insert(s.projected.end(), bag.projected, bag.projected + bag.count);
    s.kept.push_back(k);
    s.fills += fill_poly_calls(bag);
    engine_state.statistics.polygons += scannable_fills(bag);
    return true;
}

void raster_bands_end() {
    band_state& s = bands();
    if (!s.keeping) return;
    draw_kept();
    s.keeping = false;
}
