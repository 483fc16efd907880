// The error reporter, the two log files, the speaker switch and the warning boxes.
#pragma once
#include <string>

// Writes one report line to "error.log" (ended with a line end when the text has none) and
// "Drovik.log" (verbatim); kind does not change what is written.
void report_error(int kind, const char* text);
// Formats the text (printf rules, C locale) and reports it.
void report_errorf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Chooses the log directory and creates both log files: 0, or -1 (already open, or a failure).
int open_log_files();
// Closes the engine log and forgets the log directory.
void close_log_files();
bool log_files_are_open();
// The directory the logs go to; "" while closed.
std::string log_directory();

// Writes text verbatim to the engine log when it is open.
void engine_log_write(const char* text);
void engine_log_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The first 59 characters of the last report.
const char* engine_get_last_error();
int engine_get_error_count();
int engine_set_speaker_mode(int value);
void toggle_debug_drawing_mode();
int engine_debug_drawing_mode();

// System-modal warning boxes (recorded and never blocking when headless).
int warning_box(const char* text);
int warning_box_captioned(const char* text, const char* caption);

// Texts written by the reporter, kept here so tests use the same bytes.
namespace error_texts {
inline constexpr const char* log_banner =
    "=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=\n"
    "|   Drovik Engine Log File    |\n"
    "=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=\n"
    "\n-------------------------------------------------\n";
inline constexpr const char* log_time_line = "    Time=%d:%d and %d seconds (%d . %d . %d)    \n";
inline constexpr const char* log_banner_end = "-------------------------------------------------\n";
inline constexpr const char* error_banner = "Drovik errors file\n------------------\n";
inline constexpr const char* too_many = "Too many errors (%d)\n";
inline constexpr int error_cap = 20000;
inline constexpr int last_error_length = 59;
}  // namespace error_texts
