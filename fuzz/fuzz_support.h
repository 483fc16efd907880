// Shared pieces of the fuzz targets: a scratch file for readers that take a path, and quiet
// message boxes.
#pragma once
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/msgbox.h"

// A folder of this process's own for the scratch files, removed when the process ends.
inline const std::filesystem::path& fuzz_folder()
{
    struct scratch {
        std::filesystem::path path;
        ~scratch()
        {
            std::error_code error;
            std::filesystem::remove_all(path, error);
        }
    };
    // Memory-backed when the system has it: every input is written there.
    static const scratch folder{
        (std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                   : std::filesystem::temp_directory_path()) /
        ("drovik_fuzz_" + std::to_string(::getpid()))};
    std::filesystem::create_directories(folder.path);
    return folder.path;
}

// Writes the input to the named file under the folder (sub-folders made) and gives its path.
inline std::string fuzz_input_file(const std::string& name, const uint8_t* data, size_t size)
{
    const std::filesystem::path path = fuzz_folder() / name;
    std::filesystem::create_directories(path.parent_path());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
    return path.string();
}

inline std::string fuzz_input_file(const std::string& name, std::string_view text)
{
    return fuzz_input_file(name, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// Boxes answer OK at once and print nothing: a report per rejected input would flood the log.
inline void fuzz_quiet_boxes()
{
    plat_message_box_set_headless(false);
    plat_message_box_set_handler([](const char*, const char*, int, int) -> int { return PLAT_ANSWER_OK; });
}
