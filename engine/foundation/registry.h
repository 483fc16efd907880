// The registry of live engine records: an address is a handle only while it is registered here.
#pragma once
#include <cstddef>
#include <cstdint>

// Registers a record; its kind is read from its kind word whenever it is looked up.
void registry_add(const void* record);
// Registers a block that holds one record at its start and, from `slots_offset` on, slots of
// `slot_size` bytes for records of `slot_kind`: a slot is live while its kind word is that kind.
void registry_add_block(const void* block, size_t size, size_t slots_offset, size_t slot_size, int32_t slot_kind);
// Forgets the record or block that starts at the address.
void registry_remove(const void* record);
// Forgets every record lying in [begin, end): a big block freed as a whole.
void registry_remove_range(const void* begin, const void* end);
// True when the address is a live record; its kind word is then read into *kind.
bool registry_lookup(const void* address, int32_t* kind);
size_t registry_size();

// Allocates a zero-filled engine block of `size` bytes with its kind word set, registered as live.
void* record_create(size_t size, int32_t kind);
// The same for a block with record slots (registry_add_block).
void* record_block_create(size_t size, int32_t kind, size_t slots_offset, size_t slot_size, int32_t slot_kind);
// Allocates `count` zero-filled cells of `cell_size` bytes side by side, registered as one range: each
// cell is a record with slots as in registry_add_block, and dies on its own through record_destroy;
// the memory goes when the last cell has died. The caller writes each cell's kind word as it makes
// the record there, so a cell's memory is first touched when it is filled. Returns the first cell or
// NULL.
void* record_run_reserve(size_t count, size_t cell_size, size_t slots_offset, size_t slot_size, int32_t slot_kind);
// Unregisters the record (or block, or cell of a run), fills it with 0x55 and frees it.
void record_destroy(void* record);

template <typename T>
T* record_new(int32_t kind) {
    return static_cast<T*>(record_create(sizeof(T), kind));
}
