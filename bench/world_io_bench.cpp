// World load and save through the engine's interface on box-town worlds of growing size: wall
// clock and processor time, MB/s and polygons/s per figure, memory per loaded polygon, and the
// growth between the two largest sizes beside that of n log n, from each size's own runs and from
// runs of both sizes taken in turn.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "box_town.h"
#include "drovik.h"
#include "formats/binary_format.h"

namespace fs = std::filesystem;

namespace {

constexpr double minute = 60;
constexpr int editor_flags = 0x4;

size_t status_kb(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t length = std::strlen(field);
    while (std::getline(in, line)) {
        if (line.compare(0, length, field) == 0) return std::strtoull(line.c_str() + length, nullptr, 10);
    }
    return 0;
}

// Starts a new peak of the resident set (Linux resets VmHWM on "5").
void reset_peak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}

double clock_seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wall clock and processor time of a step: on a shared machine the wall clock also counts the
// waits for a core, the processor time not the kernel's page handling of other processes.
struct seconds {
    double wall = 0;
    double cpu = 0;
};

struct figure {
    const char* name;
    // Prepares untimed, then returns the seconds of the timed step.
    std::function<seconds(const std::string& world)> run;
    // The file whose size gives MB/s.
    std::function<std::string(const std::string& world)> bytes_of;
    bool needs_stored_trees = false;  // starts from the file the tree build saved
};

void must(int result, const char* what) {
    if (result != 0) {
        std::fprintf(stderr, "world_io_bench: %s failed\n", what);
        std::exit(1);
    }
}

seconds timed(const std::function<int()>& step, const char* what) {
    const double wall = clock_seconds(CLOCK_MONOTONIC);
    const double cpu = clock_seconds(CLOCK_PROCESS_CPUTIME_ID);
    must(step(), what);
    return {clock_seconds(CLOCK_MONOTONIC) - wall, clock_seconds(CLOCK_PROCESS_CPUTIME_ID) - cpu};
}

// A load timed on its own: the world before it is closed first, untimed.
seconds timed_load(const std::string& file, int flags, const char* what) {
    must(Drovik_engine_load_world(nullptr, nullptr, nullptr, editor_flags), "empty load");
    return timed([&] { return Drovik_engine_load_world(file.c_str(), ".", nullptr, flags); }, what);
}

void remove_cache(const std::string& world) { fs::remove(fs::path(world).replace_extension(".bsp")); }

std::string world_of(int polygons) { return "town_" + std::to_string(polygons) + ".drovik"; }

// The file the tree build of `world` saves: each size keeps its own.
std::string stored_of(const std::string& world) { return "stored_" + world; }

std::vector<figure> figures() {
    auto load = [](const std::string& file, int flags) {
        return [file, flags] { return Drovik_engine_load_world(file.c_str(), ".", nullptr, flags); };
    };
    auto the_world = [](const std::string& w) { return w; };
    auto named = [](const char* file) { return [file](const std::string&) { return std::string(file); }; };
    return {
        {"editor load", [](const std::string& w) { return timed_load(w, editor_flags, "editor load"); }, the_world},
        {"viewer load building trees",
         [=](const std::string& w) {
             remove_cache(w);
             const seconds t = timed_load(w, 0, "viewer load");
             must(Drovik_engine_save(stored_of(w).c_str(), nullptr, 0), "viewer save");
             return t;
         },
         the_world},
        {"viewer load with stored trees",
         [](const std::string& w) { return timed_load(stored_of(w), 0, "stored load"); }, stored_of, true},
        {"editor save",
         [=](const std::string& w) {
             must(load(w, editor_flags)(), "editor load");
             return timed([] { return Drovik_engine_save("editor_save.drovik", nullptr, 0); }, "editor save");
         },
         named("editor_save.drovik")},
        {"viewer save",
         [=](const std::string& w) {
             must(load(stored_of(w), 0)(), "stored load");
             return timed([] { return Drovik_engine_save("viewer_save.drovik", nullptr, 0); }, "viewer save");
         },
         named("viewer_save.drovik"), true},
        {"close",
         [=](const std::string& w) {
             must(load(w, editor_flags)(), "editor load");
             return timed([] { return Drovik_engine_load_world(nullptr, nullptr, nullptr, editor_flags); }, "close");
         },
         the_world},
    };
}

// The console report, with the machine description printed once rather than per figure.
class quiet_console : public benchmark::ConsoleReporter {
public:
    bool ReportContext(const Context& context) override {
        if (shown_) return true;
        shown_ = true;
        return ConsoleReporter::ReportContext(context);
    }

private:
    bool shown_ = false;
};

