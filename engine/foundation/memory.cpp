// Engine memory: every block zero-filled and counted; the fast pool bumps through big blocks.
#include "foundation/memory.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "foundation/errors.h"
#include "foundation/registry.h"
#include "platform/memory_probe.h"

namespace {

// Each ordinary block is preceded by its size, kept 16-byte aligned.
struct block_header {
    size_t size;
    size_t counted;
};
static_assert(sizeof(block_header) == 16);

struct memory_state {
    std::atomic<uint32_t> in_use{0};
    std::atomic<uint32_t> max_in_use{0};
    std::recursive_mutex pool_lock;
    int fast_mode = 0;
    int protection = 1;
    big_block* chain = nullptr;
};

thread_local int uncounted = 0;

memory_state& memory() {
    static memory_state state;
    return state;
}

block_header* header_of(const void* block) {
    return reinterpret_cast<block_header*>(const_cast<unsigned char*>(
        static_cast<const unsigned char*>(block) - sizeof(block_header)));
}

void raise_max(memory_state& m, uint32_t value) {
    uint32_t seen = m.max_in_use.load();
    while (value > seen && !m.max_in_use.compare_exchange_weak(seen, value)) {
    }
}

// From this size on a block is filled in huge pages where the system offers them.
constexpr size_t huge_page_block = size_t{4} << 20;

void* ordinary_alloc(size_t size) {
    if (size > SIZE_MAX - sizeof(block_header)) return nullptr;
    auto* header = static_cast<block_header*>(std::calloc(1, sizeof(block_header) + size));
    if (!header) return nullptr;
    memory_state& m = memory();
    header->size = size;
    header->counted = uncounted ? 0 : 1;
    if (header->counted) raise_max(m, m.in_use += static_cast<uint32_t>(size));
    if (size >= huge_page_block) plat_advise_huge_pages(header, sizeof(block_header) + size);
    return header + 1;
}

void ordinary_free(void* block) {
    block_header* header = header_of(block);
    const size_t size = header->size;
    const bool counted = header->counted != 0;
    registry_remove(block);
    std::memset(header, 0, sizeof(block_header) + size);
    std::free(header);
    if (counted) memory().in_use -= static_cast<uint32_t>(size);
}

}  // namespace

void* engine_alloc(size_t size) {
    if (fast_alloc_mode()) return jfast_alloc(size > INT32_MAX ? -1 : static_cast<int>(size));
    return ordinary_alloc(size);
}

void* engine_free(void* block) {
    if (!block) return nullptr;
    memory_state& m = memory();
    std::lock_guard<std::recursive_mutex> guard(m.pool_lock);
    if (m.fast_mode) return nullptr;
    if (m.protection && is_in_big_block(block)) return nullptr;
    ordinary_free(block);
    return nullptr;
}

size_t engine_block_size(const void* block) { return block ? header_of(block)->size : 0; }

void engine_fill_dead(void* block) {
    if (block) std::memset(block, dead_record_byte, header_of(block)->size);
}

uint32_t engine_get_bytes_in_use() { return memory().in_use.load(); }
uint32_t engine_get_max_bytes_in_use() { return memory().max_in_use.load(); }
void engine_set_uncounted(int on) { uncounted = on ? 1 : 0; }

void* jfast_alloc(int size) {
    if (size <= 0 || size > big_block_size) {
        report_error(1, "jfast_alloc: size is to big or <=0");
        return nullptr;
    }
    // Every piece starts on a boundary fit for any record type.
    constexpr int alignment = alignof(std::max_align_t);
    size = (size + alignment - 1) / alignment * alignment;
    memory_state& m = memory();
    std::lock_guard<std::recursive_mutex> guard(m.pool_lock);
    if (!m.chain || m.chain->remaining < size) {
        big_block* fresh = init_big_block();
        if (!fresh) return nullptr;
        fresh->next = m.chain;
        m.chain = fresh;
    }
    big_block* block = m.chain;
    unsigned char* result = block->free_pointer;
    block->free_pointer += size;
    block->used += size;
    block->remaining -= size;
    return result;
}

big_block* init_big_block() {
    memory_state& m = memory();
    std::lock_guard<std::recursive_mutex> guard(m.pool_lock);
    const int saved_mode = m.fast_mode;
    m.fast_mode = 0;
    auto* block = static_cast<big_block*>(engine_alloc(sizeof(big_block)));
    unsigned char* memory_area = block ? static_cast<unsigned char*>(engine_alloc(big_block_size)) : nullptr;
    if (!memory_area) {
        report_error(1, "init_big_block: failed to alloc\n");
        block = static_cast<big_block*>(engine_free(block));
    }
    m.fast_mode = saved_mode;
    if (!block) return nullptr;
    block->memory = memory_area;
    block->size = big_block_size;
    block->free_pointer = memory_area;
    block->used = 0;
    block->remaining = big_block_size;
    return block;
}

int is_in_big_block(const void* address) {
    memory_state& m = memory();
    std::lock_guard<std::recursive_mutex> guard(m.pool_lock);
    const auto* p = static_cast<const unsigned char*>(address);
    for (const big_block* block = m.chain; block; block = block->next) {
        // Compared as integers: the address may belong to another allocation.
        const auto start = reinterpret_cast<uintptr_t>(block->memory);
        const auto at = reinterpret_cast<uintptr_t>(p);
        if (at >= start && at < start + static_cast<uintptr_t>(block->size)) return 1;
    }
    return 0;
}

void free_big_block(big_block* block) {
    if (!block) return;
    memory_state& m = memory();
    std::lock_guard<std::recursive_mutex> guard(m.pool_lock);
    for (big_block** link = &m.chain; *link; link = &(*link)->next) {
        if (*link == block) {
            *link = block->next;
            break;
        }
    }
    // Records carved out of the block stop being handles with it.
    registry_remove_range(block->memory, block->memory + block->size);
    const int saved_mode = m.fast_mode;
    m.fast_mode = 0;
    ordinary_free(block->memory);
    ordinary_free(block);
    m.fast_mode = saved_mode;
}

void free_all_big_blocks() {
    memory_state& m = memory();
    std::lock_guard<std::recursive_mutex> guard(m.pool_lock);
    while (m.chain) free_big_block(m.chain);
}

big_block* big_block_chain() {
    memory_state& m = memory();
    std::lock_guard<std::recursive_mutex> guard(m.pool_lock);
    return m.chain;
}

void fast_alloc_mode_on() {
    memory_state& m = memory();
    std::lock_guard<std::recursive_mutex> guard(m.pool_lock);
    m.fast_mode = 1;
}

void fast_alloc_mode_off() {
    memory_state& m = memory();
    std::lock_guard<std::recursive_mutex> guard(m.pool_lock);
    m.fast_mode = 0;
}

int fast_alloc_mode() {
    memory_state& m = memory();
    std::lock_guard<std::recursive_mutex> guard(m.pool_lock);
    return m.fast_mode;
}

void set_big_block_protection(int on) {
    memory_state& m = memory();
    std::lock_guard<std::recursive_mutex> guard(m.pool_lock);
    m.protection = on ? 1 : 0;
}
