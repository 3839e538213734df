#include "LComboBox.h"

#include <algorithm>
#include <cmath>

#include "ComboPlacement.h"
#include "ControlAttributes.h"
#include "KeyCode.h"
#include "LLabel.h"
#include "LTextBox.h"
#include "LTextValidationParams.h"

namespace QV {

namespace {

constexpr uint32_t kDownKey = KeyCode::Pressed(Keys::kDown);
constexpr uint32_t kEnterKey = KeyCode::Pressed(Keys::kReturn);
constexpr uint32_t kEscapeKey = KeyCode::Pressed(Keys::kEscape);

}  // namespace

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

RCPtr<LTextBox> LComboBox::FindTextBox() const
{
    RCPtr<LControl> child = FindChildControl(u"textBox");
    return RCPtr<LTextBox>(dynamic_cast<LTextBox*>(child.Get()));
}

QVResult LComboBox::Initialize()
{
    if (LDropDownControl::Initialize() < 0) return E_FAIL;
    RCPtr<LControl> list = FindChildControl(u"listBox");
    mListBox = RCPtr<LListBox>(dynamic_cast<LListBox*>(list.Get()));
    if (!mListBox) return E_FAIL;
    mComboHandler = new LNotificationHandler<LComboBox>(this);
    using Handler = LNotificationHandler<LComboBox>::Handler;
    struct Wire {
        Handler handler;
        const char16_t* name;
    };
    const Wire listWires[] = {{&LComboBox::OnListVisibility, u"NID_VISIBLITY_CONDITION_CHANGE"},
                              {&LComboBox::OnItemActivated, u"NID_ITEM_ACTIVATED"},
                              {&LComboBox::OnListMouseUp, u"NID_MOUSE_UP"}};
    const Wire textWires[] = {{&LComboBox::PassOn, u"NID_TEXTBOX_VALIDATING"},
                              {&LComboBox::OnTextValidated, u"NID_TEXTBOX_VALIDATED"},
                              {&LComboBox::PassOn, u"NID_TEXTBOX_TEXT_CHANGE"},
                              {&LComboBox::OnTextFocus, u"NID_HAS_FOCUS_CONDITION_CHANGE"}};
    for (const Wire& w : listWires)
        (void)mComboHandler->RegisterHandler(w.handler, RCPtr<LNotificationDistributor>(mListBox.Get()), w.name);
    if (RCPtr<LTextBox> text = FindTextBox()) {
        for (const Wire& w : textWires)
            (void)mComboHandler->RegisterHandler(w.handler, RCPtr<LNotificationDistributor>(text.Get()), w.name);
    }
    SnapListToRows();
    mListBox->SetMenuMode(true);
    mListBox->SetVisible(false);
    if (RCPtr<IControlDescriptor> descriptor = GetDescriptor()) {
        (void)mListBox->LoadItemsFromDescriptor(descriptor);  // with a descriptor given this cannot fail
    }
    const int32_t initial = mInitialSelectedIndex;
    if (initial >= 0 && initial < mListBox->GetItemCount() && mListBox->SelectItem(initial, initial, true) >= 0) {
        LControl::SetText(mListBox->GetItemText(initial));
        if (RCPtr<LTextBox> box = FindTextBox()) box->SetText(GetText());
        mSelectedIndex = initial;
    }
    return S_OK;
}

// The list's own height, in whole rows, is the most it drops down when its
// skin gives no maximum: more items scroll instead of running past it.
void LComboBox::SnapListToRows()
{
    if (!(mListBox->GetFrame().height > 0.0)) return;
    // A list near the window's edge may still be shorter than its rows.
    const LayoutRecord minimum = mListBox->GetLayout().minimum[1];
    mListBox->SnapHeightToRows();
    mDropDownHeight = mListBox->GetLayout().limit[1].offset;
    ControlLayout layout = mListBox->GetLayout();
    layout.minimum[1] = minimum;
    mListBox->SetLayout(layout);
}

QVResult LComboBox::OnInitialized()
{
    if (!mListBox) return S_OK;
    mListBox->SetVisible(false);
    // A list the skin gives no minimum is at least as wide as the combo and one row tall.
    ControlLayout layout = mListBox->GetLayout();
    const bool noX = layout.minimum[0].offset == 0.0 || layout.limit[0].offset == 0.0;
    const bool noY = layout.minimum[1].offset == 0.0 || layout.limit[1].offset == 0.0;
    if (noX && layout.minimum[0].offset == 0.0)
        layout.minimum[0] = LayoutRecord{LayoutKind::kSelf, String(), 0.0f, std::trunc(GetFrame().width)};
    if (noY && layout.minimum[1].offset == 0.0)
        layout.minimum[1] = LayoutRecord{LayoutKind::kSelf, String(), 0.0f, double(mListBox->GetRowHeight())};
    mListBox->SetLayout(layout);
    if (layout.limit[1].offset > 0.0) mListBox->UpdateLayout();
    return S_OK;
}

QVResult LComboBox::SetText(const String& text)
{
    const bool same = GetText() == text;
    SetTextInternal(text, true);
    if (!same) SetSelectedIndex(mListBox ? mListBox->FindItemByText(text, mFindFlag) : -1);
    return same ? 1 : S_OK;
}

int32_t LComboBox::SetSelectedIndex(int32_t index)
{
    if (!mListBox) return mSelectedIndex = -1;
    if (index < 0) {
        mSelectedIndex = -1;
        mListBox->DeselectAll();
        return -1;
    }
    const int32_t previous = mSelectedIndex;
    const int32_t chosen = mListBox->SelectItem(index, index, true);
    if (chosen < 0) {
        // The list never keeps marking an item the combo no longer holds.
        mSelectedIndex = -1;
        mListBox->DeselectAll();
        return -1;
    }
    mSelectedIndex = chosen;
    const String text = mListBox->GetItemText(chosen);
    SetTextInternal(text, true);
    if (RCPtr<LTextBox> box = FindTextBox()) box->SetText(text);
    if (chosen != previous) SendNotification(LNotification::Create(u"NID_SELECTION_CHANGE"));
    return mSelectedIndex;
}

QVResult LComboBox::SetItemCount(int32_t count)
{
    if (!mListBox) return E_FAIL;
    const QVResult result = mListBox->SetItemCount(count);
    if (mSelectedIndex >= mListBox->GetItemCount()) SetSelectedIndex(-1);
    if (IsDropDownOpen()) (void)ShowList(true);  // re-placing an open list; the list exists here
    return result;
}

int32_t LComboBox::InsertItem(int32_t index, const String& text)
{
    if (!mListBox) return E_FAIL;
    const int32_t p = mListBox->InsertItemWithText(index, text);
    if (p < 0) return p;
    if (mSelectedIndex >= p) {
        ++mSelectedIndex;
    } else if (mSelectedIndex < 0 && text == GetText()) {
        SetSelectedIndex(p);
    }
    return p;
}

int32_t LComboBox::AddItem(const String& text)
{
    return InsertItem(GetItemCount(), text);
}

String LComboBox::GetItemText(int32_t index) const
{
    return mListBox ? mListBox->GetItemText(index) : String();
}

bool LComboBox::IsDropDownOpen() const
{
    if (!mListBox || !mListBox->IsEffectivelyVisible(false)) return false;
    const DoubleRect& frame = mListBox->GetFrame();
    return frame.width > 0.0 && frame.height > 0.0;
}

void LComboBox::PlaceList()
{
    RCPtr<IRootWindow> root = GetRootWindow();
    double rootWidth = 0.0, rootHeight = 0.0;
    if (root) root->GetClientSize(rootWidth, rootHeight);
    const RCPtr<IControlDescriptor> skin = mListBox->GetDescriptor();
    ComboPlacementInput in;
    in.comboTop = static_cast<int64_t>(GetPositionInRoot().y);
    in.comboHeight = static_cast<int64_t>(GetFrame().height);
    in.rootHeight = std::llround(rootHeight);
    // The rows and the list's own frame around them, so a list that fits shows every row unscrolled.
    const double border = std::max(0.0, mListBox->GetFrame().height - mListBox->GetClientRect().height);
    in.contentHeight = int64_t(uint32_t(mListBox->GetRowHeight()) * uint32_t(mListBox->GetItemCount())) +
                       std::llround(border);
    in.currentMaximum = mListBox->GetLayout().limit[1].offset;
    in.skinMaximum = skin ? skin->GetLayout().limit[1].offset : in.currentMaximum;
    if (!(in.skinMaximum > 0.0)) in.skinMaximum = mDropDownHeight;
    const ComboPlacement place = PlaceComboList(in);

    ControlLayout layout = mListBox->GetLayout();
    LayoutRecord limit = layout.limit[1];
    limit.offset = place.maximumHeight;
    LayoutRecord size = layout.size[1];
    size.offset = place.height;
    mListBox->SetLayoutSize(1, size, limit);
    const LayoutRecord position{LayoutKind::kParent, String(), place.below ? 1.0f : 0.0f, 0.0};
    LayoutRecord anchor = layout.anchor[1];
    anchor.factor = place.below ? 0.0f : 1.0f;
    mListBox->SetDocked(1, false);
    mListBox->SetLayoutPosition(1, position, anchor);
    mListBox->UpdateLayout();
}

void LComboBox::SelectShownText()
{
    int32_t match = -1;
    for (int32_t i = mListBox->GetItemCount(); i-- > 0;) {
        if (mListBox->GetItemText(i) == GetText()) match = i;
    }
    if (match < 0 && mListBox->GetItemCount() == 0) return;
    if (match < 0) match = 0;
    mListBox->SelectItem(match, match, true);
    mListBox->EnsureVisible(match);
}

QVResult LComboBox::ShowList(bool open)
{
    if (!mListBox) return E_FAIL;
    if (open && GetParent()) {
        SendNotification(LNotification::Create(u"NID_DROPDOWN_OPENING"));
        PlaceList();
        SelectShownText();
    }
    mListBox->SetVisible(open);
    if (!open) return S_OK;
    if (mListBox->IsMenuMode() && (GetConditions() & (Condition::kLeftPressed | Condition::kLeftDragging))) {
        // The press that opened the list goes on in it: a release over an item picks it.
        const DoubleRect& at = mListBox->GetFrame();
        EndDrag();
        mListBox->BeginDrag(1, static_cast<int32_t>(std::lround(mPressPoint.x - at.x)),
                            static_cast<int32_t>(std::lround(mPressPoint.y - at.y)));
    }
    mListBox->SetFocus(true);
    return S_OK;
}

void LComboBox::OnConditionsChanged(const RCPtr<LConditionsParam>& conditions)
{
    // Kept before the base opens the list, so the list's drag starts where the press fell.
    if (conditions && (conditions->newConditions & Condition::kLeftPressed) &&
        !(conditions->oldConditions & Condition::kLeftPressed))
        mPressPoint = {conditions->pressX - GetFrame().x, conditions->pressY - GetFrame().y};
    LDropDownControl::OnConditionsChanged(conditions);
    UpdateVisualPart();
}

QVResult LComboBox::UpdateVisualPart()
{
    const uint32_t c = GetConditions();
    const bool hovered = (c & (Condition::kHover | Condition::kActive)) != 0;
    const bool focused = HasFocus() || ContainsFocus();
    int32_t part = kNormal;
    if (!IsEnabledInTree(true)) {
        part = kDisabled;
    } else if (IsDropDownOpen()) {
        part = hovered ? kOpenHover : kOpen;
    } else {
        part = (hovered ? kHover : kNormal) + (focused ? kFocused : 0);
    }
    return ShowPart(part, true);
}

QVResult LComboBox::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    if (!key) return kNotHandled;
    const uint32_t flags = key->code.code;
    if (!IsDropDownOpen() && (flags == kDownKey || flags == kEnterKey)) {
        if (const QVResult shown = ShowList(true); Failed(shown)) return shown;
        return S_OK;
    }
    if (IsDropDownOpen() && flags == kEscapeKey) {
        (void)ShowList(false);  // the list is open, so it exists
        ReclaimFocus();
        return S_OK;
    }
    return kNotHandled;
}

