// The part table: where each part sits in the keyboard's parameter list,
// what its bytes default to, and where its errors say they come from.
#include "PartModules.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes GlobalChannelDefault(int32_t, int32_t) { return {1}; }
Bytes KeybedDefault(int32_t, int32_t) { return {3, 2, 12}; }
// The zone's MIDI channel defaults to its own index.
Bytes ZoneDefault(int32_t, int32_t index) { return {0, static_cast<uint8_t>(index), 0, 87, 6, 12}; }
Bytes AbsoluteControllerDefault(int32_t offset, int32_t index)
{
    // Wheels: modulation (1); then volume (7) and expression (11).
    const uint8_t controller = index == 1 ? 11 : (offset == 8 ? 7 : 1);
    return {0, 0, controller, 0, 127};
}
Bytes PitchWheelDefault(int32_t, int32_t) { return {0, 0, 127}; }
Bytes HardwareButtonsDefault(int32_t, int32_t) { return {0}; }
Bytes HardwareButtonDefault(int32_t, int32_t) { return {0, 0, 127, 0, 0, 0, 0, 127}; }
Bytes FootSwitchDefault(int32_t, int32_t index)
{
    // Sustain pedal on the first switch, soft pedal on the second.
    const uint8_t controller = index == 1 ? 0x43 : 0x40;
    return {0x00, 0x06, 0x00, 0x7F, 0x00, 0x00, 0x7F, 0x00, 0x00, controller, 0x00, 0x7F, 0x00};
}

}  // namespace

//                                           class         file           offsets       n  first local set  default
const PartDescription kGlobalChannelPart{"LGlobalChannel", "GlobalChannel", {0}, 1, 72, 91, 160, 210, GlobalChannelDefault};
const PartDescription kKeybedPart{"LKeybed", "Keybed", {1}, 1, 72, 91, 160, 210, KeybedDefault};
const PartDescription kZonePart{"LZone", "Zone", {2, 3, 4, 5}, 4, 78, 97, 166, 216, ZoneDefault};
const PartDescription kAbsoluteControllerPart{"LAbsoluteController", "AbsoluteController", {6, 8, 9}, 3,
                                              76, 95, 164, 214, AbsoluteControllerDefault};
const PartDescription kPitchWheelPart{"LPitchWheel", "PitchWheel", {7}, 1, 72, 91, 160, 210, PitchWheelDefault};
const PartDescription kHardwareButtonsPart{"LHardwareButtons", "HardwareButtons", {10}, 1,
                                           72, 91, 160, 210, HardwareButtonsDefault};
const PartDescription kHardwareButtonPart{"LHardwareButton", "HardwareButton", {11, 12}, 2,
                                          74, 93, 162, 212, HardwareButtonDefault};
const PartDescription kFootSwitchPart{"LFootSwitch", "FootSwitch", {13, 14}, 2, 74, 93, 162, 212, FootSwitchDefault};

bool PartDescription::AcceptsOffset(int32_t offset) const
{
    for (int32_t i = 0; i < offsetCount; ++i) {
        if (offsets[i] == offset) return true;
    }
    return false;
}

void PartDescription::ThrowLogicError(const char* text, const char* method, int32_t line) const
{
    throw QV::Exception<std::logic_error>(QV::FormatExceptionMessage(
        QV::kLogicError, text, std::string(className) + "::" + method,
        std::string("..\\DeviceControl\\GeneratedCode\\Engine\\Src\\") + sourceFile, line));
}
