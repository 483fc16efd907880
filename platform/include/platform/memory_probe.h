// Copies from addresses a caller hands over that may not be readable, without faulting.
#pragma once
#include <cstddef>

// Copies size bytes from address into destination; false (destination untouched past what was
// copied) when any of them cannot be read.
bool plat_copy_readable_memory(void* destination, const void* address, size_t size);
