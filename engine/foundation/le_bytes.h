// Little-endian fields of the image file formats, read and written byte by byte.
#pragma once
#include <cstdint>

inline uint16_t le_u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t le_u32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline int32_t le_i32(const uint8_t* p) { return static_cast<int32_t>(le_u32(p)); }
inline void put_le_u16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void put_le_u32(uint8_t* p, uint32_t v) {
    put_le_u16(p, v & 0xFFFF);
    put_le_u16(p + 2, v >> 16);
}