void LComboBox::HandleKey(const RCPtr<LKeyParam>& key)
{
    if (key && key->code.code == kEscapeKey && mListBox && mListBox->IsEffectivelyVisible(false)) {
        mListBox->SetVisible(false);
        ReclaimFocus();
        return;
    }
    LDropDownControl::HandleKey(key);
}

String LComboBox::GetToolTipText() const
{
    return ClippedTextToolTip(*this);
}

// The focus comes back from a closed list that held it (hiding may have dropped it).
void LComboBox::ReclaimFocus()
{
    RCPtr<IRootWindow> root = GetRootWindow();
    RCPtr<LControl> focus = root ? root->GetFocusControl() : nullptr;
    if (!focus || focus.Get() == mListBox.Get() || (mListBox && mListBox->ContainsFocus())) SetFocus(true);
}

QVResult LComboBox::OnListVisibility(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    UpdateVisualPart();
    return S_OK;
}

QVResult LComboBox::OnItemActivated(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&)
{
    const int32_t chosen = mListBox ? mListBox->GetActivatedIndex() : -1;
    ReclaimFocus();
    SetSelectedIndex(chosen);
    return 1;
}

QVResult LComboBox::OnListMouseUp(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    if (!mListBox || !IsReleaseOutsideOwner(*mListBox, *this, notification)) return S_OK;
    mListBox->SetVisible(false);
    ReclaimFocus();
    return S_OK;
}