struct result {
    int polygons;
    seconds time;  // medians of the runs
    double bytes;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The exponent e of n^e that takes `from` seconds at `n` to `to` seconds at `m`.
double growth(double from, double to, double n, double m) { return std::log(to / from) / std::log(m / n); }

double wall_exponent(const result& a, const result& b) {
    return growth(a.time.wall, b.time.wall, a.polygons, b.polygons);
}

double cpu_exponent(const result& a, const result& b) { return growth(a.time.cpu, b.time.cpu, a.polygons, b.polygons); }

// The exponent n log n itself shows between the two sizes.
double n_log_n_exponent(double n, double m) { return growth(n * std::log(n), m * std::log(m), n, m); }

// The seconds the next size would take, from the growth seen so far (n^2 until two sizes are known).
double predicted(const std::vector<result>& seen, int polygons) {
    if (seen.empty()) return 0;
    const result& last = seen.back();
    const double e = seen.size() >= 2 ? std::max(1.0, wall_exponent(seen[seen.size() - 2], last)) : 2.0;
    return last.time.wall * std::pow(static_cast<double>(polygons) / last.polygons, e);
}

struct memory_figure {
    int polygons;
    double peak_per_polygon;
    double held_per_polygon;
};

// Bytes of live heap blocks, those the heap maps on their own included.
double heap_bytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

memory_figure measure_memory(const std::string& world, int polygons) {
    must(Drovik_engine_load_world(nullptr, nullptr, nullptr, editor_flags), "empty load");
    malloc_trim(0);
    const double held_before = heap_bytes();
    const double rss_before = static_cast<double>(status_kb("VmRSS:")) * 1024;
    reset_peak();
    must(Drovik_engine_load_world(world.c_str(), ".", nullptr, editor_flags), "editor load");
    const double peak = static_cast<double>(status_kb("VmHWM:")) * 1024 - rss_before;
    const double held = heap_bytes() - held_before;
    return {polygons, peak / polygons, held / polygons};
}

// The medians of each figure at its two largest sizes, from runs of both taken in turn, smaller
// then larger: both meet the machine in the same state, so the growth they give is less swayed by
// what else the machine does.
std::map<std::string, std::vector<result>> growth_in_turn(const std::vector<figure>& all,
                                                          const std::map<std::string, std::vector<result>>& results,
                                                          int runs) {
    std::map<std::string, std::vector<result>> out;
    for (const figure& f : all) {
        const std::vector<result>& r = results.at(f.name);
        if (r.size() < 2) continue;
        std::vector<result> pair = {r[r.size() - 2], r.back()};
        std::vector<double> walls[2], cpus[2];
        for (int run = 0; run < runs; ++run) {
            for (size_t k = 0; k < 2; ++k) {
                const seconds s = f.run(world_of(pair[k].polygons));
                walls[k].push_back(s.wall);
                cpus[k].push_back(s.cpu);
            }
        }
        for (size_t k = 0; k < 2; ++k) pair[k].time = {median(walls[k]), median(cpus[k])};
        out[f.name] = pair;
    }
    return out;
}

void print_table(const std::vector<figure>& all, const std::map<std::string, std::vector<result>>& results,
                 const std::map<std::string, std::vector<result>>& in_turn, const std::vector<std::string>& skipped,
                 const std::vector<memory_figure>& memory) {
    std::printf("\n%-30s %10s %10s %10s %10s %10s %14s\n", "figure (medians)", "polygons", "wall ms", "cpu ms",
                "wall MB/s", "cpu MB/s", "polygons/s");
    for (const figure& f : all) {
        for (const result& r : results.at(f.name)) {
            std::printf("%-30s %10d %10.2f %10.2f %10.1f %10.1f %14.0f\n", f.name, r.polygons, r.time.wall * 1000,
                        r.time.cpu * 1000, r.bytes / r.time.wall / 1e6, r.bytes / r.time.cpu / 1e6,
                        r.polygons / r.time.wall);
        }
    }
    for (const std::string& line : skipped) std::printf("%s\n", line.c_str());
    std::printf("\n%-30s %10s %22s %22s\n", "memory", "polygons", "peak bytes/polygon", "held bytes/polygon");
    for (const memory_figure& m : memory) {
        std::printf("%-30s %10d %22.0f %22.0f\n", "editor load", m.polygons, m.peak_per_polygon,
                    m.held_per_polygon);
    }
    std::printf("\n%-30s %22s %10s %10s %10s %10s %10s\n", "growth (two largest sizes)", "exponent of n", "wall",
                "cpu", "turn wall", "turn cpu", "n log n");
    for (const figure& f : all) {
        const std::vector<result>& r = results.at(f.name);
        if (r.size() < 2) {
            std::printf("%-30s %22s\n", f.name, "(fewer than two sizes)");
            continue;
        }
        const result& a = r[r.size() - 2];
        const result& b = r.back();
        const std::vector<result>& turn = in_turn.at(f.name);
        std::printf("%-30s %10d -> %-8d %10.2f %10.2f %10.2f %10.2f %10.2f\n", f.name, a.polygons, b.polygons,
                    wall_exponent(a, b), cpu_exponent(a, b), wall_exponent(turn[0], turn[1]),
                    cpu_exponent(turn[0], turn[1]), n_log_n_exponent(a.polygons, b.polygons));
    }
}

}  // namespace

