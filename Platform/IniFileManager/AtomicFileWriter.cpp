#include "AtomicFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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

AtomicFileWriter::Staged::~Staged()
{
    if (!mTemporaryPath.empty()) unlink(mTemporaryPath.c_str());
}

AtomicFileWriter::Staged::Staged(Staged&& other) noexcept
    : mTargetPath(std::move(other.mTargetPath)), mTemporaryPath(std::exchange(other.mTemporaryPath, {}))
{
}

AtomicFileWriter::Staged& AtomicFileWriter::Staged::operator=(Staged&& other) noexcept
{
    if (this != &other) {
        if (!mTemporaryPath.empty()) unlink(mTemporaryPath.c_str());
        mTargetPath = std::move(other.mTargetPath);
        mTemporaryPath = std::exchange(other.mTemporaryPath, {});
    }
    return *this;
}

AtomicFileWriter::Staged AtomicFileWriter::Stage(const std::string& path, std::string_view content,
                                                 std::string* error)
{
    Staged staged;
    const std::string folder = FolderOf(path);
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string pattern = folder + "/." + name + ".tmp-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) {
        SetError(error, "cannot create a temporary file in", folder, errno);
        return staged;
    }
    const std::string temporary(buffer.data());
    // Keep the permissions of the file being replaced; a new file is 0644.
    struct stat old {};
    const mode_t mode = stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    const bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, content) && fsync(fd) == 0;
    const int writeErrno = errno;
    if (close(fd) != 0 || !ok) {
        SetError(error, "cannot write", temporary, ok ? errno : writeErrno);
        unlink(temporary.c_str());
        return staged;
    }
    staged.mTargetPath = path;
    staged.mTemporaryPath = temporary;
    return staged;
}

bool AtomicFileWriter::Commit(Staged& staged, std::string* error)
{
    if (!staged.IsValid()) {
        if (error) *error = "nothing staged";
        return false;
    }
    if (rename(staged.mTemporaryPath.c_str(), staged.mTargetPath.c_str()) != 0) {
        SetError(error, "cannot replace", staged.mTargetPath, errno);
        return false;  // the staged file goes with the object
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
