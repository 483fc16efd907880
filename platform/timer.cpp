// Auto-reset events and the periodic timer: a clock thread signals, a worker thread ticks.
#include "platform/timer.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

struct plat_event::state {
    std::mutex mutex;
    std::condition_variable cv;
    bool signalled = false;
};

plat_event::plat_event() : s_(std::make_unique<state>()) {}

plat_event::~plat_event() = default;

void plat_event::set()
{
    {
        std::lock_guard<std::mutex> guard(s_->mutex);
        s_->signalled = true;
    }
    s_->cv.notify_one();
}

void plat_event::reset()
{
    std::lock_guard<std::mutex> guard(s_->mutex);
    s_->signalled = false;
}

bool plat_event::wait(int timeout_ms)
{
    std::unique_lock<std::mutex> lock(s_->mutex);
    auto signalled = [this] { return s_->signalled; };
    if (timeout_ms < 0)
        s_->cv.wait(lock, signalled);
    else
        s_->cv.wait_for(lock, std::chrono::milliseconds(timeout_ms), signalled);
    bool was = s_->signalled;
    s_->signalled = false;
    return was;
}

namespace {

// One run of the timer, shared with its two threads so that a tick may stop or even destroy
// the timer while its own thread still unwinds.
struct timer_run {
    std::mutex mutex;
    std::condition_variable cv;
    bool stopping = false;
    std::atomic<bool> paused{false};
    plat_event due;
    std::function<void()> tick;
    std::chrono::milliseconds period{0};
};

void clock_loop(std::shared_ptr<timer_run> run)
{
    using clock = std::chrono::steady_clock;
    auto next = clock::now() + run->period;
    std::unique_lock<std::mutex> lock(run->mutex);
    while (!run->cv.wait_until(lock, next, [&] { return run->stopping; })) {
        if (!run->paused)
            run->due.set();
        // Periods missed while this thread was held up are skipped, not caught up.
        auto now = clock::now();
        next += run->period;
        if (next <= now)
            next = now + run->period;
    }
}

bool stopping(timer_run& run)
{
    std::lock_guard<std::mutex> guard(run.mutex);
    return run.stopping;
}

void worker_loop(std::shared_ptr<timer_run> run)
{
    for (;;) {
        run->due.wait(-1);
        if (stopping(*run))
            return;
        run->tick();
    }
}

// Joins a finished or finishing thread, or lets it go when it is the calling thread.
void release_thread(std::thread& thread)
{
    if (!thread.joinable())
        return;
    if (thread.get_id() == std::this_thread::get_id())
        thread.detach();
    else
        thread.join();
}

}  // namespace

struct plat_periodic_timer::state {
    std::mutex mutex;  // guards the members below, never held while joining
    std::shared_ptr<timer_run> run;
    std::thread clock_thread;
    std::thread worker_thread;
    std::thread stopped_worker;  // a worker that stopped its own timer, joined later
    bool paused = false;
};

plat_periodic_timer::plat_periodic_timer() : s_(std::make_unique<state>()) {}

plat_periodic_timer::~plat_periodic_timer()
{
    stop();
    std::thread stopped;
    {
        std::lock_guard<std::mutex> guard(s_->mutex);
        stopped = std::move(s_->stopped_worker);
    }
    release_thread(stopped);
}

bool plat_periodic_timer::start(uint32_t period_ms, uint32_t resolution_ms,
                                std::function<void()> tick)
{
    (void)resolution_ms;  // steady_clock deadlines are as fine as the system allows
    if (period_ms == 0 || !tick)
        return false;
    std::thread stopped;
    {
        std::lock_guard<std::mutex> guard(s_->mutex);
        if (s_->run)
            return false;
        stopped = std::move(s_->stopped_worker);
        auto run = std::make_shared<timer_run>();
        run->tick = std::move(tick);
        run->period = std::chrono::milliseconds(period_ms);
        run->paused = s_->paused;
        s_->run = run;
        s_->clock_thread = std::thread(clock_loop, run);
        s_->worker_thread = std::thread(worker_loop, run);
    }
    release_thread(stopped);
    return true;
}

void plat_periodic_timer::stop()
{
    std::shared_ptr<timer_run> run;
    std::thread clock_thread;
    std::thread worker_thread;
    {
        std::lock_guard<std::mutex> guard(s_->mutex);
        run = std::move(s_->run);
        clock_thread = std::move(s_->clock_thread);
        worker_thread = std::move(s_->worker_thread);
        if (!run)
            return;
        {
            std::lock_guard<std::mutex> run_guard(run->mutex);
            run->stopping = true;
        }
        if (worker_thread.get_id() == std::this_thread::get_id())
            s_->stopped_worker = std::move(worker_thread);
    }
    run->cv.notify_all();
    run->due.set();
    clock_thread.join();
    if (worker_thread.joinable())
        worker_thread.join();
}

bool plat_periodic_timer::running() const
{
    std::lock_guard<std::mutex> guard(s_->mutex);
    return s_->run != nullptr;
}

void plat_periodic_timer::set_paused(bool paused)
{
    std::lock_guard<std::mutex> guard(s_->mutex);
    s_->paused = paused;
    if (s_->run)
        s_->run->paused = paused;
}
