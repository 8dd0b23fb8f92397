// Regular-file reads and appends with non-blocking opens and checks made on
// the opened descriptor (no window between a check and the open).
#include "platform/base/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

namespace plat {
namespace {

// Why an open failed; anything unusual (a name too long, a loop of links)
// counts as not found, as a missing file would.
FileStatus StatusFromErrno(int err) {
    switch (err) {
        case EACCES:
        case EPERM:
            return FileStatus::AccessDenied;
        case ENXIO:  // a FIFO opened for writing without a reader
        case EISDIR:
            return FileStatus::NotRegular;
        default:
            return FileStatus::NotFound;
    }
}

// Takes an open descriptor; closes it unless it is a regular file.
FileStatus RequireRegular(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        close(fd);
        return FileStatus::ReadError;
    }
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        return FileStatus::NotRegular;
    }
    return FileStatus::Ok;
}

}  // namespace

FileStatus ReadRegularFile(const char* path, size_t maxBytes, std::vector<uint8_t>* out) {
    out->clear();
    if (!path || !*path) return FileStatus::NotFound;
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return StatusFromErrno(errno);
    if (const FileStatus status = RequireRegular(fd); status != FileStatus::Ok) return status;
    struct stat st {};
    if (fstat(fd, &st) == 0 && static_cast<uint64_t>(st.st_size) > maxBytes) {
        close(fd);
        return FileStatus::TooLarge;
    }

    // The size from fstat is only a hint: files under /proc report 0, and a
    // file may grow while we read it. Read until the end or one byte past the limit.
    FileStatus status = FileStatus::Ok;
    size_t done = 0;
    for (;;) {
        if (out->size() - done < 65536) {
            try {
                out->resize(std::min(done + 65536, maxBytes + 1));
            } catch (const std::bad_alloc&) {
                status = FileStatus::OutOfMemory;
                break;
            }
        }
        if (done == out->size()) {
            status = FileStatus::TooLarge;
            break;
        }
        const ssize_t n = read(fd, out->data() + done, out->size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            status = FileStatus::ReadError;
            break;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
        if (done > maxBytes) {
            status = FileStatus::TooLarge;
            break;
        }
    }
    close(fd);
    if (status != FileStatus::Ok) {
        out->clear();
        out->shrink_to_fit();
        return status;
    }
    out->resize(done);
    return FileStatus::Ok;
}

int OpenRegularFileForAppend(const char* path, FileStatus* status) {
    *status = FileStatus::NotFound;
    if (!path || !*path) return -1;
    const int fd = open(path, O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        *status = StatusFromErrno(errno);
        return -1;
    }
    *status = RequireRegular(fd);
    if (*status != FileStatus::Ok) return -1;
    // Writes to a regular file never block; the flag only mattered for the open.
    fcntl(fd, F_SETFL, O_APPEND);
    return fd;
}

int OpenRegularFileForWrite(const char* path, FileStatus* status) {
    *status = FileStatus::NotFound;
    if (!path || !*path) return -1;
    // No O_TRUNC here: the file is emptied only once it is known to be a regular one.
    const int fd = open(path, O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        *status = StatusFromErrno(errno);
        return -1;
    }
    *status = RequireRegular(fd);
    if (*status != FileStatus::Ok) return -1;
    if (ftruncate(fd, 0) != 0) {  // opened for writing, yet may not be changed (an immutable file)
        close(fd);
        *status = FileStatus::AccessDenied;
        return -1;
    }
    fcntl(fd, F_SETFL, 0);
    return fd;
}

const char* FileStatusText(FileStatus status) {
    switch (status) {
        case FileStatus::Ok:
            return "ok";
        case FileStatus::NotFound:
            return "not found";
        case FileStatus::AccessDenied:
            return "access denied";
        case FileStatus::NotRegular:
            return "not a regular file";
        case FileStatus::TooLarge:
            return "too large";
        case FileStatus::OutOfMemory:
            return "out of memory";
        case FileStatus::ReadError:
            return "read error";
    }
    return "read error";
}

}  // namespace plat