QVResult LComboBox::PassOn(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    return SendNotification(LNotification::Create(notification->GetID(), notification->GetPayload()));
}

QVResult LComboBox::OnTextValidated(const RCPtr<LNotificationDistributor>& sender,
                                    const RCPtr<LNotification>& notification)
{
    auto* params = dynamic_cast<LTextValidationParams*>(notification->GetPayload().Get());
    if (params && mListBox) {
        SetSelectedIndex(mListBox->FindItemByText(params->text, mFindFlag));
        if (mSelectedIndex < 0 && mAddTypedItems && !params->text.IsEmpty()) {
            const int32_t p = AddItem(params->text);
            if (p >= 0) SetSelectedIndex(p);
        }
    }
    return PassOn(sender, notification);
}

QVResult LComboBox::OnTextFocus(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification)
{
    auto* change = dynamic_cast<LConditionsParam*>(notification->GetPayload().Get());
    const bool gained =
        change && (change->newConditions & Condition::kHasFocus) && !(change->oldConditions & Condition::kHasFocus);
    if (gained && mListBox) mListBox->SetVisible(false);
    return S_OK;
}

bool IsReleaseOutsideOwner(const LControl& list, const LControl& owner, const RCPtr<LNotification>& notification)
{
    auto* release = notification ? dynamic_cast<LMouseButtonParam*>(notification->GetPayload().Get()) : nullptr;
    if (!release || release->GetButton() != LMouseButtonParam::kLeft || !list.IsEffectivelyVisible(false)) return false;
    // The list lies in the owner's coordinates; the release in the list's.
    const LongPoint at = release->GetPoint();
    const double x = at.x + list.GetFrame().x;
    const double y = at.y + list.GetFrame().y;
    const DoubleRect& own = owner.GetFrame();
    return x < 0.0 || y < 0.0 || x >= own.width || y >= own.height;
}

}  // namespace QV
