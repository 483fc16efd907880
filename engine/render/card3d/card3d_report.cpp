// The card's capability report "card3d.txt": written at a card start when it is missing, kept otherwise.
#include <string>

#include "foundation/errors.h"
#include "platform/paths.h"
#include "platform/safe_write.h"
#include "render/card3d/card3d.h"

namespace {

void line(std::string& text, const char* name, const std::string& value) {
    text += "\t";
    text += name;
    text += "\t";
    text += value;
    text += "\n";
}

std::string flag(bool on) { return on ? "1" : "0"; }

}  // namespace

void card3d_write_capability_report() {
    if (plat_file_exists(card3d_texts::report_file)) return;
    const plat_card_caps& caps = card3d().caps;
    std::string text = "3D card capabilities\n--------------------\n";
    line(text, "GL_VENDOR", caps.vendor);
    line(text, "GL_RENDERER", caps.renderer);
    line(text, "GL_VERSION", caps.version);
    line(text, "DEPTH_BITS", std::to_string(caps.depth_bits));
    line(text, "GL_MAX_TEXTURE_SIZE", std::to_string(caps.max_texture));
    line(text, "TABLE_FOG", flag(caps.table_fog));
    line(text, "VERTEX_FOG", flag(caps.vertex_fog));
    line(text, "ALPHA_TEXTURES", flag(caps.alpha_textures));
    line(text, "LINEAR_FILTER", flag(caps.linear_filter));
    line(text, "MULTITEXTURE", flag(caps.multitexture));
    text += "\n\n------------------------\nTo regenerate this file: delete the file and run the program again\n";
    if (plat_write_file(card3d_texts::report_file, text.data(), text.size()) != PLAT_WRITE_OK && card3d_report_errors())
        report_error(1, "card3d_init: failed writing card3d.txt");
}
