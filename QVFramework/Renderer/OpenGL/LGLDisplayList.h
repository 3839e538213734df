#pragma once
// A block of GL display lists, generated on the first recording and deleted
// with the object (GL must be current then).
#include "RCPtr.h"
#include "RefCountedObject.h"

namespace QV {

class LGLDisplayList : public virtual LRefCountedObject {
public:
    // Count 0 answers the one shared empty display list.
    static RCPtr<LGLDisplayList> Create(int32_t count);
    ~LGLDisplayList() override;

    const char* GetTypeName() const override { return kTypeName; }
    static constexpr const char* kTypeName = "class QV::LGLDisplayList";

    // Starts compiling list index of the block; E_FAIL when no block can be made.
    [[nodiscard]] QVResult BeginRecord(int32_t index);
    [[nodiscard]] QVResult EndRecord();
    // Replays count lists from first; E_INVALIDARG beyond the block.
    [[nodiscard]] QVResult Call(int32_t first, int32_t count) const;

    int32_t GetFirstList() const { return mFirst; }
    int32_t GetCount() const { return mCount; }

private:
    explicit LGLDisplayList(int32_t count) : mCount(count) {}
    int32_t mFirst = -1;
    int32_t mCount;
};

}  // namespace QV
