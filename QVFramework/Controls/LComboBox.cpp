#include "LComboBox.h"

#include "ControlAttributes.h"

namespace QV {

LComboBox::LComboBox(LControl* parent, const String& name) : LDropDownControl(parent, name) {}

LComboBox::~LComboBox() = default;

QV_OWN_HANDLER_DEFINITIONS(LComboBox, LDropDownControl, mComboHandler)

QVResult LComboBox::LoadProperties()
{
    const QVResult result = LDropDownControl::LoadProperties();
    mInitialSelectedIndex = 0;
    ReadSkinInt(*this, u"INITIAL_SELECTED_INDEX", mInitialSelectedIndex);
    return result;
}

bool LComboBox::IsDropDownOpen() const
{
    return mListBox && mListBox->IsEffectivelyVisible(false);
}

QVResult LComboBox::ShowDropDown(bool)
{
    return E_NOTIMPL;
}

QVResult LComboBox::SetItemCount(int32_t count)
{
    if (!mListBox) return E_FAIL;
    const QVResult result = mListBox->SetItemCount(count);
    if (mSelectedIndex >= mListBox->GetItemCount()) SetSelectedIndex(-1);
    if (IsDropDownOpen()) ShowDropDown(true);
    return result;
}

QVResult LComboBox::SetSelectedIndex(int32_t index)
{
    if (index < -1 || (mListBox && index >= mListBox->GetItemCount())) return E_INVALIDARG;
    mSelectedIndex = index;
    return S_OK;
}

}  // namespace QV
