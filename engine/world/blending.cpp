// Blending kinds of polygons and patches: keywords, interface codes and the stored blending byte.
#include "world/blending.h"

#include <cstdint>

#include "foundation/strings.h"
#include "world/polygon_patch.h"

namespace {

struct blending_kind {
    const char* keyword;
    int code;
    uint8_t byte;  // high nibble source blend, low nibble destination blend
};

constexpr blending_kind kinds[] = {
    {"DISABLE_BLENDING", 0x00, 0x00},         {"LIGHT_SOURCE_GLASS", 0x22, 0x22},
    {"BRIGHT_OPAQUE_GLASS", 0x23, 0x23},      {"DARK_FILTER_GLASS", 0x31, 0x91},
    {"BRIGHT_TRANSPARENT_GLASS", 0x32, 0x92}, {"FILTER_GLASS", 0x33, 0x93},
    {"BRIGHT_TRANSLUCENT_GLASS", 0x42, 0x32}, {"OPAQUE_FILTER_GLASS", 0x43, 0x33},
    {"CONTROL_GLASS", 0x44, 0x34},            {"INVERSE_GLASS", 0x51, 0xA1},
    {"NORMAL_GLASS", 0x52, 0xA2},
};

const blending_kind* by_byte(uint8_t byte) {
    for (const blending_kind& k : kinds) {
        if (k.byte == byte) return &k;
    }
    return nullptr;
}

}  // namespace

int convert_translucent_string_to_number(const char* keyword) {
    if (!keyword) return -1;
    for (const blending_kind& k : kinds) {
        if (jstricmp(keyword, k.keyword) == 0) return k.code;
    }
    return -1;
}

void polygon_set_translucent(polygon* p, int code) {
    if (!p) return;
    const blending_kind* found = nullptr;
    for (const blending_kind& k : kinds) {
        if (k.code == code) found = &k;
    }
    if (found) p->blending = found->byte;
    p->blending_on = found && code == 0 ? 0 : 1;
    polygon* head = p;
    while (head->previous_patch) head = head->previous_patch;
    polygon_update_patches_blending(head);
}

int polygon_get_translucent(const polygon* p) {
    const blending_kind* k = p ? by_byte(p->blending) : nullptr;
    return k ? k->code : 0;
}

const char* polygon_get_translucent_name(const polygon* p) {
    const blending_kind* k = p ? by_byte(p->blending) : nullptr;
    return k ? k->keyword : "DISABLE_BLENDING";
}
