// Large tables in huge pages: one page fault and one TLB entry per 2 MB where the system offers them.
#pragma once
#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/memory_probe.h"

// Reserves room for `count` items in an empty vector before anything is written to it, asking for
// huge pages where the block is large enough.
template <typename T>
void reserve_in_huge_pages(std::vector<T>& v, size_t count) {
    v.reserve(count);
    plat_advise_huge_pages(v.data(), v.capacity() * sizeof(T));
}

// Slots for `keys` keys in an open-addressed table at most half full: a power of two, at least
// `smallest`.
inline size_t half_full_slots(size_t keys, size_t smallest) {
    size_t slots = smallest;
    while (slots < 2 * keys) slots *= 2;
    return slots;
}

// A table of `count` items that starts all zero. A large one is fresh memory whose pages are only
// given (in huge pages) as they are written: a hash table sized for the most it could hold costs
// nothing where it stays empty.
template <typename T>
class zeroed_table {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    explicit zeroed_table(size_t count) : items_(static_cast<T*>(std::calloc(count, sizeof(T)))), size_(count) {
        if (!items_ && count) throw std::bad_alloc();
        plat_advise_huge_pages(items_, count * sizeof(T));
    }
    zeroed_table(zeroed_table&& other) noexcept
        : items_(std::exchange(other.items_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    zeroed_table& operator=(zeroed_table&& other) noexcept {
        std::swap(items_, other.items_);
        std::swap(size_, other.size_);
        return *this;
    }
    zeroed_table(const zeroed_table&) = delete;
    zeroed_table& operator=(const zeroed_table&) = delete;
    ~zeroed_table() { std::free(items_); }

    T& operator[](size_t i) { return items_[i]; }
    const T& operator[](size_t i) const { return items_[i]; }
    size_t size() const { return size_; }

private:
    T* items_;
    size_t size_;
};
