#include "TarselKeyboard.h"
#include "TarselStateFile.h"

// Kept in a file of its own under a plain C name: an executable exports this
// symbol (see CMakeLists.txt), and a loaded library that carries its own copy
// then binds to the executable's, so both see one keyboard.
extern "C" __attribute__((visibility("default"))) Platform::TarselKeyboard* TarselKeyboardSharedInstance()
{
    static Platform::TarselKeyboard keyboard;
    // Made after the keyboard, so it is ended (its poll thread stopped) first.
    static const std::unique_ptr<Platform::TarselStateFile> stateFile =
        Platform::TarselStateFile::FromEnvironment(keyboard);
    return &keyboard;
}
