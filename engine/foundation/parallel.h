// Work over many records split into chunks that the machine's cores take in turn.
#pragma once
#include <cstddef>
#include <functional>

// Calls work(begin, end) once for each chunk of `chunk` items (the last may be shorter) that
// together cover 0..count, on up to parallel_threads() threads, the caller's among them; returns
// once every chunk is done. When work throws, no further chunk is started, and the first exception
// is thrown again on the caller once every thread has stopped, as if one thread had done it all.
void parallel_chunks(size_t count, size_t chunk, const std::function<void(size_t, size_t)>& work);
// The most threads parallel_chunks uses: the cores, at most 8, unless set.
int parallel_threads();
// Sets that most; 0 goes back to the cores.
void parallel_set_threads(int threads);
