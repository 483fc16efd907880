// A temporary working directory for tests that write the engine's log files.
#pragma once
#include <filesystem>
#include <random>
#include <fstream>
#include <sstream>
#include <string>

#include "../common/files.h"
#include "foundation/errors.h"
#include "platform/msgbox.h"

class temp_work_dir {
public:
    explicit temp_work_dir(const std::string& leaf = "work") {
        static int serial = 0;
        old_ = std::filesystem::current_path();
        root_ = std::filesystem::temp_directory_path() /
                ("drovik_foundation_" + std::to_string(std::random_device{}()) + "_" + std::to_string(++serial));
        dir_ = root_ / leaf;
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
        close_log_files();
        plat_message_box_set_headless(true);
        plat_message_box_clear_records();
        plat_beep_clear_records();
    }
    ~temp_work_dir() {
        close_log_files();
        std::filesystem::current_path(old_);
        std::error_code error;
        std::filesystem::remove_all(root_, error);
    }
    const std::filesystem::path& dir() const { return dir_; }
    const std::filesystem::path& root() const { return root_; }

private:
    std::filesystem::path old_, root_, dir_;
};
