#pragma once
// The operating system's file descriptor calls behind QV::File: UTF-8 paths,
// descriptors closed on exec, interrupted calls retried. Each call answers -1
// (or nothing) on failure and never raises, so the caller chooses its error.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace Platform::Files {

struct OpenMode {
    bool readWrite = false;  // else read-only
    bool create = false;     // create when missing, new files 0666 less the umask
    bool truncate = false;   // only together with create
};

// A descriptor of the file, or -1; a folder, FIFO or socket is refused
// without waiting on it.
int Open(const std::string& path, OpenMode mode);
void Close(int fd);
bool Remove(const std::string& path);

// Reads until count bytes or the end of the file: the number read, or -1.
int64_t Read(int fd, void* buffer, size_t count);
// Writes all count bytes: count, or -1.
int64_t Write(int fd, const void* buffer, size_t count);

enum class Origin { kBegin, kCurrent, kEnd };
// The new position, or -1.
int64_t Seek(int fd, int64_t offset, Origin origin);
std::optional<int64_t> Size(int fd);

// The whole content of the regular file at path when it holds at most limit
// bytes; otherwise none, with the reason in *error ("not a regular file",
// "larger than N bytes", or the system's message; errnoOut gets errno when
// the file could not be opened). Never blocks on a FIFO or a device.
std::optional<std::string> ReadWhole(const std::string& path, size_t limit, std::string* error = nullptr,
                                     int* errnoOut = nullptr);

}  // namespace Platform::Files
