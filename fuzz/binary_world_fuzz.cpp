// libFuzzer target: the binary world parser on arbitrary bytes; whatever it accepts must
// serialize, and the serialized file must parse back to the same bytes. The file parser the engine
// reads with must accept the same inputs and give the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "formats/binary_format.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    bfl_report_errors() = 0;  // a report per rejected input would fill the log files
    return 0;
}

namespace {

// The world an accepted file gives when its records are read in place (floats may be NaN, so the
// worlds are compared by their bytes).
bf_world world_of(const bf_file& file) {
    const bf_sections& s = file.sections;
    bf_world w = file.world;
    size_t at = 0;
    w.polygons.resize(s.polygon_count);
    for (bf_polygon& p : w.polygons) bfl_file_polygon(s, at, p);
    for (uint32_t i = 0; i < s.point_count; ++i) w.points.push_back(bfl_file_point(s, i));
    for (uint32_t i = 0; i < s.cord_count; ++i) w.cords.push_back(bfl_file_cord(s, i));
    return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bf_world world;
    bf_file file;
    const int parsed = bfl_parse_world(data, size, world);
    if (bfl_parse_file(data, size, file) != parsed) std::abort();
    if (parsed != 0) return 0;
    std::vector<uint8_t> once;
    if (bfl_serialize_world(world, once) != 0) std::abort();
    std::vector<uint8_t> in_place;
    if (bfl_serialize_world(world_of(file), in_place) != 0 || in_place != once) std::abort();
    if (file.links.size() != world.polygons.size()) std::abort();
    bf_world again;
    if (bfl_parse_world(once.data(), once.size(), again) != 0) std::abort();
    std::vector<uint8_t> twice;
    if (bfl_serialize_world(again, twice) != 0 || twice != once) std::abort();
    return 0;
}
