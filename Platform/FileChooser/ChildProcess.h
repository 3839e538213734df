#pragma once
// Runs a program from an argument array (never through a shell) and collects
// what it writes, calling back while it runs so the caller's loop goes on.
#include <functional>
#include <string>
#include <vector>

namespace Platform::FileChooser {

struct ChildOutcome {
    int spawnError = 0;  // errno when the program could not be started
    bool exited = false;
    int exitCode = -1;
    int signal = 0;  // the signal that ended it, when it did not exit
    std::string out;
    std::string err;
    bool outputCut = false;  // it wrote more than the kept limit
    bool endedByCaller = false;  // whileRunning asked to end it
};

// argv[0] is looked up in PATH unless it holds a "/". whileRunning may be
// empty; otherwise it runs every few milliseconds until the program ends.
// When it answers false the program is ended (SIGTERM, SIGKILL when it
// lingers) and waited for.
ChildOutcome RunChild(const std::vector<std::string>& argv, const std::function<bool()>& whileRunning);

}  // namespace Platform::FileChooser
