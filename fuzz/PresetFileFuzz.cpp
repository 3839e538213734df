// Preset files come from anywhere: checks random bytes as a whole file. A
// file is either refused with nothing to send, or every byte of it is a
// header and records that, written again, give the same bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "LPresetManager.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using QV::LPresetManager;
    for (const bool allowOlder : {false, true}) {
        std::vector<LPresetManager::PresetRecord> records(1);
        const int32_t result = LPresetManager::ParsePresetFile(data, size, allowOlder, records);
        Check(result <= 0 && result >= -4);
        if (result != LPresetManager::kLoaded) {
            Check(records.empty());
            continue;
        }
        std::vector<uint8_t> written(data, data + LPresetManager::kHeaderSize);
        std::vector<uint8_t> record;
        for (const auto& parsed : records) {
            Check(LPresetManager::IsValidPresetValue(parsed.index, parsed.value));
            Check(LPresetManager::EncodePresetRecord(parsed.index, parsed.value, record) >= 0);
            written.insert(written.end(), record.begin(), record.end());
        }
        Check(written == std::vector<uint8_t>(data, data + size));
    }
    return 0;
}
