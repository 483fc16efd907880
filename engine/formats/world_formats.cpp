// Dispatch of world reading and saving by file extension, and the fresh-module entry.
#include "formats/world_formats.h"

#include <string>

#include "formats/binary_world.h"
#include "formats/md2_world.h"
#include "formats/text_world.h"
#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "platform/numbers.h"
#include "world/bsp_node.h"
#include "world/engine_state.h"
#include "world/group.h"
#include "world/object_module.h"

namespace {

// Rows of the table, in order; empty entries report that the format is not built.
world_reader readers[world_format_count] = {engine_read_world_design, nullptr, nullptr, nullptr,
                                            engine_read_world_design_md2_format,
                                            engine_read_world_design_drovik_binary_format};
world_writer writers[world_format_count] = {engine_save_text_world, nullptr, nullptr, nullptr, nullptr,
                                            engine_save_drovik_binary_world};

void report(const std::string& text) {
    if (world_formats_report_errors()) report_error(1, text.c_str());
}

// The row of the extension (any case) among the rows that read (or write); -1 when none.
int find_row(const std::string& extension, bool for_writing) {
    for (int row = 0; row < world_format_count; ++row) {
        const world_format_row& r = world_format_rows[row];
        if ((for_writing ? r.writable : r.readable) && jstricmp(r.extension, extension.c_str()) == 0) return row;
    }
    return -1;
}

bool is_text_format(int row) { return jstricmp(world_format_rows[row].extension, "wld") == 0; }

}  // namespace

int& world_formats_report_errors() {
    static int flag = 1;
    return flag;
}

int world_formats_set_reader(const char* extension, world_reader reader) {
    const int row = find_row(extension ? extension : "", false);
    if (row < 0) return -1;
    readers[row] = reader;
    return 0;
}

int world_formats_set_writer(const char* extension, world_writer writer) {
    const int row = find_row(extension ? extension : "", true);
    if (row < 0) return -1;
    writers[row] = writer;
    return 0;
}

int read_world_design1(const char* directory, const char* file_name, group** top_group) {
    if (!file_name) {
        report(plat_format(world_format_texts::unsupported_read, ""));
        return -1;
    }
    const std::string path = str_concatenate_paths(file_name, directory);
    engine_set_world_file_name(path.c_str());
    const std::string extension = get_extension(path.c_str());
    const int row = find_row(extension, false);
    if (row < 0) {
        report(plat_format(world_format_texts::unsupported_read, extension.c_str()));
        return -1;
    }
    if (!readers[row]) {
        report(plat_format(world_format_texts::missing_reader, extension.c_str()));
        return -1;
    }
    return readers[row](directory ? directory : "", file_name, path.c_str(), top_group) == 0 ? 0 : -1;
}

int engine_save(const char* path, group* g, int flags) {
    const std::string extension = get_extension(path);
    set_log_window_caption(world_format_texts::caption_light);
    group_calculate_vertices_normals(g, 1);
    set_log_window_caption(world_format_texts::caption_saving);
    const int row = path ? find_row(extension, true) : -1;
    if (row < 0) {
        report(world_format_texts::unsupported_save);
        engine_log_printf(world_format_texts::unsupported_save_log, extension.c_str());
        return -1;
    }
    if (!writers[row]) {
        report(plat_format(world_format_texts::missing_writer, extension.c_str()));
        return -1;
    }
    const std::string target = is_text_format(row) ? strip_extension(path) : std::string(path);
    return writers[row](target.c_str(), g, flags) == 0 ? 0 : -1;
}

int read_into_new_module(const char* path, polygon_list_reader reader, bool may_become_main, group** top_group) {
    auto* m = init_module();
    if (!m) {
        report(world_format_texts::module_failed);
        return -1;
    }
    std::string name = world_format_texts::main_module;
    module_find_unique_name(engine_state.modules, name);
    jstrcpy_with_allocating(&m->name, name.c_str());
    // The root is made before the module joins the list, so a failure leaves the list as it was.
    m->root = init_bsp_node();
    if (!m->root) {
        report(world_format_texts::node_failed);
        module_destroy(m);
        return -1;
    }
    jstrcpy_with_allocating(&engine_state.last_main_module_name, name.c_str());
    module_list_push(&engine_state.modules, m);
    if (may_become_main && !engine_state.main_module) engine_state.main_module = m;
    return reader && reader(path, m, top_group) == 0 ? 0 : -1;
}
