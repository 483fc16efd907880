// Loading MD2 models into 3D animations, their sequences by frame-name prefix, and the polygons
// of a model frame or of the moment in a sequence.
#include "world/anim3d_load.h"

#include <cctype>
#include <string>
#include <unordered_set>
#include <vector>

#include "foundation/dictionary.h"
#include "foundation/errors.h"
#include "foundation/files.h"
#include "foundation/memory.h"
#include "foundation/registry.h"
#include "foundation/strings.h"
#include "platform/numbers.h"
#include "world/anim3d.h"
#include "world/engine_state.h"
#include "world/entity_list.h"
#include "world/group.h"
#include "world/md2_model.h"
#include "world/polygon.h"
#include "world/polygon_geometry.h"

namespace {

void report(const std::string& text) {
    if (anim3d_report_errors()) report_error(1, text.c_str());
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Names made unique among those handed out so far (without regard to case), without walking a
// list for every try.
class name_set {
public:
    explicit name_set(const char* owner) : owner_(owner) {}
    bool take(std::string& name) {
        if (find_unique_name(name, [this](const std::string& n) { return taken_.count(lower(n)) > 0; }, false,
                             owner_) != 0)
            return false;
        taken_.insert(lower(name));
        return true;
    }

private:
    const char* owner_;
    std::unordered_set<std::string> taken_;
};

// Runs the polygon routines with their reports off.
class quiet_polygons {
public:
    quiet_polygons() : polygon_(polygon_report_errors()), geometry_(polygon_geometry_report_errors()) {
        polygon_report_errors() = 0;
        polygon_geometry_report_errors() = 0;
    }
    ~quiet_polygons() {
        polygon_report_errors() = polygon_;
        polygon_geometry_report_errors() = geometry_;
    }

private:
    int polygon_, geometry_;
};

bool create_frames(anim3d* a) {
    name_set names("frame3d_find_unique_name");
    frame3d** tail = &a->frames;
    for (int f = 0; f < a->frame_count; ++f) {
        std::string name = md2_frame_name(a, f);
        if (name.empty()) name = plat_format("frame%d", f);
        frame3d* frame = init_frame3d();
        if (!frame) return false;
        *tail = frame;
        tail = &frame->next;
        if (!names.take(name) || !jstrcpy_with_allocating(&frame->name, name.c_str())) return false;
    }
    return true;
}

// The name up to its first decimal digit.
std::string prefix_of(const char* name) {
    std::string prefix;
    for (const char* c = name ? name : ""; *c && !std::isdigit(static_cast<unsigned char>(*c)); ++c) prefix += *c;
    return prefix;
}

// A sequence of `count` steps of 100 ms showing the frames from `first` on, appended to the list.
int add_model_sequence(anim3d* a, name_set& names, std::string name, int first, int count) {
    seq3d* s = init_seq3d();
    if (!s) return -1;
    sequence3d_append(&a->sequences, s);
    if (!names.take(name) || !jstrcpy_with_allocating(&s->name, name.c_str()) ||
        sequence3d_set_steps(s, count, sequence3d_step_ms) != 0)
        return -1;
    s->model_sequence = 1;
    for (int k = 0; k < count; ++k) s->frame_indexes[k] = first + k;
    return 0;
}

const frame3d* frame_at(const anim3d* a, int index) {
    const frame3d* f = a->frames;
    for (int i = 0; f && i < index; ++i) f = f->next;
    return f;
}

// A polygon of triangle t in frame f with its three points, tested and disabled when invalid.
polygon* make_triangle(anim3d* a, int frame, const std::string& frame_name, int t) {
    polygon* p = init_poly_with_points(3);
    if (!p) return nullptr;
    polygon_set_name(p, (frame_name + std::to_string(t)).c_str());
    for (int c = 0; c < 3; ++c) {
        double position[3], cords[2];
        double values[6] = {0, 0, 0, 0, 0, 100};
        if (md2_get_corner(a, frame, t, c, position, cords) == 0) {
            for (int k = 0; k < 3; ++k) values[k] = position[k] - a->centre[k];
            values[3] = cords[0];
            values[4] = cords[1];
            values[5] = 8.0;
        } else {
            report(anim3d_load_texts::polygon_point);
        }
        polygon_add_point(p, values);
    }
    quiet_polygons quiet;
    if (!polygon_is_valid(p)) p->disabled = 1;
    return p;
}

// Reads and checks the file, and makes its animation on the world's list; NULL on failure.
anim3d* read_new_animation(const char* path, const std::string& title, long long file_time) {
    char* data = nullptr;
    int size = 0;
    if (file_to_memory(path, &data, &size) != 0) {
        report(plat_format(anim3d_load_texts::cant_read, path));
        return nullptr;
    }
    md2_layout layout{};
    std::string reason;
    if (md2_validate(reinterpret_cast<const uint8_t*>(data), static_cast<size_t>(size), layout, reason) != 0) {
        report(anim3d_load_texts::prefix + reason);
        engine_free(data);
        return nullptr;
    }
    anim3d* a = init_anim3d();
    std::string name = title;
    if (!a || anim3d_find_unique_name(engine_state.animations3d, name) != 0) {
        engine_free(data);
        if (a) record_destroy(a);
        return nullptr;
    }
    a->model = reinterpret_cast<uint8_t*>(data);
    a->file_size = size;
    a->file_time = file_time;
    a->layout = layout;
    a->frame_count = layout.frame_count;
    list_push(&engine_state.animations3d, a);
    const char* failure = nullptr;
    if (!jstrcpy_with_allocating(&a->name, name.c_str()) || !jstrcpy_with_allocating(&a->file_name, title.c_str()) ||
        !create_frames(a)) {
        failure = anim3d_load_texts::frames_failed;
    } else if (anim3d_create_sequences_list(a) != 0) {
        failure = anim3d_load_texts::sequences_failed;
    }
    if (failure) {
        report(failure);
        anim3d_unlink(&engine_state.animations3d, a);
        anim3d_delete(a);
        return nullptr;
    }
    double box[6];
    md2_get_bounding_box(a, 0, box);
    for (int k = 0; k < 3; ++k) a->centre[k] = (box[k] + box[k + 3]) / 2;
    return a;
}

anim3d* find_loaded(const std::string& title, long long file_time) {
    for (anim3d* a = engine_state.animations3d; a; a = a->next) {
        if (a->file_time == file_time && a->file_name && title == a->file_name) return a;
    }
    return nullptr;
}

}  // namespace

anim3d* anim3d_load_md2_file(const char* path, polygon** list) {
    const long long file_time = path ? get_file_time(path) : -1;
    if (file_time < 0 || !list) {
        report(plat_format(anim3d_load_texts::cant_read, path ? path : ""));
        return nullptr;
    }
    const std::string title = strip_extension(get_file_name(path).c_str());
    anim3d* a = find_loaded(title, file_time);
    const bool made = !a;
    if (made && !(a = read_new_animation(path, title, file_time))) return nullptr;
    if (anim3d_create_polygon_list(a, 0, list) != 0) {
        report(anim3d_load_texts::polygons_failed);
        if (made) {
            anim3d_unlink(&engine_state.animations3d, a);
            anim3d_delete(a);
        }
        return nullptr;
    }
    return a;
}

int anim3d_create_sequences_list(anim3d* a) {
    if (!a) return -1;
    name_set names("sequence3d_find_unique_name");
    std::string prefix;
    int first = 0, index = 0;
    for (const frame3d* f = a->frames;; f = f->next, ++index) {
        const std::string next_prefix = f ? prefix_of(f->name) : std::string();
        const bool run_ends = !f || jstricmp(next_prefix.c_str(), prefix.c_str()) != 0;
        if (index > 0 && run_ends && add_model_sequence(a, names, prefix, first, index - first) != 0) return -1;
        if (!f) return 0;
        if (index == 0 || run_ends) {
            prefix = next_prefix;
            first = index;
        }
    }
}

int anim3d_create_polygon_list(anim3d* a, int frame, polygon** list) {
    if (!a || !list || frame < 0 || frame >= a->frame_count) return -1;
    const frame3d* f = frame_at(a, frame);
    const std::string frame_name = f && f->name ? f->name : "";
    polygon* made = nullptr;
    for (int t = a->layout.triangle_count - 1; t >= 0; --t) {
        polygon* p = make_triangle(a, frame, frame_name, t);
        if (!p || polygon_list_add(&made, p) != 0) {
            report(anim3d_load_texts::polygon_add);
            free_polygon(p);
            polygon_list_free(&made);
            return -1;
        }
    }
    polygon_list_calculate_vertices_normals(made);
    polygon** tail = &made;
    while (*tail) tail = &(*tail)->next;
    *tail = *list;
    *list = made;
    return 0;
}

int anim3d_update_polygon_list_to_frame(anim3d* a, seq3d* s, polygon* list) {
    if (!a) return -1;
    int frame_a = 0, frame_b = 0;
    const double factor = sequence3d_get_interpulation_factor(s, &frame_a, &frame_b);
    const int last = a->frame_count - 1;
    if (frame_a < 0 || frame_a > last || frame_b < 0 || frame_b > last) return -1;
    int t = 0;
    for (polygon* p = list; p && t < a->layout.triangle_count; p = p->next, ++t) {
        if (p->point_count < 3) {
            report(anim3d_load_texts::points_deleted);
            return -1;
        }
        point* pt = p->points;
        for (int c = 0; c < 3; ++c, pt = pt->next) {
            double from[3], to[3], cords[2];
            if (md2_get_corner(a, frame_a, t, c, from, cords) != 0 || md2_get_corner(a, frame_b, t, c, to, cords) != 0) {
                report(anim3d_load_texts::update_point);
                continue;
            }
            pt->x = factor * from[0] + (1 - factor) * to[0] - a->centre[0];
            pt->y = factor * from[1] + (1 - factor) * to[1] - a->centre[1];
            pt->z = factor * from[2] + (1 - factor) * to[2] - a->centre[2];
        }
        {
            quiet_polygons quiet;
            p->disabled = polygon_calculate_plane(p) != 0 ? 1 : 0;
        }
        polygon_calculate_bounding_box(p, 1);
    }
    if (t < a->layout.triangle_count) {
        report(anim3d_load_texts::polygons_deleted);
        return -1;
    }
    return 0;
}
