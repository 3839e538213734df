#include "QVFile.h"

#include <climits>
#include <optional>
#include <stdexcept>
#include <string>

#include "Exception.h"
#include "FileDescriptor.h"

namespace QV {
namespace {

namespace Files = Platform::Files;

constexpr const char* kSource = "Utilities\\Storage\\QVFile";

[[noreturn]] void Raise(const char* what, const char* method, int line)
{
    throw Exception<std::runtime_error>(FormatExceptionMessage(kRuntimeError, what, method, kSource, line));
}

void SeekForTransfer(int fd, int32_t offset, const char* method, int line)
{
    if (offset == -1) return;
    if (Files::Seek(fd, offset, Files::Origin::kBegin) != offset) Raise("lseek", method, line);
}

}  // namespace

File::File(const String& pathOrFolder, const String& name, uint32_t flags) : mFlags(flags)
{
    (void)Open(pathOrFolder, name, flags);  // callers ask IsOpen
}

File& File::operator=(const File& other)
{
    if (this != &other) {
        (void)Close();  // a file not open is fine
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
    if (IsOpen()) return kNothingToDo;
    if (!name.IsEmpty()) {
        mFileName = name;
        mPath = pathOrFolder + String(u"/") + name;
    } else {
        if (pathOrFolder.IsEmpty()) Raise("invalid pathname", "QV::File::Open", 293);
        mFileName = String();
        mPath = pathOrFolder;
    }
    mFlags = flags;

    const Files::OpenMode mode{(flags & kReadWrite) != 0, (flags & kCreate) != 0, (flags & kTruncate) != 0};
    const int fd = Files::Open(mPath.ToUtf8(), mode);
    if (fd < 0) return E_FAIL;
    mDescriptor = new LHolder<int>(fd);
    return S_OK;
}

QVResult File::Close()
{
    if (mDescriptor.IsNull()) return S_OK;
    // Another copy still uses the descriptor: only this share ends.
    if (mDescriptor->GetRefCount() == 1) {
        Files::Close(mDescriptor->GetValue());
        if (mFlags & kDeleteOnClose) Files::Remove(mPath.ToUtf8());
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
    const int64_t done = Files::Read(fd, buffer, count);
    if (done < 0) Raise("read", "QV::File::Read", 498);
    return static_cast<int32_t>(done);
}

int32_t File::Write(const void* buffer, uint32_t count, int32_t offset)
{
    if (!(mFlags & kReadWrite)) Raise("file is read only", "QV::File::Write", 593);
    const int fd = Descriptor();
    SeekForTransfer(fd, offset, "QV::File::Write", 602);
    if (fd < 0) Raise("write", "QV::File::Write", 638);
    if (count > INT32_MAX || (!buffer && count > 0)) Raise("write", "QV::File::Write", 638);
    if (Files::Write(fd, buffer, count) < 0) Raise("write", "QV::File::Write", 638);
    return static_cast<int32_t>(count);
}

int32_t File::Seek(int32_t offset, int32_t origin)
{
    const int fd = Descriptor();
    if (fd < 0 || origin < kBegin || origin > kEnd) return -1;
    // The origins are numbered alike.
    const int64_t position = Files::Seek(fd, offset, static_cast<Files::Origin>(origin));
    return (position < 0 || position > INT32_MAX) ? -1 : static_cast<int32_t>(position);
}

int32_t File::GetLength() const
{
    const std::optional<int64_t> size = Files::Size(Descriptor());
    if (!size) Raise("fstat", "QV::File::GetLength", 112);
    // The length is 32-bit; larger files report the largest length.
    return *size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(*size);
}

}  // namespace QV
