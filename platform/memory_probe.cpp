// Reading memory that may be unmapped: the kernel copies it, so a bad address fails the call
// instead of faulting the process. Large blocks may ask for huge pages.
#include "platform/memory_probe.h"

#include <cstdint>

#include <sys/mman.h>
#include <sys/uio.h>
#include <unistd.h>

bool plat_copy_readable_memory(void* destination, const void* address, size_t size) {
    if (size == 0) return true;
    if (!destination || !address) return false;
    iovec local{destination, size};
    iovec remote{const_cast<void*>(address), size};
    const ssize_t copied = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
    return copied >= 0 && static_cast<size_t>(copied) == size;
}

void plat_advise_huge_pages(void* block, size_t size) {
    constexpr uintptr_t huge = uintptr_t{2} << 20;
    const auto at = reinterpret_cast<uintptr_t>(block);
    const uintptr_t begin = (at + huge - 1) & ~(huge - 1);
    const uintptr_t end = (at + size) & ~(huge - 1);
    if (block && end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}
