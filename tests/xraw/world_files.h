// A scratch working folder with the logs, and the polygons of the loaded world, for the world file tests.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "../common/files.h"
#include "foundation/engine_globals.h"
#include "foundation/errors.h"
#include "platform/msgbox.h"
#include "startup.h"
#include "world/polygon.h"
#include "world/world_order.h"

class WorldFiles : public ::testing::Test {
protected:
    void SetUp() override {
        plat_message_box_set_headless(true);
        folder_ = std::filesystem::temp_directory_path() / ("drovik_xraw_" + std::to_string(std::random_device{}()));
        std::filesystem::create_directories(folder_);
        home_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_);
    }
    void TearDown() override {
        if (engine_is_initialized()) engine_shutdown();
        std::filesystem::current_path(home_);
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }
    std::string in_folder(const std::string& name) const { return (folder_ / name).string(); }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(in_folder(name), std::ios::binary) << text;
    }
    // The error log of this test's own folder.
    static std::string error_log() { return read_file(log_directory() + "/error.log"); }
    std::filesystem::path folder_;
    std::filesystem::path home_;
};

inline std::vector<polygon*> world_polygons() {
    std::vector<polygon*> all;
    for (polygon* p = get_first_polygon(); p; p = get_next_polygon(p)) all.push_back(p);
    return all;
}

struct corner {
    double x, y, z;
};

inline std::vector<corner> corners_of(const polygon* p) {
    std::vector<corner> all;
    for (const point* pt = p->points; pt; pt = pt->next) all.push_back({pt->x, pt->y, pt->z});
    return all;
}

// How many times the text holds the part.
inline int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}
