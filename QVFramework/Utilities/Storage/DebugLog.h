#pragma once
// The process-wide debug log: a narrow and a wide stream whose flushed text
// goes to the debugger output or, once an endpoint with a port is set, out as
// UDP datagrams. The debug console sends the log to standard error instead.
//
//   QV::DebugLog::GetNarrowStream() << "engine started" << std::endl;
//   QV::DebugLog::GetWideStream() << name.GetChars() << u"\n" << std::flush;
//
// The log is built before the static objects of every file that includes
// this header and ends after them, so it may be written and flushed from
// their constructors and destructors.
#include <cstdint>
#include <ostream>
#include <string>

#include "WideStandardErrorBuf.h"
#include "basic_dostream.h"

namespace QV {

class DebugLog {
public:
    static DebugLog& GetInstance();

    // A given host name replaces the host (an empty one clears it); the port
    // is set in any case. Called once at start-up for "-DEBUG_CONSOLE:".
    static void SetEndpoint(const char* hostName, int32_t port);

    // The streams log text goes to: the debug streams, or standard error
    // after OpenDebugConsole.
    static std::ostream& GetNarrowStream();
    static std::basic_ostream<char16_t>& GetWideStream();

    basic_dostream<char>& GetNarrowDebugStream() { return mNarrow; }
    basic_dostream<char16_t>& GetWideDebugStream() { return mWide; }
    const std::string& GetHostName() const { return mEndpoint.hostName; }
    int32_t GetPort() const { return mEndpoint.port; }

    // Points the current streams at standard error; the debug streams still
    // work when written to directly.
    void UseStandardError();

    DebugLog(const DebugLog&) = delete;
    DebugLog& operator=(const DebugLog&) = delete;

private:
    friend class DebugLogLifetime;
    DebugLog();
    ~DebugLog() = default;

    // Declared before the streams, which read it at every flush.
    DebugEndpoint mEndpoint;
    basic_dostream<char> mNarrow;
    basic_dostream<char16_t> mWide;
    WideStandardErrorBuf mWideErrorBuffer;
    std::basic_ostream<char16_t> mWideError;
    std::ostream* mCurrentNarrow;
    std::basic_ostream<char16_t>* mCurrentWide;
};

// Opens the debug console ("-DEBUG_CONSOLE"): standard output and error
// become unbuffered and the log goes to standard error.
void OpenDebugConsole();

// The first of these builds the log, the last one ends it (sending what the
// streams still hold).
class DebugLogLifetime {
public:
    DebugLogLifetime();
    ~DebugLogLifetime();
    DebugLogLifetime(const DebugLogLifetime&) = delete;
    DebugLogLifetime& operator=(const DebugLogLifetime&) = delete;
};

// One per file that includes this header, made before that file's own
// static objects and so destroyed after them.
static DebugLogLifetime sDebugLogLifetime;

}  // namespace QV
