// The command line comes from anyone who starts the editor. Random bytes as
// arguments (split at NUL): the joined text is valid UTF-8 holding every
// argument whole, and the debug switch read from it names a port 1..65535
// or none.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CommandLine.h"
#include "DebugSwitch.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> arguments(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            arguments.emplace_back();
        } else {
            arguments.back().push_back(static_cast<char>(data[i]));
        }
    }
    std::vector<const char*> argv;
    std::string expected;
    for (const std::string& argument : arguments) {
        const std::string valid = QV::ToValidUtf8(argument);
        Check(QV::ToValidUtf8(valid) == valid);
        if (!argv.empty()) expected.push_back(' ');
        expected += valid.empty() || valid.find(' ') != std::string::npos ? "\"" + valid + "\"" : valid;
        argv.push_back(argument.c_str());
    }
    const std::string joined = QV::JoinCommandLine(static_cast<int>(argv.size()), argv.data()).ToUtf8();
    Check(joined == expected);

    const QV::DebugSwitch debug = QV::ParseDebugSwitch(joined);
    if (debug.port) Check(*debug.port >= 1 && *debug.port <= 65535 && !debug.error);
    if (debug.error) Check(debug.openConsole && !debug.port);
    return 0;
}
