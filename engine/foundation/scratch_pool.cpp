#include "foundation/scratch_pool.h"

#include <cstdint>
#include <cstdlib>
#include <map>

namespace {

// Smaller blocks come and go through the heap, which keeps them itself.
constexpr size_t kept_minimum = size_t{1} << 20;
// Each block starts with its size, in a header that keeps the rest aligned for any type.
constexpr size_t header_size = alignof(std::max_align_t) > 16 ? alignof(std::max_align_t) : 16;

struct pool {
    int scopes = 0;
    std::multimap<size_t, void*> kept;  // by size: blocks free for reuse
    size_t kept_bytes = 0;

    void release() {
        for (const auto& entry : kept) std::free(entry.second);
        kept.clear();
        kept_bytes = 0;
    }
    ~pool() { release(); }
};

thread_local pool own_pool;

size_t& size_of(void* header) { return *static_cast<size_t*>(header); }

class scratch_memory : public std::pmr::memory_resource {
    void* do_allocate(size_t bytes, size_t alignment) override {
        if (alignment > header_size) throw std::bad_alloc();
        return scratch_allocate(bytes);
    }
    void do_deallocate(void* block, size_t, size_t) override { scratch_free(block); }
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }
};

}  // namespace

scratch_scope::scratch_scope() { own_pool.scopes++; }

scratch_scope::~scratch_scope() {
    if (--own_pool.scopes == 0) own_pool.release();
}

void* scratch_allocate(size_t bytes) {
    pool& p = own_pool;
    if (bytes >= kept_minimum && !p.kept.empty()) {
        // The smallest kept block that is large enough, as long as it is not much larger.
        const auto found = p.kept.lower_bound(bytes);
        if (found != p.kept.end() && found->first / 4 <= bytes) {
            void* header = found->second;
            p.kept_bytes -= found->first;
            p.kept.erase(found);
            return static_cast<unsigned char*>(header) + header_size;
        }
    }
    if (bytes > SIZE_MAX - header_size) throw std::bad_alloc();
    void* header = std::malloc(header_size + bytes);
    if (!header) throw std::bad_alloc();
    size_of(header) = bytes;
    return static_cast<unsigned char*>(header) + header_size;
}

void scratch_free(void* block) {
    if (!block) return;
    void* header = static_cast<unsigned char*>(block) - header_size;
    pool& p = own_pool;
    const size_t bytes = size_of(header);
    if (p.scopes > 0 && bytes >= kept_minimum) {
        p.kept.emplace(bytes, header);
        p.kept_bytes += bytes;
        return;
    }
    std::free(header);
}

size_t scratch_kept_bytes() { return own_pool.kept_bytes; }

std::pmr::memory_resource* scratch_resource() {
    static scratch_memory resource;
    return &resource;
}
