#pragma once
// Where the single-instance lock and socket live: the user's runtime folder
// ($XDG_RUNTIME_DIR) when it is private, else a private folder of the user
// under /tmp, else (when another user took that name) a private folder under
// the user's cache folder. Never a folder another user can enter, so no one
// else can receive a hand-over or switch the guard off.
#include <string>
#include <vector>

namespace Platform::SingleInstance {

struct FolderChoices {
    const char* xdgRuntimeDir = nullptr;  // may be null
    std::string tmp = "/tmp";
    std::string cacheHome;  // $XDG_CACHE_HOME, else $HOME/.cache; empty: none
};

// The choices the environment gives.
FolderChoices EnvironmentFolderChoices();
// The first usable of the three; empty when none can be used.
std::string RuntimeFolder(const FolderChoices& choices);
// Each of the three that exists and is private, whatever took the others:
// where an editor started earlier, under other conditions, may run. None is made.
std::vector<std::string> RuntimeFolders(const FolderChoices& choices);

// Whether path is a folder (links followed) owned by this user that no one
// else may enter.
bool IsPrivateFolder(const std::string& path);
// base/name, made with mode 0700 when missing. Empty unless it is a real
// folder (not a link) owned by this user that no one else may enter, so
// another user cannot plant or read the lock and socket.
std::string PrivateFolder(const std::string& base, const std::string& name);
// Whether path is such a folder, made or not by PrivateFolder.
bool IsOwnRealFolder(const std::string& path);

}  // namespace Platform::SingleInstance
