#pragma once
// The keyboard's System Exclusive conversation about presets: the preset
// request, the 100-byte dump it answers with, and the dump sent to it. A
// dump carries the fifteen parameter blobs back to back, as they stand (no
// 7-bit packing, no checksum), from byte 10 to byte 98.
#include <cstdint>

#include "Array.h"
#include "IArray.h"
#include "ParamDescriptor.h"

namespace QV {

inline constexpr uint32_t kPresetParamCount = 15;
inline constexpr uint32_t kPresetDumpSize = 100;
inline constexpr uint32_t kPresetDumpDataOffset = 10;
// The parameter bytes of a dump: 0x59.
inline constexpr uint32_t kPresetDataSize = 89;
// The length of each parameter's blob, in the order of the dump.
inline constexpr uint32_t kPresetParamLengths[kPresetParamCount] = {1, 3, 6, 6, 6, 6, 5, 3, 5, 5, 1, 8, 8, 13, 13};

// The body of the preset request, to be framed by F0 ... F7: 00 5A 3C 7F 00 15 02.
void BuildPresetRequest(IArray<signed char>& body);
// The start of the body of a dump sent to the keyboard: 00 5A 3C 7F 00 15 01 00 59.
void BuildPresetDumpHeader(IArray<signed char>& body);
// A dump from the keyboard: exactly 100 bytes beginning F0 00 5A 3C 7F 00 15 03.
// Bytes 8 and 9 are not examined.
bool IsPresetDump(const uint8_t* bytes, uint32_t count);

// The whole body of a dump sent to the keyboard: the header, then the bytes of
// the fifteen values in order. False, with the body left empty, unless there
// are fifteen byte blobs of their parameters' lengths (89 bytes together),
// every byte below 0x80, so a dump that the keyboard would misread never
// leaves.
bool BuildPresetDumpBody(const IArray<ParamValue>& values, IArray<signed char>& body);

// The values a received dump carries: each of the current values' parameters
// with as many bytes as its current blob holds, taken in order from byte 10.
// False, with nothing in out, unless there are fifteen current byte blobs of
// their parameters' lengths (89 bytes together): nothing is read beyond the
// dump, and no byte goes to another parameter than the one it belongs to.
bool ReadPresetDump(const uint8_t* dump, const IArray<ParamValue>& current, Array<ParamValue>& out);

}  // namespace QV