int main(int argc, char** argv) {
    setenv("DROVIK_HEADLESS_BOXES", "1", 0);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    unsetenv("DISPLAY");
    int runs = 3;
    std::vector<int> sizes = {1000, 10000, 100000, 1000000};
    std::vector<char*> rest = {argv[0]};
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--runs=", 7) == 0) {
            runs = std::max(1, std::atoi(argv[i] + 7));
        } else if (std::strncmp(argv[i], "--max_polygons=", 15) == 0) {
            const int limit = std::atoi(argv[i] + 15);
            std::erase_if(sizes, [limit](int n) { return n > limit; });
        } else {
            rest.push_back(argv[i]);
        }
    }
    int rest_count = static_cast<int>(rest.size());
    benchmark::Initialize(&rest_count, rest.data());

    const fs::path folder = fs::temp_directory_path() / ("world_io_bench." + std::to_string(getpid()));
    fs::create_directories(folder);
    fs::current_path(folder);

    const std::vector<figure> all = figures();
    std::map<std::string, std::vector<result>> results;
    for (const figure& f : all) results[f.name];
    std::vector<std::string> skipped;
    std::vector<memory_figure> memory;
    quiet_console console;
    for (int polygons : sizes) {
        const std::string world = world_of(polygons);
        must(bfl_write_world_file(world.c_str(), box_town(polygons)), "writing the world");
        for (const figure& f : all) {
            const double guess = predicted(results[f.name], polygons);
            const bool without_trees = f.needs_stored_trees && !fs::exists(stored_of(world));
            if (guess > minute || without_trees) {
                char line[160];
                std::snprintf(line, sizeof line, "%-30s %10d   skipped: %s", f.name, polygons,
                              without_trees ? "no tree build to start from" : "expected to take over a minute");
                skipped.push_back(line);
                continue;
            }
            std::vector<double> walls, cpus;
            benchmark::ClearRegisteredBenchmarks();
            const std::string name = std::string(f.name) + "/" + std::to_string(polygons);
            benchmark::RegisterBenchmark(name.c_str(),
                                         [&f, &walls, &cpus, world, polygons](benchmark::State& state) {
                                             for (auto _ : state) {
                                                 const seconds s = f.run(world);
                                                 state.SetIterationTime(s.wall);
                                                 walls.push_back(s.wall);
                                                 cpus.push_back(s.cpu);
                                             }
                                             state.SetItemsProcessed(polygons);
                                         })
                ->Iterations(1)
                ->Repetitions(runs)
                ->ReportAggregatesOnly(true)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond);
            benchmark::RunSpecifiedBenchmarks(&console);
            if (walls.empty()) continue;
            results[f.name].push_back(
                {polygons, {median(walls), median(cpus)}, static_cast<double>(fs::file_size(f.bytes_of(world)))});
        }
        memory.push_back(measure_memory(world, polygons));
        must(Drovik_engine_load_world(nullptr, nullptr, nullptr, editor_flags), "empty load");
    }
    std::printf("\nRunning the two largest sizes in turn, %d runs each.\n", runs);
    std::fflush(stdout);
    const std::map<std::string, std::vector<result>> in_turn = growth_in_turn(all, results, runs);
    must(Drovik_engine_load_world(nullptr, nullptr, nullptr, editor_flags), "empty load");
    print_table(all, results, in_turn, skipped, memory);
    fs::current_path(fs::temp_directory_path());
    fs::remove_all(folder);
    benchmark::Shutdown();
    return 0;
}
