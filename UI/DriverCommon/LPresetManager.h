#pragma once
// Preset files (".trs"): the 15 parameter values of the keyboard's root
// module. Every word is 32-bit little-endian, without padding:
//   header  {format version 1, device word A 0, device word B 0}
//   record  {length L = data size + 24, reserved 0, parameter index,
//            packed Variant {data size + 12, 1, type, data}}
// A file holds 15 records in parameter order; each value is a byte blob
// (type 14) of its parameter's length. Saving writes a temporary file beside
// the target and renames it over, so a failed save leaves the old file.
// A load reads and checks the whole file before it sends anything, so a
// refused file leaves the keyboard as it was.
// UI thread only; the load notifications are sent synchronously.
#include <cstdint>
#include <string>
#include <vector>

#include "LNotificationClient.h"
#include "LNotificationDistributor.h"
#include "LNotificationHandler.h"
#include "Variant.h"

namespace QV {

class LPresetManager : public LNotificationClient, public LNotificationDistributor {
    QV_TYPE_NAME("class QV::LPresetManager")
public:
    enum LoadResult : int32_t {
        kLoaded = 0,
        kOlderFormat = -1,
        kNewerFormat = -2,
        kCorrupt = -3,
        kOtherDevice = -4,
    };
    static constexpr uint32_t kFormatVersion = 1;
    static constexpr uint32_t kHeaderSize = 12;
    static constexpr uint32_t kRecordHeaderSize = 12;
    static constexpr int32_t kParamCount = 15;
    // The blob length of each parameter, by index.
    static constexpr uint32_t kBlobLengths[kParamCount] = {1, 3, 6, 6, 6, 6, 5, 3, 5, 5, 1, 8, 8, 13, 13};
    // A saved file is 461 bytes; a larger limit leaves room for files that
    // repeat records, and refuses anything that is plainly no preset.
    static constexpr size_t kMaxFileBytes = 64 * 1024;

    struct PresetRecord {
        int32_t index = -1;
        Variant value;
    };

    // A manager subscribed to "NID_GLOBAL_LOAD_CONTROL_PANEL_SETTINGS" at the
    // default notification center; raises when the subscription fails.
    static RCPtr<LPresetManager> Create();

    // Sends "NID_PRESETFILE_PRE_LOAD", reads the file, sends
    // "NID_PRESETFILE_POST_LOAD" with the result, whatever it is.
    int32_t LoadPresetFile(const String& path);
    // One of LoadResult. Only a file that is whole and valid is applied, in
    // file order, skipping the pass-over indices; a refused one sends nothing.
    int32_t ReadPresetFile(const String& path);
    // Checks a whole file's bytes: one of LoadResult, and on kLoaded its
    // records in file order. allowOlder lets a version 0 file pass.
    static int32_t ParsePresetFile(const uint8_t* bytes, size_t size, bool allowOlder,
                                   std::vector<PresetRecord>& records);

    // Parameter indices a load passes over (checked, not sent); empty when created.
    void SetPassOverList(std::vector<int32_t> indices) { mPassOver = std::move(indices); }
    const std::vector<int32_t>& GetPassOverList() const { return mPassOver; }
    // Check only: a load lets a version 0 file pass and checks the records
    // without sending any. Clear when created.
    void SetCheckOnly(bool checkOnly) { mCheckOnly = checkOnly; }
    bool IsCheckOnly() const { return mCheckOnly; }
    // 0, or E_FAIL when the device does not yield 15 valid values or the file
    // cannot be written; on failure the old file is untouched.
    [[nodiscard]] QVResult SavePresetFile(const String& path);
    // Why the last load or save could not read or write its file, in the
    // system's words; empty when the file itself was no obstacle (its content
    // or the keyboard failed, or all went well).
    const std::string& GetFileError() const { return mFileError; }

    // Sizes buffer to the record and fills it; E_FAIL for a value without a
    // packed form (buffer then empty).
    [[nodiscard]] static QVResult EncodePresetRecord(int32_t index, const Variant& value, std::vector<uint8_t>& buffer);
    // Checks the record at offset within size bytes and unpacks it: its
    // length, or a negative result.
    static int32_t DecodePresetRecord(const uint8_t* buffer, uint32_t size, uint32_t offset, int32_t& index,
                                      Variant& value);
    // Whether index names a parameter and value is a blob of its length.
    static bool IsValidPresetValue(int32_t index, const Variant& value);

    [[nodiscard]] QVResult OnLoadControlPanelSettings(const RCPtr<LNotificationDistributor>& sender,
                                        const RCPtr<LNotification>& notification);

    [[nodiscard]] QVResult ReceiveNotification(const RCPtr<LNotificationDistributor>& sender,
                                               const RCPtr<LNotification>& notification) override;
    [[nodiscard]] QVResult UnregisterNotification(const RCPtr<LNotificationDistributor>& distributor,
                                                  const char16_t* nameOrId) override;

private:
    LPresetManager();
    void Apply(const std::vector<PresetRecord>& records) const;

    RCPtr<LNotificationHandler<LPresetManager>> mHandler;
    bool mRegistered = false;
    std::vector<int32_t> mPassOver;
    bool mCheckOnly = false;
    std::string mFileError;
};

}  // namespace QV
