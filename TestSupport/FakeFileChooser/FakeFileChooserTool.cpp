// A stand-in for the desktop's file chooser program in end-to-end tests,
// named by TARSEL_FILE_CHOOSER. It takes whatever arguments it is given (the
// editor speaks to it as to zenity), answers the path in
// FAKE_CHOOSER_ANSWER (exit 0) or cancels (exit 1) when that is unset, and
// appends one line per run to the file FAKE_CHOOSER_LOG when that is set:
// its arguments separated by tabs, with "\", tab and newline written as
// "\\", "\t" and "\n".
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Escaped(const std::string& argument)
{
    std::string text;
    for (const char c : argument) {
        switch (c) {
        case '\\': text += "\\\\"; break;
        case '\t': text += "\\t"; break;
        case '\n': text += "\\n"; break;
        default: text += c;
        }
    }
    return text;
}

bool AppendToLog(const char* path, int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) line += (i > 1 ? "\t" : "") + Escaped(argv[i]);
    line += "\n";
    FILE* log = std::fopen(path, "a");
    if (!log) return false;
    const bool written = std::fwrite(line.data(), 1, line.size(), log) == line.size();
    return std::fclose(log) == 0 && written;
}

}  // namespace

int main(int argc, char** argv)
{
    if (const char* log = std::getenv("FAKE_CHOOSER_LOG"); log && *log && !AppendToLog(log, argc, argv)) {
        // As a chooser that failed: the editor reports standard error's first line.
        std::fprintf(stderr, "fake file chooser: cannot append to %s\n", log);
        return 2;
    }
    const char* answer = std::getenv("FAKE_CHOOSER_ANSWER");
    if (!answer) return 1;
    std::printf("%s\n", answer);
    return std::fflush(stdout) == 0 ? 0 : 2;
}
