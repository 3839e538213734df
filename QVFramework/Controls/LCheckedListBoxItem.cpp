#include "LCheckedListBoxItem.h"

namespace QV {

LCheckedListBoxItem::LCheckedListBoxItem(LControl* parent, const String& name) : LListBoxItem(parent, name) {}

LCheckedListBoxItem::~LCheckedListBoxItem() = default;

RCPtr<LButton> LCheckedListBoxItem::GetCheckBox() const
{
    RCPtr<LControl> child = FindChildControl(u"checkBox");
    return RCPtr<LButton>(dynamic_cast<LButton*>(child.Get()));
}

void LCheckedListBoxItem::SetChecked(bool checked)
{
    if (RCPtr<LButton> box = GetCheckBox()) box->SetValue(checked ? 1.0 : 0.0);
    ShowBox();
}

void LCheckedListBoxItem::SetShowIcon(bool on)
{
    mShowIcon = on;
    ApplyIcon();
}

void LCheckedListBoxItem::SetTickOnly(bool on)
{
    mTickOnly = on;
    ShowBox();
}

void LCheckedListBoxItem::SetIcon(const RCPtr<LBitmap>& icon)
{
    mIcon = icon;
    ApplyIcon();
}

void LCheckedListBoxItem::ApplyIcon()
{
    const RCPtr<LRefCountedObject> shown(mShowIcon ? mIcon.Get() : nullptr);
    for (uint32_t part = GetPartCount(); part-- > 0;) {
        if (GetVisualPart(static_cast<int32_t>(part))) {
            (void)SetVisualPart(shown, 0, static_cast<int32_t>(part), false);  // the part exists; 1 is "no change"
        }
    }
}

void LCheckedListBoxItem::ShowBox()
{
    RCPtr<LButton> box = GetCheckBox();
    if (box && mTickOnly) box->SetVisible(box->IsChecked());
}

}  // namespace QV
