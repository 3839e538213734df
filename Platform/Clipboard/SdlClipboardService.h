#pragma once
// The clipboard over SDL2's text clipboard (needs a display). SDL has no
// sequence number: the service counts a change whenever the text differs
// from the text it last wrote or read, so a copy in another program is seen
// at the next call. The private mark is an empty clipboard that this service
// wrote; the value itself stays in the program.

#include "ClipboardService.h"

namespace Platform {

class SdlClipboardService : public IClipboardService {
public:
    SdlClipboardService();
    ~SdlClipboardService() override;
    SdlClipboardService(const SdlClipboardService&) = delete;
    SdlClipboardService& operator=(const SdlClipboardService&) = delete;

    // False when SDL's video could not start (no display).
    bool IsAvailable() const { return mAvailable; }

    uint32_t GetSequenceNumber() override;
    bool HasText() override;
    std::optional<std::string> GetText() override;
    bool SetText(const std::string& utf8) override;
    bool SetPrivateMark() override;
    bool HasPrivateMark() override;

private:
    std::optional<std::string> ReadText();
    // Counts a change when the clipboard no longer holds what was last seen.
    void Observe(const std::optional<std::string>& text);

    bool mAvailable = false;
    uint32_t mSequence = 1;
    std::optional<std::string> mLastSeen;
    std::optional<uint32_t> mPrivateSequence;
};

}  // namespace Platform
