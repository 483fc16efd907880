// What the light, background, animation, bitmap and track exports share: the checked record and
// the copies of caller-owned vectors.
#pragma once
#include <cstddef>
#include <type_traits>

#include "api/export_guards.h"
#include "foundation/errors.h"
#include "foundation/geometry.h"

// Runs f on the record behind the handle under the engine lock; a refused check (reported under
// the row's check name) gives the row's failure value instead.
template <typename Record, size_t count, typename F>
auto api_with_record(const api_export_row (&table)[count], const char* export_name, DROVIK_HANDLE handle,
                     int32_t kind, F&& f) {
    using result = decltype(f(static_cast<Record*>(nullptr)));
    engine_guard guard;
    const api_export_row& row = api_export_row_of(table, export_name);
    if (!api_check_handle(handle, row.check_name, kind)) {
        if constexpr (std::is_void_v<result>) {
            return;
        } else {
            return static_cast<result>(api_refusal{row});
        }
    }
    return f(static_cast<Record*>(handle));
}

inline vec3 api_vec(const double v[3]) { return {v[0], v[1], v[2]}; }

inline void api_put_vec(double out[3], const double from[3]) {
    for (int i = 0; i < 3; ++i) out[i] = from[i];
}

// One error-reporter line when the interface's report-errors flag is set.
inline void api_log(const char* text) {
    if (api_report_errors()) report_error(1, text);
}

// Stores a yes/no flag; anything else shows the box and gives its answer, the flag unchanged.
inline int api_set_yes_no(int32_t& flag, int yes_no, const char* box_text) {
    if (yes_no != 0 && yes_no != 1) return warning_box(box_text);
    flag = yes_no;
    return yes_no;
}
