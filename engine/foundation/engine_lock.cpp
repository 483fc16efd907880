// The engine-wide recursive lock.
#include "foundation/engine_lock.h"

std::recursive_mutex& engine_lock() {
    static std::recursive_mutex lock;
    return lock;
}
