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

std::string OwnName()
{
    return "tarsel-" + std::to_string(::getuid());
}

bool IsPrivateRuntimeDir(const char* path)
{
    return path && path[0] == '/' && IsPrivateFolder(path);
}

}  // namespace

FolderChoices EnvironmentFolderChoices()
{
    return FolderChoices{std::getenv("XDG_RUNTIME_DIR"), "/tmp", CacheHome()};
}

std::string RuntimeFolder(const FolderChoices& choices)
{
    if (IsPrivateRuntimeDir(choices.xdgRuntimeDir)) return choices.xdgRuntimeDir;
    const std::string name = OwnName();
    if (std::string folder = PrivateFolder(choices.tmp, name); !folder.empty()) return folder;
    // The name under /tmp is taken by someone else: a folder only this user reaches.
    if (choices.cacheHome.empty() || !MakeFolders(choices.cacheHome)) return {};
    return PrivateFolder(choices.cacheHome, name);
}

std::vector<std::string> RuntimeFolders(const FolderChoices& choices)
{
    std::vector<std::string> folders;
    if (IsPrivateRuntimeDir(choices.xdgRuntimeDir)) folders.emplace_back(choices.xdgRuntimeDir);
    for (const std::string& base : {choices.tmp, choices.cacheHome}) {
        const std::string path = base + "/" + OwnName();
        if (!base.empty() && IsOwnRealFolder(path)) folders.push_back(path);
    }
    return folders;
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
    return IsOwnRealFolder(path) ? path : std::string();
}

bool IsOwnRealFolder(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & 077) == 0;
}

}  // namespace Platform::SingleInstance
