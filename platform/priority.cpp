// Priority requests: recorded, and applied as nice values where Linux permits.
#include "platform/priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <deque>
#include <mutex>

namespace {

std::mutex priority_mutex;
int process_class = PLAT_PRIORITY_NORMAL;
thread_local int thread_priority = PLAT_THREAD_NORMAL;
// The render asks twice per frame: only the latest requests are kept.
constexpr size_t max_requests = 1000;
std::deque<std::string> requests;

void record(std::string request)
{
    if (requests.size() >= max_requests)
        requests.pop_front();
    requests.push_back(std::move(request));
}

int class_nice(int priority_class)
{
    switch (priority_class) {
    case PLAT_PRIORITY_IDLE: return 19;
    case PLAT_PRIORITY_HIGH: return -10;
    case PLAT_PRIORITY_REALTIME: return -20;
    default: return 0;
    }
}

bool valid_thread_priority(int priority)
{
    switch (priority) {
    case PLAT_THREAD_IDLE:
    case PLAT_THREAD_LOWEST:
    case PLAT_THREAD_BELOW_NORMAL:
    case PLAT_THREAD_NORMAL:
    case PLAT_THREAD_ABOVE_NORMAL:
    case PLAT_THREAD_HIGHEST:
    case PLAT_THREAD_TIME_CRITICAL: return true;
    default: return false;
    }
}

// Linux keeps a nice value per thread: the calling thread gets the class's nice moved by its
// own priority. Raising priority needs privileges; a refusal is not an error for the caller.
void apply_thread_nice(int priority_class, int priority)
{
    int nice = std::clamp(class_nice(priority_class) - 2 * priority, -20, 19);
    auto tid = static_cast<id_t>(syscall(SYS_gettid));
    (void)setpriority(PRIO_PROCESS, tid, nice);
}

}  // namespace

int plat_get_process_priority()
{
    std::lock_guard<std::mutex> guard(priority_mutex);
    return process_class;
}

bool plat_set_process_priority(int priority_class)
{
    std::lock_guard<std::mutex> guard(priority_mutex);
    record("process " + std::to_string(priority_class));
    if (priority_class == 0)
        return true;
    if (priority_class != PLAT_PRIORITY_NORMAL && priority_class != PLAT_PRIORITY_IDLE &&
        priority_class != PLAT_PRIORITY_HIGH && priority_class != PLAT_PRIORITY_REALTIME)
        return false;
    process_class = priority_class;
    apply_thread_nice(process_class, thread_priority);
    return true;
}

int plat_get_thread_priority()
{
    return thread_priority;
}

bool plat_set_thread_priority(int priority)
{
    std::lock_guard<std::mutex> guard(priority_mutex);
    record("thread " + std::to_string(priority));
    if (!valid_thread_priority(priority))
        return false;
    thread_priority = priority;
    apply_thread_nice(process_class, thread_priority);
    return true;
}

std::vector<std::string> plat_priority_requests()
{
    std::lock_guard<std::mutex> guard(priority_mutex);
    return {requests.begin(), requests.end()};
}

void plat_priority_clear_requests()
{
    std::lock_guard<std::mutex> guard(priority_mutex);
    requests.clear();
}
