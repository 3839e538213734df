#pragma once
// One running instance per user: the first start holds an flock on
// "<name>.lock" and listens on the Unix-domain socket "<name>.socket", both
// in the runtime folder; a later start finds the lock held and hands its
// text to the running instance. A lock file nobody holds is free to take.
// Before taking its own, a start looks at the lock in every other folder an
// earlier start may have chosen (RuntimeFolders), so a folder that became
// usable again never hides a running instance.
// The lock and socket are closed on exec, so children never keep them.
//
// Every call belongs to one thread (the UI thread); the listener thread
// only fills its own locked queue.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "InstanceListener.h"
#include "RuntimeFolder.h"
#include "UniqueFd.h"

namespace Platform::SingleInstance {

class InstanceGuard {
public:
    enum class Role {
        kFirst,         // the lock is ours (or cannot be had): run in full
        kOtherRunning,  // another process holds the lock: never run in full
    };

    // name: the program's lock name (the main window class name followed
    // by "Prevent"); wake runs on the listener thread after each text.
    // Lock and socket live in the folder the environment's choices give.
    InstanceGuard(std::string name, InstanceListener::WakeFunction wake);
    // ... or the one these choices give.
    InstanceGuard(std::string name, InstanceListener::WakeFunction wake, FolderChoices choices);
    // ... or in this folder, looked in alone.
    InstanceGuard(std::string name, InstanceListener::WakeFunction wake, std::string folder);
    // Stops the listener, removes the socket and releases the lock.
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // Decides once; later calls answer the same.
    Role Acquire();
    // Whether the first instance takes hand-overs (its socket is up).
    bool IsListening() const { return mListener && mListener->IsRunning(); }
    // Why the guard does not work in full, when it does not.
    const std::string& GetProblem() const { return mProblem; }

    // In a later start: true when a running instance took the text. Tries
    // again until the deadline while it is busy or not listening yet.
    bool SendToRunning(std::string_view utf8);
    // In the first instance: the texts taken since the last call, oldest first.
    std::vector<std::string> TakeReceived();

    std::string GetLockPath() const { return mFolder + "/" + mName + ".lock"; }
    std::string GetSocketPath() const { return mFolder + "/" + mName + ".socket"; }

    // How long a later start's whole hand-over may take, answer included.
    static constexpr int kSendTimeoutMs = 1000;

private:
    void ChooseFolders();
    Role TakeLock();
    void Listen();

    std::string mName;
    std::string mFolder;
    std::optional<FolderChoices> mChoices;  // none: the folder was given
    std::vector<std::string> mOtherFolders;  // looked in before the lock is taken
    InstanceListener::WakeFunction mWake;
    bool mDecided = false;
    Role mRole = Role::kFirst;
    std::string mProblem;
    UniqueFd mLock;
    bool mSocketBound = false;
    std::unique_ptr<InstanceListener> mListener;
};

}  // namespace Platform::SingleInstance
