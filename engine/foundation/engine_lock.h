// The one engine-wide recursive lock that every export holds while it runs.
#pragma once
#include <mutex>

std::recursive_mutex& engine_lock();

// Held for the whole of an export: `engine_guard guard;` as its first line.
class engine_guard {
public:
    engine_guard() : hold_(engine_lock()) {}

private:
    std::lock_guard<std::recursive_mutex> hold_;
};
