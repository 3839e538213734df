#include "FileDescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace Platform::Files {

int Open(const std::string& path, OpenMode mode)
{
    // Non-blocking only while opening: a FIFO would wait here for a writer.
    int flags = (mode.readWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    if (mode.create) {
        flags |= O_CREAT;
        if (mode.truncate) flags |= O_TRUNC;
    }
    const int fd = open(path.c_str(), flags, 0666);
    if (fd < 0) return -1;
    // Linux opens a folder read-only; Windows never opens one as a file.
    struct stat info {};
    // A FIFO or socket is no file either: reading one could wait for ever.
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode) || S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode) ||
        fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int saved = S_ISDIR(info.st_mode) ? EISDIR : errno;
        close(fd);
        errno = saved;
        return -1;
    }
    return fd;
}

void Close(int fd)
{
    if (fd >= 0) close(fd);
}

bool Remove(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

int64_t Read(int fd, void* buffer, size_t count)
{
    auto* bytes = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = read(fd, bytes + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

int64_t Write(int fd, const void* buffer, size_t count)
{
    const auto* bytes = static_cast<const char*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = write(fd, bytes + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        done += static_cast<size_t>(n);
    }
    return static_cast<int64_t>(done);
}

int64_t Seek(int fd, int64_t offset, Origin origin)
{
    const int whence = origin == Origin::kBegin ? SEEK_SET : origin == Origin::kCurrent ? SEEK_CUR : SEEK_END;
    const off_t position = lseek(fd, static_cast<off_t>(offset), whence);
    return position < 0 ? -1 : static_cast<int64_t>(position);
}

std::optional<int64_t> Size(int fd)
{
    struct stat info {};
    if (fstat(fd, &info) != 0) return std::nullopt;
    return static_cast<int64_t>(info.st_size);
}

std::optional<std::string> ReadWhole(const std::string& path, size_t limit, std::string* error, int* errnoOut)
{
    const auto fail = [error](std::string why) -> std::optional<std::string> {
        if (error) *error = std::move(why);
        return std::nullopt;
    };
    if (errnoOut) *errnoOut = 0;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        if (errnoOut) *errnoOut = errno;
        return fail(std::strerror(errno));
    }
    struct stat info {};
    std::optional<std::string> content;
    std::string why;
    if (fstat(fd, &info) != 0) {
        why = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        why = "not a regular file";
    } else if (static_cast<uint64_t>(info.st_size) > limit) {
        why = "larger than " + std::to_string(limit) + " bytes";
    } else {
        // Read to the end, not to the size seen: the file may grow meanwhile.
        std::string text;
        char chunk[16384];
        int64_t n = 0;
        while ((n = Read(fd, chunk, sizeof chunk)) > 0 && text.size() <= limit)
            text.append(chunk, static_cast<size_t>(n));
        if (n < 0) {
            why = std::strerror(errno);
        } else if (text.size() > limit) {
            why = "larger than " + std::to_string(limit) + " bytes";
        } else {
            content = std::move(text);
        }
    }
    close(fd);
    return content ? content : fail(why);
}

}  // namespace Platform::Files
