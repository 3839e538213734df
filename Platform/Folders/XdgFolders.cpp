#include "XdgFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace Platform {
namespace {

std::string WithoutTrailingSlash(std::string path)
{
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The XDG rules ignore unset, empty and relative values.
std::string FromVariable(const EnvironmentLookup& env, const char* name)
{
    const char* value = env(name);
    if (!value || value[0] != '/') return {};
    return WithoutTrailingSlash(value);
}

std::string UnderHome(const EnvironmentLookup& env, const char* relative)
{
    const std::string home = GetHomeFolder(env);
    if (home.empty()) return {};
    return (home == "/" ? std::string() : home) + "/" + relative;
}

std::string FolderOrHomeDefault(const EnvironmentLookup& env, const char* variable, const char* relative)
{
    std::string folder = FromVariable(env, variable);
    return folder.empty() ? UnderHome(env, relative) : folder;
}

}  // namespace

const char* ReadProcessEnvironment(const char* name) { return std::getenv(name); }

std::string GetHomeFolder(const EnvironmentLookup& env)
{
    std::string home = FromVariable(env, "HOME");
    if (!home.empty()) return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry {};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir ||
        found->pw_dir[0] != '/') {
        return {};
    }
    return WithoutTrailingSlash(found->pw_dir);
}

std::string GetAllUsersAppDataFolder(const EnvironmentLookup& env)
{
    return FolderOrHomeDefault(env, "XDG_DATA_HOME", ".local/share");
}

std::string GetUserAppDataFolder(const EnvironmentLookup& env)
{
    return FolderOrHomeDefault(env, "XDG_CONFIG_HOME", ".config");
}

std::string GetDocumentsFolder(const EnvironmentLookup& env)
{
    return FolderOrHomeDefault(env, "XDG_DOCUMENTS_DIR", "Documents");
}

}  // namespace Platform
