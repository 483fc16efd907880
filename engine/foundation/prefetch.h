// Fetching memory into the cache ahead of its use.
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr size_t cache_line_bytes = 64;

// Asks for the cache lines of the `bytes` bytes from `at` to be fetched. Any address is safe: a
// fetch never faults.
inline void prefetch_bytes(uintptr_t at, size_t bytes) {
    for (size_t k = 0; k < bytes; k += cache_line_bytes) __builtin_prefetch(reinterpret_cast<const void*>(at + k));
}
