#include "QVFolders.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace QV {
namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxLongPath = 260;

bool IsSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

// The file-system path, with "\" read as a separator.
fs::path ToFsPath(const String& path)
{
    std::string utf8 = NarrowString(path).GetChars();
    std::replace(utf8.begin(), utf8.end(), '\\', '/');
    return fs::path(utf8);
}

bool IsFolder(const fs::path& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

bool Exists(const fs::path& path)
{
    std::error_code error;
    return fs::exists(path, error);
}

bool MatchFrom(const char16_t* name, const char16_t* pattern)
{
    // Iterative matching with one back-track point for the last "*".
    const char16_t* star = nullptr;
    const char16_t* resume = nullptr;
    while (*name) {
        if (*pattern == u'*') {
            star = pattern++;
            resume = name;
        } else if (*pattern == u'?' || (*pattern && *pattern == *name)) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == u'*') ++pattern;
    return *pattern == 0;
}

}  // namespace

QVResult EnsureFolderExists(const String& path)
{
    const fs::path folder = ToFsPath(path);
    if (IsFolder(folder)) return kNothingToDo;
    if (Exists(folder)) return E_FAIL;
    CreateFolderPath(path, false);
    return IsFolder(folder) ? S_OK : E_FAIL;
}

bool CreateFolderPath(const String& path, bool pathNamesFile)
{
    const char16_t* units = path.GetChars();
    const int32_t length = path.GetLength();
    int32_t lastSeparator = -1;
    std::error_code ignored;
    for (int32_t i = 1; i < length; ++i) {
        if (!IsSeparator(units[i])) continue;
        lastSeparator = i;
        fs::create_directory(ToFsPath(path.Left(i)), ignored);
    }
    if (!pathNamesFile) {
        if (length > 0) fs::create_directory(ToFsPath(path), ignored);
        return length > 0 && Exists(ToFsPath(path));
    }
    if (lastSeparator < 0) return true;
    return IsFolder(ToFsPath(path.Left(lastSeparator)));
}

bool FileExists(const String& path)
{
    const fs::path file = ToFsPath(path);
    return Exists(file) && !IsFolder(file);
}

String GetLongPath(const String& path)
{
    std::error_code error;
    const fs::path resolved = fs::canonical(ToFsPath(path), error);
    if (error) return path;
    String longPath(resolved.string().c_str());
    return static_cast<size_t>(longPath.GetLength()) <= kMaxLongPath ? longPath : path;
}

bool MatchesWildcard(const String& name, const String& pattern)
{
    const String lowerPattern = (pattern == u"*.*") ? String(u"*") : pattern.ToLower();
    return MatchFrom(name.ToLower().GetChars(), lowerPattern.GetChars());
}

QVResult ListFilesInFolder(const String& folder, const String& pattern, IArray<String>& paths)
{
    (void)paths.SetCount(0);  // shrinking cannot fail
    const fs::path folderPath = ToFsPath(folder);
    if (!IsFolder(folderPath)) return E_NOTIMPL;

    std::error_code error;
    fs::directory_iterator it(folderPath, error);
    if (error) return E_FAIL;
    std::vector<String> names;
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) return E_FAIL;
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        String name(it->path().filename().string().c_str());
        if (MatchesWildcard(name, pattern)) names.push_back(name);
    }
    if (error) return E_FAIL;
    std::sort(names.begin(), names.end(), [](const String& a, const String& b) {
        const String lowerA = a.ToLower();
        const String lowerB = b.ToLower();
        if (lowerA == lowerB) return a < b;
        return lowerA < lowerB;
    });
    for (const String& name : names) {
        if (Failed(paths.AddItem(folder + String(u"/") + name))) return E_OUTOFMEMORY;
    }
    return static_cast<QVResult>(paths.GetCount());
}

String MakeValidFileName(const String& text)
{
    String valid = text;
    valid.ReplaceChars(u"\\/:*?\"<>|&;,^()", u'_');
    return valid;
}

String GetParentFolder(const String& path)
{
    const char16_t* units = path.GetChars();
    for (int32_t i = path.GetLength() - 1; i >= 0; --i) {
        if (!IsSeparator(units[i])) continue;
        // A separator that begins the path is the root, which stays.
        return i == 0 ? path.Left(1) : path.Left(i);
    }
    return String();
}

}  // namespace QV
