#include "RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace Platform::SingleInstance {
namespace {

std::string CacheHome()
{
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && cache[0] == '/') return cache;
    if (const char* home = std::getenv("HOME"); home && home[0] == '/') return std::string(home) + "/.cache";
    return {};
}

// Makes path and its missing parents, new ones private.
bool MakeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
    }
}

}  // namespace

std::string RuntimeFolder(const FolderChoices& choices)
{
    if (choices.xdgRuntimeDir && choices.xdgRuntimeDir[0] == '/' && IsPrivateFolder(choices.xdgRuntimeDir))
        return choices.xdgRuntimeDir;
    const std::string name = "tarsel-" + std::to_string(::getuid());
    if (std::string folder = PrivateFolder(choices.tmp, name); !folder.empty()) return folder;
    // The name under /tmp is taken by someone else: a folder only this user reaches.
    if (choices.cacheHome.empty() || !MakeFolders(choices.cacheHome)) return {};
    return PrivateFolder(choices.cacheHome, name);
}

std::string RuntimeFolder()
{
    return RuntimeFolder(FolderChoices{std::getenv("XDG_RUNTIME_DIR"), "/tmp", CacheHome()});
}

bool IsPrivateFolder(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & 077) == 0;
}

std::string PrivateFolder(const std::string& base, const std::string& name)
{
    const std::string path = base + "/" + name;
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return {};
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::getuid() || (info.st_mode & 077) != 0) return {};
    return path;
}

}  // namespace Platform::SingleInstance
