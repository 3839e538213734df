#pragma once
// An in-memory clipboard for tests, with the moves of another program and
// scripted failures.
#include "ClipboardService.h"

namespace Platform {

class FakeClipboardService : public IClipboardService {
public:
    uint32_t GetSequenceNumber() override { return mSequence; }
    bool HasText() override { return mText.has_value(); }
    std::optional<std::string> GetText() override
    {
        ++readCount;
        if (failReads) return std::nullopt;
        return mText.value_or(std::string());
    }
    bool SetText(const std::string& utf8) override
    {
        if (failWrites) return false;
        Change(utf8);
        return true;
    }
    bool SetPrivateMark() override
    {
        if (failWrites) return false;
        Change(std::nullopt);
        mPrivateSequence = mSequence;
        return true;
    }
    bool HasPrivateMark() override { return mPrivateSequence == mSequence; }

    // Another program copies text, or empties the clipboard.
    void ForeignCopy(const std::string& utf8) { Change(utf8); }
    void ForeignClear() { Change(std::nullopt); }
    // Another program reads: nothing changes.
    std::optional<std::string> PeekText() const { return mText; }

    bool failReads = false;
    bool failWrites = false;
    int readCount = 0;

private:
    void Change(std::optional<std::string> text)
    {
        mText = std::move(text);
        ++mSequence;
    }

    uint32_t mSequence = 1;
    std::optional<std::string> mText;
    uint32_t mPrivateSequence = 0;
};

}  // namespace Platform
