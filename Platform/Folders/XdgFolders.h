#pragma once
// The Linux homes of the Windows shell folders the editor uses, after the
// XDG base-directory rules. Each answer is an absolute path without a
// trailing separator, or empty when even the home folder is unknown.
#include <functional>
#include <string>

namespace Platform {

// Reads one environment variable; null when unset. Tests pass their own.
using EnvironmentLookup = std::function<const char*(const char* name)>;

// The process environment (getenv).
const char* ReadProcessEnvironment(const char* name);

// $HOME, else the password database's home of the current user.
std::string GetHomeFolder(const EnvironmentLookup& env = ReadProcessEnvironment);
// All users' application data: $XDG_DATA_HOME, else ~/.local/share.
std::string GetAllUsersAppDataFolder(const EnvironmentLookup& env = ReadProcessEnvironment);
// The user's local application data: $XDG_CONFIG_HOME, else ~/.config.
std::string GetUserAppDataFolder(const EnvironmentLookup& env = ReadProcessEnvironment);
// Documents: $XDG_DOCUMENTS_DIR, else ~/Documents.
std::string GetDocumentsFolder(const EnvironmentLookup& env = ReadProcessEnvironment);

}  // namespace Platform
