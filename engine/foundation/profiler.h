// The profiler: named chunks timed by start/stop pairs and the report written at world close.
#pragma once

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
