// The profiler: chunk allocation, timing with an injected clock, and the report text.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "foundation/profiler.h"
#include "platform/clock.h"
#include "work_dir.h"

namespace {

uint32_t fake_now = 0;
uint32_t fake_tick() { return fake_now; }

class Profiler : public ::testing::Test {
protected:
    void SetUp() override {
        engine_set_speaker_mode(0);
        plat_clock_override(fake_tick, nullptr);
        fake_now = 5000;
        profiler_reset();
        ASSERT_EQ(open_log_files(), 0);
        banner_ = read_file(work_.dir() / "Drovik.log").size();
    }
    void TearDown() override {
        plat_clock_override(nullptr, nullptr);
        profiler_reset();
    }
    // Times one measurement of `ms` milliseconds on a chunk.
    int measure(int chunk, const char* name, uint32_t ms) {
        chunk = start_measuring(chunk, name);
        fake_now += ms;
        end_measuring(chunk);
        return chunk;
    }
    std::string report() {
        profiler_write_report();
        return read_file(work_.dir() / "Drovik.log").substr(banner_);
    }
    temp_work_dir work_;
    size_t banner_ = 0;
};

TEST_F(Profiler, WritesRatesAndTheShareOfTheProgramCycle) {
    int render = -1;
    int cycle = -1;
    int clearing = -1;
    int bitblt = -1;
    for (int i = 0; i < 2; ++i) {
        render = measure(render, "Drovik_engine_render", 20);
        clearing = measure(clearing, "draw_buffer_clear_buffer", 5);
        bitblt = measure(bitblt, "BitBlt GDI", 4);
        cycle = measure(cycle, "Program cycle", 50);
    }
    start_measuring(-1, "never stopped");
    EXPECT_EQ(get_chunk_average_speed(render), 20000);
    EXPECT_EQ(find_chunk_by_name("PROGRAM CYCLE"), cycle);
    EXPECT_EQ(report(),
              "\n\nPROFILING RESULTS\n-----------------\n"
              "Drovik_engine_render  ----------  Rate=50.000000 per sec (20000 micro seconds each)\n"
              "draw_buffer_clear_buffer  ------  Rate=200.000000 per sec (5000 micro seconds each)\n"
              "BitBlt GDI  --------------------  Rate=250.000000 per sec (4000 micro seconds each)\n"
              "Program cycle  -----------------  Rate=20.000000 per sec (50000 micro seconds each)\n"
              "never stopped\t\t --- UNUSED\n"
              "\nProgram analysis\n-----------------\n"
              "Drovik_engine_render = 40.00 percent of CPU time\n"
              "    (clearing_screen  = 10.00 percent of CPU time)\n"
              "    (BitBlt           = 8.00 percent of CPU time)\n"
              "    (pure rendering   = 22.00 percent of CPU time)\n"
              "The rest (things outside Drovik engine) = 60.00 percent\n"
              "---------------------------------------\n\t\t\t\t=100 percent of CPU time\n");
}

TEST_F(Profiler, WithoutAProgramCycleTheAnalysisStops) {
    measure(-1, "a name of thirty characters..", 0);
    measure(-1, "exactly thirty characters long", 0);
    EXPECT_EQ(report(),
              "\n\nPROFILING RESULTS\n-----------------\n"
              "a name of thirty characters..  -  Rate=Infinity (0 micro seconds each)\n"
              "exactly thirty characters long    Rate=Infinity (0 micro seconds each)\n"
              "\nProgram analysis\n-----------------\n"
              "couldnt find OR bad values program_cycle_time\n");
}

TEST_F(Profiler, GrantsNinetyNineChunksAndRefusesTheHundredth) {
    for (int i = 0; i < 99; ++i) ASSERT_EQ(start_measuring(-1, "chunk"), i);
    EXPECT_EQ(start_measuring(-1, "one too many"), profiler_disabled_chunk);
    EXPECT_STREQ(engine_get_last_error(), "start_measuring: cant measure time to so many chunks\n");
    EXPECT_EQ(profiler_chunks_in_use(), 99);
    EXPECT_EQ(start_measuring(profiler_disabled_chunk, "x"), profiler_disabled_chunk);
    EXPECT_EQ(start_measuring(100, "x"), profiler_disabled_chunk);
}

TEST_F(Profiler, StoppingAChunkThatNeverStartedReportsAndChangesNothing) {
    const int chunk = measure(-1, "once", 10);
    EXPECT_EQ(end_measuring(chunk), 0);
    EXPECT_STREQ(engine_get_last_error(), "end_measuring: didnt call start_measuring before\n");
    EXPECT_EQ(get_chunk_average_speed(chunk), 10000);
    EXPECT_EQ(end_measuring(7), 0);
    EXPECT_STREQ(engine_get_last_error(), "end_measuring: illegal chunk num\n");
    EXPECT_EQ(get_chunk_average_speed(7), 0);
    EXPECT_STREQ(engine_get_last_error(), "get_chunk_average_speed: illegal chunk num\n");
    EXPECT_EQ(end_measuring(profiler_clock_chunk), 5010L * 1000);
    const int idle = start_measuring(-1, "idle");
    EXPECT_EQ(get_chunk_average_speed(idle), 0);
    EXPECT_STREQ(engine_get_last_error(), "get_chunk_average_speed: num_of_measurements==0 !\n");
}

TEST_F(Profiler, MeasuresAcrossTheTickCountWrapping) {
    fake_now = 0xFFFFFFF0u;
    const int chunk = start_measuring(-1, "wrap");
    fake_now = 0x10;
    EXPECT_EQ(end_measuring(chunk), 0x20L * 1000);
}

}  // namespace

