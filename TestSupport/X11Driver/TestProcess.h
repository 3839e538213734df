#pragma once
// A program started by a test and watched while the test drives it: extra
// environment variables, its standard output and error kept in files, a wait
// for its exit with a time-out, and a kill when the test is done with it.
#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace TestSupport {

class TestProcess {
public:
    // Starts argv[0] (a path, or a name looked up in PATH) with the test's
    // environment plus `environment` (which wins over the inherited values).
    // Standard input is /dev/null.
    TestProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& environment = {});
    // Kills the program when it still runs.
    ~TestProcess();
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    bool Started() const { return mPid > 0; }
    const std::string& Error() const { return mError; }
    pid_t Pid() const { return mPid; }

    bool IsRunning();
    // The exit code once it has exited within `timeout`; none when it still
    // runs then, or was ended by a signal (see Signal).
    std::optional<int> WaitForExit(std::chrono::milliseconds timeout);
    // SIGTERM, then SIGKILL when it has not ended after `grace`.
    void Kill(std::chrono::milliseconds grace = std::chrono::seconds(2));
    // The signal that ended it, 0 when none did.
    int Signal() const { return mSignal; }

    // What it wrote so far.
    std::string Output() const;
    std::string ErrorOutput() const;

private:
    bool Reap(bool block);

    pid_t mPid = -1;
    bool mEnded = false;
    int mExitCode = -1;
    int mSignal = 0;
    std::string mError;
    std::string mFolder;  // holds the captured output
};

}  // namespace TestSupport
