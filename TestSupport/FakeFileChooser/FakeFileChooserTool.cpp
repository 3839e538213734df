// A stand-in for the desktop's file chooser program in end-to-end tests,
// named by TARSEL_FILE_CHOOSER. It takes whatever arguments it is given (the
// editor speaks to it as to zenity), answers the path in
// FAKE_CHOOSER_ANSWER (exit 0) or cancels (exit 1) when that is unset, and
// appends one line per run to the file FAKE_CHOOSER_LOG when that is set
// (ArgumentLog.h).
#include <cstdio>
#include <cstdlib>

#include "ArgumentLog.h"

int main(int argc, char** argv)
{
    const char* log = std::getenv("FAKE_CHOOSER_LOG");
    if (log && *log && !TestSupport::AppendToFile(log, TestSupport::ArgumentLine(argc, argv))) {
        // As a chooser that failed: the editor reports standard error's first line.
        std::fprintf(stderr, "fake file chooser: cannot append to %s\n", log);
        return 2;
    }
    const char* answer = std::getenv("FAKE_CHOOSER_ANSWER");
    if (!answer) return 1;
    std::printf("%s\n", answer);
    return std::fflush(stdout) == 0 ? 0 : 2;
}
