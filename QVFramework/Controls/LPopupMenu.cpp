#include "LPopupMenu.h"

#include <algorithm>

#include "LMenuItemDescriptor.h"

namespace QV {

LPopupMenu::LPopupMenu(LControl* parent, const String& name) : LCheckedListBox(parent, name) {}

LPopupMenu::~LPopupMenu() = default;

QV_OWN_HANDLER_DEFINITIONS(LPopupMenu, LCheckedListBox, mPopupHandler)

QVResult LPopupMenu::SetMenuDescriptor(const RCPtr<LRefCountedObject>& menu)
{
    auto* descriptor = dynamic_cast<LMenuDescriptor*>(menu.Get());
    if (!descriptor) return E_INVALIDARG;
    // Its own copy: later changes to the source never reach a shown menu.
    mMenu = descriptor->Clone();
    mMenuDescriptor = mMenu;
    FillItems();
    UpdateEntryStates();
    return S_OK;
}

void LPopupMenu::FillItems()
{
    while (GetItemCount() > 0) EraseItem(GetItemCount() - 1);
    const uint32_t count = mMenu ? mMenu->GetItemCount() : 0;
    mEnabled.assign(count, true);
    mCheckedCount = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const RCPtr<LMenuItemDescriptor> entry = mMenu->GetItem(i);
        const int32_t index = static_cast<int32_t>(i);
        InsertItem(index);
        LCheckedItemRecord* record = GetItem(index);
        record->text = entry->GetText();
        record->separator = entry->IsSeparator() ? 1 : 0;
        mEnabled[i] = entry->IsEnabled();
        SetItemChecked(index, entry->IsChecked());
    }
}

bool LPopupMenu::IsItemSelectable(int32_t index) const
{
    if (!mMenu || index < 0 || static_cast<uint32_t>(index) >= mMenu->GetItemCount()) return false;
    return mEnabled[static_cast<size_t>(index)] && !mMenu->GetItem(static_cast<uint32_t>(index))->IsSeparator();
}

void LPopupMenu::SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater)
{
    mUpdater = updater;
    UpdateEntryStates();
}

void LPopupMenu::UpdateEntryStates()
{
    if (!mMenu || !mUpdater) return;
    for (uint32_t i = 0; i < mMenu->GetItemCount(); ++i) {
        const RCPtr<LMenuItemDescriptor> entry = mMenu->GetItem(i);
        if (entry->IsSeparator() || entry->GetKey().IsEmpty()) continue;
        const QVResult state = mUpdater->QueryState(LNotification::Create(entry->GetKey().GetChars()));
        if (state == S_OK) mEnabled[i] = true;
        if (state < 0 && state != E_FAIL) mEnabled[i] = false;
    }
}

QVResult LPopupMenu::SetNotificationTarget(const RCPtr<LNotificationQueue>& target)
{
    if (!target) return E_INVALIDARG;
    if (mTarget) return E_FAIL;
    mTarget = target;
    UpdateEntryStates();
    return S_OK;
}

QVResult LPopupMenu::ActivateEntry(int32_t index)
{
    if (!IsItemSelectable(index)) return E_INVALIDARG;
    const RCPtr<LMenuItemDescriptor> entry = mMenu->GetItem(static_cast<uint32_t>(index));
    if (entry->GetKey().IsEmpty()) return E_INVALIDARG;
    if (!mTarget) return E_FAIL;
    SetVisible(false);
    return mTarget->PostNamedNotification(entry->GetKey().GetChars(),
                                          LMenuActivationParam::Create(RCPtr<LRefCountedObject>(entry.Get()), index));
}

void LPopupMenu::ShowAtMousePosition()
{
    RCPtr<IRootWindow> root = GetRootWindow();
    LControl* parent = GetParent();
    if (root && parent) {
        int32_t x = 0, y = 0;
        root->GetCursorPosition(x, y);
        const DoublePoint origin = parent->GetPositionInRoot();
        const DoubleRect& own = GetFrame();
        const DoubleRect& area = parent->GetFrame();
        // Shifted back on each axis so the whole menu stays inside the parent.
        const double at[2] = {std::max(0.0, std::min(x - origin.x, area.width - own.width)),
                              std::max(0.0, std::min(y - origin.y, area.height - own.height))};
        for (int axis = 0; axis < 2; ++axis) {
            LayoutRecord position = GetLayout().position[axis];
            position.kind = LayoutKind::kParent;
            position.name = String();
            position.factor = 0.0f;
            position.offset = at[axis];
            SetLayoutPosition(axis, position, GetLayout().anchor[axis]);
        }
    }
    SetVisible(true);
}

}  // namespace QV
