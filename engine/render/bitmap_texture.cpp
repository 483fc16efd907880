// Bitmap texture records in memory: creation from pixels and a palette, and freeing.
#include "render/bitmap_texture.h"

#include <cstring>

#include "foundation/memory.h"
#include "foundation/registry.h"
#include "render/jbm.h"
#include "render/shade_tables.h"

bitmap_texture* bitmap_texture_create_from_pixels(bitmap_texture** list, const char* name, int width, int height,
                                                  const uint8_t* pixels, const rgb8* palette, int count,
                                                  int transparent_index) {
    if (!list || !pixels || !palette) return nullptr;
    auto* b = record_new<bitmap_texture>(kind_bitmap);
    if (!b) return nullptr;
    jbm_info& image = b->image;
    jbm_info_init(&image);
    image.transparent_index = transparent_index < 0 ? -1 : transparent_index;
    b->file_stamp = -1;
    if (set_jbm_info_name(&image, name ? name : "") != 0 || jbm_create_image(&image, width, height) != 0) {
        bitmap_texture_free(b);
        return nullptr;
    }
    std::memcpy(jbm_pixels(&image), pixels, static_cast<size_t>(width) * height);
    if (jbm_apply_palette(&image, palette, count, current_atmospheric_colour()) != 0) {
        bitmap_texture_free(b);
        return nullptr;
    }
    b->aspect = static_cast<double>(width) / height;
    b->next = *list;
    *list = b;
    return b;
}

void bitmap_texture_free(bitmap_texture* bitmap) {
    if (!bitmap) return;
    jbm_info_free(&bitmap->image);
    while (bitmap_level* level = bitmap->levels) {
        bitmap->levels = level->next;
        if (level->image) jbm_info_free(level->image);
        engine_free(level->image);
        engine_free(level);
    }
    record_destroy(bitmap);
}
