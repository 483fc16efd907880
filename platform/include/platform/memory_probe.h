// Copies from addresses a caller hands over that may not be readable, without faulting; advice on
// how large blocks are backed.
#pragma once
#include <cstddef>

// Copies size bytes from address into destination; false (destination untouched past what was
// copied) when any of them cannot be read.
bool plat_copy_readable_memory(void* destination, const void* address, size_t size);

// Asks for the whole two-megabyte pages inside the block to be backed by huge pages, so that
// filling a large block takes one fault per two megabytes; nothing happens where that is not offered.
void plat_advise_huge_pages(void* block, size_t size);
