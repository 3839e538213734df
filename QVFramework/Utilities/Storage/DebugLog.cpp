#include "DebugLog.h"

#include <atomic>
#include <iostream>
#include <new>

#include "DebugOutput.h"

namespace QV {

namespace {

// Raw, constant-initialised storage: the log's lifetime is set by the
// DebugLogLifetime count alone, not by where this file falls in the static
// initialisation order.
constinit std::atomic<int> gLifetimes{0};
alignas(DebugLog) unsigned char gStorage[sizeof(DebugLog)];

}  // namespace

DebugLog::DebugLog()
    : mNarrow(mEndpoint),
      mWide(mEndpoint),
      mWideError(&mWideErrorBuffer),
      mCurrentNarrow(&mNarrow),
      mCurrentWide(&mWide)
{
}

DebugLog& DebugLog::GetInstance() { return *std::launder(reinterpret_cast<DebugLog*>(gStorage)); }

void DebugLog::SetEndpoint(const char* hostName, int32_t port)
{
    DebugLog& log = GetInstance();
    if (hostName) {
        log.mEndpoint.hostName = hostName;
    }
    log.mEndpoint.port = port;
}

std::ostream& DebugLog::GetNarrowStream() { return *GetInstance().mCurrentNarrow; }

std::basic_ostream<char16_t>& DebugLog::GetWideStream() { return *GetInstance().mCurrentWide; }

void DebugLog::UseStandardError()
{
    mCurrentNarrow = &std::cerr;
    mCurrentWide = &mWideError;
}

void OpenDebugConsole()
{
    Platform::OpenConsole();
    DebugLog::GetInstance().UseStandardError();
}

DebugLogLifetime::DebugLogLifetime()
{
    if (gLifetimes.fetch_add(1) == 0) {
        new (gStorage) DebugLog();
    }
}

DebugLogLifetime::~DebugLogLifetime()
{
    if (gLifetimes.fetch_sub(1) == 1) {
        DebugLog::GetInstance().~DebugLog();
    }
}

}  // namespace QV
