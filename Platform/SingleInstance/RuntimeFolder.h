#pragma once
// Where the single-instance lock and socket live: the user's runtime folder
// ($XDG_RUNTIME_DIR), else a private folder of the user under /tmp.
#include <string>

namespace Platform::SingleInstance {

// xdgRuntimeDir (may be null) when it is an absolute path, else
// PrivateFolder("/tmp", "tarsel-<uid>"); empty when neither can be used.
std::string RuntimeFolder(const char* xdgRuntimeDir);
// The folder from the environment.
std::string RuntimeFolder();

// base/name, made with mode 0700 when missing. Empty unless it is a real
// folder (not a link) owned by this user that no one else may enter, so
// another user cannot plant or read the lock and socket.
std::string PrivateFolder(const std::string& base, const std::string& name);

}  // namespace Platform::SingleInstance
