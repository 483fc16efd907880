// Process and thread priority requests, recorded and applied where Linux allows it.
#pragma once
#include <string>
#include <vector>

// Windows priority-class and thread-priority values.
enum plat_priority_class { PLAT_PRIORITY_NORMAL = 0x20, PLAT_PRIORITY_IDLE = 0x40,
                           PLAT_PRIORITY_HIGH = 0x80, PLAT_PRIORITY_REALTIME = 0x100 };
enum plat_thread_priority { PLAT_THREAD_IDLE = -15, PLAT_THREAD_LOWEST = -2,
                            PLAT_THREAD_BELOW_NORMAL = -1, PLAT_THREAD_NORMAL = 0,
                            PLAT_THREAD_ABOVE_NORMAL = 1, PLAT_THREAD_HIGHEST = 2,
                            PLAT_THREAD_TIME_CRITICAL = 15 };

int plat_get_process_priority();
bool plat_set_process_priority(int priority_class);  // 0 changes nothing and succeeds
int plat_get_thread_priority();
bool plat_set_thread_priority(int priority);
// "process 128", "thread 2", ...: the latest 1000 requests, oldest first.
std::vector<std::string> plat_priority_requests();
void plat_priority_clear_requests();
