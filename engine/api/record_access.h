// The steps every handle-taking export repeats: the lock, the row of its family table, the handle
// check under the row's name, then the work on the record or the row's failure value.
#pragma once
#include <algorithm>
#include <cstdint>
#include <utility>

#include "api/export_guards.h"
#include "foundation/geometry.h"

// The record behind a handle of `kind`, NULL after a refused check (reported under the row's name).
template <typename Record>
Record* api_checked(const api_export_row& row, DROVIK_HANDLE handle, int32_t kind) {
    return api_check_handle(handle, row.check_name, kind) ? static_cast<Record*>(handle) : nullptr;
}

// Runs `work` on the checked record under the engine lock; a refused check returns the row's value.
template <typename Record, typename Work>
auto api_with_record(const api_export_row& row, DROVIK_HANDLE handle, int32_t kind, Work&& work)
    -> decltype(work(std::declval<Record*>())) {
    engine_guard guard;
    Record* record = api_checked<Record>(row, handle, kind);
    if (!record) return api_refusal{row};
    return work(record);
}

inline vec3 api_vec(const double v[3]) { return {v[0], v[1], v[2]}; }

inline void api_put_vec(double v[3], const vec3& source) {
    v[0] = source.x;
    v[1] = source.y;
    v[2] = source.z;
}

// Copies three doubles unless either side is NULL; 0 / -1.
inline int api_copy3(double* destination, const double* source) {
    if (!destination || !source) return -1;
    std::copy(source, source + 3, destination);
    return 0;
}
