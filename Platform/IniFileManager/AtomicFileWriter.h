#pragma once
// Replaces a file's content so that the old or the new content is there,
// never a mix or nothing: a temporary file in the same folder is written and
// synced, then renamed over the target.
//
// A temporary file is named ".<target>.tmp-<pid>-XXXXXX" and locked (flock)
// by its writer until it is renamed or removed. One whose writer died (its
// process is gone and its lock is free) is stale: the next Stage or
// RemoveStaleTemporaries for that target removes it.
#include <string>
#include <string_view>

namespace Platform {

class AtomicFileWriter {
public:
    // The new content written and synced beside the target, not yet in place.
    // The temporary file is removed unless it was committed.
    class Staged {
    public:
        Staged() = default;
        ~Staged();
        Staged(Staged&& other) noexcept;
        Staged& operator=(Staged&& other) noexcept;
        Staged(const Staged&) = delete;
        Staged& operator=(const Staged&) = delete;

        bool IsValid() const { return !mTemporaryPath.empty(); }
        const std::string& GetTemporaryPath() const { return mTemporaryPath; }

    private:
        friend class AtomicFileWriter;
        void Discard();

        std::string mTargetPath;
        std::string mTemporaryPath;
        int mLockedFd = -1;  // holds the lock while staged
    };

    // Writes content to a new temporary file beside path and syncs it.
    // An invalid result (with error set) leaves nothing behind.
    static Staged Stage(const std::string& path, std::string_view content, std::string* error);
    // Renames the staged file over its target and syncs the folder.
    static bool Commit(Staged& staged, std::string* error);

    // Removes the stale temporary files of earlier writers of path.
    static void RemoveStaleTemporaries(const std::string& path);

    // Stage and Commit in one step.
    static bool Write(const std::string& path, std::string_view content, std::string* error);
};

}  // namespace Platform
