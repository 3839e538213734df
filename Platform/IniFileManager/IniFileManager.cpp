// IniFileManager.so: the settings-file library bound by name at run time.
// See IniFileManagerApi.h for the interface.
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "AtomicFileWriter.h"
#include "FileDescriptor.h"
#include "IniDocument.h"
#include "IniFileManagerApi.h"

#define INI_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using Platform::IniDocument;

struct OpenFile {
    std::string path;
    std::string versionTag;
    std::string appName;
    IniDocument document;
    // As last read or saved: what a save too large to keep goes back to.
    IniDocument saved;
};

// The files this library has open, by handle. Handles count up from 1 and
// are never reused while the library is loaded.
class OpenFiles {
public:
    IniFileHandle Add(std::unique_ptr<OpenFile> file)
    {
        std::lock_guard lock(mMutex);
        const IniFileHandle handle = ++mLastHandle;
        mFiles.emplace(handle, std::move(file));
        return handle;
    }

    void Remove(IniFileHandle handle)
    {
        std::lock_guard lock(mMutex);
        mFiles.erase(handle);
    }

    // Runs f(OpenFile&) under the lock; kIniBadHandle for an unknown handle.
    template <class F>
    int32_t With(IniFileHandle handle, F&& f)
    {
        std::lock_guard lock(mMutex);
        const auto it = mFiles.find(handle);
        if (it == mFiles.end()) return kIniBadHandle;
        return f(*it->second);
    }

private:
    std::mutex mMutex;
    std::map<IniFileHandle, std::unique_ptr<OpenFile>> mFiles;
    IniFileHandle mLastHandle = 0;
};

OpenFiles& Files()
{
    static OpenFiles files;
    return files;
}

// A settings file is small; anything larger is not one of ours. The same
// limit holds for reading and saving, so a saved file always reads back.
constexpr size_t kMaxSettingsBytes = 1024 * 1024;

bool IsRegularFileOverTheLimit(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           static_cast<uint64_t>(info.st_size) > kMaxSettingsBytes;
}

// Renames the file to "<path>.too-large" (or "-2", "-3", ... when taken,
// so an earlier one is kept): the new name, or none and why.
std::optional<std::string> MoveAsideTooLarge(const std::string& path, std::string& error)
{
    for (int n = 1; n <= 99; ++n) {
        const std::string aside = path + ".too-large" + (n == 1 ? std::string() : "-" + std::to_string(n));
        if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, aside.c_str(), RENAME_NOREPLACE) == 0) return aside;
        if (errno != EEXIST) {
            error = std::strerror(errno);
            return std::nullopt;
        }
    }
    error = "every name for it is taken";
    return std::nullopt;
}

// The whole file; an absent file is empty, and so is a regular file too large
// to be ours once it is moved aside, so that the next save starts afresh
// instead of failing every start. Nothing, and why, when it cannot be read,
// is not a regular file (a FIFO would hang the start) or is too large and
// stays where it is.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error)
{
    int openErrno = 0;
    std::optional<std::string> text = Platform::Files::ReadWhole(path, kMaxSettingsBytes, &error, &openErrno);
    if (text || openErrno == ENOENT) return text ? text : std::string();
    if (!IsRegularFileOverTheLimit(path)) return text;
    std::string moveError;
    const std::optional<std::string> aside = MoveAsideTooLarge(path, moveError);
    if (!aside) {
        error += " and cannot be moved aside (" + moveError + ")";
        return text;
    }
    std::fprintf(stderr,
                 "IniFileManager: %s is larger than %zu bytes; it was moved aside to %s, the defaults are used "
                 "and the next save starts a fresh file\n",
                 path.c_str(), kMaxSettingsBytes, aside->c_str());
    return std::string();
}

