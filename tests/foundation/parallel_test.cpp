// Work split into chunks over several threads: every item once, the chunks as asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "foundation/parallel.h"

namespace {

// Restores the default thread count whatever a case set.
class ParallelChunks : public ::testing::Test {
protected:
    void TearDown() override { parallel_set_threads(0); }
};

TEST_F(ParallelChunks, EveryItemIsTakenOnceInTheChunksAsked) {
    struct shape {
        size_t count, chunk;
    };
    const shape shapes[] = {{0, 4}, {1, 4}, {3, 4}, {4, 4}, {5, 4}, {4099, 4096}, {10 * 7 + 3, 7}, {9, 0}};
    for (int threads : {1, 3, 8}) {
        parallel_set_threads(threads);
        for (const shape& s : shapes) {
            std::vector<std::atomic<int>> taken(s.count);
            std::mutex lock;
            std::vector<std::pair<size_t, size_t>> chunks;
            parallel_chunks(s.count, s.chunk, [&](size_t begin, size_t end) {
                for (size_t i = begin; i < end; ++i) taken[i]++;
                std::lock_guard<std::mutex> guard(lock);
                chunks.emplace_back(begin, end);
            });
            for (size_t i = 0; i < s.count; ++i) EXPECT_EQ(taken[i], 1) << s.count << "/" << s.chunk << " item " << i;
            std::sort(chunks.begin(), chunks.end());
            const size_t step = std::max<size_t>(s.chunk, 1);
            ASSERT_EQ(chunks.size(), (s.count + step - 1) / step) << s.count << "/" << s.chunk;
            for (size_t c = 0; c < chunks.size(); ++c) {
                EXPECT_EQ(chunks[c].first, c * step);
                EXPECT_EQ(chunks[c].second, std::min(s.count, (c + 1) * step));
            }
        }
    }
}

TEST_F(ParallelChunks, OneThreadKeepsTheWorkOnTheCaller) {
    parallel_set_threads(1);
    EXPECT_EQ(parallel_threads(), 1);
    std::set<std::thread::id> seen;
    parallel_chunks(100, 10, [&seen](size_t, size_t) { seen.insert(std::this_thread::get_id()); });
    EXPECT_EQ(seen, std::set<std::thread::id>{std::this_thread::get_id()});
}

TEST_F(ParallelChunks, ManyChunksShareTheThreadsAsked) {
    parallel_set_threads(4);
    std::mutex lock;
    std::set<std::thread::id> seen;
    std::atomic<int> waiting{0};
    // Each of the first four chunks waits until four are under way, so four threads must take them.
    parallel_chunks(4, 1, [&](size_t, size_t) {
        {
            std::lock_guard<std::mutex> guard(lock);
            seen.insert(std::this_thread::get_id());
        }
        waiting++;
        while (waiting.load() < 4) std::this_thread::yield();
    });
    EXPECT_EQ(seen.size(), 4u);
    parallel_set_threads(0);
    EXPECT_GE(parallel_threads(), 1);
    EXPECT_LE(parallel_threads(), 8);
}

TEST_F(ParallelChunks, AChunksExceptionReachesTheCallerAndStopsTheRest) {
    for (int threads : {1, 4}) {
        parallel_set_threads(threads);
        try {
            parallel_chunks(1000, 1, [](size_t begin, size_t) {
                if (begin == 7) throw std::runtime_error("chunk 7 failed");
            });
            ADD_FAILURE() << "no exception on " << threads << " threads";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), "chunk 7 failed");
        }
    }
    // On one thread the chunks run in order: none after the failing one starts.
    parallel_set_threads(1);
    int started = 0;
    EXPECT_THROW(parallel_chunks(1000, 1,
                                 [&started](size_t begin, size_t) {
                                     started++;
                                     if (begin == 7) throw std::runtime_error("chunk 7 failed");
                                 }),
                 std::runtime_error);
    EXPECT_EQ(started, 8);
}

}  // namespace
