#include "TarselStateFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>

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

// Readers see the old file or the new one, never a part. No fsync: the file
// serves processes running now, not a restart after a crash.
bool WriteAtomically(const std::string& path, const std::string& text, std::string& problem)
{
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            problem = "cannot write " + temporary;
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        problem = "cannot replace it: " + error.message();
        return false;
    }
    return true;
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
    std::map<int, std::vector<std::uint8_t>> all;
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
    std::map<int, std::vector<std::uint8_t>> edited;
    {
        std::lock_guard lock(mMutex);
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
        // Only what the other process edited: a change made here meanwhile stays.
        for (int i = 0; i < kTarselParameterCount; ++i) {
            if ((*parsed.blobs)[i] != mKnownBlobs[i]) {
                edited[i] = (*parsed.blobs)[i];
            }
        }
        mKnownBlobs = *parsed.blobs;
    }
    if (!edited.empty()) {
        mKeyboard.SetBlobs(edited, TarselChangeSource::Keyboard);
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
    const std::string text = FormatTarselState(blobs);
    std::string problem;
    if (!WriteAtomically(mPath, text, problem)) {
        Report(problem + "; the keyboard's values are not saved");
        return;
    }
    mKnownText = text;
    mKnownBlobs = blobs;
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
