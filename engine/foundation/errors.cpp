// The error reporter: one line per failure into both log files, the last error and the cap.
#include "foundation/errors.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>

#include "foundation/files.h"
#include "platform/msgbox.h"
#include "platform/numbers.h"
#include "platform/paths.h"

namespace {

struct reporter_state {
    std::recursive_mutex lock;
    FILE* engine_log = nullptr;
    std::string directory;
    char last_error[error_texts::last_error_length + 1] = {};
    int error_count = 0;
    bool busy = false;
    int speaker = 1;
    int debug = 0;
};

reporter_state& reporter() {
    static reporter_state state;
    return state;
}

constexpr size_t max_directory_length = 1000;

bool contains_desktop(const std::string& path) {
    std::string lower = path;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("desktop") != std::string::npos;
}

std::string system_directory() {
    std::string dir = plat_state_directory();
    return dir.empty() ? std::string("/tmp") : dir;
}

std::string current_directory() {
    std::error_code error;
    std::string dir = std::filesystem::current_path(error).string();
    if (error || dir.size() > max_directory_length) return "";
    if (!dir.empty() && dir.back() == '/') dir.pop_back();
    return dir;
}

bool directory_is_writable(const std::string& dir) {
    const std::string probe = dir + "/stam5421.txt";
    FILE* file = std::fopen(probe.c_str(), "w");
    if (!file) return false;
    std::fclose(file);
    std::remove(probe.c_str());
    return true;
}

std::string choose_log_directory() {
    std::string dir = current_directory();
    if (contains_desktop(dir)) dir = system_directory();
    if (!directory_is_writable(dir)) dir = system_directory();
    return dir;
}

void write_time_line(FILE* log) {
    static std::mutex time_lock;  // localtime shares one static result
    std::lock_guard<std::mutex> guard(time_lock);
    const std::time_t now = std::time(nullptr);
    const std::tm* t = std::localtime(&now);
    if (!t) return;
    plat_fprintf(log, error_texts::log_time_line, t->tm_hour, t->tm_min, t->tm_sec,
                 t->tm_mon + 1, t->tm_mday, t->tm_year + 1900);
}

void write_framed(FILE* log, const char* text) {
    std::fputs("\n", log);
    std::fputs(text, log);
    std::fputs("\n", log);
}

}  // namespace

int open_log_files() {
    reporter_state& s = reporter();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    if (s.engine_log) return -1;
    s.directory = choose_log_directory();
    const std::string log_path = s.directory + "/Drovik.log";
    s.engine_log = std::fopen(log_path.c_str(), "w");
    if (!s.engine_log) {
        std::fputs("Can't open Drovik.log file\n", stdout);
        return -1;
    }
    std::fputs(error_texts::log_banner, s.engine_log);
    write_time_line(s.engine_log);
    std::fputs(error_texts::log_banner_end, s.engine_log);
    std::fflush(s.engine_log);
    const std::string error_path = s.directory + "/error.log";
    FILE* errors = std::fopen(error_path.c_str(), "w");
    if (!errors) {
        std::fputs("Can't open error.log file\n", stdout);
        return -1;
    }
    std::fputs(error_texts::error_banner, errors);
    std::fclose(errors);
    return 0;
}

void close_log_files() {
    reporter_state& s = reporter();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    if (!s.engine_log) return;
    std::fclose(s.engine_log);
    s.engine_log = nullptr;
    s.directory.clear();
}

bool log_files_are_open() {
    reporter_state& s = reporter();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    return s.engine_log != nullptr;
}

std::string log_directory() {
    reporter_state& s = reporter();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    return s.directory;
}

void report_error(int, const char* text) {
    reporter_state& s = reporter();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    if (!text) text = "(null)";
    if (s.busy) {
        if (s.engine_log) write_framed(s.engine_log, text);
        return;
    }
    s.busy = true;
    if (!s.engine_log) open_log_files();
    std::snprintf(s.last_error, sizeof s.last_error, "%s", text);
    if (s.error_count < INT_MAX) ++s.error_count;
    if (s.error_count == error_texts::error_cap) {
        if (s.engine_log) {
            write_framed(s.engine_log, plat_format(error_texts::too_many, error_texts::error_cap).c_str());
            std::fflush(s.engine_log);
        }
    } else if (s.error_count < error_texts::error_cap) {
        // The engine log gets the line even when error.log cannot be opened.
        if (s.engine_log) std::fputs(text, s.engine_log);
        const std::string error_path = s.directory + "/error.log";
        FILE* errors = std::fopen(error_path.c_str(), "a");
        if (errors) {
            // One report a line: a text without its line end gets one, so reports never run together.
            std::fputs(text, errors);
            if (!*text || text[std::strlen(text) - 1] != '\n') std::fputs("\n", errors);
            std::fclose(errors);
        }
        if (s.speaker == 1) jbeep(200, 50);
        // Handing the bytes to the system keeps them when the process dies.
        if (s.engine_log) std::fflush(s.engine_log);
    }
    s.busy = false;
}

namespace {

std::string format_text(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int length = plat_vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) return "";
    std::string text(static_cast<size_t>(length), '\0');
    plat_vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

}  // namespace

void report_errorf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = format_text(format, args);
    va_end(args);
    report_error(1, text.c_str());
}

void engine_log_write(const char* text) {
    reporter_state& s = reporter();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    if (s.engine_log && text) {
        std::fputs(text, s.engine_log);
        std::fflush(s.engine_log);
    }
}

void engine_log_printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = format_text(format, args);
    va_end(args);
    engine_log_write(text.c_str());
}

const char* engine_get_last_error() { return reporter().last_error; }

int engine_get_error_count() {
    reporter_state& s = reporter();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    return s.error_count;
}

int engine_set_speaker_mode(int value) {
    reporter_state& s = reporter();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    s.speaker = value;
    return value;
}

void toggle_debug_drawing_mode() {
    reporter_state& s = reporter();
    std::lock_guard<std::recursive_mutex> guard(s.lock);
    s.debug = s.debug ? 0 : 1;
}

int engine_debug_drawing_mode() { return reporter().debug; }

int warning_box(const char* text) { return warning_box_captioned(text, "Warning"); }

int warning_box_captioned(const char* text, const char* caption) {
    return plat_message_box(caption ? caption : "Warning", text ? text : "", PLAT_ICON_WARNING,
                            PLAT_BUTTONS_OK);
}
