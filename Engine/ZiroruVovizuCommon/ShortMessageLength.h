#pragma once
// Lengths of MIDI short messages by their status byte.
#include <cstdint>

namespace QV {

// The length a short message is sent with: 80-BF and E0-EF give 3; C0-DF 2;
// F2 3; F1, F3, F4 and F5 2; F6 and F8-FF 1. Any other first byte gives 0:
// it does not start a short message.
uint32_t GetShortMessageLength(uint8_t status);

// The length a received short message is delivered with: 80-BF and E0-EF
// give 3; C0-DF 2; F2 3; F1 and F3 2 (their data bytes are kept); every other
// first byte 1.
uint32_t GetCapturedMessageLength(uint8_t status);

}  // namespace QV
