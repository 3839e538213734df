#include "LComboMenu.h"

#include <cmath>

#include "LComboBox.h"

namespace QV {

namespace {

bool InsideAnyMenuButton(const LControl* control)
{
    for (; control; control = control->GetParent()) {
        if (dynamic_cast<const LComboMenu*>(control)) return true;
    }
    return false;
}

bool IsWithin(const LControl* control, const LControl* ancestor)
{
    for (; control; control = control->GetParent()) {
        if (control == ancestor) return true;
    }
    return false;
}

}  // namespace

LComboMenu::LComboMenu(LControl* parent, const String& name) : LDropDownControl(parent, name) {}

LComboMenu::~LComboMenu() = default;

QV_OWN_HANDLER_DEFINITIONS(LComboMenu, LDropDownControl, mMenuHandler)

QVResult LComboMenu::Initialize()
{
    const QVResult result = LDropDownControl::Initialize();
    RCPtr<LControl> child = FindChildControl(u"popupMenu");
    mPopup = RCPtr<LPopupMenu>(dynamic_cast<LPopupMenu*>(child.Get()));
    if (!mPopup) return E_FAIL;
    mMenuHandler = new LNotificationHandler<LComboMenu>(this);
    const RCPtr<LNotificationDistributor> source(mPopup.Get());
    (void)mMenuHandler->RegisterHandler(&LComboMenu::OnPopupMouseUp, source, u"NID_MOUSE_UP");
    (void)mMenuHandler->RegisterHandler(&LComboMenu::OnPopupVisibility, source, u"NID_VISIBLITY_CONDITION_CHANGE");
    mPopup->SetMenuItemUpdater(mUpdater);
    mPopup->SetVisible(false);
    if (mMenu) SetMenu(mMenu);
    return result;
}

QVResult LComboMenu::OnInitialized()
{
    if (mPopup) mPopup->SetVisible(false);
    return S_OK;
}

void LComboMenu::SetMenu(const RCPtr<LMenuDescriptor>& menu)
{
    mMenu = menu ? menu : RCPtr<LMenuDescriptor>(new LMenuDescriptor());
    if (mPopup) (void)mPopup->SetMenuDescriptor(RCPtr<LRefCountedObject>(mMenu.Get()));  // always a menu here
}

RCPtr<LMenuDescriptor> LComboMenu::GetMenu() const
{
    return mPopup && mPopup->GetMenu() ? mPopup->GetMenu() : mMenu;
}

void LComboMenu::SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater)
{
    if (!updater) return;
    mUpdater = updater;
    if (mPopup) mPopup->SetMenuItemUpdater(updater);
}

void LComboMenu::SetNotificationTarget(const RCPtr<LNotificationQueue>& target)
{
    if (mPopup && !mPopup->HasNotificationTarget()) (void)mPopup->SetNotificationTarget(target);
}

bool LComboMenu::IsDropDownOpen() const
{
    if (!mPopup || !mPopup->IsEffectivelyVisible(false)) return false;
    return mPopup->GetFrame().width > 0.0 && mPopup->GetFrame().height > 0.0;
}

void LComboMenu::PlacePopup()
{
    const LayoutRecord x{LayoutKind::kParent, String(), 0.0f, 0.0};
    const LayoutRecord y{LayoutKind::kParent, String(), 1.0f, 0.0};
    LayoutRecord xAnchor = mPopup->GetLayout().anchor[0];
    LayoutRecord yAnchor = mPopup->GetLayout().anchor[1];
    xAnchor.factor = yAnchor.factor = 0.0f;
    mPopup->SetDocked(0, false);
    mPopup->SetDocked(1, false);
    mPopup->SetLayoutRecords(x, xAnchor, y, yAnchor);
    mPopup->UpdateLayout();
}

QVResult LComboMenu::ShowDropDown(bool show)
{
    if (!mPopup) return E_FAIL;
    if (!show) {
        mPopup->SetVisible(false);
        return S_OK;
    }
    RememberFocus();
    PlacePopup();
    mPopup->Popup();
    if (GetConditions() & (Condition::kLeftPressed | Condition::kLeftDragging)) {
        // The press goes on in the menu: a release over an entry picks it.
        const DoubleRect& at = mPopup->GetFrame();
        EndDrag();
        // Without the drag the menu stays open and a click still picks an entry.
        mPopup->BeginDrag(1, static_cast<int32_t>(std::lround(mPressPoint.x - at.x)),
                          static_cast<int32_t>(std::lround(mPressPoint.y - at.y)));
    }
    return S_OK;
}

// The entries' states and edit commands belong to the control focused before the menu.
void LComboMenu::RememberFocus()
{
    RCPtr<IRootWindow> root = GetRootWindow();
    RCPtr<LControl> before = root ? root->GetFocusControl() : nullptr;
    if (before && !InsideAnyMenuButton(before.Get())) mUpdater->SetTarget(before);
}

QVResult LComboMenu::HandleMouseDown(const RCPtr<LMouseButtonParam>& param)
{
    // Before the press moves the focus to the button.
    RememberFocus();
    return LDropDownControl::HandleMouseDown(param);
}

void LComboMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    if (conditions && (conditions->newConditions & Condition::kLeftPressed) &&
        !(conditions->oldConditions & Condition::kLeftPressed))
        mPressPoint = {conditions->pressX - GetFrame().x, conditions->pressY - GetFrame().y};
    LDropDownControl::OnConditionsChanged(conditions);
}

void LComboMenu::HandleKey(const RCPtr<LKeyParam>& key)
{
    if (key && GetParent() && GetParent()->OnKeyDown(key) != 1) return;
    LDropDownControl::HandleKey(key);
}

void LComboMenu::RestoreFocus()
{
    RCPtr<IRootWindow> root = GetRootWindow();
    RCPtr<LControl> focus = root ? root->GetFocusControl() : nullptr;
    if (focus && !IsWithin(focus.Get(), this)) return;
    RCPtr<LControl> before = mUpdater->GetTarget();
    if (before && before->GetRootWindow() == root && before->IsEffectivelyVisible(true)) {
        before->SetFocus(true);
    }
}

QVResult LComboMenu::OnPopupMouseUp(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    if (mPopup && IsReleaseOutsideOwner(*mPopup, *this, notification)) mPopup->SetVisible(false);
    return S_OK;
}

QVResult LComboMenu::OnPopupVisibility(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    if (mPopup && !mPopup->IsEffectivelyVisible(false)) RestoreFocus();
    return S_OK;
}

}  // namespace QV