int32_t Save(OpenFile& file)
{
    std::vector<std::string> comments;
    if (!file.appName.empty() || !file.versionTag.empty()) {
        comments.push_back(file.appName + " settings" +
                           (file.versionTag.empty() ? std::string() : ", version " + file.versionTag));
    }
    const std::string text = file.document.ToText(comments);
    if (text.size() > kMaxSettingsBytes) {
        std::fprintf(stderr,
                     "IniFileManager: %s is not saved: it would be %zu bytes, over the limit of %zu; the file is "
                     "left as it was\n",
                     file.path.c_str(), text.size(), kMaxSettingsBytes);
        // Dropping what never fits lets a later, smaller change be saved.
        file.document = file.saved;
        return kIniTooLarge;
    }
    std::string error;
    if (!Platform::AtomicFileWriter::Write(file.path, text, &error)) {
        std::fprintf(stderr, "IniFileManager: %s\n", error.c_str());
        return kIniIoError;
    }
    file.saved = file.document;
    return kIniOk;
}

// The string-answer rule shared by the three text getters.
int32_t CopyOut(const std::string& text, char* buffer, int32_t bufferSize, int32_t* neededSize)
{
    const int64_t needed = static_cast<int64_t>(text.size()) + 1;
    if (needed > INT32_MAX) return kIniFailed;
    if (neededSize) *neededSize = static_cast<int32_t>(needed);
    if (!buffer || bufferSize < needed) {
        if (buffer && bufferSize > 0) buffer[0] = '\0';
        return kIniBufferTooSmall;
    }
    std::memcpy(buffer, text.c_str(), static_cast<size_t>(needed));
    return kIniOk;
}

std::optional<int32_t> ParseInt(const std::string& text)
{
    if (text.empty()) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

}  // namespace

INI_EXPORT int32_t OpenIniFile(const char* path, const char* versionTag, const char* appName,
                               IniFileHandle* outHandle)
{
    if (outHandle) *outHandle = 0;
    if (!path || !*path || !outHandle) return kIniFailed;
    Platform::AtomicFileWriter::RemoveStaleTemporaries(path);
    std::string error;
    const std::optional<std::string> text = ReadWholeFile(path, error);
    if (!text) {
        std::fprintf(stderr, "IniFileManager: cannot read %s: %s; the defaults are used\n", path, error.c_str());
        return kIniIoError;
    }
    IniDocument::ParseError parseError;
    std::optional<IniDocument> document = IniDocument::Parse(*text, &parseError);
    if (!document) {
        std::fprintf(stderr, "IniFileManager: %s line %d: %s\n", path, parseError.line, parseError.reason.c_str());
        return kIniParseError;
    }
    auto file = std::make_unique<OpenFile>(
        OpenFile{path, versionTag ? versionTag : "", appName ? appName : "", *document, *document});
    *outHandle = Files().Add(std::move(file));
    return kIniOk;
}

INI_EXPORT int32_t WriteIniFile(IniFileHandle handle)
{
    return Files().With(handle, [](OpenFile& file) -> int32_t { return Save(file); });
}

INI_EXPORT int32_t CloseIniFile(IniFileHandle handle, int32_t saveFirst)
{
    const int32_t result = Files().With(handle, [&](OpenFile& file) -> int32_t { return saveFirst ? Save(file) : kIniOk; });
    if (result == kIniOk) Files().Remove(handle);
    return result;
}

INI_EXPORT int32_t DoesNodeExist(IniFileHandle handle, const char* node)
{
    if (!node) return 0;
    const int32_t result = Files().With(handle, [&](OpenFile& file) -> int32_t { return file.document.HasNode(node) ? 1 : 0; });
    return result == 1 ? 1 : 0;
}

INI_EXPORT int32_t GetIniValueInt(IniFileHandle handle, const char* key, int32_t defaultValue, int32_t* outValue)
{
    if (outValue) *outValue = defaultValue;
    if (!key || !outValue) return kIniFailed;
    return Files().With(handle, [&](OpenFile& file) -> int32_t {
        const std::string* text = file.document.GetValue(key);
        if (!text) return kIniOk;
        const std::optional<int32_t> value = ParseInt(*text);
        if (!value) return kIniNotANumber;
        *outValue = *value;
        return kIniOk;
    });
}

INI_EXPORT int32_t SetIniValueInt(IniFileHandle handle, const char* key, int32_t value)
{
    if (!key) return kIniFailed;
    return Files().With(handle, [&](OpenFile& file) -> int32_t {
        return file.document.SetValue(key, std::to_string(value)) ? kIniOk : kIniInvalidName;
    });
}

