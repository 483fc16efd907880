// Paths written on Windows: separators normalised, components matched without regard to case.
#include "platform/paths.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <system_error>
#include <vector>

namespace {

bool entry_exists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

std::string join(const std::string& base, std::string_view name)
{
    if (base.empty())
        return std::string(name);
    if (base.back() == '/')
        return base + std::string(name);
    return base + "/" + std::string(name);
}

// The entry of folder whose name matches name, exact match first; "" when none.
std::string match_entry(const std::string& folder, std::string_view name)
{
    std::string exact = join(folder, name);
    if (entry_exists(exact))
        return exact;
    if (name == "." || name == "..")
        return "";
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return "";
    std::string wanted(name);
    std::string best;
    while (dirent* entry = ::readdir(dir)) {
        // Of several case variants the first in byte order wins, so the choice is stable.
        if (::strcasecmp(entry->d_name, wanted.c_str()) == 0 &&
            (best.empty() || std::strcmp(entry->d_name, best.c_str()) < 0))
            best = entry->d_name;
    }
    ::closedir(dir);
    return best.empty() ? "" : join(folder, best);
}

std::vector<std::string_view> split(std::string_view path)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start < path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// Resolves the components of a normalised path one by one.
std::string resolve_normalized(const std::string& path)
{
    if (path.empty())
        return "";
    std::string current = path[0] == '/' ? "/" : "";
    for (std::string_view part : split(path)) {
        current = match_entry(current, part);
        if (current.empty())
            return "";
    }
    return current.empty() ? "." : current;
}

bool is_directory(const std::string& path)
{
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool is_regular_file(const std::string& path)
{
    struct stat info;
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace

std::string plat_path_normalize(std::string_view path)
{
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\')
            c = '/';
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        out.push_back(c);
    }
    return out;
}

std::string plat_path_resolve(std::string_view path)
{
    return resolve_normalized(plat_path_normalize(path));
}

std::string plat_path_resolve_for_write(std::string_view path)
{
    std::string normal = plat_path_normalize(path);
    size_t slash = normal.rfind('/');
    if (slash == std::string::npos) {
        std::string existing = match_entry("", normal);
        return existing.empty() ? normal : existing;
    }
    std::string name = normal.substr(slash + 1);
    std::string folder = slash == 0 ? "/" : resolve_normalized(normal.substr(0, slash));
    if (folder.empty())
        return normal;
    if (name.empty())
        return folder;
    std::string existing = match_entry(folder, name);
    return existing.empty() ? join(folder, name) : existing;
}

bool plat_file_exists(std::string_view path)
{
    return is_regular_file(plat_path_resolve(path));
}

bool plat_directory_exists(std::string_view path)
{
    return is_directory(plat_path_resolve(path));
}

FILE* plat_fopen(std::string_view path, const char* mode)
{
    if (!mode || !*mode)
        return nullptr;
    if (mode[0] == 'r') {
        std::string resolved = plat_path_resolve(path);
        if (resolved.empty()) {
            errno = ENOENT;
            return nullptr;
        }
        if (is_directory(resolved)) {
            errno = EISDIR;
            return nullptr;
        }
        return std::fopen(resolved.c_str(), mode);
    }
    return std::fopen(plat_path_resolve_for_write(path).c_str(), mode);
}

std::string plat_state_directory()
{
    std::filesystem::path folder;
    const char* state_home = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (state_home && state_home[0] == '/')
        folder = std::filesystem::path(state_home) / "drovik";
    else if (home && *home)
        folder = std::filesystem::path(home) / ".local" / "state" / "drovik";
    else
        return "";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder, error))
        return "";
    return folder.string();
}
