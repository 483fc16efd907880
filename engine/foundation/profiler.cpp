// The profiler's chunk table and its report to the engine log.
#include "foundation/profiler.h"

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>

#include "foundation/errors.h"
#include "foundation/strings.h"
#include "platform/clock.h"

namespace {

struct chunk {
    bool running;
    uint32_t start_tick;
    std::atomic<long> measurements;
    std::atomic<long> total;  // microseconds
    char name[profiler_name_length + 1];
};

struct profiler_state {
    std::recursive_mutex lock;
    chunk table[profiler_chunks];
    int in_use = 0;
    std::atomic<bool> reset{true};
    std::atomic<uint32_t> generation{0};  // raised whenever the table is cleared
};

profiler_state& profiler() {
    static profiler_state state;
    return state;
}

uint32_t tick() { return plat_coarse_tick_ms(); }

long now_microseconds() { return static_cast<long>(tick()) * 1000; }

bool in_use(const profiler_state& p, int number) { return number >= 0 && number < p.in_use; }

// Names are compared as stored: cut to the table's length, letter case ignored.
bool holds_name(const chunk& c, const char* name) {
    char cut[profiler_name_length + 1];
    std::snprintf(cut, sizeof cut, "%s", name);
    return jstricmp(c.name, cut) == 0;
}

long average(const chunk& c) {
    const long count = c.measurements.load(std::memory_order_relaxed);
    return count ? c.total.load(std::memory_order_relaxed) / count : 0;
}

// Clears the table when a reset is pending; the caller holds the lock.
void clear_if_reset(profiler_state& p) {
    if (!p.reset.load(std::memory_order_relaxed)) return;
    for (chunk& c : p.table) {
        c.running = false;
        c.start_tick = 0;
        c.measurements.store(0, std::memory_order_relaxed);
        c.total.store(0, std::memory_order_relaxed);
        c.name[0] = '\0';
    }
    p.in_use = 0;
    // 0 stands for no table in a site.
    if (p.generation.fetch_add(1, std::memory_order_relaxed) + 1 == 0) p.generation.store(1, std::memory_order_relaxed);
    p.reset.store(false, std::memory_order_release);
}

// A new chunk named name, or -2 when the table is full; the caller holds the lock.
int new_chunk(profiler_state& p, const char* name) {
    if (p.in_use + 1 >= profiler_chunks) {
        report_error(1, "start_measuring: cant measure time to so many chunks\n");
        return profiler_disabled_chunk;
    }
    const int number = p.in_use++;
    std::snprintf(p.table[number].name, sizeof p.table[number].name, "%s", name ? name : "");
    return number;
}

}  // namespace

int profiler_site_chunk(profiler_site& site) {
    profiler_state& p = profiler();
    const uint32_t table = site.table.load(std::memory_order_acquire);
    if (table != 0 && !p.reset.load(std::memory_order_acquire) &&
        table == p.generation.load(std::memory_order_relaxed)) {
        return site.chunk.load(std::memory_order_relaxed);
    }
    std::lock_guard<std::recursive_mutex> guard(p.lock);
    clear_if_reset(p);
    const uint32_t current = p.generation.load(std::memory_order_relaxed);
    if (site.table.load(std::memory_order_relaxed) == current) return site.chunk.load(std::memory_order_relaxed);
    int number = -1;
    for (int i = 0; i < p.in_use && number == -1; ++i) {
        if (holds_name(p.table[i], site.name)) number = i;
    }
    if (number == -1) number = new_chunk(p, site.name);
    site.chunk.store(number, std::memory_order_relaxed);
    site.table.store(current, std::memory_order_release);
    return number;
}

uint32_t profiler_tick() { return tick(); }

// Unsigned difference survives the tick count wrapping.
long profiler_elapsed(uint32_t start_tick) { return static_cast<long>(static_cast<uint32_t>(tick() - start_tick)) * 1000; }

void profiler_add(int number, long microseconds, long measurements) {
    if (number < 0 || number >= profiler_chunks) return;
    chunk& c = profiler().table[number];
    // Most measurements of a millisecond tick are 0: they only count.
    if (microseconds != 0) c.total.fetch_add(microseconds, std::memory_order_relaxed);
    c.measurements.fetch_add(measurements, std::memory_order_relaxed);
}

int start_measuring(int number, const char* name) {
    profiler_state& p = profiler();
    std::lock_guard<std::recursive_mutex> guard(p.lock);
    if (number >= profiler_chunks) return profiler_disabled_chunk;
    clear_if_reset(p);
    if (number == profiler_disabled_chunk) return profiler_disabled_chunk;
    // A number kept from before a reset may be free or another chunk's now: the name finds its
    // chunk again, or a new one is made.
    if (number >= 0 && name && !(in_use(p, number) && holds_name(p.table[number], name))) {
        number = -1;
        for (int i = 0; i < p.in_use && number == -1; ++i) {
            if (holds_name(p.table[i], name)) number = i;
        }
    }
    if (number == -1) number = new_chunk(p, name);
    if (number < 0) return profiler_disabled_chunk;
    p.table[number].running = true;
    p.table[number].start_tick = tick();
    return number;
}

