#pragma once
// A font by face name, size and style, shared through a process-wide
// registry: one LFont per (name, size, style), so renderers can key glyph
// and font caches by its unique id. UI thread only; nothing is locked.
#include <cstdint>

#include "RefCountedObject.h"
#include "StringT.h"
#include "TypeName.h"

namespace QV {

class LFont : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LFont")
public:
    // Style bits.
    static constexpr int32_t kRegular = 0;
    static constexpr int32_t kBold = 1;
    static constexpr int32_t kItalic = 2;
    static constexpr int32_t kUnderline = 4;
    static constexpr int32_t kStrikeout = 8;

    // Unregistered; GetFont is the shared road.
    LFont(const String& faceName, float size, int32_t style);

    // The registered font, created and registered when missing.
    static RCPtr<LFont> GetFont(const String& faceName, float size, int32_t style);
    // Index in the registry (face without regard to case, exact size and
    // style), searched from the last entry; -1 when none.
    static int32_t FindFont(const String& faceName, float size, int32_t style);

    const String& GetFaceName() const { return mFaceName; }
    float GetSize() const { return mSize; }
    int32_t GetStyle() const { return mStyle; }
    int32_t GetUniqueID() const { return mUniqueId; }

    // Fetched from the measurement renderer on first use; until a renderer
    // answers, the line height stays -1.
    int32_t GetLineHeight() const;
    int32_t GetAscent() const;
    int32_t GetDescent() const;

    // Leaves the registry once only the registry's reference remains.
    QVResult ReleaseInternalReferences() override;

private:
    void FetchMetrics() const;

    String mFaceName;
    float mSize;
    int32_t mStyle;
    mutable int32_t mLineHeight = -1;
    mutable int32_t mAscent = 0;
    mutable int32_t mDescent = 0;
    int32_t mUniqueId;
};

}  // namespace QV
