#include "TarselKeyboard.h"

// A loadable library that carries its own copy of the keyboard library, as the
// simulated device-control library does.
extern "C" __attribute__((visibility("default"))) Platform::TarselKeyboard* TarselKeyboardProbe()
{
    return &Platform::GetTarselKeyboard();
}
