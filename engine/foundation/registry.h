// The registry of live engine records: an address is a handle only while it is registered here.
#pragma once
#include <cstddef>
#include <cstdint>

void registry_add(const void* record, int32_t kind);
void registry_remove(const void* record);
// Forgets every record lying in [begin, end): a big block freed as a whole.
void registry_remove_range(const void* begin, const void* end);
// True when the address is a live record; its kind word is then read into *kind.
bool registry_lookup(const void* address, int32_t* kind);
size_t registry_size();

// Allocates a zero-filled engine block of `size` bytes with its kind word set, registered as live.
void* record_create(size_t size, int32_t kind);
// Unregisters the record, fills it with 0x55 and frees it.
void record_destroy(void* record);

template <typename T>
T* record_new(int32_t kind) {
    return static_cast<T*>(record_create(sizeof(T), kind));
}
