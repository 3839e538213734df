#pragma once
// The argument log of the fake dialog programs: one line per run, the
// arguments separated by tabs, with "\", tab and newline written as "\\",
// "\t" and "\n".
#include <cstdio>
#include <string>

namespace TestSupport {

inline std::string ArgumentLine(int argc, char** argv)
{
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += '\t';
        for (const char c : std::string(argv[i])) {
            switch (c) {
            case '\\': line += "\\\\"; break;
            case '\t': line += "\\t"; break;
            case '\n': line += "\\n"; break;
            default: line += c;
            }
        }
    }
    return line + "\n";
}

inline bool AppendToFile(const char* path, const std::string& text)
{
    FILE* file = std::fopen(path, "a");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace TestSupport
