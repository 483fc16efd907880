// What opens the exports: the engine lock, handle checks, and the world and mode guards.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <type_traits>

#include "drovik.h"
#include "foundation/engine_lock.h"

// The interface's report-errors flag (set at start).
int& api_report_errors();

// The handle check behind every Drovik_*_is_* export: 1 for a live record of `kind`.
// With a name it reports a NULL handle, a wrong kind or garbage memory (log line and box
// captioned with the name); with a NULL name it tests silently.
int api_check_handle(const void* handle, const char* name, int32_t kind);

// Each guard shows its box and returns false when the call must be refused.
bool api_world_guard(const char* name);
bool api_editor_only_guard(const char* name, bool editor_mode);
// ":\nWorks only in viewer mode !!\n"
bool api_viewer_only_guard(const char* name, bool editor_mode);
// ":\nWorks only in VIEWER_MODE !!\n" (object creation)
bool api_viewer_mode_guard(const char* name, bool editor_mode);
bool api_polygon_geometry_guard(const char* name, bool polygon_has_owner, bool editor_mode);
bool api_chase_handles_guard(const char* name, bool editor_mode);

// One error-reporter line "<name>: <reason>" when the interface's flag is set.
void api_report(const char* name, const char* reason);

namespace guard_texts {
inline constexpr const char* world = ":\nYou must call Drovik_engine_load_world()\n before calling this function !!\n";
inline constexpr const char* editor_only = ":\nWorks only in editor mode !!\n";
inline constexpr const char* viewer_only = ":\nWorks only in viewer mode !!\n";
inline constexpr const char* viewer_mode = ":\nWorks only in VIEWER_MODE !!\n";
inline constexpr const char* polygon_geometry = ":\nWorks only on object polygons or in editor mode !!\n";
inline constexpr const char* chase_handles = ": In editor mode use\nDrovik_camera_(s/g)et_name_to_chase() instead\n";
// Log tails follow "<name>: ".
inline constexpr const char* wrong_kind_log =
    "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !\n";
inline constexpr const char* wrong_kind_box =
    "Fatal, got a different kind of handle\nCheck if you accidantlly gave the wrong handle !";
inline constexpr const char* wrong_kind_object_box =
    "Fatal, It is not an object handle !.Got a different kind of handle\nCheck if you accidantlly gave the wrong handle !";
inline constexpr const char* garbage_tail =
    " handle\nIllegal memory address !!!\nThis is garbage memory instead of a handle";
}  // namespace guard_texts

// One row of a family's export table: the export, the name its checks and guards print (an
// older or twin name for a few), and what it returns when refused.
struct api_export_row {
    const char* export_name;
    const char* check_name;
    double failure;
};

// The row of export_name in a family table (every export of the family has one).
template <size_t count>
const api_export_row& api_export_row_of(const api_export_row (&table)[count], const char* export_name) {
    for (const api_export_row& row : table) {
        if (std::string_view(row.export_name) == export_name) return row;
    }
    std::abort();
}

// A refused export's result: its row's failure value in the export's result type (NULL for handles).
struct api_refusal {
    const api_export_row& row;

    template <typename T>
    operator T() const {
        if constexpr (std::is_pointer_v<T>) {
            return nullptr;
        } else {
            return static_cast<T>(row.failure);
        }
    }
};
