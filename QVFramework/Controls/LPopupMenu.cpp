#include "LPopupMenu.h"

#include <algorithm>

#include "IControlApplication.h"
#include "KeyCode.h"
#include "LGlobalHotKeyManager.h"
#include "LMenuItemDescriptor.h"
#include "LMenuListBoxItem.h"

namespace QV {

LPopupMenu::LPopupMenu(LControl* parent, const String& name) : LCheckedListBox(parent, name) {}

LPopupMenu::~LPopupMenu() = default;

namespace {

constexpr uint32_t kEscapeKey = KeyCode::Pressed(Keys::kEscape);
constexpr uint32_t kLeftKey = KeyCode::Pressed(Keys::kLeft);
constexpr uint32_t kRightKey = KeyCode::Pressed(Keys::kRight);

}  // namespace

QVResult LPopupMenu::Initialize()
{
    // Menus show a tick only beside checked entries.
    mSecondRowFlag = true;
    const QVResult result = LCheckedListBox::Initialize();
    SetMenuMode(true);
    SetNotFocusable(false);
    if (mMenu) FillItems();
    return result;
}

QV_OWN_HANDLER_DEFINITIONS(LPopupMenu, LCheckedListBox, mPopupHandler)

QVResult LPopupMenu::SetMenuDescriptor(const RCPtr<LRefCountedObject>& menu)
{
    auto* descriptor = dynamic_cast<LMenuDescriptor*>(menu.Get());
    if (!descriptor) return E_INVALIDARG;
    // Its own copy: later changes to the source never reach a shown menu.
    mMenu = descriptor->Clone();
    FillItems();
    UpdateEntryStates();
    return S_OK;
}

void LPopupMenu::FillItems()
{
    DeselectAll();
    mAnchor = mCaret = -1;
    while (GetItemCount() > 0 && Succeeded(EraseItem(GetItemCount() - 1))) {
    }
    const uint32_t count = mMenu ? mMenu->GetItemCount() : 0;
    mEnabled.assign(count, true);
    mCheckedCount = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const RCPtr<LMenuItemDescriptor> entry = mMenu->GetItem(i);
        const int32_t index = static_cast<int32_t>(i);
        if (Failed(InsertItem(index))) break;
        LCheckedItemRecord* record = GetItem(index);
        record->text = entry->GetText();
        record->separator = entry->IsSeparator() ? 1 : 0;
        mEnabled[i] = entry->IsEnabled();
        SetItemChecked(index, entry->IsChecked());
    }
    FitToEntries();
    EnsureRowsCover();
    RefreshRowsFrom(mTopIndex);
    UpdateContentExtent();
    UpdateWidestItem();
}

// As tall as its entries, so no row is ever scrolled out of a menu.
void LPopupMenu::FitToEntries()
{
    if (!mRowHeightKnown || GetItemCount() == 0) return;
    const DoubleRect client = GetClientRect();
    const double frame = GetFrame().height - client.height;
    LayoutRecord size = GetLayout().size[1];
    size.kind = LayoutKind::kSelf;
    size.factor = 0.0f;
    size.offset = frame + double(GetContentHeight());
    SetLayoutSize(1, size, GetLayout().limit[1]);
    UpdateLayout();
}

QVResult LPopupMenu::RefreshItem(int32_t index)
{
    const QVResult result = LCheckedListBox::RefreshItem(index);
    if (result != S_OK) return result;
    const int32_t rowIndex = GetVisibleRowOfItem(index);
    auto* row = dynamic_cast<LMenuListBoxItem*>(rowIndex < 0 ? nullptr : GetRow(static_cast<uint32_t>(rowIndex)));
    if (!row) return result;
    row->SetHotKeyText(GetHotKeyText(index));
    row->SetEnabled(index < static_cast<int32_t>(mEnabled.size()) ? mEnabled[static_cast<size_t>(index)] : true);
    return result;
}

String LPopupMenu::GetHotKeyText(int32_t index) const
{
    if (!mMenu || index < 0 || static_cast<uint32_t>(index) >= mMenu->GetItemCount()) return String();
    const RCPtr<LMenuItemDescriptor> entry = mMenu->GetItem(static_cast<uint32_t>(index));
    if (!entry->GetSecondText().IsEmpty() || entry->GetKey().IsEmpty()) return entry->GetSecondText();
    const LControl* from = mUpdater && mUpdater->GetTarget() ? mUpdater->GetTarget().Get() : GetParent();
    for (; from; from = from->GetParent()) {
        if (!from->HasShortcut(entry->GetKey())) continue;
        return KeyCode::GetDisplayText(from->GetShortcutKey(entry->GetKey()));
    }
    // Then the keys that send the command from anywhere: the window's, else the application's.
    RCPtr<IRootWindow> root = GetRootWindow();
    const IControlApplication* app = GetControlApplication();
    for (const LGlobalHotKeyManager* keys : {root ? root->GetHotKeys() : nullptr, app ? app->GetHotKeys() : nullptr}) {
        if (!keys) continue;
        const std::vector<KeyCode> bound = keys->GetKeyMap().GetKeysForCommand(entry->GetKey());
        if (!bound.empty()) return KeyCode::GetDisplayText(bound.front());
    }
    return String();
}

void LPopupMenu::OnItemActivated(int32_t index)
{
    (void)ActivateEntry(index);  // an entry without a key or target has nothing to post
}

QVResult LPopupMenu::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    if (!key) return kNotHandled;
    switch (key->code.code) {
    case kEscapeKey: SetVisible(false); return S_OK;
    // Left and Right belong to the menu bar, which moves to the next menu.
    case kLeftKey:
    case kRightKey: return kNotHandled;
    default: return LCheckedListBox::OnKeyDown(key);
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
        bool enabled = true;
        // Without an answer the entry keeps the state its menu gave it.
        if (mUpdater->QueryState(LNotification::Create(entry->GetKey().GetChars()), enabled) == S_OK)
            mEnabled[i] = enabled;
    }
    RefreshRowsFrom(mTopIndex);
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
    Popup();
}

void LPopupMenu::Popup()
{
    UpdateEntryStates();
    SetVisible(true);
    SetFocus(true);  // a menu that cannot take the focus is still shown
}

}  // namespace QV
