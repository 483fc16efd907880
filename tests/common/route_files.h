// The smallest route a simulation can start on: an eight-point loop, no landmarks.
#pragma once
#include <filesystem>
#include <fstream>

inline void WriteRouteFiles(const std::filesystem::path& root)
{
    const std::filesystem::path folder = root / "routes" / "Tarrow-Venn";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Tarr_Venn_survey.txt", std::ios::binary)
        << "0 -2500 0\r\n0 0 0\r\n0 2500 0\r\n2500 2500 0\r\n2500 0 0\r\n2500 -2500 0\r\n0 0 0\r\n0 2500 0\r\n";
    std::ofstream(folder / "track_profile.txt", std::ios::binary) << "";
    std::ofstream(root / "routes" / "landmarks.txt", std::ios::binary) << "";
}
