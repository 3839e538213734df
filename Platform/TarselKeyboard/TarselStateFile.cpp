#include "TarselStateFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <utility>

#include "FileDescriptor.h"
#include "TarselStateText.h"

namespace Platform {
namespace {

// Far above the real size; a bigger file is not ours.
constexpr std::size_t kMaxFileSize = 64 * 1024;

enum class ReadOutcome { Read, Missing, Failed };

// Only a regular file, read whole: a FIFO or a device is never waited on.
ReadOutcome ReadFile(const std::string& path, std::string& text, std::string& problem)
{
    int openErrno = 0;
    std::optional<std::string> content = Files::ReadWhole(path, kMaxFileSize, &problem, &openErrno);
    if (!content) {
        if (openErrno == ENOENT) {
            return ReadOutcome::Missing;
        }
        problem = "cannot read it: " + problem;
        return ReadOutcome::Failed;
    }
    text = std::move(*content);
    return ReadOutcome::Read;
}

bool WriteTemporary(const std::string& temporary, const std::string& text, std::string& problem)
{
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (out) {
        return true;
    }
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    problem = "cannot write " + temporary;
    return false;
}

// Puts temporary in path's place in one step. What it replaced comes back in
// `replaced` (none when there was no file, or the file system cannot swap),
// so an edit that landed since the last look is never overwritten unseen.
bool SwapIntoPlace(const std::string& temporary, const std::string& path, std::optional<std::string>& replaced,
                   std::string& problem)
{
    for (;;) {
        if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0) {
            std::string why;
            replaced = Files::ReadWhole(temporary, kMaxFileSize, &why);
            if (!replaced) {
                // Not a file we may replace: back as it was.
                ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE);
                problem = "cannot replace it: " + why;
            }
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return replaced.has_value();
        }
        if (errno == ENOENT &&
            ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
            return true;
        }
        if (errno == EEXIST) {
            continue;  // made meanwhile: swap with it
        }
        if (errno == EINVAL && ::rename(temporary.c_str(), path.c_str()) == 0) {
            return true;
        }
        problem = std::string("cannot replace it: ") + std::strerror(errno);
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
}

// Readers see the old file or the new one, never a part. No fsync: the file
// serves processes running now, not a restart after a crash.
bool WriteAtomically(const std::string& path, const std::string& text, std::optional<std::string>& replaced,
                     std::string& problem)
{
    replaced.reset();
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    return WriteTemporary(temporary, text, problem) && SwapIntoPlace(temporary, path, replaced, problem);
}

}  // namespace

TarselStateFile::TarselStateFile(TarselKeyboard& keyboard, std::string path, std::chrono::milliseconds pollInterval,
                                 ErrorSink errors)
    : mKeyboard(keyboard), mPath(std::move(path)), mErrors(std::move(errors)), mPollInterval(pollInterval)
{
    Load();
    mListenerToken = mKeyboard.AddChangeListener([this](const std::vector<int>&, TarselChangeSource) { Write(); });
    if (mPollInterval.count() > 0) {
        mPollThread = std::thread([this] { Run(); });
    }
}

TarselStateFile::~TarselStateFile()
{
    {
        std::lock_guard lock(mStopMutex);
        mStopping = true;
    }
    mStopWake.notify_all();
    if (mPollThread.joinable()) {
        mPollThread.join();
    }
    mKeyboard.RemoveChangeListener(mListenerToken);
}

std::unique_ptr<TarselStateFile> TarselStateFile::FromEnvironment(TarselKeyboard& keyboard)
{
    const char* path = std::getenv(kTarselStateVariable);
    if (path == nullptr || *path == '\0') {
        return nullptr;
    }
    return std::make_unique<TarselStateFile>(keyboard, path);
}

