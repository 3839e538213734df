#include "RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace Platform::SingleInstance {

std::string RuntimeFolder(const char* xdgRuntimeDir)
{
    if (xdgRuntimeDir && xdgRuntimeDir[0] == '/') return xdgRuntimeDir;
    return PrivateFolder("/tmp", "tarsel-" + std::to_string(getuid()));
}

std::string RuntimeFolder()
{
    return RuntimeFolder(std::getenv("XDG_RUNTIME_DIR"));
}

std::string PrivateFolder(const std::string& base, const std::string& name)
{
    const std::string path = base + "/" + name;
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0) return {};
    if (!S_ISDIR(info.st_mode) || info.st_uid != getuid() || (info.st_mode & 077) != 0) return {};
    return path;
}

}  // namespace Platform::SingleInstance
