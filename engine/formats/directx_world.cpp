// DirectX .x text worlds: the mesh parser, its conversion to polygons, and the mesh writer.
#include "formats/directx_world.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <map>
#include <string>

#include "formats/bitmap_save.h"
#include "formats/text_world.h"
#include "formats/world_formats.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "platform/numbers.h"
#include "world/bsp_node.h"
#include "world/colour.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/polygon_geometry.h"
#include "world/world_order.h"

namespace texts = directx_texts;

namespace {

constexpr int face_min_points = 3;
constexpr size_t texture_name_limit = 259;
constexpr double file_units = 100;  // world units per file unit

void report(int kind, const std::string& text) {
    if (directx_world_report_errors()) report_error(kind, text.c_str());
}

// A cursor over the text. Numbers may be separated by blanks, ';' and ',' in any mix.
struct x_scan {
    const std::string& text;
    size_t pos = 0;

    void skip_separators() {
        while (pos < text.size() && (std::isspace(static_cast<unsigned char>(text[pos])) || text[pos] == ';' ||
                                     text[pos] == ','))
            ++pos;
    }
    bool number(double& out) {
        skip_separators();
        if (pos >= text.size()) return false;
        char* end = nullptr;
        const char* start = text.c_str() + pos;
        const double value = plat_strtod(start, &end);
        if (end == start || !std::isfinite(value)) return false;
        pos += static_cast<size_t>(end - start);
        out = value;
        return true;
    }
    bool whole(int& out) {
        skip_separators();
        size_t p = pos;
        const bool negative = p < text.size() && text[p] == '-';
        if (negative || (p < text.size() && text[p] == '+')) ++p;
        if (p >= text.size() || !std::isdigit(static_cast<unsigned char>(text[p]))) return false;
        long long value = 0;
        for (; p < text.size() && std::isdigit(static_cast<unsigned char>(text[p])); ++p) {
            value = value * 10 + (text[p] - '0');
            if (value > INT_MAX) return false;
        }
        pos = p;
        out = static_cast<int>(negative ? -value : value);
        return true;
    }
    // A count of items of at least `item_size` characters each that the rest of the text can hold.
    bool count(int& out, size_t item_size) {
        return whole(out) && out >= 0 && static_cast<size_t>(out) <= (text.size() - pos) / item_size;
    }
    // The next word: a run of letters, digits and '_', or one other character.
    std::string word() {
        skip_separators();
        const size_t start = pos;
        while (pos < text.size() && (std::isalnum(static_cast<unsigned char>(text[pos])) || text[pos] == '_')) ++pos;
        if (pos == start && pos < text.size()) ++pos;
        return text.substr(start, pos - start);
    }
};

bool fail(const char* text) {
    report(1, text);
    return false;
}

bool is_word_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The text with its "//" and "#" comments blanked out, so that every search passes over them;
// positions stay as they are.
std::string without_comments(const std::string& text) {
    std::string out = text;
    bool quoted = false;
    for (size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\n') quoted = false;
        if (out[i] == '"') quoted = !quoted;
        if (quoted || (out[i] != '#' && !(out[i] == '/' && i + 1 < out.size() && out[i + 1] == '/'))) continue;
        for (; i < out.size() && out[i] != '\n'; ++i) out[i] = ' ';
    }
    return out;
}

// The position of the '}' closing the block whose '{' stands just before `open`; the end of the
// text when it is never closed. Braces in quoted names do not count.
size_t block_end(const std::string& text, size_t open) {
    int depth = 1;
    bool quoted = false;
    for (size_t i = open; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') quoted = false;
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '{') ++depth;
        if (c == '}' && --depth == 0) return i;
    }
    return text.size();
}

size_t skip_blanks(const std::string& text, size_t at) {
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    return at;
}

