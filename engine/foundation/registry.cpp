// The registry of live records: ordered by address so a whole big block can be forgotten at once
// and an address inside a registered block is found by one search.
#include "foundation/registry.h"

#include "foundation/memory.h"

#include <cstring>
#include <map>
#include <memory_resource>
#include <mutex>

namespace {

struct entry {
    size_t size;  // 1 for a single record
    int32_t slot_kind;
    uint32_t slots_offset;
    uint32_t slot_size;  // 0: no slots
};

struct registry_state {
    std::mutex lock;
    // Nodes come from a pool: no system allocation per record.
    std::pmr::unsynchronized_pool_resource pool;
    std::pmr::map<uintptr_t, entry> records{&pool};
};

registry_state& registry() {
    static registry_state state;
    return state;
}

uintptr_t address_of(const void* p) { return reinterpret_cast<uintptr_t>(p); }

void insert(const void* record, const entry& e) {
    if (!record) return;
    registry_state& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.records.insert_or_assign(address_of(record), e);
}

// Whether the address is the start of a live slot of the block registered at `begin`.
bool live_slot(uintptr_t begin, const entry& e, uintptr_t at) {
    if (e.slot_size == 0 || at < begin + e.slots_offset || at + sizeof(int32_t) > begin + e.size) return false;
    if ((at - begin - e.slots_offset) % e.slot_size != 0) return false;
    int32_t kind = 0;
    std::memcpy(&kind, reinterpret_cast<const void*>(at), sizeof kind);
    return kind == e.slot_kind;
}

// A zero-filled block with its kind word set, or NULL.
void* allocate_record(size_t size, int32_t kind) {
    if (size < sizeof kind) return nullptr;
    void* record = engine_alloc(size);
    if (record) std::memcpy(record, &kind, sizeof kind);
    return record;
}

}  // namespace

void registry_add(const void* record) { insert(record, {1, 0, 0, 0}); }

void registry_add_block(const void* block, size_t size, size_t slots_offset, size_t slot_size, int32_t slot_kind) {
    insert(block, {size, slot_kind, static_cast<uint32_t>(slots_offset), static_cast<uint32_t>(slot_size)});
}

void registry_remove(const void* record) {
    registry_state& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.records.erase(address_of(record));
}

void registry_remove_range(const void* begin, const void* end) {
    registry_state& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.records.erase(r.records.lower_bound(address_of(begin)), r.records.lower_bound(address_of(end)));
}

bool registry_lookup(const void* address, int32_t* kind) {
    registry_state& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    const uintptr_t at = address_of(address);
    auto found = r.records.upper_bound(at);
    if (found == r.records.begin()) return false;
    --found;
    // A registered record is live, so its kind word can be read.
    if (found->first != at && !live_slot(found->first, found->second, at)) return false;
    std::memcpy(kind, address, sizeof *kind);
    return true;
}

size_t registry_size() {
    registry_state& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    return r.records.size();
}

void* record_create(size_t size, int32_t kind) {
    void* record = allocate_record(size, kind);
    registry_add(record);
    return record;
}

void* record_block_create(size_t size, int32_t kind, size_t slots_offset, size_t slot_size, int32_t slot_kind) {
    void* block = allocate_record(size, kind);
    if (block) registry_add_block(block, size, slots_offset, slot_size, slot_kind);
    return block;
}

void record_destroy(void* record) {
    if (!record) return;
    registry_remove(record);
    if (!is_in_big_block(record)) engine_fill_dead(record);
    engine_free(record);
}
