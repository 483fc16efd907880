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
    long measurements;
    long total;  // microseconds
    char name[profiler_name_length + 1];
};

struct profiler_state {
    std::recursive_mutex lock;
    chunk table[profiler_chunks];
    int in_use = 0;
    bool reset = true;
};

profiler_state& profiler() {
    static profiler_state state;
    return state;
}

long now_microseconds() { return static_cast<long>(plat_tick_ms()) * 1000; }

bool in_use(const profiler_state& p, int number) { return number >= 0 && number < p.in_use; }

// Names are compared as stored: cut to the table's length, letter case ignored.
bool holds_name(const chunk& c, const char* name) {
    char cut[profiler_name_length + 1];
    std::snprintf(cut, sizeof cut, "%s", name);
    return jstricmp(c.name, cut) == 0;
}

long average(const chunk& c) { return c.measurements ? c.total / c.measurements : 0; }

}  // namespace

int start_measuring(int number, const char* name) {
    profiler_state& p = profiler();
    std::lock_guard<std::recursive_mutex> guard(p.lock);
    if (number >= profiler_chunks) return profiler_disabled_chunk;
    if (p.reset) {
        for (chunk& c : p.table) c = chunk{};
        p.in_use = 0;
        p.reset = false;
    }
    if (number == profiler_disabled_chunk) return profiler_disabled_chunk;
    // A number kept from before a reset may be free or another chunk's now: the name finds its
    // chunk again, or a new one is made.
    if (number >= 0 && name && !(in_use(p, number) && holds_name(p.table[number], name))) {
        number = -1;
        for (int i = 0; i < p.in_use && number == -1; ++i) {
            if (holds_name(p.table[i], name)) number = i;
        }
    }
    if (number == -1) {
        if (p.in_use + 1 >= profiler_chunks) {
            report_error(1, "start_measuring: cant measure time to so many chunks\n");
            return profiler_disabled_chunk;
        }
        number = p.in_use++;
        std::snprintf(p.table[number].name, sizeof p.table[number].name, "%s", name ? name : "");
    }
    if (number < 0) return profiler_disabled_chunk;
    p.table[number].running = true;
    p.table[number].start_tick = plat_tick_ms();
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
    // Unsigned difference survives the tick count wrapping.
    const long elapsed = static_cast<long>(static_cast<uint32_t>(plat_tick_ms() - c.start_tick)) * 1000;
    c.running = false;
    c.total += elapsed;
    ++c.measurements;
    return elapsed;
}

long get_chunk_average_speed(int number) {
    profiler_state& p = profiler();
    std::lock_guard<std::recursive_mutex> guard(p.lock);
    if (!in_use(p, number)) {
        report_error(1, "get_chunk_average_speed: illegal chunk num\n");
        return 0;
    }
    if (p.table[number].measurements == 0) {
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
    return p.reset ? 0 : p.in_use;
}

void profiler_reset() {
    profiler_state& p = profiler();
    std::lock_guard<std::recursive_mutex> guard(p.lock);
    p.reset = true;
}

void profiler_write_report() {
    profiler_state& p = profiler();
    std::lock_guard<std::recursive_mutex> guard(p.lock);
    if (p.reset) return;
    engine_log_write("\n\nPROFILING RESULTS\n-----------------\n");
    for (int i = 0; i < p.in_use; ++i) {
        const chunk& c = p.table[i];
        if (c.measurements == 0) {
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
        if (c.measurements == 0) continue;
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
