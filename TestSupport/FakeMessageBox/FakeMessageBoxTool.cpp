// A stand-in for the desktop's dialog program in end-to-end tests, named by
// TARSEL_MESSAGE_BOX (the editor speaks to it as to zenity). Each run appends
// its arguments to the file FAKE_MESSAGE_BOX_LOG (ArgumentLog.h) and answers
// as the comma-separated list FAKE_MESSAGE_BOX_ANSWERS tells its run: the
// n-th run (the n-th argument line of the log) takes the n-th item, 0 past
// the end. An item is an exit code, or "hold": the box stays open until the
// program is ended by a signal, which it notes in the log as
// "# ended by signal <n>".
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "ArgumentLog.h"

namespace {

int CountRuns(const char* log)
{
    std::ifstream in(log);
    int runs = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("# ", 0) != 0) ++runs;
    }
    return runs;
}

std::string AnswerFor(int run)
{
    const char* answers = std::getenv("FAKE_MESSAGE_BOX_ANSWERS");
    std::istringstream items(answers ? answers : "");
    std::string item;
    for (int i = 0; i < run; ++i) {
        if (!std::getline(items, item, ',')) return "0";
    }
    return item;
}

int HoldUntilEnded(const char* log)
{
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGINT);
    sigaddset(&ending, SIGHUP);
    sigprocmask(SIG_BLOCK, &ending, nullptr);
    int signal = 0;
    sigwait(&ending, &signal);
    TestSupport::AppendToFile(log, "# ended by signal " + std::to_string(signal) + "\n");
    return 128 + signal;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* log = std::getenv("FAKE_MESSAGE_BOX_LOG");
    if (!log || !*log || !TestSupport::AppendToFile(log, TestSupport::ArgumentLine(argc, argv))) {
        std::fprintf(stderr, "fake message box: no log to append to (FAKE_MESSAGE_BOX_LOG)\n");
        return 255;
    }
    const std::string answer = AnswerFor(CountRuns(log));
    if (answer == "hold") return HoldUntilEnded(log);
    return std::atoi(answer.c_str());
}
