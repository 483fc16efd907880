// Writing a whole file so that a failure never leaves a half file behind.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

enum plat_write_result {
    PLAT_WRITE_OK = 0,
    PLAT_WRITE_NO_TEMPORARY = -1,  // the temporary file could not be made; nothing changed
    PLAT_WRITE_FAILED = -2,        // writing, syncing or renaming failed; nothing changed
};

// Writes the bytes to "<path>.tmp" beside path (its folder resolved as for any write), syncs
// it, renames it over path and syncs the folder. On failure the old file is left whole, the
// temporary is removed and *error (when given) holds the system's text of the failing step.
plat_write_result plat_write_file(std::string_view path, const void* data, size_t size,
                                  std::string* error = nullptr);