long end_measuring(int number) {
    if (number == profiler_clock_chunk) return now_microseconds();
    profiler_state& p = profiler();
    std::lock_guard<std::recursive_mutex> guard(p.lock);
    if (!in_use(p, number)) {
        report_error(1, "end_measuring: illegal chunk num\n");
        return 0;
    }
    chunk& c = p.table[number];
    if (!c.running) {
        report_error(1, "end_measuring: didnt call start_measuring before\n");
        return 0;
    }
    const long elapsed = profiler_elapsed(c.start_tick);
    c.running = false;
    c.total.fetch_add(elapsed, std::memory_order_relaxed);
    c.measurements.fetch_add(1, std::memory_order_relaxed);
    return elapsed;
}

long get_chunk_average_speed(int number) {
    profiler_state& p = profiler();
    std::lock_guard<std::recursive_mutex> guard(p.lock);
    if (!in_use(p, number)) {
        report_error(1, "get_chunk_average_speed: illegal chunk num\n");
        return 0;
    }
    if (p.table[number].measurements.load(std::memory_order_relaxed) == 0) {
        report_error(1, "get_chunk_average_speed: num_of_measurements==0 !\n");
        return 0;
    }
    return average(p.table[number]);
}

int find_chunk_by_name(const char* name) {
    profiler_state& p = profiler();
    std::lock_guard<std::recursive_mutex> guard(p.lock);
    if (!name) return -1;
    for (int i = 0; i < p.in_use; ++i) {
        if (jstricmp(p.table[i].name, name) == 0) return i;
    }
    return -1;
}

int profiler_chunks_in_use() {
    profiler_state& p = profiler();
    std::lock_guard<std::recursive_mutex> guard(p.lock);
    return p.reset.load(std::memory_order_relaxed) ? 0 : p.in_use;
}

void profiler_reset() {
    profiler_state& p = profiler();
    std::lock_guard<std::recursive_mutex> guard(p.lock);
    p.reset.store(true, std::memory_order_release);
}

void profiler_write_report() {
    profiler_state& p = profiler();
    std::lock_guard<std::recursive_mutex> guard(p.lock);
    if (p.reset.load(std::memory_order_relaxed)) return;
    engine_log_write("\n\nPROFILING RESULTS\n-----------------\n");
    for (int i = 0; i < p.in_use; ++i) {
        const chunk& c = p.table[i];
        if (c.measurements.load(std::memory_order_relaxed) == 0) {
            engine_log_printf("%s\t\t --- UNUSED\n", c.name);
            continue;
        }
        std::string line = c.name;
        line += "  ";
        for (size_t n = line.size() - 2; n < 30; ++n) line += '-';
        engine_log_write(line.c_str());
        const long t = average(c);
        if (t == 0) {
            engine_log_write("  Rate=Infinity (0 micro seconds each)\n");
        } else {
            engine_log_printf("  Rate=%lf per sec (%ld micro seconds each)\n", 1000000.0 / t, t);
        }
    }
    engine_log_write("\nProgram analysis\n-----------------\n");
    double cycle = 0;
    for (int i = 0; i < p.in_use; ++i) {
        if (std::string(p.table[i].name) == "Program cycle" && average(p.table[i]) != 0)
            cycle = static_cast<double>(average(p.table[i]));
    }
    if (cycle == 0) {
        engine_log_write("couldnt find OR bad values program_cycle_time\n");
        return;
    }
    double render = 0, clearing = 0, bitblt = 0;
    for (int i = 0; i < p.in_use; ++i) {
        const chunk& c = p.table[i];
        if (c.measurements.load(std::memory_order_relaxed) == 0) continue;
        const double share = static_cast<double>(average(c)) * 100 / cycle;
        const std::string name = c.name;
        if (name == "Drovik_engine_render") {
            render = share;
            engine_log_printf("Drovik_engine_render = %.2lf percent of CPU time\n", render);
        } else if (name == "draw_buffer_clear_buffer") {
            clearing = share;
            engine_log_printf("    (clearing_screen  = %.2lf percent of CPU time)\n", clearing);
        } else if (name == "BitBlt GDI") {
            bitblt = share;
            engine_log_printf("    (BitBlt           = %.2lf percent of CPU time)\n", bitblt);
        }
    }
    engine_log_printf("    (pure rendering   = %.2lf percent of CPU time)\n", render - bitblt - clearing);
    engine_log_printf(
        "The rest (things outside Drovik engine) = %.2lf percent\n"
        "---------------------------------------\n\t\t\t\t=100 percent of CPU time\n",
        100 - render);
}
