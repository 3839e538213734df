#pragma once
// Written by scripts/edit-panel-resources.py from the type lists it puts in
// the skin's strings: a type is its item's place in the list and the byte
// the keyboard holds. Change the lists there and run the script.
#include <cstdint>

enum class HardwareButtonType : int32_t {
    kOctave,         // "OCTAVE"
    kProgram,        // "PROGRAM"
    kProgramLatch,   // "PROGRAM LATCH"
    kProgramIncDec,  // "PROGRAM INC/DEC"
    kCCAbsolute,     // "CC ABSOLUTE"
    kCCLatch,        // "CC LATCH"
    kCCIncDec,       // "CC INC/DEC"
    kMMC,            // "MMC"
};
inline constexpr int32_t kHardwareButtonTypeCount = 8;

enum class FootSwitchType : int32_t {
    kNote,          // "NOTE"
    kNoteLatch,     // "NOTE LATCH"
    kProgram,       // "PROGRAM"
    kProgramLatch,  // "PROGRAM LATCH"
    kProgramInc,    // "PROGRAM INC"
    kProgramDec,    // "PROGRAM DEC"
    kCCAbsolute,    // "CC ABSOLUTE"
    kCCLatch,       // "CC LATCH"
    kCCInc,         // "CC INC"
    kCCDec,         // "CC DEC"
    kMMC,           // "MMC"
};
inline constexpr int32_t kFootSwitchTypeCount = 11;
