// The registry of live records: ordered by address so a whole big block can be forgotten at once
// and an address inside a registered block or run is found by one search.
#include "foundation/registry.h"

#include "foundation/memory.h"

#include <cstring>
#include <map>
#include <memory_resource>
#include <mutex>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define DROVIK_POISON(address, size) ASAN_POISON_MEMORY_REGION(address, size)
#define DROVIK_UNPOISON(address, size) ASAN_UNPOISON_MEMORY_REGION(address, size)
#else
#define DROVIK_POISON(address, size) ((void)(address), (void)(size))
#define DROVIK_UNPOISON(address, size) ((void)(address), (void)(size))
#endif

namespace {

struct entry {
    size_t size;  // 1 for a single record
    size_t cell_size;
    int32_t slot_kind;
    uint32_t slots_offset;
    uint32_t slot_size;  // 0: no slots
    size_t live_cells;   // the cells of a run still alive; 0: the range is one record
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

void insert(const void* record, entry e) {
    if (!record) return;
    registry_state& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    r.records.insert_or_assign(address_of(record), std::move(e));
}

// Whether `within` bytes into a live cell is the start of a live slot of that cell.
bool live_slot(const entry& e, uintptr_t within, uintptr_t at) {
    if (e.slot_size == 0 || within < e.slots_offset || within + sizeof(int32_t) > e.cell_size) return false;
    if ((within - e.slots_offset) % e.slot_size != 0) return false;
    int32_t kind = 0;
    std::memcpy(&kind, reinterpret_cast<const void*>(at), sizeof kind);
    return kind == e.slot_kind;
}

// The entry whose range holds the address, or the map's end.
std::pmr::map<uintptr_t, entry>::iterator holder(registry_state& r, uintptr_t at) {
    auto found = r.records.upper_bound(at);
    if (found == r.records.begin()) return r.records.end();
    --found;
    return at - found->first < found->second.size ? found : r.records.end();
}

// A dead cell of a run is filled with 0x55, its kind word too; that word is all that is read of it
// again, to tell that it is dead.
bool cell_alive(uintptr_t cell) {
    int32_t kind = 0, dead = 0;
    std::memcpy(&kind, reinterpret_cast<const void*>(cell), sizeof kind);
    std::memset(&dead, dead_record_byte, sizeof dead);
    return kind != dead;
}

// A zero-filled block with its kind word set, or NULL.
void* allocate_record(size_t size, int32_t kind) {
    if (size < sizeof kind) return nullptr;
    void* record = engine_alloc(size);
    if (record) std::memcpy(record, &kind, sizeof kind);
    return record;
}

// Kills one cell of a run: filled with 0x55 and no handle from now on. Returns the run's memory
// once its last cell has died (the entry is then gone), else NULL.
void* kill_cell(std::pmr::map<uintptr_t, entry>& records, std::pmr::map<uintptr_t, entry>::iterator found,
                size_t cell) {
    entry& e = found->second;
    void* at = reinterpret_cast<void*>(found->first + cell * e.cell_size);
    std::memset(at, dead_record_byte, e.cell_size);
    DROVIK_POISON(static_cast<unsigned char*>(at) + sizeof(int32_t), e.cell_size - sizeof(int32_t));
    if (--e.live_cells != 0) return nullptr;
    void* memory = reinterpret_cast<void*>(found->first);
    DROVIK_UNPOISON(memory, e.size);
    records.erase(found);
    return memory;
}

}  // namespace

void registry_add(const void* record) { insert(record, {1, 1, 0, 0, 0, 0}); }

void registry_add_block(const void* block, size_t size, size_t slots_offset, size_t slot_size, int32_t slot_kind) {
    insert(block, {size, size, slot_kind, static_cast<uint32_t>(slots_offset), static_cast<uint32_t>(slot_size), 0});
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
    const auto found = holder(r, at);
    if (found == r.records.end()) return false;
    const entry& e = found->second;
    const uintptr_t offset = at - found->first;
    const bool run = e.live_cells != 0;
    const size_t cell = run ? offset / e.cell_size : 0;
    if (run && !cell_alive(found->first + cell * e.cell_size)) return false;
    // A live record's memory can be read.
    const uintptr_t within = offset - cell * e.cell_size;
    if (within != 0 && !live_slot(e, within, at)) return false;
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

void* record_run_reserve(size_t count, size_t cell_size, size_t slots_offset, size_t slot_size, int32_t slot_kind) {
    if (count == 0 || cell_size < sizeof(int32_t) || count > SIZE_MAX / cell_size) return nullptr;
    auto* run = static_cast<unsigned char*>(engine_alloc(count * cell_size));
    if (!run) return nullptr;
    insert(run, {count * cell_size, cell_size, slot_kind, static_cast<uint32_t>(slots_offset),
                 static_cast<uint32_t>(slot_size), count});
    return run;
}

void record_destroy(void* record) {
    if (!record) return;
    void* dead_run = nullptr;
    {
        registry_state& r = registry();
        std::lock_guard<std::mutex> guard(r.lock);
        const uintptr_t at = address_of(record);
        const auto found = holder(r, at);
        if (found != r.records.end() && found->second.live_cells != 0) {
            const entry& e = found->second;
            const size_t cell = (at - found->first) / e.cell_size;
            // Only the start of a live cell is a record of the run.
            if (at != found->first + cell * e.cell_size || !cell_alive(at)) return;
            dead_run = kill_cell(r.records, found, cell);
            if (!dead_run) return;
        }
    }
    if (dead_run) {
        engine_free(dead_run);
        return;
    }
    registry_remove(record);
    if (!is_in_big_block(record)) engine_fill_dead(record);
    engine_free(record);
}