namespace {

// Numbers kept by their sites across a reset find their own chunks again, even when the numbers
// now belong to other chunks.
TEST_F(Profiler, KeptNumbersFindTheirChunksAfterAReset) {
    int first = measure(-1, "first", 1);
    int second = measure(-1, "second", 2);
    ASSERT_EQ(first, 0);
    ASSERT_EQ(second, 1);
    profiler_reset();
    second = measure(second, "second", 3);  // now chunk 0
    first = measure(first, "first", 4);     // 0 belongs to "second": a chunk of its own
    EXPECT_NE(first, second);
    EXPECT_EQ(profiler_chunks_in_use(), 2);
    EXPECT_EQ(get_chunk_average_speed(second), 3000);
    EXPECT_EQ(get_chunk_average_speed(first), 4000);
    EXPECT_EQ(measure(first, "first", 6), first);
    EXPECT_EQ(get_chunk_average_speed(first), 5000);
}

}  // namespace

namespace {

// The engine's own timed places: the chunk is made by name at first use, timed without a lock from
// several threads at once, found again after a reset, and reported like any other chunk.
TEST_F(Profiler, SitesTimeTheirChunksFromAnyThreadAndFindThemAfterAReset) {
    static profiler_site site{"site under test"};
    const int before = measure(-1, "before", 1);
    {
        const profiler_timer timer(site);
        fake_now += 6;
    }
    const int chunk = find_chunk_by_name("site under test");
    ASSERT_NE(chunk, -1);
    EXPECT_NE(chunk, before);
    EXPECT_EQ(get_chunk_average_speed(chunk), 6000);

    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([] {
            for (int i = 0; i < 1000; ++i) profiler_add(profiler_site_chunk(site), 6000, 1);
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(get_chunk_average_speed(chunk), 6000);
    EXPECT_EQ(profiler_chunks_in_use(), 2);

    profiler_reset();
    measure(-1, "after reset", 2);
    {
        const profiler_timer timer(site);
        fake_now += 4;
    }
    EXPECT_EQ(find_chunk_by_name("site under test"), 1);
    EXPECT_EQ(get_chunk_average_speed(1), 4000);
    EXPECT_EQ(report(),
              "\n\nPROFILING RESULTS\n-----------------\n"
              "after reset  -------------------  Rate=500.000000 per sec (2000 micro seconds each)\n"
              "site under test  ---------------  Rate=250.000000 per sec (4000 micro seconds each)\n"
              "\nProgram analysis\n-----------------\n"
              "couldnt find OR bad values program_cycle_time\n");
}

}  // namespace
