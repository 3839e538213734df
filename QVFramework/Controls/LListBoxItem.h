#pragma once
// One recycled row of a list box; it shows whichever item the list binds to it.
#include "LControl.h"

namespace QV {

class LListBoxItem : public LControl {
    QV_TYPE_NAME("class QV::LListBoxItem")
public:
    // Look indices: a state, plus kMarkedOffset when marked (not when disabled)
    // and kSelectedOffset when selected; a separator row shows kSeparator.
    enum Part : int32_t {
        kNormal = 0,
        kHover = 1,
        kPressed = 2,
        kMarkedOffset = 3,
        kDisabled = 6,
        kSelectedOffset = 7,
        kSeparator = 13
    };

    LListBoxItem(LControl* parent, const String& name);

    void OnValueChanged() override { RefreshLook(); }
    void OnConditionsChanged(const RCPtr<LConditionsParam>&) override { RefreshLook(); }
    QVResult OnInitialized() override;
    String GetToolTipText() const override;

    virtual int32_t ChooseVisualPart() const;
    void RefreshLook();
    void SetMarked(bool on);
    void SetSeparator(bool on);
    void SetMenuMode(bool on) { mMenuMode = on; }
    bool IsMarked() const { return mMarked != 0; }
    bool IsSeparator() const { return mSeparator != 0; }

private:
    uint8_t mMarked = 0;
    uint8_t mMenuMode = 0;
    uint8_t mSeparator = 0;
};

}  // namespace QV
