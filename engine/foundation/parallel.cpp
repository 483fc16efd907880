#include "foundation/parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

constexpr int most_threads = 8;  // beyond this the loads are held up by memory, not cores
std::atomic<int> chosen_threads{0};

}  // namespace

int parallel_threads() {
    const int chosen = chosen_threads.load();
    if (chosen > 0) return chosen;
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, most_threads);
}

void parallel_set_threads(int threads) { chosen_threads = std::max(threads, 0); }

void parallel_chunks(size_t count, size_t chunk, const std::function<void(size_t, size_t)>& work) {
    if (count == 0) return;
    chunk = std::max<size_t>(chunk, 1);
    const size_t chunks = (count + chunk - 1) / chunk;
    std::atomic<size_t> next{0};
    std::mutex failure_lock;
    std::exception_ptr failure;
    const auto take_chunks = [&] {
        try {
            for (size_t c = next++; c < chunks; c = next++) work(c * chunk, std::min(count, (c + 1) * chunk));
        } catch (...) {
            std::lock_guard<std::mutex> guard(failure_lock);
            if (!failure) failure = std::current_exception();
            next = chunks;  // no thread starts another chunk
        }
    };
    const size_t helpers = std::min<size_t>(chunks, static_cast<size_t>(parallel_threads())) - 1;
    std::vector<std::thread> threads;
    threads.reserve(helpers);
    for (size_t i = 0; i < helpers; ++i) {
        try {
            threads.emplace_back(take_chunks);
        } catch (const std::system_error&) {
            break;  // the threads that did start, and the caller, take the rest
        }
    }
    take_chunks();
    for (std::thread& t : threads) t.join();
    if (failure) std::rethrow_exception(failure);
}
