#pragma once
// What a set of message-box flags shows: the buttons in Windows order with
// their answers, the icon, and the answers for Enter and for closing.
#include <cstdint>
#include <vector>

namespace Platform {

struct MessageBoxButton {
    int32_t answer = 0;
    const char* label = "";
};

struct MessageBoxLayout {
    enum class Icon { kNone, kError, kQuestion, kWarning, kInformation };

    std::vector<MessageBoxButton> buttons;
    Icon icon = Icon::kNone;
    // The first button, which Enter presses.
    int32_t defaultAnswer = 0;
    // Escape or closing the box: Cancel when the box has it, No in a
    // yes/no box, else OK.
    int32_t closeAnswer = 0;

    // Unknown button sets show OK; unknown icons none.
    static MessageBoxLayout For(uint32_t flags);
};

}  // namespace Platform
