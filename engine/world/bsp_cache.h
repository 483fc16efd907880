// The ".bsp" cache file beside a world: a header that identifies the geometry, then the planes
// of every tree in pre-order, all little-endian doubles.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/geometry.h"
#include "world/records.h"

inline constexpr size_t bsp_cache_header_size = 32;
inline constexpr size_t bsp_cache_plane_size = 32;

struct bsp_cache_header {
    double polygons;
    double points;
    double coordinate_sum;
    double checksum;
};

// The header values of the root lists of the given modules (in list order).
bsp_cache_header bsp_cache_compute_header(const std::vector<const module*>& modules);
// The cache path of a world file: its name without the extension, then ".bsp".
std::string bsp_cache_path(const char* world_file);
// Reads the cache; true and the planes when it matches the header and every plane is sound.
bool bsp_cache_read(const std::string& path, const bsp_cache_header& world, std::vector<plane>& planes);
void bsp_cache_append_plane(std::vector<uint8_t>& out, const plane& p);
void bsp_cache_append_header(std::vector<uint8_t>& out, const bsp_cache_header& h);
// Writes through a temporary beside the target; 0 / -1.
int bsp_cache_write(const std::string& path, const std::vector<uint8_t>& data);
