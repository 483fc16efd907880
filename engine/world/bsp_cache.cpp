// The ".bsp" cache file beside a world: a header that identifies the geometry, then the planes
// of every tree in pre-order, all little-endian doubles.
#include "world/bsp_cache.h"

#include <cmath>
#include <cstring>

#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/geometry.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "platform/numbers.h"
#include "world/bsp_tree.h"

namespace {

constexpr double checksum_wrap = 1e10;
constexpr double sum_tolerance = 0.1;
constexpr double checksum_tolerance = 10;
// A plane from the file must have a unit normal (the builder stores unit normals).
constexpr double normal_tolerance = 1e-3;

void append_double(std::vector<uint8_t>& out, double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

double read_double(const uint8_t* at) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | at[i];
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

bool plane_is_sound(const plane& p) {
    if (!std::isfinite(p.a) || !std::isfinite(p.b) || !std::isfinite(p.c) || !std::isfinite(p.d)) return false;
    const double length = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
    return std::fabs(length - 1) < normal_tolerance;
}

}  // namespace

bsp_cache_header bsp_cache_compute_header(const std::vector<const module*>& modules) {
    bsp_cache_header h{};
    double k = 0;
    for (const module* m : modules) {
        if (!m->root) continue;
        for (const polygon* p = m->root->polygons; p; p = p->next) {
            h.polygons += 1;
            for (const point* pt = p->points; pt; pt = pt->next) {
                h.points += 1;
                h.coordinate_sum += pt->x + pt->y + pt->z;
                h.checksum += pt->x * k + pt->y * (k + 1) + pt->z * (k + 2);
                h.checksum = wrap_checksum(h.checksum, checksum_wrap);
                k += 3;
            }
        }
    }
    return h;
}

std::string bsp_cache_path(const char* world_file) { return strip_extension(world_file) + ".bsp"; }

bool bsp_cache_read(const std::string& path, const bsp_cache_header& world, std::vector<plane>& planes) {
    planes.clear();
    char* buffer = nullptr;
    int size = 0;
    if (file_to_memory(path.c_str(), &buffer, &size) != 0) return false;
    const auto* data = reinterpret_cast<const uint8_t*>(buffer);
    bool usable = size >= static_cast<int>(bsp_cache_header_size);
    if (usable) {
        const bsp_cache_header file{read_double(data), read_double(data + 8), read_double(data + 16),
                                    read_double(data + 24)};
        if (file.polygons != world.polygons) {
            if (bsp_report_errors())
                report_error(1, plat_format(bsp_texts::count_differs, file.polygons, world.polygons).c_str());
            usable = false;
        } else {
            usable = file.points == world.points &&
                     std::fabs(file.coordinate_sum - world.coordinate_sum) <= sum_tolerance &&
                     std::fabs(file.checksum - world.checksum) <= checksum_tolerance;
        }
    }
    // Whole planes only; a trailing fragment is left for the builder to find short.
    for (size_t at = bsp_cache_header_size; usable && at + bsp_cache_plane_size <= static_cast<size_t>(size);
         at += bsp_cache_plane_size) {
        const plane p{read_double(data + at), read_double(data + at + 8), read_double(data + at + 16),
                      read_double(data + at + 24)};
        if (!plane_is_sound(p)) usable = false;
        planes.push_back(p);
    }
    engine_free(buffer);
    if (!usable) planes.clear();
    return usable;
}

void bsp_cache_append_plane(std::vector<uint8_t>& out, const plane& p) {
    for (double v : {p.a, p.b, p.c, p.d}) append_double(out, v);
}

void bsp_cache_append_header(std::vector<uint8_t>& out, const bsp_cache_header& h) {
    for (double v : {h.polygons, h.points, h.coordinate_sum, h.checksum}) append_double(out, v);
}

int bsp_cache_write(const std::string& path, const std::vector<uint8_t>& data) {
    if (mem2file(path.c_str(), data.data(), static_cast<int>(data.size())) != 0) {
        if (bsp_report_errors()) report_error(1, bsp_texts::cant_open);
        return -1;
    }
    return 0;
}
