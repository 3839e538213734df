#pragma once
// The key input records a control receives.
#include <cstdint>
#include <vector>

#include "RCPtr.h"
#include "RefCountedObject.h"

namespace QV {

struct KeyCode;

class LControl;

struct KeyCodeValue {
    uint32_t flags = 0;
    uint32_t second = 0;
    uint8_t byte = 0;

    static constexpr uint32_t kCtrl = 0x01000000;
    static constexpr uint32_t kShift = 0x02000000;
    static constexpr uint32_t kAlt = 0x04000000;
    static constexpr uint32_t kKeyDown = 0x20000000;

    // A key press with its virtual key in bits 16-23.
    static KeyCodeValue Press(uint32_t virtualKey, uint32_t modifiers = 0)
    {
        return KeyCodeValue{kKeyDown | modifiers | ((virtualKey & 0xFF) << 16), 0, 0};
    }
    bool IsKeyPress() const { return (flags & kKeyDown) != 0 && (flags & 0x80000000u) == 0; }
    uint32_t VirtualKey() const { return (flags >> 16) & 0xFF; }
    bool operator==(const KeyCodeValue&) const = default;
};

// The same key as the key maps hold it.
KeyCode ToKeyCode(const KeyCodeValue& value);

class LKeyParam : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LKeyParam")
public:
    explicit LKeyParam(KeyCodeValue code_, int32_t stayInside_ = 1);
    ~LKeyParam() override;

    KeyCodeValue code;
    int32_t stayInside;
    // The controls the key passed through, the most recent last.
    std::vector<RCPtr<LControl>> route;

    LControl* GetSource() const;
};

class LSiblingKeyParam : public LRefCountedObject {
    QV_TYPE_NAME("class QV::LSiblingKeyParam")
public:
    explicit LSiblingKeyParam(RCPtr<LKeyParam> key) : keyParam(std::move(key)) {}
    RCPtr<LKeyParam> keyParam;
    int32_t unhandled = 1;
};

}  // namespace QV
