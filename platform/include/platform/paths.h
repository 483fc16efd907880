// Paths written on Windows: both separators, existing files found regardless of letter case.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>

// Backslashes become slashes; repeated separators fold into one.
std::string plat_path_normalize(std::string_view path);
// The existing file or folder named by path, matching each component without regard to
// case; "" when there is none. A leading '/' is absolute, anything else is relative.
std::string plat_path_resolve(std::string_view path);
// Like resolve, but for a file to be written: the folder part is resolved; the name is
// matched like the folders when such an entry exists (so an existing file is overwritten,
// not doubled in another case), otherwise kept. A missing folder gives the normalised path.
std::string plat_path_resolve_for_write(std::string_view path);
bool plat_file_exists(std::string_view path);
bool plat_directory_exists(std::string_view path);
// fopen with the path resolved ("r" modes) or its folder resolved (write modes).
FILE* plat_fopen(std::string_view path, const char* mode);
// Per-user state folder ($XDG_STATE_HOME/drovik or ~/.local/state/drovik), created on demand;
// "" when it cannot be created.
std::string plat_state_directory();
