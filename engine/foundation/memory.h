// Engine memory: counted zero-filled blocks and the fast pool of chained big blocks.
#pragma once
#include <cstddef>
#include <cstdint>

inline constexpr int big_block_size = 200000;
inline constexpr unsigned char dead_record_byte = 0x55;

struct big_block {
    big_block* next;  // the older block
    unsigned char* memory;
    int size;
    unsigned char* free_pointer;
    int used;
    int remaining;
};

void* engine_alloc(size_t size);
// Frees an ordinary block; does nothing for NULL, in fast mode, or inside a protected big block.
void* engine_free(void* block);
// The usable size of an ordinary block (0 for NULL).
size_t engine_block_size(const void* block);
// Fills an ordinary block with 0x55 so that a dangling use shows a recognisable pattern.
void engine_fill_dead(void* block);
uint32_t engine_get_bytes_in_use();
uint32_t engine_get_max_bytes_in_use();
// While on, ordinary allocations of the calling thread are not added to the bytes in use.
void engine_set_uncounted(int on);

void* jfast_alloc(int size);
big_block* init_big_block();
int is_in_big_block(const void* address);
void free_big_block(big_block* block);
void free_all_big_blocks();
big_block* big_block_chain();
void fast_alloc_mode_on();
void fast_alloc_mode_off();
int fast_alloc_mode();
void set_big_block_protection(int on);
