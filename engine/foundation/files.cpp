// Whole files in and out, file times, and the beep and file-system services.
#include "foundation/files.h"

#include <chrono>
#include <climits>
#include <filesystem>
#include <string>

#include "foundation/errors.h"
#include "foundation/memory.h"
#include "foundation/strings.h"
#include "platform/msgbox.h"
#include "platform/paths.h"
#include "platform/safe_write.h"

namespace fs = std::filesystem;

namespace {

void report(const char* text) {
    if (strings_report_errors()) report_error(1, text);
}

bool write_all(FILE* stream, const void* data, int size) {
    return size <= 0 || std::fwrite(data, 1, static_cast<size_t>(size), stream) ==
                            static_cast<size_t>(size);
}

}  // namespace

int file_to_memory(const char* path, char** buffer, int* size) {
    if (!path || !buffer || !size) return -1;
    FILE* file = plat_fopen(path, "rb");
    if (!file) return -1;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    if (length <= 0 || length >= INT_MAX || std::fseek(file, 0, SEEK_SET) != 0) {
        std::fclose(file);
        return -1;
    }
    auto* data = static_cast<char*>(engine_alloc(static_cast<size_t>(length) + 1));
    const bool read = data && std::fread(data, 1, static_cast<size_t>(length), file) ==
                                  static_cast<size_t>(length);
    std::fclose(file);
    if (!read) {
        engine_free(data);
        return -1;
    }
    *buffer = data;
    *size = static_cast<int>(length);
    return 0;
}

int mem2file(const char* path, const void* data, int size) {
    if (!path) return -1;
    switch (plat_write_file(path, data, size > 0 ? static_cast<size_t>(size) : 0)) {
    case PLAT_WRITE_OK: return 0;
    case PLAT_WRITE_NO_TEMPORARY: report("mem2file: cant open file\n"); return -1;
    case PLAT_WRITE_FAILED: break;
    }
    report("mem2file: problams in fwrite\n");
    return -1;
}

int mem2file_stream(FILE* stream, const void* data, int size) {
    if (!stream || !write_all(stream, data, size)) {
        report("mem2file: problams in fwrite\n");
        return -1;
    }
    return 0;
}

long long get_file_time(const char* path) {
    if (!path) return -1;
    const std::string resolved = plat_path_resolve(path);
    std::error_code error;
    if (resolved.empty()) return -1;
    const auto time = fs::last_write_time(resolved, error);
    if (error) return -1;
    const auto system = std::chrono::file_clock::to_sys(time);
    return std::chrono::duration_cast<std::chrono::seconds>(system.time_since_epoch()).count();
}

int file_exists(const char* path) {
    if (!path) return 0;
    FILE* file = plat_fopen(path, "rb");
    if (!file) return 0;
    std::fclose(file);
    return 1;
}

void jbeep(int frequency, int milliseconds) {
    if (frequency < 37 || frequency > 32767) report("jbeep: frequency out of range\n");
    plat_beep(static_cast<unsigned>(frequency < 0 ? 0 : frequency),
              static_cast<unsigned>(milliseconds < 0 ? 0 : milliseconds));
    plat_message_beep();
}

int jdelete_file(const char* path) {
    if (!path) return -1;
    const std::string resolved = plat_path_resolve(path);
    std::error_code error;
    return !resolved.empty() && fs::remove(resolved, error) ? 0 : -1;
}

int jmove_file(const char* from, const char* to) {
    if (!from || !to) return -1;
    const std::string source = plat_path_resolve(from);
    if (source.empty()) return -1;
    std::error_code error;
    fs::rename(source, plat_path_resolve_for_write(to), error);
    return error ? -1 : 0;
}

int jcopy_file(const char* from, const char* to) {
    if (!from || !to) return -1;
    const std::string source = plat_path_resolve(from);
    if (source.empty()) return -1;
    std::error_code error;
    fs::copy_file(source, plat_path_resolve_for_write(to), fs::copy_options::overwrite_existing,
                  error);
    return error ? -1 : 0;
}

int jcreate_directory(const char* path) {
    if (!path) return -1;
    std::error_code error;
    return fs::create_directory(plat_path_resolve_for_write(path), error) ? 0 : -1;
}
