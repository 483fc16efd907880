// The registry of live records: ordered by address so a whole big block can be forgotten at once.
#include "foundation/registry.h"

#include "foundation/memory.h"

#include <cstring>
#include <map>
#include <mutex>

namespace {

struct registry_state {
    std::mutex lock;
    std::map<const void*, int32_t> records;
};

registry_state& registry() {
    static registry_state state;
    return state;
}

}  // namespace

void registry_add(const void* record, int32_t kind) {
    if (!record) return;
    registry_state& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.records[record] = kind;
}

void registry_remove(const void* record) {
    registry_state& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.records.erase(record);
}

void registry_remove_range(const void* begin, const void* end) {
    registry_state& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.records.erase(r.records.lower_bound(begin), r.records.lower_bound(end));
}

bool registry_lookup(const void* address, int32_t* kind) {
    registry_state& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (!r.records.count(address)) return false;
    // A registered record is live, so its kind word can be read.
    std::memcpy(kind, address, sizeof *kind);
    return true;
}

size_t registry_size() {
    registry_state& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.records.size();
}

void* record_create(size_t size, int32_t kind) {
    if (size < sizeof kind) return nullptr;
    void* record = engine_alloc(size);
    if (!record) return nullptr;
    std::memcpy(record, &kind, sizeof kind);
    registry_add(record, kind);
    return record;
}

void record_destroy(void* record) {
    if (!record) return;
    registry_remove(record);
    if (!is_in_big_block(record)) engine_fill_dead(record);
    engine_free(record);
}