void TarselStateFile::Load()
{
    TarselEdits all;
    {
        std::lock_guard lock(mMutex);
        mKnownBlobs = mKeyboard.GetAllBlobs();
        std::string text;
        std::string problem;
        switch (ReadFile(mPath, text, problem)) {
        case ReadOutcome::Missing: WriteLocked(); return;
        case ReadOutcome::Failed: Refuse(problem); return;
        case ReadOutcome::Read: break;
        }
        mKnownText = text;
        TarselStateParse parsed = ParseTarselState(text);
        if (!parsed.blobs) {
            Refuse(parsed.error);
            return;
        }
        mKnownBlobs = *parsed.blobs;
        for (int i = 0; i < kTarselParameterCount; ++i) {
            all[i] = mKnownBlobs[i];
        }
    }
    // No listener of ours is registered yet, so this writes nothing back.
    mKeyboard.SetBlobs(all, TarselChangeSource::Keyboard);
}

void TarselStateFile::Poll()
{
    TarselEdits edited;
    {
        std::lock_guard lock(mMutex);
        edited = std::exchange(mUnseenEdits, {});
        ReadOutsideEdits(edited);
    }
    if (!edited.empty()) {
        mKeyboard.SetBlobs(edited, TarselChangeSource::Keyboard);
    }
}

void TarselStateFile::ReadOutsideEdits(TarselEdits& edited)
{
    std::string text;
    std::string problem;
    // A missing or unreadable file is rewritten at the next change.
    if (ReadFile(mPath, text, problem) != ReadOutcome::Read || text == mKnownText) {
        return;
    }
    mKnownText = text;
    TarselStateParse parsed = ParseTarselState(text);
    if (!parsed.blobs) {
        Refuse(parsed.error);
        return;
    }
    mFileRefused = false;
    AddEdits(*parsed.blobs, edited);
    mKnownBlobs = *parsed.blobs;
}

void TarselStateFile::AddEdits(const TarselBlobs& theirs, TarselEdits& edited) const
{
    // Only what the other process edited: a change made here meanwhile stays.
    for (int i = 0; i < kTarselParameterCount; ++i) {
        if (theirs[i] != mKnownBlobs[i]) {
            edited[i] = theirs[i];
        }
    }
}

void TarselStateFile::Write()
{
    std::lock_guard lock(mMutex);
    WriteLocked();
}

void TarselStateFile::WriteLocked()
{
    if (mFileRefused) {
        return;
    }
    const TarselBlobs blobs = mKeyboard.GetAllBlobs();
    // A change made here is newer than an outside edit still waiting.
    for (int i = 0; i < kTarselParameterCount; ++i) {
        if (blobs[i] != mKnownBlobs[i]) {
            mUnseenEdits.erase(i);
        }
    }
    const std::string text = FormatTarselState(blobs);
    std::string problem;
    std::optional<std::string> replaced;
    if (!WriteAtomically(mPath, text, replaced, problem)) {
        Report(problem + "; the keyboard's values are not saved");
        return;
    }
    if (replaced && *replaced != mKnownText && !KeepUnseenEdits(*replaced)) {
        return;
    }
    mKnownText = text;
    mKnownBlobs = blobs;
}

bool TarselStateFile::KeepUnseenEdits(const std::string& text)
{
    TarselStateParse parsed = ParseTarselState(text);
    if (parsed.blobs) {
        AddEdits(*parsed.blobs, mUnseenEdits);
        return true;
    }
    // Malformed: put back and left alone, as a poll would have found it.
    std::optional<std::string> ignored;
    std::string problem;
    if (!WriteAtomically(mPath, text, ignored, problem)) {
        Report(problem);
    }
    mKnownText = text;
    Refuse(parsed.error);
    return false;
}

void TarselStateFile::Run()
{
    std::unique_lock lock(mStopMutex);
    while (!mStopWake.wait_for(lock, mPollInterval, [this] { return mStopping; })) {
        lock.unlock();
        Poll();
        lock.lock();
    }
}

void TarselStateFile::Refuse(const std::string& problem)
{
    mFileRefused = true;
    Report(problem + "; the keyboard keeps its values and the file is left as it is");
}

void TarselStateFile::Report(const std::string& problem)
{
    const std::string message = "Tarsel simulator: " + mPath + ": " + problem;
    if (mErrors) {
        mErrors(message);
    } else {
        std::cerr << message << std::endl;
    }
}

}  // namespace Platform
