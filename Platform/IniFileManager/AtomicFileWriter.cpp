#include "AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

namespace Platform {
namespace {

void SetError(std::string* error, const std::string& what, const std::string& path, int code)
{
    if (error) *error = what + " " + path + ": " + std::strerror(code);
}

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Built by appends: g++ 12 warns falsely on "literal" + a temporary string.
std::string TemporaryPrefix(const std::string& path)
{
    std::string prefix = ".";
    prefix += NameOf(path);
    prefix += ".tmp-";
    return prefix;
}

// The writer's pid in a temporary file's name after the prefix: "<pid>-XXXXXX".
pid_t WriterOf(std::string_view rest)
{
    const size_t dash = rest.find('-');
    if (dash == 0 || dash == std::string_view::npos || rest.size() - dash - 1 != 6) return 0;
    pid_t pid = 0;
    for (const char c : rest.substr(0, dash)) {
        if (c < '0' || c > '9' || pid > 99999999) return 0;
        pid = pid * 10 + (c - '0');
    }
    return pid;
}

bool IsAlive(pid_t pid) { return kill(pid, 0) == 0 || errno != ESRCH; }

// Removes the file only when no process holds its lock.
void RemoveIfUnlocked(const std::string& file)
{
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return;
    struct stat info {};
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0) {
        unlink(file.c_str());
    }
    close(fd);
}

bool WriteAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t n = write(fd, content.data(), content.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        content.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

AtomicFileWriter::Staged::~Staged() { Discard(); }

void AtomicFileWriter::Staged::Discard()
{
    // Removed before the lock goes, so no one else ever removes it.
    if (!mTemporaryPath.empty()) unlink(mTemporaryPath.c_str());
    mTemporaryPath.clear();
    if (mLockedFd >= 0) close(mLockedFd);
    mLockedFd = -1;
}

AtomicFileWriter::Staged::Staged(Staged&& other) noexcept
    : mTargetPath(std::move(other.mTargetPath)),
      mTemporaryPath(std::exchange(other.mTemporaryPath, {})),
      mLockedFd(std::exchange(other.mLockedFd, -1))
{
}

AtomicFileWriter::Staged& AtomicFileWriter::Staged::operator=(Staged&& other) noexcept
{
    if (this != &other) {
        Discard();
        mTargetPath = std::move(other.mTargetPath);
        mTemporaryPath = std::exchange(other.mTemporaryPath, {});
        mLockedFd = std::exchange(other.mLockedFd, -1);
    }
    return *this;
}

void AtomicFileWriter::RemoveStaleTemporaries(const std::string& path)
{
    const std::string prefix = TemporaryPrefix(path);
    std::error_code error;
    std::filesystem::directory_iterator entries(FolderOf(path), error);
    for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        const std::string name = entries->path().filename().string();
        if (!name.starts_with(prefix)) continue;
        const pid_t writer = WriterOf(std::string_view(name).substr(prefix.size()));
        if (writer > 0 && !IsAlive(writer)) RemoveIfUnlocked(entries->path().string());
    }
}

AtomicFileWriter::Staged AtomicFileWriter::Stage(const std::string& path, std::string_view content,
                                                 std::string* error)
{
    RemoveStaleTemporaries(path);
    Staged staged;
    const std::string folder = FolderOf(path);
    std::string pattern = folder + "/" + TemporaryPrefix(path) + std::to_string(getpid()) + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) {
        SetError(error, "cannot create a temporary file in", folder, errno);
        return staged;
    }
    const std::string temporary(buffer.data());
    // Others see the file as live from here on; our pid covers the moment before.
    flock(fd, LOCK_EX);
    // Keep the permissions of the file being replaced; a new file is 0644.
    struct stat old {};
    const mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    const bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, content) && fsync(fd) == 0;
    if (!ok) {
        SetError(error, "cannot write", temporary, errno);
        unlink(temporary.c_str());
        close(fd);
        return staged;
    }
    staged.mTargetPath = path;
    staged.mTemporaryPath = temporary;
    staged.mLockedFd = fd;
    return staged;
}

bool AtomicFileWriter::Commit(Staged& staged, std::string* error)
{
    if (!staged.IsValid()) {
        if (error) *error = "nothing staged";
        return false;
    }
    // A late write error can show only at close; the lock ends with it, and
    // our live pid keeps the file ours until the rename.
    const int closed = close(std::exchange(staged.mLockedFd, -1));
    if (closed != 0) {
        SetError(error, "cannot write", staged.mTemporaryPath, errno);
        return false;  // the staged file goes with the object
    }
    if (rename(staged.mTemporaryPath.c_str(), staged.mTargetPath.c_str()) != 0) {
        SetError(error, "cannot replace", staged.mTargetPath, errno);
        return false;
    }
    staged.mTemporaryPath.clear();
    // The rename itself lasts only once the folder is synced.
    const int dir = open(FolderOf(staged.mTargetPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return true;
}

bool AtomicFileWriter::Write(const std::string& path, std::string_view content, std::string* error)
{
    Staged staged = Stage(path, content, error);
    return staged.IsValid() && Commit(staged, error);
}

}  // namespace Platform
