#include "DebugSwitch.h"


namespace QV {
namespace {

constexpr std::string_view kConsole = "-DEBUG_CONSOLE";
constexpr std::string_view kUdp = "-DEBUG_CONSOLE:";

std::string UpperCase(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

}  // namespace

DebugSwitch ParseDebugSwitch(std::string_view commandLine)
{
    DebugSwitch result;
    const std::string text = UpperCase(commandLine);
    if (text.find(kConsole) == std::string::npos) return result;
    const size_t at = text.find(kUdp);
    if (at == std::string::npos) {
        result.openConsole = true;
        return result;
    }
    const size_t start = at + kUdp.size();
    const size_t blank = text.find(' ', start);
    const size_t colon = text.find(':', start);
    // A ":" past the blank belongs to another argument, not to this switch.
    const bool hasHost = colon != std::string::npos && colon < blank;
    const size_t end = hasHost ? colon : (blank != std::string::npos ? blank : text.size());
    const std::string field = text.substr(start, end - start);
    int32_t port = 0;
    for (const char c : field) {
        port = (c >= '0' && c <= '9' && port <= 65535) ? port * 10 + (c - '0') : -1;
        if (port < 0) break;
    }
    if (port < 1 || port > 65535) {
        result.error = "-DEBUG_CONSOLE: the port \"" + field + "\" is not a number 1..65535; the console is used";
        result.openConsole = true;
        return result;
    }
    result.port = port;
    if (hasHost) {
        const size_t hostEnd = blank != std::string::npos ? blank : text.size();
        if (hostEnd > colon + 1) result.host = text.substr(colon + 1, hostEnd - colon - 1);
    }
    return result;
}

}  // namespace QV
