#pragma once

// Keeps the simulated keyboard's blobs in a text file (TarselStateText.h) so
// another process, such as an end-to-end test, can read and change them.
// The file is loaded when bound (written when missing; when malformed, left
// alone with a message and the keyboard unchanged), rewritten after every
// change of a blob, and looked at every poll interval: a rewrite by someone
// else is applied as a change made on the keyboard itself. A write swaps
// the file into place and looks at the one it replaced, so an edit made
// since the last look is applied at the next poll instead of being lost.
//
// Concurrency: writes run on the thread that changed the keyboard, looks on
// the poll thread; both hold mMutex over the file, and the poll thread
// releases it before it changes the keyboard.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "TarselKeyboard.h"

namespace Platform {

inline constexpr const char* kTarselStateVariable = "TARSEL_SIMULATOR_STATE";

// Blobs by parameter index.
using TarselEdits = std::map<int, std::vector<std::uint8_t>>;

class TarselStateFile {
public:
    using ErrorSink = std::function<void(const std::string& message)>;

    // A zero interval starts no poll thread; Poll then runs only when called.
    // Errors go to standard error unless a sink is given.
    TarselStateFile(TarselKeyboard& keyboard, std::string path,
                    std::chrono::milliseconds pollInterval = std::chrono::milliseconds(100), ErrorSink errors = {});
    ~TarselStateFile();
    TarselStateFile(const TarselStateFile&) = delete;
    TarselStateFile& operator=(const TarselStateFile&) = delete;

    // Bound to the file the environment names; none when it names none.
    static std::unique_ptr<TarselStateFile> FromEnvironment(TarselKeyboard& keyboard);

    // One look at the file, as the poll thread takes it.
    void Poll();

private:
    void Load();
    // Reads the file; what another process changed since the last look joins edited.
    void ReadOutsideEdits(TarselEdits& edited);
    // The blobs of theirs that differ from the file as last known.
    void AddEdits(const TarselBlobs& theirs, TarselEdits& edited) const;
    void Write();
    void WriteLocked();
    // A file our write replaced that held an edit not yet seen: its edits
    // wait for the next poll. False when it was malformed (put back, refused).
    bool KeepUnseenEdits(const std::string& text);
    void Run();
    // Marks the file malformed: it is left alone until someone rewrites it.
    void Refuse(const std::string& problem);
    void Report(const std::string& problem);

    TarselKeyboard& mKeyboard;
    const std::string mPath;
    ErrorSink mErrors;

    std::mutex mMutex;
    std::string mKnownText;     // the file as we last wrote or read it
    TarselBlobs mKnownBlobs;    // its blobs, the last time it held valid ones
    bool mFileRefused = false;  // the file on disk is malformed: left alone
    TarselEdits mUnseenEdits;   // outside edits a write of ours replaced
    int mListenerToken = 0;

    std::mutex mStopMutex;
    std::condition_variable mStopWake;
    bool mStopping = false;
    std::thread mPollThread;
    const std::chrono::milliseconds mPollInterval;
};

}  // namespace Platform
