// The profiler: named chunks timed by start/stop pairs and the report written at world close.
#pragma once
#include <atomic>
#include <cstdint>

inline constexpr int profiler_chunks = 100;
inline constexpr int profiler_name_length = 39;
inline constexpr int profiler_disabled_chunk = -2;
inline constexpr int profiler_clock_chunk = -3;

// Chunk -1 asks for a new chunk named name; -2 is a disabled chunk. Returns the chunk or -2.
int start_measuring(int chunk, const char* name);
// Elapsed microseconds; chunk -3 returns the clock without measuring.
long end_measuring(int chunk);
long get_chunk_average_speed(int chunk);
int find_chunk_by_name(const char* name);
int profiler_chunks_in_use();
void profiler_reset();
void profiler_write_report();

// A timed place in the engine's own code, kept in a static: its chunk is found by name once per
// table (after each reset) and kept by number, so timing takes neither a lock nor a name compare.
struct profiler_site {
    const char* name;
    std::atomic<int> chunk{profiler_disabled_chunk};
    std::atomic<uint32_t> table{0};  // the table the chunk belongs to; 0 = none yet
};

// The site's chunk in the current table, or -2 when the table is full.
int profiler_site_chunk(profiler_site& site);
// The profiler's clock tick, and the microseconds since one.
uint32_t profiler_tick();
long profiler_elapsed(uint32_t start_tick);
// Adds measurements and their microseconds to a chunk (safe from any thread).
void profiler_add(int chunk, long microseconds, long measurements);

// Times the scope it lives in as one measurement of the site's chunk.
class profiler_timer {
public:
    explicit profiler_timer(profiler_site& site) : chunk_(profiler_site_chunk(site)), start_(chunk_ >= 0 ? profiler_tick() : 0) {}
    ~profiler_timer() {
        if (chunk_ >= 0) profiler_add(chunk_, profiler_elapsed(start_), 1);
    }
    profiler_timer(const profiler_timer&) = delete;
    profiler_timer& operator=(const profiler_timer&) = delete;

private:
    int chunk_;
    uint32_t start_;
};
