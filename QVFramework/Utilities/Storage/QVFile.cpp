#include "QVFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <stdexcept>
#include <string>

#include "Exception.h"

namespace QV {
namespace {

constexpr const char* kSource = "Utilities\\Storage\\QVFile";

[[noreturn]] void Raise(const char* what, const char* method, int line)
{
    throw Exception<std::runtime_error>(FormatExceptionMessage(kRuntimeError, what, method, kSource, line));
}

std::string ToUtf8(const String& text) { return NarrowString(text).GetChars(); }

void SeekForTransfer(int fd, int32_t offset, const char* method, int line)
{
    if (offset == -1) return;
    if (lseek(fd, offset, SEEK_SET) != static_cast<off_t>(offset)) Raise("lseek", method, line);
}

}  // namespace

File::File(const String& pathOrFolder, const String& name, uint32_t flags) : mFlags(flags)
{
    (void)Open(pathOrFolder, name, flags);  // callers ask IsOpen
}

File& File::operator=(const File& other)
{
    if (this != &other) {
        Close();
        mDescriptor = other.mDescriptor;
        mFileName = other.mFileName;
        mPath = other.mPath;
        mFlags = other.mFlags;
    }
    return *this;
}

File::~File()
{
    (void)Close();
}  // nothing to report to at the end

QVResult File::Open(const String& pathOrFolder, const String& name, uint32_t flags)
{
    if (IsOpen()) return 1;
    if (!name.IsEmpty()) {
        mFileName = name;
        mPath = pathOrFolder + String(u"/") + name;
    } else {
        if (pathOrFolder.IsEmpty()) Raise("invalid pathname", "QV::File::Open", 293);
        mFileName = String();
        mPath = pathOrFolder;
    }
    mFlags = flags;

    int mode = (flags & kReadWrite) ? O_RDWR : O_RDONLY;
    if (flags & kCreate) {
        mode |= O_CREAT;
        if (flags & kTruncate) mode |= O_TRUNC;
    }
    const int fd = open(ToUtf8(mPath).c_str(), mode | O_CLOEXEC, 0666);
    if (fd < 0) return E_FAIL;
    mDescriptor = new LHolder<int>(fd);
    return S_OK;
}

QVResult File::Close()
{
    if (mDescriptor.IsNull()) return S_OK;
    // Another copy still uses the descriptor: only this share ends.
    if (mDescriptor->GetRefCount() == 1) {
        close(mDescriptor->GetValue());
        if (mFlags & kDeleteOnClose) unlink(ToUtf8(mPath).c_str());
    }
    mDescriptor.Reset();
    return S_OK;
}

int32_t File::Read(void* buffer, uint32_t count, int32_t offset)
{
    // A closed file fails the seek first, when there is one, as the
    // descriptor calls would.
    const int fd = Descriptor();
    SeekForTransfer(fd, offset, "QV::File::Read", 471);
    if (fd < 0) Raise("read", "QV::File::Read", 498);
    if (count > INT32_MAX || (!buffer && count > 0)) Raise("read", "QV::File::Read", 498);
    auto* bytes = static_cast<char*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        const ssize_t n = read(fd, bytes + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            Raise("read", "QV::File::Read", 498);
        }
        if (n == 0) break;
        done += static_cast<uint32_t>(n);
    }
    return static_cast<int32_t>(done);
}

int32_t File::Write(const void* buffer, uint32_t count, int32_t offset)
{
    if (!(mFlags & kReadWrite)) Raise("file is read only", "QV::File::Write", 593);
    const int fd = Descriptor();
    SeekForTransfer(fd, offset, "QV::File::Write", 602);
    if (fd < 0) Raise("write", "QV::File::Write", 638);
    if (count > INT32_MAX || (!buffer && count > 0)) Raise("write", "QV::File::Write", 638);
    const auto* bytes = static_cast<const char*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        const ssize_t n = write(fd, bytes + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            Raise("write", "QV::File::Write", 638);
        }
        done += static_cast<uint32_t>(n);
    }
    return static_cast<int32_t>(done);
}

int32_t File::Seek(int32_t offset, int32_t origin)
{
    const int fd = Descriptor();
    if (fd < 0 || origin < kBegin || origin > kEnd) return -1;
    const int whence = origin == kBegin ? SEEK_SET : origin == kCurrent ? SEEK_CUR : SEEK_END;
    const off_t position = lseek(fd, offset, whence);
    return (position < 0 || position > INT32_MAX) ? -1 : static_cast<int32_t>(position);
}

int32_t File::GetLength() const
{
    struct stat info {};
    if (fstat(Descriptor(), &info) != 0) Raise("fstat", "QV::File::GetLength", 112);
    // The length is 32-bit; larger files report the largest length.
    return info.st_size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(info.st_size);
}

}  // namespace QV
