// Files in the tests: whole files read back, and a full disk stood in for by a file-size limit.
#pragma once
#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

// A new empty folder of its own under the system's temporary folder, named from `prefix`.
inline std::filesystem::path make_temp_folder(const std::string& prefix)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / (prefix + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(folder);
    return folder;
}

// The whole file as text, or "" when it cannot be read.
inline std::string read_file(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The whole file as bytes, or none when it cannot be read.
inline std::vector<uint8_t> read_file_bytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs f with the process's file-size limit lowered to `bytes`, so a write stops part way as on a
// full disk; gives f's result.
template <typename F>
auto with_file_size_limit(rlim_t bytes, F&& f)
{
    rlimit before{};
    getrlimit(RLIMIT_FSIZE, &before);
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
    const auto result = f();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, previous_handler);
    return result;
}
