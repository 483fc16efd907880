// The kind of any engine handle, for the exports that take handles of several kinds.
#pragma once
#include <cstdint>

// The kind word of a live record; NULL gives the group kind (the whole world), an address that is
// not a live record 0.
int32_t get_entity_kind(const void* handle);
