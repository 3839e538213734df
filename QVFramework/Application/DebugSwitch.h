#pragma once
// The debug switch of the command line: "-DEBUG_CONSOLE" opens the debug
// console; "-DEBUG_CONSOLE:port[:host]" sends the debug log over UDP instead.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace QV {

struct DebugSwitch {
    bool openConsole = false;
    // Set for the UDP form with a port field that is a number 1..65535.
    std::optional<int32_t> port;
    std::optional<std::string> host;
    // Why the port field was refused; the console is opened instead.
    std::optional<std::string> error;
};

// Upper-cases commandLine byte by byte (switches match without regard to
// case) and reads the switch. A host is taken only when its ":" comes before
// the first blank after the port.
DebugSwitch ParseDebugSwitch(std::string_view commandLine);

}  // namespace QV
