// Shared libraries loaded by name, with the Windows-style names mapped to Linux ones.
#include "platform/module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

std::string folder_of(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

std::string executable_folder()
{
    char buffer[4096];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0)
        return "";
    return folder_of(std::string(buffer, static_cast<size_t>(length)));
}

std::string platform_folder()
{
    Dl_info info;
    if (::dladdr(reinterpret_cast<void*>(&plat_module_load), &info) == 0 || !info.dli_fname)
        return "";
    return folder_of(info.dli_fname);
}

bool ends_with_dll(const std::string& name)
{
    if (name.size() < 4)
        return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".dll";
}

std::vector<std::string> candidates(const std::string& name)
{
    std::string base = ends_with_dll(name) ? name.substr(0, name.size() - 4) : name;
    std::string lower = base;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::vector<std::string> names = {name};
    for (const std::string& stem : {base, lower}) {
        for (std::string candidate : {stem, "lib" + stem + ".so", stem + ".so"})
            if (std::find(names.begin(), names.end(), candidate) == names.end())
                names.push_back(candidate);
    }
    if (name.find('/') != std::string::npos)
        return names;
    std::vector<std::string> all = names;
    for (const std::string& folder : {executable_folder(), platform_folder()}) {
        if (folder.empty())
            continue;
        for (const std::string& candidate : names)
            all.push_back(folder + "/" + candidate);
    }
    return all;
}

}  // namespace

void* plat_module_load(const char* name)
{
    if (!name || !*name)
        return nullptr;
    for (const std::string& candidate : candidates(name)) {
        if (void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
    }
    return nullptr;
}

void* plat_module_symbol(void* module, const char* symbol)
{
    if (!module || !symbol)
        return nullptr;
    return ::dlsym(module, symbol);
}

void plat_module_free(void* module)
{
    if (module)
        ::dlclose(module);
}