// The word that ends just before `at`, blanks between.
std::string word_before(const std::string& text, size_t at) {
    size_t end = at;
    while (end > 0 && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    size_t start = end;
    while (start > 0 && is_word_char(text[start - 1])) --start;
    return text.substr(start, end - start);
}

// Whether the keyword stands at `at` as a whole word.
bool word_at(const std::string& text, size_t at, const std::string& keyword) {
    const size_t after = at + keyword.size();
    return text.compare(at, keyword.size(), keyword) == 0 && !(at > 0 && is_word_char(text[at - 1])) &&
           !(after < text.size() && is_word_char(text[after]));
}

// A data block of the text: the keyword, an optional name and the body between its braces.
struct x_block {
    std::string name;
    size_t open = 0;   // first character of the body
    size_t close = 0;  // its closing brace, or the end of the text
};

// The block at `at` when the keyword standing there opens one: "keyword [name] {".
bool block_at(const std::string& text, size_t at, const std::string& keyword, x_block& out) {
    size_t p = skip_blanks(text, at + keyword.size());
    const size_t name_start = p;
    while (p < text.size() && !std::isspace(static_cast<unsigned char>(text[p])) && text[p] != '{' && text[p] != '}')
        ++p;
    const size_t name_end = p;
    p = skip_blanks(text, p);
    if (p >= text.size() || text[p] != '{') return false;
    out.name = text.substr(name_start, name_end - name_start);
    out.open = p + 1;
    out.close = block_end(text, out.open);
    return true;
}

// The first data block of the keyword within [from, to); template declarations are passed over.
bool find_block(const std::string& text, const std::string& keyword, size_t from, size_t to, x_block& out) {
    for (size_t at = text.find(keyword, from); at != std::string::npos && at < to;
         at = text.find(keyword, at + 1)) {
        if (!word_at(text, at, keyword) || word_before(text, at) == "template") continue;
        if (block_at(text, at, keyword, out)) return true;
    }
    return false;
}

bool same_word_any_case(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool read_mesh_points(x_scan& s, x_mesh& mesh) {
    int count = 0;
    // The shortest vertex is "0;0;0".
    if (!s.count(count, 5)) return fail(texts::no_point_count);
    mesh.vertices.assign(static_cast<size_t>(count), x_vertex{});
    for (x_vertex& v : mesh.vertices) {
        if (!s.number(v.x) || !s.number(v.y) || !s.number(v.z)) return fail(texts::no_point);
        v.x *= file_units;
        v.y *= file_units;
        v.z *= file_units;
        if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return fail(texts::no_point);
    }
    return true;
}

bool read_mesh_faces(x_scan& s, x_mesh& mesh) {
    int count = 0;
    // The shortest face is "3;0,0,0".
    if (!s.count(count, 7)) return fail(texts::no_face_count);
    mesh.faces.assign(static_cast<size_t>(count), x_face{{}, x_no_material});
    for (int f = 0; f < count; ++f) {
        x_face& face = mesh.faces[static_cast<size_t>(f)];
        int points = 0;
        if (!s.whole(points)) {
            engine_log_printf(texts::face_number, f);
            return fail(texts::no_face_points);
        }
        if (points < face_min_points || points > polygon_max_points) {
            engine_log_printf(texts::face_number, f);
            return fail(texts::bad_face_points);
        }
        face.indices.resize(static_cast<size_t>(points));
        for (int i = 0; i < points; ++i) {
            int& index = face.indices[static_cast<size_t>(i)];
            if (!s.whole(index)) {
                engine_log_printf(texts::point_number, i);
                return fail(texts::no_face_point);
            }
            if (index < 0 || static_cast<size_t>(index) >= mesh.vertices.size()) {
                engine_log_printf(texts::point_number, i);
                return fail(texts::bad_face_index);
            }
        }
    }
    return true;
}

bool read_texture_name(x_scan& s, const x_block& material, x_material& m) {
    const size_t open = s.text.find('"', s.pos);
    const size_t close = open == std::string::npos ? open : s.text.find('"', open + 1);
    if (close == std::string::npos || close > material.close) return fail(texts::no_texture);
    if (close - open - 1 > texture_name_limit) return fail(texts::long_texture);
    m.texture = s.text.substr(open + 1, close - open - 1);
    return true;
}

// The body of one material: face colour, power, specular and emissive colours, and either
// nothing more or a texture file name.
bool read_material(x_scan& s, const x_block& block, x_material& m) {
    s.pos = block.open;
    double unused = 0;
    if (!s.number(m.red) || !s.number(m.green) || !s.number(m.blue) || !s.number(m.alpha) || !s.number(m.power))
        return fail(texts::no_material);
    for (int i = 0; i < 6; ++i) {
        if (!s.number(unused)) return fail(texts::no_material);
    }
    const std::string next = s.word();
    if (same_word_any_case(next, "TextureFilename")) {
        if (!read_texture_name(s, block, m)) return false;
    } else if (next != "}") {
        return fail(texts::no_texture);
    }
    s.pos = std::min(block.close + 1, s.text.size());
    return true;
}

// The materials defined anywhere in the text, by name.
std::map<std::string, x_block> named_materials(const std::string& text) {
    std::map<std::string, x_block> named;
    x_block block;
    for (size_t from = 0; find_block(text, "Material", from, text.size(), block); from = block.open)
        named.emplace(block.name, block);
    return named;
}

// A reference "{name}" at the cursor to a material defined elsewhere in the text.
bool read_referenced_material(x_scan& s, const x_block& list, const std::map<std::string, x_block>& named,
                              x_material& m) {
    const size_t end = s.text.find('}', s.pos);
    if (end == std::string::npos || end > list.close) return fail(texts::no_material);
    const std::string inside = s.text.substr(s.pos + 1, end - s.pos - 1);
    const size_t start = inside.find_first_not_of(" \t\r\n");
    const std::string name =
        start == std::string::npos ? "" : inside.substr(start, inside.find_first_of(" \t\r\n<", start) - start);
    const auto found = named.find(name);
    if (found == named.end()) return fail(texts::no_material);
    if (!read_material(s, found->second, m)) return false;
    s.pos = end + 1;
    return true;
}

// The list's entries after its face indices: materials written in place and references to
// materials defined elsewhere. A list without entries takes the text's materials in order.
bool read_materials(x_scan& s, const x_block& list, x_mesh& mesh) {
    std::map<std::string, x_block> named;
    bool indexed = false;
    size_t read = 0;
    for (; read < mesh.materials.size(); ++read) {
        s.skip_separators();
        x_block block;
        if (s.pos >= list.close) break;
        if (word_at(s.text, s.pos, "Material") && block_at(s.text, s.pos, "Material", block)) {
            if (!read_material(s, block, mesh.materials[read])) return false;
        } else if (s.text[s.pos] == '{') {
            if (!indexed) named = named_materials(s.text);
            indexed = true;
            if (!read_referenced_material(s, list, named, mesh.materials[read])) return false;
        } else {
            break;
        }
    }
    if (read == mesh.materials.size()) return true;
    if (read > 0) return fail(texts::no_material);
    x_block block;
    size_t from = 0;
    for (x_material& m : mesh.materials) {
        if (!find_block(s.text, "Material", from, s.text.size(), block)) return fail(texts::no_material);
        if (!read_material(s, block, m)) return false;
        from = block.open;
    }
    return true;
}

// The mesh's material list; without one every face keeps the default polygon colour.
bool read_material_list(x_scan& s, const x_block& mesh_block, x_mesh& mesh) {
    x_block list;
    if (!find_block(s.text, "MeshMaterialList", mesh_block.open, mesh_block.close, list)) return true;
    s.pos = list.open;
    int materials = 0, faces = 0;
    // The shortest material is "Material {0;0;0;0;;0;0;0;0;;0;0;0;;}".
    if (!s.whole(materials) || materials < 0 || static_cast<size_t>(materials) > s.text.size() / 32)
        return fail(texts::no_material_count);
    if (!s.whole(faces)) return fail(texts::no_list_face_count);
    if (faces < 0 || static_cast<size_t>(faces) != mesh.faces.size()) return fail(texts::list_face_count);
    for (x_face& face : mesh.faces) {
        if (!s.whole(face.material)) return fail(texts::no_material_index);
        if (face.material < 0 || face.material >= materials) return fail(texts::bad_material_index);
    }
    mesh.materials.assign(static_cast<size_t>(materials), x_material{});
    return read_materials(s, list, mesh);
}

// The mesh's texture cords; without them the cords stay 0.
bool read_texture_cords(x_scan& s, const x_block& mesh_block, x_mesh& mesh) {
    x_block cords;
    if (!find_block(s.text, "MeshTextureCoords", mesh_block.open, mesh_block.close, cords)) return true;
    s.pos = cords.open;
    int count = 0;
    // The shortest cord pair is "0;0".
    if (!s.count(count, 3)) return fail(texts::no_cords);
    if (static_cast<size_t>(count) > mesh.vertices.size()) return fail(texts::too_many_cords);
    for (int i = 0; i < count; ++i) {
        x_vertex& v = mesh.vertices[static_cast<size_t>(i)];
        if (!s.number(v.bm_x) || !s.number(v.bm_y)) return fail(texts::no_cords);
    }
    return true;
}

// Binary and compressed files carry their form in the header: "xof 0303bin 0032".
const char* stored_form(const std::string& text) {
    if (text.size() < 12 || text.compare(0, 4, "xof ") != 0) return nullptr;
    const std::string form = text.substr(8, 4);
    if (form == "bin ") return texts::binary_file;
    if (form == "tzip" || form == "bzip") return texts::compressed_file;
    return nullptr;
}

int meshes_after(const std::string& text, const x_block& first) {
    int count = 0;
    x_block block;
    for (size_t from = first.close; find_block(text, "Mesh", from, text.size(), block); from = block.close) ++count;
    return count;
}

void dump_text(const x_scan& s, const char* name) {
    engine_log_printf(texts::file_line, name ? name : "");
    log_error_dump(texts::dump, s.text, s.pos);
}

// A polygon of one face: its points in reverse index order, the material's colour and texture.
polygon* face_polygon(const x_mesh& mesh, const x_face& face) {
    polygon* p = init_poly();
    if (!p) {
        report(2, texts::init_poly_failed);
        return nullptr;
    }
    // A face without a material keeps the default polygon colour at normal light.
    static const x_material plain{};
    const bool coloured = face.material != x_no_material;
    const x_material& m = coloured ? mesh.materials[static_cast<size_t>(face.material)] : plain;
    const double shade = std::floor(light_intensity_to_shade(std::max(0.0, 100 + 4 * m.power), 8));
    for (const int index : face.indices) {
        const x_vertex& v = mesh.vertices[static_cast<size_t>(index)];
        const double values[6] = {v.x, v.y, v.z, v.bm_x, v.bm_y, shade};
        polygon_add_point_to_head(p, values);
    }
    auto channel = [](double c) { return static_cast<int32_t>(std::clamp(c, 0.0, 1.0) * 255); };
    if (coloured) {
        p->red = channel(m.red);
        p->green = channel(m.green);
        p->blue = channel(m.blue);
    }
    p->colour_pixel = rgb_to_pixel(p->red, p->green, p->blue);
    if (!m.texture.empty()) polygon_set_bitmap_name(p, m.texture.c_str());
    polygon_calculate_plane(p);
    if (polygon_fill_read_values(p) != 0) {
        report(1, texts::bad_cords);
        free_polygon(p);
        return nullptr;
    }
    return p;
}

// Fills the MAIN module the dispatcher made: a static object placing the file's own module.
int read_into_main(const char* path, module* main, group**) {
    module* mesh_module = init_module();
    if (!mesh_module) {
        report(1, texts::module_failed);
        return -1;
    }
    std::string name = strip_extension(get_file_name(path).c_str());
    module_find_unique_name(engine_state.modules, name);
    jstrcpy_with_allocating(&mesh_module->name, name.c_str());
    mesh_module->root = init_bsp_node();
    if (!mesh_module->root) {
        report(1, texts::node_failed);
        module_destroy(mesh_module);
        return -1;
    }
    module_list_push(&engine_state.modules, mesh_module);
    object* o = init_object();
    if (!o) {
        report(2, texts::object_failed);
        return -1;
    }
    object_set_module_name(o, name.c_str());
    o->placed = mesh_module;
    bsp_node_push_object(main->root, o);
    x_mesh mesh;
    if (engine_load_x_file(path, mesh) != 0) return -1;
    return engine_convert_x_world_to_polygons(mesh, &mesh_module->root->polygons);
}

// Text building in the C locale.
struct x_out {
    std::string text;
    template <typename... A>
    void add(const char* format, A... values) {
        if constexpr (sizeof...(A) == 0) {
            text += format;
        } else {
            text += plat_format(format, values...);
        }
    }
};

std::string texture_file_name(const polygon* p) {
    return get_file_name(p->texture->image.name) + ".bmp";
}

void write_materials(x_out& out, const group* g) {
    int number = 0;
    for (polygon* p = group_get_first_polygon(g); p; p = group_get_next_polygon(g, p)) {
        out.add("\nMaterial Material%d {\n", number++);
        out.add("\t%.6lf;\t%.6lf;\t%.6lf;\t1.000000;;\n", p->red / 255.0, p->green / 255.0, p->blue / 255.0);
        out.add("\t%.6lf;\n", 0.0);
        for (int i = 0; i < 2; ++i) out.add("\t%.6lf;\t%.6lf;\t%.6lf;;\n", 0.0, 0.0, 0.0);
        if (p->texture && p->texture->image.name)
            out.add("\tTextureFilename {\n\t\t\t\"%s\";\n\t\t}\n", texture_file_name(p).c_str());
        out.add("\n\t}\n");
    }
}

void write_points(x_out& out, const group* g, const vec3& c, double s, int point_count) {
    out.add("Mesh {\n\t%d;\n", point_count);
    int written = 0;
    for (polygon* p = group_get_first_polygon(g); p; p = group_get_next_polygon(g, p)) {
        for (const point* pt = p->points; pt; pt = pt->next) {
            const bool last = ++written == point_count;
            out.add(last ? "\t% .16lf;\t% .16lf;\t% .16lf;;\n" : "\t% .16lf;\t% .16lf;\t% .16lf;,\n", (pt->y - c.y) / s,
                    (pt->z - c.z) / s, -(pt->x - c.x) / s);
        }
    }
}

void write_faces(x_out& out, const group* g, int polygon_count, int point_count) {
    out.add("\n\t%d;\n", polygon_count);
    int number = 0;
    for (polygon* p = group_get_first_polygon(g); p; p = group_get_next_polygon(g, p)) {
        out.add("\t%d;\t", p->point_count);
        for (const point* pt = p->points; pt; pt = pt->next) {
            const char* format = pt->next ? "%d," : (number + 1 == point_count ? "%d;;\n\n" : "%d;,\n");
            out.add(format, number++);
        }
    }
}

void write_material_list(x_out& out, int polygon_count) {
    out.add("\tMeshMaterialList {\n");
    out.add("\n\t\t%d;\n\t\t%d;\n", polygon_count, polygon_count);
    for (int i = 0; i < polygon_count; ++i) out.add(i + 1 < polygon_count ? "\t\t%d,\n" : "\t\t%d;;\n", i);
    for (int i = 0; i < polygon_count; ++i) out.add("\t\t{Material%d}\n", i);
    out.add("\t}\n\n");
}

void write_texture_cords(x_out& out, const group* g, int point_count) {
    out.add("\tMeshTextureCoords {\n\t\t%d;\n", point_count);
    int written = 0;
    for (polygon* p = group_get_first_polygon(g); p; p = group_get_next_polygon(g, p)) {
        for (const point* pt = p->points; pt; pt = pt->next) {
            const bool last = ++written == point_count;
            out.add(last ? "\t\t% .16lf;\t% .16lf;;\n" : "\t\t% .16lf;\t% .16lf;\n", pt->bitmap_x, pt->bitmap_y);
        }
    }
    out.add("\t}\n\n");
}

}  // namespace

int& directx_world_report_errors() {
    static int flag = 1;
    return flag;
}

int engine_read_world_design_directx_format(const char*, const char*, const char* path, group** top_group) {
    return read_into_new_module(path, read_into_main, false, top_group);
}

int engine_load_x_file(const char* path, x_mesh& mesh) {
    char* data = nullptr;
    int size = 0;
    if (file_to_memory(path, &data, &size) != 0) {
        report(1, texts::cant_load);
        engine_log_printf("%s\n", path ? path : "");
        return -1;
    }
    const int result = engine_parse_x_text(data, static_cast<size_t>(size), path, mesh);
    engine_free(data);
    return result;
}

int engine_parse_x_text(const char* text, size_t size, const char* name, x_mesh& mesh) {
    const std::string whole = without_comments(std::string(text ? text : "", text ? size : 0));
    if (const char* form = stored_form(whole)) {
        report(1, plat_format(form, name ? name : ""));
        return -1;
    }
    x_scan s{whole};
    x_block mesh_block;
    const char* failed = nullptr;
    if (!find_block(whole, "Mesh", 0, whole.size(), mesh_block)) {
        fail(texts::no_mesh);
        failed = texts::mesh_failed;
    } else {
        s.pos = mesh_block.open;
        if (!read_mesh_points(s, mesh) || !read_mesh_faces(s, mesh)) failed = texts::mesh_failed;
        else if (!read_material_list(s, mesh_block, mesh)) failed = texts::list_failed;
        else if (!read_texture_cords(s, mesh_block, mesh)) failed = texts::cords_failed;
    }
    if (!failed) {
        const int left_out = meshes_after(whole, mesh_block);
        if (left_out > 0) engine_log_printf(texts::meshes_left_out, name ? name : "", left_out + 1);
        return 0;
    }
    report(1, failed);
    dump_text(s, name);
    mesh = x_mesh{};
    return -1;
}

int engine_convert_x_world_to_polygons(x_mesh& mesh, polygon** list) {
    int result = 0;
    for (const x_face& face : mesh.faces) {
        polygon* p = face_polygon(mesh, face);
        if (!p) {
            result = -1;
            break;
        }
        if (polygon_list_add(list, p) != 0) {
            report(1, texts::add_failed);
            free_polygon(p);
            result = -1;
            break;
        }
    }
    mesh = x_mesh{};
    return result;
}

int directx_check_world(const group* g, vec3& centre, double& scale) {
    double box[6];
    group_get_bounding_box(g, box);
    centre = {(box[0] + box[3]) / 2, (box[1] + box[4]) / 2, (box[2] + box[5]) / 2};
    const double half = std::max({box[3] - box[0], box[4] - box[1], box[5] - box[2]}) / 2;
    scale = half / 8;
    int result = 0;
    if (!(half > 0)) {
        report(1, texts::bad_world);
        scale = 1;
    }
    if (!(half >= 1e-30)) {
        report(1, texts::strange_world);
        scale = 1;
        result = -1;
    }
    return result;
}

int engine_save_directX_format(const char* path, group* g) {
    const int polygon_count = group_get_number_of_polygons(g);
    const int point_count = group_get_number_of_points(g);
    // Nothing to write: the old file stays as it is.
    if (polygon_count == 0) {
        report(1, texts::bad_world);
        return -1;
    }
    vec3 centre;
    double scale = 1;
    const int geometry = directx_check_world(g, centre, scale);
    x_out out;
    out.add("xof 0303txt 0032\n# Generated by Drovik VR Engine\n\n\nHeader {\n\t1;\n\t0;\n\t1;\n}\n");
    write_materials(out, g);
    write_points(out, g, centre, scale, point_count);
    write_faces(out, g, polygon_count, point_count);
    write_material_list(out, polygon_count);
    write_texture_cords(out, g, point_count);
    out.add("} #closing the mesh\n\n");
    if (mem2file(path, out.text.data(), static_cast<int>(out.text.size())) != 0) {
        report(1, plat_format(texts::open_failed, path ? path : ""));
        return -1;
    }
    return geometry;
}

int engine_save_directx_world(const char* path, group* g, int flags) {
    const int result = engine_save_directX_format(path, g);
    if (result == 0 && (flags & (save_flags::bitmaps_jpeg | save_flags::bitmaps_bmp | save_flags::bitmaps_engine)))
        engine_save_bitmaps_of_group(g, path, flags, 0);
    return result;
}
