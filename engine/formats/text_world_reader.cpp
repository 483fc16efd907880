// Reader of world text files: a forward scanner over the whole text, one reader per block.
#include <algorithm>
#include <dirent.h>

#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "formats/text_world.h"
#include "formats/world_formats.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "platform/numbers.h"
#include "render/software/background.h"
#include "world/animation.h"
#include "world/blending.h"
#include "world/bsp_node.h"
#include "world/camera.h"
#include "world/chase.h"
#include "world/colour.h"
#include "world/dynamic_object.h"
#include "world/engine_state.h"
#include "world/light.h"
#include "world/object_module.h"
#include "world/polygon.h"
#include "world/polygon_geometry.h"
#include "world/track.h"
#include "world/world_order.h"

namespace {

constexpr size_t window_size = 8000;
constexpr int polygon_min_points = 3;

void report(int kind, const std::string& text) {
    if (text_world_report_errors()) report_error(kind, text.c_str());
}

// The scan of one file: the cursor, and the window end no search of the current block passes.
struct scan {
    std::string text;
    size_t pos = 0;
    size_t limit = 0;

    bool at_end() const { return pos >= limit; }
    void skip_blanks() {
        while (pos < limit && static_cast<unsigned char>(text[pos]) <= ' ') ++pos;
    }
    std::string word() {
        skip_blanks();
        const size_t start = pos;
        while (pos < limit && static_cast<unsigned char>(text[pos]) > ' ') ++pos;
        return text.substr(start, pos - start);
    }
    std::string peek() {
        const size_t keep = pos;
        std::string w = word();
        pos = keep;
        return w;
    }
    // Moves past the next occurrence of the keyword inside the window.
    bool find(const char* keyword) {
        const size_t at = text.find(keyword, pos);
        if (at == std::string::npos || at + std::strlen(keyword) > limit) return false;
        pos = at + std::strlen(keyword);
        return true;
    }
    void skip_line() {
        while (pos < limit && text[pos] != '\n') ++pos;
        if (pos < limit) ++pos;
    }
    // Whether only blanks stand before the end of the line.
    bool line_ended() {
        size_t p = pos;
        while (p < limit && text[p] != '\n' && static_cast<unsigned char>(text[p]) <= ' ') ++p;
        return p >= limit || text[p] == '\n';
    }
};

// The window of a block: 8000 characters, and at least up to the end of the line holding the
// first of the closing keywords.
size_t block_window(const scan& s, std::initializer_list<const char*> closing) {
    size_t end = std::string::npos;
    for (const char* k : closing) end = std::min(end, s.text.find(k, s.pos));
    size_t limit = std::min(s.text.size(), s.pos + window_size);
    if (end != std::string::npos) {
        const size_t line_end = s.text.find('\n', end);
        limit = std::max(limit, line_end == std::string::npos ? s.text.size() : line_end + 1);
    }
    return limit;
}

struct window_guard {
    scan& s;
    size_t saved;
    window_guard(scan& sc, std::initializer_list<const char*> closing) : s(sc), saved(sc.limit) {
        s.limit = block_window(s, closing);
    }
    ~window_guard() { s.limit = saved; }
};

std::string upper(std::string w) {
    for (char& c : w) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return w;
}

bool read_double(scan& s, double& out) { return plat_parse_double(s.word(), &out); }

bool read_int(scan& s, int& out) {
    long v = 0;
    if (!plat_parse_int(s.word(), &v) || v < INT_MIN || v > INT_MAX) return false;
    out = static_cast<int>(v);
    return true;
}

bool read_doubles(scan& s, double* out, int n) {
    for (int i = 0; i < n; ++i) {
        if (!read_double(s, out[i])) return false;
    }
    return true;
}

bool field_failed(const char* block, const char* field) {
    report(2, plat_format("%s: faild to read %s\n", block, field));
    return false;
}

// Finds the keyword and reads `n` numbers after it.
bool keyword_doubles(scan& s, const char* block, const char* keyword, double* out, int n) {
    if (!s.find(keyword) || !read_doubles(s, out, n)) return field_failed(block, keyword);
    return true;
}

bool keyword_word(scan& s, const char* block, const char* keyword, std::string& out) {
    if (!s.find(keyword)) return field_failed(block, keyword);
    out = s.word();
    if (out.empty()) return field_failed(block, keyword);
    return true;
}

// Per-load state.
struct load_state {
    std::string directory;
    std::vector<std::pair<std::string, bool>> files;  // name as written, read flag
    bool atmosphere_allowed = true;
    bool default_colour_allowed = true;
    bool default_colour_given = false;
    int polygon_items = 0;     // in the current file
    int items_of_load = 0;     // in every file of the load: the progress steps
};

load_state* current = nullptr;

// ------------------------------------------------------------- sounds

std::vector<std::string>& kept_sounds() {
    static std::vector<std::string> blocks;
    return blocks;
}

int default_sound_reader(const char* text, const char*, int* used) {
    static const char* const order[] = {"SOUND:", nullptr, "OBJECT_TYPE:", nullptr, "OBJECT_NAME:", nullptr,
                                        "FILE_NAME:", nullptr, "END_SOUND:"};
    scan s;
    s.text = text;
    s.limit = s.text.size();
    std::string name;
    for (int i = 0; i < 9; ++i) {
        const std::string w = s.word();
        if (w.empty() || (order[i] && w != order[i])) return -1;
        if (i == 1) name = w;
    }
    // The block runs to the end of its closing line.
    s.skip_line();
    kept_sounds().push_back(s.text.substr(0, s.pos));
    s.skip_blanks();
    *used = static_cast<int>(s.pos);
    return 0;
}

sound_block_reader sound_reader = default_sound_reader;

// ------------------------------------------------------------- scene lines

bool read_colour(scan& s, const char* block, int rgb[3]) {
    for (int i = 0; i < 3; ++i) {
        if (!read_int(s, rgb[i]) || rgb[i] < 0 || rgb[i] > 255) return field_failed(block, "color");
    }
    return true;
}

bool read_atmosphere(scan& s) {
    window_guard w(s, {"\n"});
    if (!current->atmosphere_allowed) {
        report(2, text_world_texts::two_atmospheres);
        return false;
    }
    int rgb[3];
    if (!read_colour(s, "read_atmosphere", rgb)) return false;
    double fog = engine_state.atmospheric_intensity;
    // The brightness is kept negated: the file holds the value the interface gives.
    int light = -engine_state.brightness;
    for (std::string word = s.line_ended() ? "" : s.word(); !word.empty(); word = s.line_ended() ? "" : s.word()) {
        const std::string u = upper(word);
        if (u == "FOG:") {
            if (!read_double(s, fog)) return field_failed("read_atmosphere", "FOG:");
        } else if (u == "LIGHT:") {
            if (!read_int(s, light) || light < -16 || light > 16) return field_failed("read_atmosphere", "LIGHT:");
        } else {
            return field_failed("read_atmosphere", word.c_str());
        }
    }
    engine_state.atmosphere_red = rgb[0];
    engine_state.atmosphere_green = rgb[1];
    engine_state.atmosphere_blue = rgb[2];
    if (!current->default_colour_given) {
        engine_state.default_atmosphere_red = rgb[0];
        engine_state.default_atmosphere_green = rgb[1];
        engine_state.default_atmosphere_blue = rgb[2];
    }
    engine_state.atmospheric_intensity = fog;
    engine_state.brightness = -light;
    current->atmosphere_allowed = false;
    return true;
}

bool read_default_color(scan& s) {
    window_guard w(s, {"\n"});
    if (!current->default_colour_allowed) {
        report(2, text_world_texts::two_default_colours);
        return false;
    }
    int rgb[3];
    if (!read_colour(s, "read_default_color", rgb)) return false;
    engine_state.default_atmosphere_red = rgb[0];
    engine_state.default_atmosphere_green = rgb[1];
    engine_state.default_atmosphere_blue = rgb[2];
    current->default_colour_allowed = false;
    current->default_colour_given = true;
    return true;
}

// Include names compare with case and separators folded.
std::string folded_name(const std::string& name) {
    std::string f = upper(name);
    std::replace(f.begin(), f.end(), '\\', '/');
    return f;
}

// A name that stays inside the world's folder: relative, without ".." parts.
bool confined_name(const std::string& name) {
    if (name[0] == '/' || name[0] == '\\' || name.find(':') != std::string::npos) return false;
    std::string parts = "/" + name + "/";
    std::replace(parts.begin(), parts.end(), '\\', '/');
    return parts.find("/../") == std::string::npos;
}

bool read_include_file(scan& s) {
    window_guard w(s, {"\n"});
    const std::string name = s.word();
    if (name.empty() || name.size() > 1900 || (text_world_confine_includes() && !confined_name(name)))
        return field_failed("read_include_file", "file name");
    s.skip_line();
    for (const auto& f : current->files) {
        if (folded_name(f.first) == folded_name(name)) return true;
    }
    current->files.emplace_back(name, false);
    return true;
}

// ------------------------------------------------------------- tracks

bool read_jtrack(scan& s) {
    window_guard w(s, {"END_TRACK:"});
    const std::string name = s.word();
    if (name.empty()) return field_failed("read_jtrack", "name");
    std::string cyclic;
    if (!keyword_word(s, "read_jtrack", "CYCLIC:", cyclic)) return false;
    if (cyclic != "YES" && cyclic != "NO") {
        engine_log_printf("\tInstead we got %s\n", cyclic.c_str());
        return field_failed("read_jtrack", "CYCLIC:");
    }
    std::vector<double> points;
    for (std::string next = s.peek(); next != "END_TRACK:"; next = s.peek()) {
        double p[3];
        if (next.empty() || !read_doubles(s, p, 3)) return field_failed("read_jtrack", "point");
        const size_t n = points.size();
        if (n >= 3 && points[n - 3] == p[0] && points[n - 2] == p[1] && points[n - 1] == p[2]) continue;
        points.insert(points.end(), p, p + 3);
    }
    s.word();
    s.skip_line();
    const int count = static_cast<int>(points.size() / 3);
    if (count < 2) {
        report(2, text_world_texts::too_few_points);
        engine_log_printf(text_world_texts::bad_track, name.c_str(), count);
        return false;
    }
    // A name already loaded stays with its track: the new one takes a variant of it.
    std::string unique = name;
    if (jtrack* loaded = track_find(engine_state.tracks, name.c_str())) loaded->save = 1;
    jtrack* t = trk_find_unique_name(engine_state.tracks, unique) == 0 ? init_jtrack() : nullptr;
    if (!t || track_set_points(t, points.data(), count) != 0) {
        report(2, "read_jtrack: init_track failed");
        if (t) track_delete(t);
        return false;
    }
    t->cyclic = cyclic == "YES" ? 1 : 0;
    t->save = 1;
    jstrcpy_with_allocating(&t->name, unique.c_str());
    t->next = engine_state.tracks;
    engine_state.tracks = t;
    return true;
}


// ------------------------------------------------------------- cameras

// "NAME x y z" or the word for none alone.
bool read_named_offset(scan& s, const char* block, const char* keyword, const char* none, char** name, double* offset) {
    std::string word;
    if (!keyword_word(s, block, keyword, word)) return false;
    jstrcpy_with_allocating(name, word.c_str());
    if (word == none) {
        offset[0] = offset[1] = offset[2] = 0;
        return true;
    }
    if (!read_doubles(s, offset, 3)) return field_failed(block, keyword);
    return true;
}


// Physics line shared by cameras and dynamic objects.
struct physics_values {
    double speed[3], force[3], max_speed, friction, elasticity, rotation[3] = {0, 0, 0};
    int object_space = 0;
};

bool read_physics(scan& s, const char* block, physics_values& v) {
    if (!s.find("PHYSICS:") || !keyword_doubles(s, block, "SPEED:", v.speed, 3) ||
        !keyword_doubles(s, block, "FORCE:", v.force, 3) || !keyword_doubles(s, block, "MAX_SPEED:", &v.max_speed, 1) ||
        !keyword_doubles(s, block, "FRICTION:", &v.friction, 1) ||
        !keyword_doubles(s, block, "ELASTICITY:", &v.elasticity, 1))
        return field_failed(block, "PHYSICS:");
    v.friction = std::min(v.friction, 1.0);
    if (!s.line_ended() && s.peek() == "ROTATION:") {
        s.word();
        const std::string space = s.word();
        double r[3];
        if ((space != "OBJECT_SPACE" && space != "WORLD_SPACE") || !read_doubles(s, r, 3))
            return field_failed(block, "ROTATION:");
        v.object_space = space == "OBJECT_SPACE" ? 1 : 0;
        for (int i = 0; i < 3; ++i) v.rotation[i] = deg_to_rad(r[i]);
    }
    return true;
}

// "CHASE_TYPE:" with a softness, or "NO_CHASE" alone (softness 0.3). The camera writer puts the
// softness after "NO_CHASE" as well: a number there is kept.
bool read_chase_type(scan& s, const char* block, char** type, double& softness) {
    std::string word;
    if (!keyword_word(s, block, "CHASE_TYPE:", word)) return false;
    jstrcpy_with_allocating(type, word.c_str());
    softness = 0.3;
    if (word != "NO_CHASE") return read_double(s, softness) || field_failed(block, "CHASE_TYPE:");
    if (!s.line_ended() && plat_parse_double(s.peek(), &softness)) s.word();
    return true;
}

// The track and chase lines cameras and dynamic objects both carry.
bool read_track_and_chase(scan& s, const char* block, track_part& track, chase_part& chase) {
    return read_named_offset(s, block, "TRACK:", "NO_TRACK", &track.name, track.offset) &&
           read_named_offset(s, block, "CHASE:", "NO_CHASE", &chase.name, chase.offset) &&
           read_chase_type(s, block, &chase.type_string, chase.softness) &&
           keyword_doubles(s, block, "CHASE_DISTANCE:", &chase.distance, 1);
}

struct camera_axes {
    bool axes = false;
    double direction[3] = {-1, 0, 0};
    double rows[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

bool read_camera_axis_system(scan& s, camera_axes& a) {
    const std::string first = s.word();
    if (first == "DIRECTION:") {
        if (!read_doubles(s, a.direction, 3)) return field_failed("read_camera", "camera direction");
        if (a.direction[0] == 0 && a.direction[1] == 0 && a.direction[2] == 0) {
            report(1, "read_camera: direction= 0,0,0 !!\n");
            a.direction[0] = -1;
        }
        return s.peek().rfind("AXIS_", 0) != 0 || field_failed("read_camera", "camera direction");
    }
    static const char* const keys[3] = {"AXIS_X:", "AXIS_Y:", "AXIS_Z:"};
    for (int i = 0; i < 3; ++i) {
        const std::string key = i == 0 ? first : s.word();
        if (key != keys[i]) {
            report(2, plat_format("read_camera_axis_system: we expected AXIS_? or DIRECTION instead we got %s\n",
                                  key.c_str()));
            return false;
        }
        if (!read_doubles(s, a.rows[i], 3)) return field_failed("read_camera", keys[i]);
    }
    a.axes = true;
    return true;
}

bool read_camera_fields(scan& s, const std::string& name, camera*& made) {
    const char* block = "read_camera";
    double location[3], field, depth = -1, eye;
    camera_axes axes;
    if (!keyword_doubles(s, block, "LOCATION:", location, 3) || !read_camera_axis_system(s, axes) ||
        !keyword_doubles(s, block, "VIEW_FIELD:", &field, 1))
        return false;
    if (s.peek() == "CULLING_DEPTH:") {
        s.word();
        if (!read_double(s, depth)) return field_failed(block, "CULLING_DEPTH:");
    } else {
        report(1, "read_camera: CULLING_DEPTH: is missing\n");
    }
    if (!keyword_doubles(s, block, "EYE_DISTANCE:", &eye, 1) || field < 0 || eye < 0) return false;
    track_part track{};
    chase_part chase{};
    physics_values physics;
    const bool read = read_track_and_chase(s, block, track, chase) && read_physics(s, block, physics);
    std::string closing;
    const bool closed = read && keyword_word(s, block, "END_CAMERA:", closing);
    if (closed && jstricmp(closing.c_str(), name.c_str()) != 0) {
        report(2, "read_camera: the name in END_CAMERA: doesnt match the name at the begining\n");
        engine_log_printf("\t\t name==%s, closing name==%s\n", name.c_str(), closing.c_str());
    }
    std::string unique = name;
    camera_find_unique_name(engine_state.cameras, unique);
    camera* c = closed && jstricmp(closing.c_str(), name.c_str()) == 0
                    ? camera_init(unique.c_str(), 500, 500, field, depth > 0 ? 1 : 0, depth,
                                  {location[0], location[1], location[2]},
                                  axes.axes ? vec3{1, 0, 0} : vec3{axes.direction[0], axes.direction[1], axes.direction[2]},
                                  eye)
                    : nullptr;
    if (c) {
        if (axes.axes) {
            const double(&r)[3][3] = axes.rows;
            camera_set_axes(c, {r[0][0], r[0][1], r[0][2]}, {r[1][0], r[1][1], r[1][2]}, {r[2][0], r[2][1], r[2][2]});
        }
        track_copy_settings(c->track, track);
        chase_copy_settings(c->chase, chase);
        std::copy(physics.speed, physics.speed + 3, c->speed);
        c->absolute_speed = std::sqrt(physics.speed[0] * physics.speed[0] + physics.speed[1] * physics.speed[1] +
                                      physics.speed[2] * physics.speed[2]);
        std::copy(physics.force, physics.force + 3, c->force);
        std::copy(physics.rotation, physics.rotation + 3, c->rotation);
        c->rotation_space = static_cast<uint8_t>(physics.object_space);
        c->elasticity = physics.elasticity;
        c->friction = physics.friction;
        c->save = 1;
        c->read_from_file = 1;
    } else if (closed && jstricmp(closing.c_str(), name.c_str()) == 0) {
        report(2, "read_camera: camera_init failed\n");
    }
    for (char* owned : {track.name, chase.name, chase.type_string}) engine_free(owned);
    s.skip_line();
    made = c;
    return c != nullptr;
}

bool read_camera(scan& s) {
    window_guard w(s, {"END_CAMERA:"});
    const std::string name = s.word();
    if (name.empty()) return field_failed("read_camera", "name");
    s.skip_line();
    camera* c = nullptr;
    if (!read_camera_fields(s, name, c)) return false;
    camera** tail = &engine_state.cameras;
    while (*tail) tail = &(*tail)->next;
    *tail = c;
    return true;
}

// ------------------------------------------------------------- lights

int light_type_word(const std::string& w) {
    static const char* const words[] = {"LIGHT_DIRECTIONAL", "LIGHT_EFFECTED_BY_DISTANCE_LINEAR",
                                        "LIGHT_EFFECTED_BY_DISTANCE_SQUARE", "LIGHT_AMBIENT", "LIGHT_DIFFUSE",
                                        "LIGHT_SPECULAR"};
    for (int i = 0; i < 6; ++i) {
        if (w == words[i]) return 1 << i;
    }
    return 0;
}

bool read_light_fields(scan& s, light* l) {
    const char* block = "read_light";
    double colour[3], factors[4];
    std::string word;
    if (!keyword_doubles(s, block, "LOCATION:", l->location, 3) ||
        !keyword_doubles(s, block, "DIRECTION:", l->direction, 3) || !keyword_doubles(s, block, "COLOR:", colour, 3) ||
        !keyword_doubles(s, block, "AMBIENT:", factors, 4) || !keyword_word(s, block, "RAYTRACING:", word))
        return false;
    for (double c : colour) {
        if (c < 0 || c > 255) return field_failed(block, "COLOR:");
    }
    l->red = static_cast<uint8_t>(colour[0]);
    l->green = static_cast<uint8_t>(colour[1]);
    l->blue = static_cast<uint8_t>(colour[2]);
    l->ambient = factors[0];
    l->diffuse = factors[1];
    l->specular = factors[2];
    l->specular_shining = factors[3];
    l->ray_tracing = word == "YES" ? 1 : 0;
    if (!keyword_doubles(s, block, "DISTANCE:", &l->distance_reach, 1) || !keyword_word(s, block, "TARGET:", word))
        return false;
    if (word == "GROUP") l->entity_kind = kind_group;
    else if (word == "OBJECT") l->entity_kind = kind_dynamic_object;
    else if (word == "POLYGON") l->entity_kind = kind_polygon;
    else return field_failed(block, "TARGET:");
    const std::string target = s.word();
    if (target.empty()) return field_failed(block, "TARGET:");
    if (!(l->entity_kind == kind_group && target == "NULL")) jstrcpy_with_allocating(&l->entity_name, target.c_str());
    if (!keyword_word(s, block, "AUTO:", word) || (word != "YES" && word != "NO")) return field_failed(block, "AUTO:");
    l->activate_before_render = word == "YES" ? 1 : 0;
    word = s.word();
    l->mode = word == "LIGHT_ADD" ? 1 : word == "LIGHT_SUBTRACT" ? 2 : 0;
    if (!s.find("TYPE:")) return field_failed(block, "TYPE:");
    word = s.word();
    if (word == "LIGHT_DEFAULT") l->type = 0x3A;
    else if (word == "LIGHT_DEFAULT_POINTED_LIGHT") l->type = 0x3B;
    else {
        l->type = 0;
        for (int flag = light_type_word(word); flag; flag = light_type_word(word)) {
            l->type |= flag;
            word = s.word();
        }
        if (word == "END_LIGHT:") s.pos -= word.size();
    }
    if (!keyword_word(s, block, "END_LIGHT:", word)) return false;
    if (jstricmp(word.c_str(), l->name) != 0) report(1, "read_light: LIGHT_END: name is different than the light begin name !\n");
    l->save = 1;
    s.skip_line();
    return true;
}

bool read_light(scan& s) {
    window_guard w(s, {"END_LIGHT:"});
    std::string name = s.word();
    if (name.empty()) return field_failed("read_light", "name");
    light* l = light_find_unique_name(engine_state.lights, name) == 0 ? record_new<light>(kind_light) : nullptr;
    if (!l) {
        report(2, "read_light: light_create failed\n");
        return false;
    }
    jstrcpy_with_allocating(&l->name, name.c_str());
    if (!read_light_fields(s, l)) {
        engine_free(l->name);
        engine_free(l->entity_name);
        engine_free(l);
        return false;
    }
    light** tail = &engine_state.lights;
    while (*tail) tail = &(*tail)->next;
    *tail = l;
    return true;
}

// ------------------------------------------------------------- backgrounds and animations

// Skips a block of a name already loaded, up to the line after its closing keyword.
bool skip_block(scan& s, const char* closing) {
    if (!s.find(closing)) return field_failed("skip_block", closing);
    s.skip_line();
    return true;
}

frame_item* new_frame(const std::string& name, int transparent) {
    frame_item* f = init_frame_item();
    if (!f) return nullptr;
    jstrcpy_with_allocating(&f->name, name.c_str());
    f->transparent_index = transparent;
    return f;
}

bool read_background_fields(scan& s, background* b) {
    const char* block = "read_background";
    std::string extension;
    if (!s.find("NUMBER_OF_FRAMES:") || !read_int(s, b->frame_count) || b->frame_count < 1 ||
        b->frame_count > 10000)
        return field_failed(block, "NUMBER_OF_FRAMES:");
    if (!s.find("REPLACE_RATE:") || !read_int(s, b->replace_rate)) return field_failed(block, "REPLACE_RATE:");
    if (!keyword_word(s, block, "PICTURES_EXTENSION:", extension)) return false;
    const std::string ext = upper(extension);
    if (ext != "JBM" && ext != "64K") {
        report(2, "read_bg_pictures_extension: illegal picture extension");
        return false;
    }
    b->type = ext == "JBM" ? 7 : 10;
    if (!s.find("PICTURES:")) return field_failed(block, "PICTURES:");
    frame_item** tail = &b->frames;
    for (int i = 0; i < b->frame_count; ++i) {
        const std::string name = s.line_ended() ? "" : s.word();
        if (name.empty() || name.rfind("END_BACKGROUND", 0) == 0) {
            report(2, "read_a_bg_frame_item: There are not enough pictures name in the list !!!\n");
            return false;
        }
        *tail = new_frame(name, -1);
        if (!*tail) return field_failed(block, "PICTURES:");
        tail = &(*tail)->next;
    }
    if (!keyword_doubles(s, block, "DISTANCE:", &b->distance, 1) || !keyword_doubles(s, block, "BOTTOM:", &b->bottom, 1) ||
        !keyword_doubles(s, block, "BOTTOM_INTENSITY:", &b->bottom_intensity, 1) ||
        !keyword_doubles(s, block, "INTENSITY_STEP:", &b->intensity_step, 1) || !s.find("END_BACKGROUND:"))
        return false;
    s.skip_line();
    return true;
}

bool read_background(scan& s) {
    window_guard w(s, {"END_BACKGROUND:"});
    const std::string name = s.word();
    if (name.empty()) return field_failed("read_background", "name");
    if (background* b = background_find_by_name(engine_state.backgrounds, name.c_str())) {
        b->save = 1;
        return skip_block(s, "END_BACKGROUND:");
    }
    background* b = init_background();
    if (!b) {
        report(2, "read_background: init_background failed");
        return false;
    }
    jstrcpy_with_allocating(&b->name, name.c_str());
    if (!read_background_fields(s, b)) {
        background_free(b);
        return false;
    }
    b->current_frame = b->frames;
    b->save = 1;
    b->to_be_saved = 1;
    b->next = engine_state.backgrounds;
    engine_state.backgrounds = b;
    return true;
}

// One view's frame list: n names, each optionally followed by its transparent index.
bool read_frame_list(scan& s, int n, frame_item** list) {
    const char* block = "read_animation_bitmap_list";
    std::vector<std::pair<std::string, int>> frames;
    bool numbered = false, last_numbered = false;
    for (int words = 0; !s.line_ended() && words < 3 * n; ++words) {
        const std::string w = s.word();
        if (w == ",") continue;
        long v = 0;
        if (plat_parse_int(w, &v)) {
            if (frames.empty()) {
                report(2, "read_a_frame_item: The bitmap list starts with a number instead of a file_name\n");
                return false;
            }
            if (v < -1 || v > 255) return field_failed(block, "transparent index");
            frames.back().second = static_cast<int>(v);
            numbered = last_numbered = true;
            continue;
        }
        frames.emplace_back(w, 0);
        last_numbered = false;
    }
    if (static_cast<int>(frames.size()) != n || (numbered && n > 1 && !last_numbered))
        return field_failed(block, "frames");
    frame_item** tail = list;
    for (const auto& f : frames) {
        *tail = new_frame(f.first, f.second);
        if (!*tail) return field_failed(block, "frames");
        tail = &(*tail)->next;
    }
    return true;
}

bool read_animation_fields(scan& s, animation* a) {
    const char* block = "read_animation";
    if (!s.find("NUMBER_OF_FRAMES:") || !read_int(s, a->frame_count) || a->frame_count < 1 || a->frame_count > 10000)
        return field_failed(block, "NUMBER_OF_FRAMES:");
    if (!s.find("TIMES:")) return field_failed(block, "TIMES:");
    a->durations = static_cast<uint32_t*>(engine_alloc(sizeof(uint32_t) * static_cast<size_t>(a->frame_count)));
    a->exact_durations = static_cast<double*>(engine_alloc(sizeof(double) * static_cast<size_t>(a->frame_count)));
    if (!a->durations || !a->exact_durations) return field_failed(block, "TIMES:");
    for (int i = 0; i < a->frame_count; ++i) {
        int t;
        if (!read_int(s, t) || t < 0) return field_failed(block, "TIMES:");
        a->durations[i] = static_cast<uint32_t>(t);
        a->exact_durations[i] = t;
    }
    static const char* const views[animation_view_count] = {"BACK:", "BACK_SIDED:", "SIDE:", "FRONT_SIDED:", "FRONT:"};
    for (std::string key = s.word(); key.rfind("END_ANIMATION:", 0) != 0; key = s.word()) {
        const auto* at = std::find_if(std::begin(views), std::end(views), [&](const char* v) { return key == v; });
        if (at == std::end(views)) return field_failed(block, key.empty() ? "END_ANIMATION:" : key.c_str());
        frame_item** list = &a->views[at - std::begin(views)];
        if (*list) {
            report(2, "read_animation_bitmap_list: The same list is used twice !!!\n");
            return false;
        }
        if (!read_frame_list(s, a->frame_count, list)) return false;
    }
    s.skip_line();
    return true;
}

bool read_animation(scan& s) {
    window_guard w(s, {"END_ANIMATION:"});
    const std::string name = s.word();
    if (name.empty()) return field_failed("read_animation", "name");
    if (animation* loaded = animation_find(engine_state.animations, name.c_str())) {
        loaded->save = 1;
        return skip_block(s, "END_ANIMATION:");
    }
    animation* a = init_animation();
    if (!a) {
        report(2, "read_animation: init_animation failed");
        return false;
    }
    jstrcpy_with_allocating(&a->name, name.c_str());
    if (!read_animation_fields(s, a)) {
        animation_delete(a);
        return false;
    }
    a->next = engine_state.animations;
    engine_state.animations = a;
    return true;
}

// ------------------------------------------------------------- polygons

bool is_polygon_keyword(const std::string& w) {
    return w == "ORIENTATION:" || w == "RELEASE_SAVE:" || w == "COLOR:";
}

int random_component() { return static_cast<int>(text_world_random() & 255u); }

// A point line: six numbers, then "RGB:" and "N:" in either order, to the end of the line.
bool read_point(scan& s, polygon* p) {
    double v[6];
    if (!read_doubles(s, v, 6)) return false;
    v[5] = std::floor(light_intensity_to_shade(v[5] < 0 ? 0 : v[5], 8));
    for (int cord = 3; cord < 5; ++cord) {
        if (v[cord] < 0) v[cord] = -1;
    }
    if (polygon_add_point(p, v) != 0) return false;
    point* pt = p->points;
    while (pt->next) pt = pt->next;
    while (!s.line_ended()) {
        const std::string key = s.word();
        int c[3];
        for (int& x : c) {
            if (!read_int(s, x)) return false;
        }
        if (key == "RGB:") {
            for (int x : c) if (x < 0 || x > 255) return false;
            pt->red = static_cast<uint8_t>(c[0]);
            pt->green = static_cast<uint8_t>(c[1]);
            pt->blue = static_cast<uint8_t>(c[2]);
        } else if (key == "N:") {
            for (int x : c) if (x < -127 || x > 127) return false;
            pt->normal_x = static_cast<int8_t>(c[0]);
            pt->normal_y = static_cast<int8_t>(c[1]);
            pt->normal_z = static_cast<int8_t>(c[2]);
        } else {
            return false;
        }
    }
    return true;
}

// Solves the plane through three (u, v, w) triples: w = a u + b v + c; false when degenerate.
bool fit_plane(const double u[3], const double v[3], const double w[3], double out[3]) {
    const double det = u[0] * (v[1] - v[2]) - v[0] * (u[1] - u[2]) + (u[1] * v[2] - u[2] * v[1]);
    if (std::fabs(det) < 1e-50) return false;
    out[0] = (w[0] * (v[1] - v[2]) - v[0] * (w[1] - w[2]) + (w[1] * v[2] - w[2] * v[1])) / det;
    out[1] = (u[0] * (w[1] - w[2]) - w[0] * (u[1] - u[2]) + (u[1] * w[2] - u[2] * w[1])) / det;
    out[2] = (u[0] * (v[1] * w[2] - v[2] * w[1]) - v[0] * (u[1] * w[2] - u[2] * w[1]) +
              w[0] * (u[1] * v[2] - u[2] * v[1])) / det;
    return true;
}

// Fills missing cords and brightness from the linear map of the first three points that carry
// them; false when fewer than three carry one of them.
bool interpolate_cords(polygon* p) {
    std::vector<point*> pts;
    for (point* pt = p->points; pt; pt = pt->next) pts.push_back(pt);
    if (pts.size() < 3) {
        report(2, "interpolate_cords: bad poly. less than three points\n");
        return false;
    }
    bool all_zero = true;
    for (point* pt : pts) all_zero = all_zero && pt->bitmap_x == 0 && pt->bitmap_y == 0;
    if (all_zero) {
        const double start[3][2] = {{0, 0}, {1, 0}, {1, 1}};
        for (size_t i = 0; i < pts.size(); ++i) {
            pts[i]->bitmap_x = i < 3 ? start[i][0] : -1;
            pts[i]->bitmap_y = i < 3 ? start[i][1] : -1;
        }
    }
    const vec3 n = polygon_normal(p);
    const double ax = std::fabs(n.x), ay = std::fabs(n.y), az = std::fabs(n.z);
    auto proj = [&](const point* pt, double& u, double& v) {
        if (ay >= ax && ay >= az) u = pt->x, v = pt->z;
        else if (ax >= ay && ax >= az) u = pt->y, v = pt->z;
        else u = pt->x, v = pt->y;
    };
    const struct {
        double point::*field;
        const char* word;
    } values[3] = {{&point::bitmap_x, "bm_x"}, {&point::bitmap_y, "bm_y"}, {&point::brightness, "light"}};
    for (const auto& [field, word] : values) {
        double u[3], v[3], w[3];
        int found = 0;
        for (point* pt : pts) {
            if (found < 3 && pt->*field >= 0) {
                proj(pt, u[found], v[found]);
                w[found++] = pt->*field;
            }
        }
        if (found < 3) {
            report(2, plat_format("interpolate_cords: Couldnt find three positive %s cords\n", word));
            return false;
        }
        double k[3];
        if (!fit_plane(u, v, w, k)) {
            report(2, plat_format("interpolate_cords: bad %s cords. polygons name=%s\n", word, p->name ? p->name : ""));
            continue;
        }
        for (point* pt : pts) {
            double pu, pv;
            proj(pt, pu, pv);
            const double value = k[0] * pu + k[1] * pv + k[2];
            if (pt->*field < 0 || std::fabs(pt->*field - value) > 1e-10) pt->*field = value;
        }
    }
    return true;
}

// The point lines of a warning, as the engine log shows them.
void log_points(const polygon* p) {
    for (const point* pt = p->points; pt; pt = pt->next)
        engine_log_printf("\t\t% .16lG % .16lG % .16lG % .16lG % .16lG % .16lG \n", pt->x, pt->y, pt->z, pt->bitmap_x,
                          pt->bitmap_y, pt->brightness);
}

bool points_meet(const point* a, const point* b) {
    const double dx = a->x - b->x, dy = a->y - b->y, dz = a->z - b->z;
    return std::sqrt(dx * dx + dy * dy + dz * dz) < 1e-10;
}

// Drops each point that lies on the point before it (the last against the first too).
void remove_repeated_points(polygon* p) {
    bool any = false;
    for (const point* pt = p->points; pt && !any; pt = pt->next) any = points_meet(pt, pt->next ? pt->next : p->points);
    if (!any) return;
    report(1, "set_derived_values: Warning, polygon has redandent points\n");
    log_points(p);
    for (point* pt = p->points; pt && pt->next;) {
        if (points_meet(pt, pt->next)) free_point(polygon_extract_point(p, pt->next));
        else pt = pt->next;
    }
    while (p->point_count > 1) {
        point* last = polygon_get_point(p, p->point_count - 1);
        if (!points_meet(last, p->points)) break;
        free_point(polygon_extract_point(p, last));
    }
}

// Every corner turns the same way about the normal, once around; points on a line count as convex.
bool turns_convex(const polygon* p) {
    std::vector<vec3> v;
    for (const point* pt = p->points; pt; pt = pt->next) v.push_back({pt->x, pt->y, pt->z});
    const vec3 n = polygon_normal(p);
    const size_t count = v.size();
    int left = 0, right = 0;
    double turning = 0;
    for (size_t i = 0; i < count; ++i) {
        const vec3& a = v[(i + count - 1) % count];
        const vec3& b = v[i];
        const vec3& c = v[(i + 1) % count];
        const vec3 e1{b.x - a.x, b.y - a.y, b.z - a.z};
        const vec3 e2{c.x - b.x, c.y - b.y, c.z - b.z};
        const vec3 cross = vec_cross(e1, e2);
        const double side = vec_dot(cross, n);
        if (std::fabs(side) <= 1e-9 * vec_length(e1) * vec_length(e2)) continue;
        (side > 0 ? left : right) += 1;
        turning += std::atan2(side, vec_dot(e1, e2));
    }
    return (left == 0 || right == 0) && std::fabs(std::fabs(turning) - 2 * M_PI) < 0.01;
}

bool read_polygon_fields(scan& s, polygon* p) {
    const char* block = "read_a_polygon";
    std::string next = s.peek();
    if (!next.empty() && !is_polygon_keyword(next) && next != "BITMAP:") {
        polygon_set_name(p, s.word().c_str());
        next = s.peek();
    }
    if (next == "ORIENTATION:") {
        s.word();
        p->orientation = convert_orientation_string_to_number(s.word().c_str());
        next = s.peek();
    }
    if (next == "RELEASE_SAVE:") {
        s.word();
        if (upper(s.word()) == "NO") p->release_save = 0;
    }
    int rgb[3];
    if (!s.find("COLOR:")) return field_failed(block, "COLOR");
    for (int& c : rgb) {
        if (!read_int(s, c) || c > 255) return field_failed(block, "COLOR");
        if (c < 0) c = random_component();
    }
    p->red = rgb[0];
    p->green = rgb[1];
    p->blue = rgb[2];
    p->colour_pixel = rgb_to_pixel(rgb[0], rgb[1], rgb[2]);
    std::string bitmap;
    if (!keyword_word(s, block, "BITMAP:", bitmap)) return false;
    if (bitmap == "ANIMATION") {
        bitmap = s.word();
        if (bitmap.empty()) return field_failed(block, "BITMAP");
        p->bitmap_is_animation = 1;
    }
    if (bitmap != "NO_BITMAP") polygon_set_bitmap_name(p, upper(bitmap).c_str());
    int transparent = 0;
    if (!s.find("TRANSPARENT:") || !read_int(s, transparent) || transparent < -1 || transparent > 255)
        return field_failed(block, "TRANSPARENT");
    p->transparent_index = static_cast<int16_t>(transparent);
    if (!s.line_ended()) {
        const int blending = convert_translucent_string_to_number(s.word().c_str());
        if (blending < 0) report(1, "read_transparent: Illegal blending mode - glass\n");
        else polygon_set_translucent(p, blending);
    }
    std::string rotated;
    if (!keyword_word(s, block, "ROTATED:", rotated) || (rotated != "YES" && rotated != "NO"))
        return field_failed(block, "ROTATED");
    p->rotated = rotated == "YES" ? 1 : 0;
    double diminution;
    if (!keyword_doubles(s, block, "LIGHT_DIMINUTION:", &diminution, 1)) return false;
    p->light_diminution = diminution * 0.00024;
    int count;
    if (!s.find("NUM_OF_POINTS:") || !read_int(s, count) || count < polygon_min_points || count > polygon_max_points)
        return field_failed(block, "NUM_OF_POINTS");
    for (int i = 0; i < count; ++i) {
        if (!read_point(s, p)) return field_failed(block, "points");
    }
    if (polygon_calculate_plane(p) != 0) report(1, "read_points:  calculate_poly_plane failed\n");
    const int filled = polygon_fill_read_values(p);
    if (filled == -1) {
        report(2, "read_points: bad bitmaps cord OR bad light cords\n");
        return false;
    }
    if (filled != 0) return field_failed(block, "points");
    return true;
}

bool read_a_polygon(scan& s, module* m) {
    window_guard w(s, {"POLYGON:", "OBJECT:", "DYNAMIC:", "END_MODULE:"});
    polygon* p = init_poly();
    if (!p) {
        report(2, "read_a_polygon: init_poly failed\n");
        return false;
    }
    if (!read_polygon_fields(s, p)) {
        free_polygon(p);
        return false;
    }
    polygon_list_add_by_bitmap(&m->root->polygons, p);
    polygon_world_order_push(&engine_state.world_order, p);
    return true;
}

// ------------------------------------------------------------- objects

bool read_an_object(scan& s, module* m) {
    window_guard w(s, {"END_OBJECT:"});
    std::string name;
    double v[16];
    if (!keyword_word(s, "read_an_object", "MODULE_NAME:", name) ||
        !keyword_doubles(s, "read_an_object", "MATRIX:", v, 16) || s.word() != "END_OBJECT:")
        return false;
    s.skip_line();
    object* o = init_object();
    if (!o) {
        report(2, "read_an_object: init_object failed\n");
        return false;
    }
    object_set_module_name(o, name.c_str());
    for (int i = 0; i < 16; ++i) o->matrix.m[i / 4][i % 4] = v[i];
    bsp_node_push_object(m->root, o);
    return true;
}

int type_code(const std::string& type, int fallback) {
    const std::string u = upper(type);
    if (u.find("DISABLED") != std::string::npos) return 1;
    if (u == "PLANE") return 1;
    if (u == "CAR") return 2;
    if (u == "CAR_BACK_WHEEL") return 3;
    if (u == "CAR_FRONT_WHEEL") return 4;
    return fallback;
}

bool read_dynamic_fields(scan& s, dynamic_object* d, const std::string& name) {
    const char* block = "read_a_dynamic_object";
    std::string word;
    if (!keyword_word(s, block, "MODULE_NAME:", word)) return false;
    jstrcpy_with_allocating(&d->module_name, word.c_str());
    if (s.peek() == "FATHER:") {
        s.word();
        jstrcpy_with_allocating(&d->father_name, s.word().c_str());
    }
    if (!keyword_word(s, block, "TYPE:", word)) return false;
    jstrcpy_with_allocating(&d->type, word.c_str());
    if (upper(word).find("DISABLED") != std::string::npos) d->disabled = 1;
    d->reserved = type_code(word, d->reserved);
    if (!keyword_word(s, block, "CONTROL:", word)) return false;
    const std::string control = upper(word);
    if (control == "PLAYER") d->control = 1;
    else if (control == "COMPUTER") d->control = 2;
    else {
        long v = 0;
        if (!plat_parse_int(word, &v) || v < INT_MIN || v > INT_MAX) return field_failed(block, "CONTROL:");
        d->control = static_cast<int32_t>(v);
    }
    physics_values physics;
    if (!read_track_and_chase(s, block, d->track, d->chase) || !read_physics(s, block, physics)) return false;
    dynamic_set_speed(d, {physics.speed[0], physics.speed[1], physics.speed[2]});
    dynamic_set_force(d, {physics.force[0], physics.force[1], physics.force[2]});
    d->max_speed = physics.max_speed;
    d->friction = physics.friction;
    d->elasticity = physics.elasticity;
    std::copy(physics.rotation, physics.rotation + 3, d->rotation);
    d->rotation_space = physics.object_space;
    double axes[9], location[3], scale[3];
    if (!keyword_doubles(s, block, "MATRIX:", axes, 9) || !keyword_doubles(s, block, "LOCATION:", location, 3) ||
        !keyword_doubles(s, block, "SCALE:", scale, 3))
        return false;
    const double det = axes[0] * (axes[4] * axes[8] - axes[5] * axes[7]) -
                       axes[1] * (axes[3] * axes[8] - axes[5] * axes[6]) +
                       axes[2] * (axes[3] * axes[7] - axes[4] * axes[6]);
    if (det < 0.9999 || det > 1.0001) {
        report(1, "read_dynamic_object_matrix: WARNIG determinanta != 1");
        engine_log_printf("%lf\n", det);
    }
    dynamic_set_axis_system(d, {axes[0], axes[1], axes[2]}, {axes[3], axes[4], axes[5]}, {axes[6], axes[7], axes[8]});
    dynamic_set_location(d, {location[0], location[1], location[2]});
    for (int i = 0; i < 3; ++i) d->scale[i] = scale[i];
    dynamic_set_total_move_mat_and_(d);
    if (!keyword_word(s, block, "END_OBJECT:", word)) return false;
    if (jstricmp(word.c_str(), name.c_str()) != 0) {
        report(1, "read_a_dynamic_object: warning the name in END_OBJECT: doesnt match the name at the begining\n");
        engine_log_printf("\t\t name==%s, closing name==%s\n", name.c_str(), word.c_str());
    }
    s.skip_line();
    return true;
}

bool read_a_dynamic_object(scan& s, module* m) {
    window_guard w(s, {"END_OBJECT:"});
    const std::string name = s.word();
    if (name.empty()) return field_failed("read_a_dynamic_object", "name");
    dynamic_object* d = init_dynamic_object();
    if (d) jstrcpy_with_allocating(&d->name, name.c_str());
    if (!d) {
        report(2, "read_a_dynamic_object: init_dynamic failed\n");
        return false;
    }
    if (!read_dynamic_fields(s, d, name)) {
        dynamic_free(d);
        return false;
    }
    // Digestion collects the objects from the module's tree.
    dynamic_node_list_push(&m->root->dynamic_objects, d);
    return true;
}

// ------------------------------------------------------------- modules

// One progress step each 20 polygon items; past the end the range takes a new random end.
void advance_progress() {
    if (++current->items_of_load % 20 != 0) return;
    engine_globals& g = engine_g();
    set_log_window_progress(g.progress_position + 1);
    if (g.progress_position > g.progress_target)
        set_log_window_target(10 + static_cast<int>(text_world_random() * 20 / 32767));
    refresh_log_window();
}

bool read_module_items(scan& s, module* m) {
    for (;;) {
        const std::string item = upper(s.word());
        if (item == "POLYGON:") {
            ++current->polygon_items;
            advance_progress();
            if (!read_a_polygon(s, m)) report(2, "read_a_module: failed reading a polygon\n");
        } else if (item == "OBJECT:") {
            if (!read_an_object(s, m)) return false;
        } else if (item == "DYNAMIC:") {
            if (!read_a_dynamic_object(s, m)) return false;
        } else if (item == "END_MODULE:") {
            s.skip_line();
            return true;
        } else {
            report(2, plat_format("read_a_module: unexpected %s\n", item.c_str()));
            return false;
        }
    }
}

bool read_a_module(scan& s) {
    std::string name = s.word();
    if (name.empty()) return field_failed("read_a_module", "name");
    module* m = init_module();
    if (m) m->root = init_bsp_node();
    if (!m || !m->root) {
        report(2, "read_a_module: init_module failed\n");
        if (m) module_destroy(m);
        return false;
    }
    if (upper(name) == "MAIN") {
        name = world_format_texts::main_module;
        module_find_unique_name(engine_state.modules, name);
        engine_set_last_main_module_name(name.c_str());
    }
    jstrcpy_with_allocating(&m->name, name.c_str());
    if (!read_module_items(s, m)) {
        for (dynamic_object* d = m->root->dynamic_objects; d;) {
            dynamic_object* next = d->next_in_node;
            dynamic_free(d);
            d = next;
        }
        m->root->dynamic_objects = nullptr;
        module_destroy(m);
        return false;
    }
    module_list_push(&engine_state.modules, m);
    return true;
}

// ------------------------------------------------------------- files

bool read_sound(scan& s) {
    const size_t start = s.pos - std::strlen("SOUND:");
    int used = 0;
    if (sound_reader(s.text.c_str() + start, current->directory.c_str(), &used) != 0 || used <= 0 ||
        start + static_cast<size_t>(used) > s.text.size()) {
        report(2, "read_world_sound: failed\n");
        return false;
    }
    s.pos = start + static_cast<size_t>(used);
    return true;
}

bool read_item(scan& s, const std::string& item) {
    if (item == "INCLUDE_FILE:") return read_include_file(s);
    if (item == "ATMOSPHERE:") return read_atmosphere(s);
    if (item == "DEFAULT_COLOR:") return read_default_color(s);
    if (item == "TRACK:") return read_jtrack(s);
    if (item == "CAMERA:") return read_camera(s);
    if (item == "LIGHT:") return read_light(s);
    if (item == "BACKGROUND:") return read_background(s);
    if (item == "ANIMATION:") return read_animation(s);
    if (item == "SOUND:") return read_sound(s);
    if (item == "BEGIN_MODULE:") return read_a_module(s);
    report(2, text_world_texts::expected_item);
    engine_log_printf(text_world_texts::instead, item.c_str());
    return false;
}

void error_dump(const scan& s) {
    log_error_dump(text_world_texts::dump, s.text, s.pos);
}

bool read_design_items(scan& s, int counted) {
    for (;;) {
        s.limit = s.text.size();
        const std::string item = upper(s.word());
        if (item.empty()) {
            report(2, text_world_texts::no_next_object);
            return false;
        }
        if (item.rfind("END_DESIG", 0) == 0) {
            if (current->polygon_items == counted) return true;
            report(2, text_world_texts::wrong_polygon_count);
            return false;
        }
        if (!read_item(s, item)) return false;
    }
}

int read_text(std::string text, const char* path) {
    std::replace(text.begin(), text.end(), '\0', ' ');
    if (remove_comments(text.data()) != 0) {
        report(2, text_world_texts::bad_comments);
        return -1;
    }
    scan s;
    s.text = std::move(text);
    s.limit = s.text.size();
    if (!s.find("BEGIN_DESIGN:")) {
        report(2, text_world_texts::no_begin);
        return -1;
    }
    const int counted = get_num_of_occurrences(s.text.c_str() + s.pos, "POLYGON:");
    engine_log_printf(text_world_texts::reading_file, path, counted);
    current->polygon_items = 0;
    if (read_design_items(s, counted)) return 0;
    error_dump(s);
    return -1;
}

int engine_read_world_file(const std::string& path) {
    char* buffer = nullptr;
    int size = 0;
    if (file_to_memory(path.c_str(), &buffer, &size) != 0) {
        report(2, text_world_texts::cant_load);
        return -1;
    }
    // The last character is not parsed.
    std::string text(buffer, static_cast<size_t>(size > 0 ? size - 1 : 0));
    engine_free(buffer);
    return read_text(std::move(text), path.c_str());
}

// Finds a file of the folder whose name matches without case; the name as given otherwise.
std::string find_folded(const std::string& directory, const std::string& name) {
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    std::string found = directory;
    size_t start = 0;
    while (start <= relative.size()) {
        const size_t slash = relative.find('/', start);
        const std::string part = relative.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        std::string chosen = part;
        if (DIR* dir = opendir(found.empty() ? "." : found.c_str())) {
            while (dirent* e = readdir(dir)) {
                if (jstricmp(e->d_name, part.c_str()) == 0) {
                    chosen = e->d_name;
                    break;
                }
            }
            closedir(dir);
        }
        found = found.empty() ? chosen : found + "/" + chosen;
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    return found;
}

int read_all_files(load_state& state, const std::string& first_path, const std::string* first_text) {
    bool read_any = true;
    while (read_any) {
        read_any = false;
        for (size_t i = 0; i < state.files.size(); ++i) {
            if (state.files[i].second) continue;
            state.files[i].second = true;
            read_any = true;
            const std::string path = i == 0 ? first_path : find_folded(state.directory, state.files[i].first);
            const int result = (i == 0 && first_text) ? read_text(*first_text, path.c_str()) : engine_read_world_file(path);
            if (result != 0) {
                report(1, plat_format(text_world_texts::failed_reading, path.c_str()));
                return -1;
            }
        }
    }
    engine_log_write(text_world_texts::load_end);
    return 0;
}

// A failed load is not digested: the objects still waiting on module trees join the world's list,
// so closing the world frees them.
void hand_objects_to_world() {
    for (module* m = engine_state.modules; m; m = m->next) {
        if (!m->root) continue;
        while (dynamic_object* d = m->root->dynamic_objects) {
            m->root->dynamic_objects = d->next_in_node;
            d->next_in_node = nullptr;
            dynamic_list_push(&engine_state.dynamic_objects, d);
        }
    }
}

int run_load(const char* directory, const char* file_name, const std::string& path, const std::string* first_text) {
    load_state state;
    state.directory = directory ? directory : "";
    state.files.emplace_back(file_name ? file_name : "", false);
    // Sound blocks kept by an earlier world go with it; an added world adds its own.
    if (!engine_state.adding_world && !engine_state.modules) kept_sounds().clear();
    load_state* outer = current;
    current = &state;
    set_log_window_target(50);
    set_log_window_progress(1);
    const size_t sounds = kept_sounds().size();
    const int result = read_all_files(state, path, first_text);
    if (result != 0) hand_objects_to_world();
    // A scratch load (polygons taken into another world) keeps none of its sounds.
    if (engine_state_is_scratch()) kept_sounds().resize(sounds);
    current = outer;
    return result;
}

}  // namespace

int& text_world_confine_includes() {
    static int flag = 0;
    return flag;
}

int polygon_fill_read_values(polygon* p) {
    if (!interpolate_cords(p)) return -1;
    polygon_make_coplanner(p, 1e-10);
    remove_repeated_points(p);
    if (p->point_count < polygon_min_points) return -2;
    polygon_calculate_plane(p);
    if (!turns_convex(p)) {
        report(1, "set_derived_values: Warning, polygon is not convex\n");
        log_points(p);
    }
    if (p->rotated && p->plane[0] < 0.9999999999) {
        p->rotated = 0;
        report(1, "set_derived_values: a rotated object must be defined so its normal is (1,0,0)\n");
    }
    polygon_recalculate(p);
    return 0;
}

int& text_world_report_errors() {
    static int flag = 1;
    return flag;
}

void text_world_set_sound_reader(sound_block_reader reader) {
    sound_reader = reader ? reader : default_sound_reader;
}

namespace {
uint32_t random_state = 1;
}

void text_world_seed_random(uint32_t seed) { random_state = seed; }

uint32_t text_world_random() {
    random_state = random_state * 1103515245u + 12345u;
    return (random_state >> 16) & 0x7fffu;
}

const std::vector<std::string>& text_world_kept_sounds() { return kept_sounds(); }

void text_world_clear_kept_sounds() { kept_sounds().clear(); }

int engine_read_world_design(const char* directory, const char* file_name, const char* path, group**) {
    return run_load(directory, file_name, path ? path : "", nullptr);
}

int text_world_read_memory(const char* text, size_t size, const char* directory) {
    const std::string first(text ? text : "", text ? size : 0);
    const int result = run_load(directory, "memory.wld", "memory.wld", &first);
    // No digestion follows this reader: the objects join the world's list at once.
    hand_objects_to_world();
    return result;
}
