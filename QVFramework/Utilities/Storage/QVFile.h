#pragma once
// A binary file on disk, read and written at positions through the C
// run-time's descriptor calls. Copies share the descriptor; it is closed
// when the last of them closes.
#include <cstdint>

#include "LHolder.h"
#include "RCPtr.h"
#include "Result.h"
#include "StringT.h"

namespace QV {

class File {
public:
    // Open flags.
    static constexpr uint32_t kReadWrite = 0x20000;      // else read-only
    static constexpr uint32_t kTruncate = 0x40000;       // only with kCreate
    static constexpr uint32_t kCreate = 0x80000;         // create when missing
    static constexpr uint32_t kDeleteOnClose = 0x100000;

    // Origins for Seek.
    static constexpr int32_t kBegin = 0;
    static constexpr int32_t kCurrent = 1;
    static constexpr int32_t kEnd = 2;

    File() = default;
    // Opens at once (see Open); check IsOpen for the outcome.
    File(const String& pathOrFolder, const String& name, uint32_t flags);
    File(const File& other) = default;
    // Closes this object's share first.
    File& operator=(const File& other);
    virtual ~File();

    // With a name: opens pathOrFolder + "/" + name; without one, pathOrFolder
    // is the whole path (empty raises "invalid pathname"). 0 when opened,
    // 1 when already open (nothing changes), E_FAIL when the open failed.
    [[nodiscard]] virtual QVResult Open(const String& pathOrFolder, const String& name, uint32_t flags);
    // Drops this object's share; the last share closes the descriptor and,
    // with kDeleteOnClose, deletes the file. Always 0.
    [[nodiscard]] virtual QVResult Close();
    // Reads up to count bytes at offset (-1: the current position); the
    // number read, 0 at the end of the file. Raises on failure.
    [[nodiscard]] virtual int32_t Read(void* buffer, uint32_t count, int32_t offset = -1);
    // Writes count bytes at offset (-1: the current position); raises
    // before touching the file when it was opened without kReadWrite.
    [[nodiscard]] virtual int32_t Write(const void* buffer, uint32_t count, int32_t offset = -1);
    // The new position, or -1.
    [[nodiscard]] virtual int32_t Seek(int32_t offset, int32_t origin);

    // Size in bytes; raises when the size cannot be read.
    int32_t GetLength() const;

    bool IsOpen() const { return !mDescriptor.IsNull(); }
    const String& GetFileName() const { return mFileName; }
    const String& GetPath() const { return mPath; }
    uint32_t GetFlags() const { return mFlags; }

private:
    int Descriptor() const { return mDescriptor.IsNull() ? -1 : mDescriptor->GetValue(); }

    RCPtr<LHolder<int>> mDescriptor;
    String mFileName;
    String mPath;
    uint32_t mFlags = 0;
};

}  // namespace QV
