// Large working blocks kept for reuse while a scope is open: a long computation that makes and
// drops big arrays again and again (a tree build) takes them back from here instead of having the
// system clear fresh pages for each. Each thread has its own pool.
#pragma once
#include <cstddef>
#include <memory_resource>
#include <new>
#include <vector>

// While one is alive on a thread, freed scratch blocks of that thread are kept for reuse; the
// outermost one gives them all back as it ends.
class scratch_scope {
public:
    scratch_scope();
    ~scratch_scope();
    scratch_scope(const scratch_scope&) = delete;
    scratch_scope& operator=(const scratch_scope&) = delete;
};

// A block of at least `bytes` bytes, aligned for any type; throws std::bad_alloc.
void* scratch_allocate(size_t bytes);
// Frees, or keeps for reuse, a block scratch_allocate gave.
void scratch_free(void* block);
// The bytes the calling thread's pool keeps for reuse now.
size_t scratch_kept_bytes();

template <typename T>
struct scratch_allocator {
    using value_type = T;
    scratch_allocator() = default;
    template <typename U>
    scratch_allocator(const scratch_allocator<U>&) {}
    T* allocate(size_t n) {
        if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(scratch_allocate(n * sizeof(T)));
    }
    void deallocate(T* block, size_t) { scratch_free(block); }
    template <typename U>
    bool operator==(const scratch_allocator<U>&) const {
        return true;
    }
};

template <typename T>
using scratch_vector = std::vector<T, scratch_allocator<T>>;

// The pool as a memory resource.
std::pmr::memory_resource* scratch_resource();
