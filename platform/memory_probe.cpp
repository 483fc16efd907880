// Reading memory that may be unmapped: the kernel copies it, so a bad address fails the call
// instead of faulting the process.
#include "platform/memory_probe.h"

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