INI_EXPORT int32_t GetIniValueStr(IniFileHandle handle, const char* key, const char* defaultText, char* buffer,
                                  int32_t bufferSize, int32_t* neededSize)
{
    if (buffer && bufferSize > 0) buffer[0] = '\0';
    if (!key) return kIniFailed;
    return Files().With(handle, [&](OpenFile& file) -> int32_t {
        const std::string* text = file.document.GetValue(key);
        return CopyOut(text ? *text : std::string(defaultText ? defaultText : ""), buffer, bufferSize, neededSize);
    });
}

INI_EXPORT int32_t SetIniValueStr(IniFileHandle handle, const char* key, const char* text)
{
    if (!key || !text) return kIniFailed;
    return Files().With(handle, [&](OpenFile& file) -> int32_t {
        return file.document.SetValue(key, text) ? kIniOk : kIniInvalidName;
    });
}

INI_EXPORT int32_t GetKeyCount(IniFileHandle handle, const char* node, int32_t* outCount)
{
    if (outCount) *outCount = 0;
    if (!node || !outCount) return kIniFailed;
    return Files().With(handle, [&](OpenFile& file) -> int32_t {
        *outCount = static_cast<int32_t>(file.document.GetKeyCount(node));
        return kIniOk;
    });
}

INI_EXPORT int32_t GetKeyNameAt(IniFileHandle handle, const char* node, int32_t index, char* buffer,
                                int32_t bufferSize, int32_t* neededSize)
{
    if (buffer && bufferSize > 0) buffer[0] = '\0';
    if (!node) return kIniFailed;
    return Files().With(handle, [&](OpenFile& file) -> int32_t {
        const std::string* name = index < 0 ? nullptr : file.document.GetKeyNameAt(node, static_cast<size_t>(index));
        return name ? CopyOut(*name, buffer, bufferSize, neededSize) : kIniIndexOutOfRange;
    });
}

INI_EXPORT int32_t GetArrayCount(IniFileHandle handle, const char* array, int32_t* outCount)
{
    if (outCount) *outCount = 0;
    if (!array || !outCount) return kIniFailed;
    return Files().With(handle, [&](OpenFile& file) -> int32_t {
        const auto* items = file.document.GetArray(array);
        *outCount = items ? static_cast<int32_t>(items->size()) : 0;
        return kIniOk;
    });
}

INI_EXPORT int32_t SetArrayCount(IniFileHandle handle, const char* array, int32_t count)
{
    if (!array || count < 0) return kIniFailed;
    return Files().With(handle, [&](OpenFile& file) -> int32_t {
        return file.document.SetArrayCount(array, static_cast<size_t>(count)) ? kIniOk : kIniInvalidName;
    });
}

INI_EXPORT int32_t GetArrayItemAt(IniFileHandle handle, const char* array, int32_t index, char* buffer,
                                  int32_t bufferSize, int32_t* neededSize)
{
    if (buffer && bufferSize > 0) buffer[0] = '\0';
    if (!array) return kIniFailed;
    return Files().With(handle, [&](OpenFile& file) -> int32_t {
        const auto* items = file.document.GetArray(array);
        if (!items || index < 0 || static_cast<size_t>(index) >= items->size()) return kIniIndexOutOfRange;
        return CopyOut((*items)[static_cast<size_t>(index)], buffer, bufferSize, neededSize);
    });
}

INI_EXPORT int32_t SetArrayItemAt(IniFileHandle handle, const char* array, int32_t index, const char* text)
{
    if (!array || !text) return kIniFailed;
    return Files().With(handle, [&](OpenFile& file) -> int32_t {
        if (!IniDocument::IsValidPath(array)) return kIniInvalidName;
        if (index < 0) return kIniIndexOutOfRange;
        return file.document.SetArrayItem(array, static_cast<size_t>(index), text) ? kIniOk : kIniIndexOutOfRange;
    });
}

INI_EXPORT int32_t RemoveArrayItemAt(IniFileHandle handle, const char* array, int32_t index)
{
    if (!array) return kIniFailed;
    return Files().With(handle, [&](OpenFile& file) -> int32_t {
        if (index < 0) return kIniIndexOutOfRange;
        return file.document.RemoveArrayItem(array, static_cast<size_t>(index)) ? kIniOk : kIniIndexOutOfRange;
    });
}
