// Safe writes: a temporary file beside the target, synced, then renamed over it.
#include "platform/safe_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/paths.h"

namespace {

bool write_all(int fd, const void* data, size_t size)
{
    const auto* at = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, at, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        at += written;
        size -= size_t(written);
    }
    return true;
}

// The rename is in the folder's entries: sync them too. Some file systems cannot sync a
// folder; the file itself is synced already, so that is no failure.
void sync_folder(const std::string& file)
{
    const size_t slash = file.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string(".") : slash == 0 ? std::string("/") : file.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

plat_write_result fail(plat_write_result result, int code, std::string* error)
{
    if (error)
        *error = std::strerror(code);
    return result;
}

}  // namespace

plat_write_result plat_write_file(std::string_view path, const void* data, size_t size, std::string* error)
{
    const std::string target = plat_path_resolve_for_write(path);
    if (target.empty())
        return fail(PLAT_WRITE_NO_TEMPORARY, ENOENT, error);
    const std::string temporary = target + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(PLAT_WRITE_NO_TEMPORARY, errno, error);
    // The first failure's code is kept: the clean-up below may set errno again.
    int failure = write_all(fd, data, size) ? 0 : errno;
    if (failure == 0 && ::fsync(fd) != 0)
        failure = errno;
    if (::close(fd) != 0 && failure == 0)
        failure = errno;
    if (failure == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        failure = errno;
    if (failure != 0) {
        ::unlink(temporary.c_str());
        return fail(PLAT_WRITE_FAILED, failure, error);
    }
    sync_folder(target);
    return PLAT_WRITE_OK;
}
