#include "LMainMenu.h"

#include <algorithm>
#include <string_view>

#include "IControlApplication.h"
#include "KeyCode.h"
#include "LConditionsParam.h"
#include "LPopupMenu.h"
#include "RenamedControlDescriptor.h"

namespace QV {

namespace {

IMenuBarButton* AsButton(LControl* c)
{
    return dynamic_cast<IMenuBarButton*>(c);
}

// The number as the C library's decimal reading gives it: leading blanks, a
// sign, the digits up to the first other character (0 without any); a number
// out of range saturates.
int32_t ReadLabelNumber(std::u16string_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == u' ' || (text[i] >= u'\t' && text[i] <= u'\r'))) ++i;
    const bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) ++i;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = std::min<int64_t>(value * 10 + (text[i] - u'0'), int64_t{INT32_MAX} + 1);
    }
    if (negative) value = -value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// The button's copy of the template, under a new name and placed after a sibling.
class MenuButtonDescriptor : public RenamedControlDescriptor {
    QV_TYPE_NAME("class QV::MenuButtonDescriptor")
public:
    MenuButtonDescriptor(RCPtr<IControlDescriptor> base, String name, String after)
        : RenamedControlDescriptor(std::move(base), std::move(name)), mAfter(std::move(after))
    {}
    ControlLayout GetLayout() const override
    {
        ControlLayout l = RenamedControlDescriptor::GetLayout();
        if (!mAfter.IsEmpty()) l.position[0] = LayoutRecord{LayoutKind::kSibling, mAfter, 1.0f, 0.0};
        return l;
    }

private:
    String mAfter;
};

}  // namespace

LMainMenu::LMainMenu(LControl* parent, const String& name) : LControl(parent, name) {}

LMainMenu::~LMainMenu() = default;

std::map<int32_t, String> LMainMenu::ReadLabels(const IControlStringTable& table)
{
    std::vector<std::pair<String, String>> pairs;
    std::map<int32_t, String> labels;
    if (table.GetStringsWithPrefix(u"MENU_LABEL.", pairs) < 0) return labels;
    for (const auto& [id, text] : pairs) {
        const int32_t index = ReadLabelNumber(id.View().substr(11));
        // A negative number names no place in the list.
        if (index >= 0) labels[index] = text;
    }
    return labels;
}

QVResult LMainMenu::Initialize()
{
    const QVResult result = LControl::Initialize();
    SetNotFocusable(true);
    ChildControlList& children = GetChildren();
    for (uint32_t i = children.GetCount(); i-- > 0;) {
        LControl* child = children.GetAt(i, ChildControlList::kInsertion);
        if (!AsButton(child)) continue;
        if (child->GetName() == u"templateMenu") {
            mTemplate = child->GetDescriptor();
            (void)RCPtr<LControl>(child)->Close();  // hidden either way; never counted as a menu
            mTemplateFound = true;
            continue;
        }
        child->SetFocusBoundary(true);
        AsButton(child)->SetMenuItemUpdater(mUpdater);
        ++mSkinMenuCount;
        if (!mTemplate) mTemplate = child->GetDescriptor();
    }
    RCPtr<IControlStringTable> table = GetStringTable();
    if (!table) return result;
    const std::map<int32_t, String> labels = ReadLabels(*table);
    // The labels run from 0 to the highest number; a number left out is an
    // empty label. Counted, not allocated, so a huge number costs nothing.
    const size_t count = labels.empty() ? 0 : static_cast<size_t>(labels.rbegin()->first) + 1;
    std::vector<RCPtr<LMenuDescriptor>> menus;
    // A table that cannot list its menus leaves the bar empty.
    if (Failed(BuildContextMenu(menus)) || menus.empty() || menus.size() != count) return result;
    // A menu that cannot be added leaves no place for the ones after it.
    for (size_t i = 0; i < count; ++i) {
        const auto found = labels.find(static_cast<int32_t>(i));
        const String label = found == labels.end() ? String() : found->second;
        if (Failed(InsertMenu(static_cast<int32_t>(i), label, label, menus[i]))) break;
    }
    return result;
}

QVResult LMainMenu::ApplyDescriptor(const RCPtr<IControlDescriptor>& descriptor)
{
    struct Added {
        String name;
        String text;
        RCPtr<LMenuDescriptor> menu;
    };
    if (!descriptor) return E_INVALIDARG;
    // The new skin's children give the template again; a skin without one
    // keeps the last, so the added menus are never lost with it.
    const RCPtr<IControlDescriptor> previous = std::move(mTemplate);
    std::vector<Added> added;
    for (int32_t n = mSkinMenuCount; LControl* button = GetMenuButton(n); ++n)
        added.push_back({button->GetName(), button->GetText(), AsButton(button)->GetMenu()});
    const QVResult result = LControl::ApplyDescriptor(descriptor);
    if (!IsInitialized() || Failed(result)) {
        if (!mTemplate) mTemplate = previous;
        return result;
    }
    // The skin menus the new skin names again; the added ones left with the old skin.
    mSkinMenuCount = GetMenuButtonCount();
    // As at start-up, the skin's "templateMenu" wins over its first menu.
    for (uint32_t i = 0; i < descriptor->GetChildCount(); ++i) {
        RCPtr<IControlDescriptor> entry = descriptor->GetChild(i);
        if (entry && entry->GetName() == u"templateMenu") {
            (void)SetParent(nullptr, entry);  // named so, always taken
            break;
        }
    }
    if (!mTemplate) mTemplate = previous;
    for (const Added& menu : added) {
        // A menu the new skin cannot make is left out; the others keep their order.
        if (AddMenu(menu.name) != S_OK) continue;
        LControl* button = GetMenuButton(GetMenuButtonCount() - 1);
        AsButton(button)->SetMenu(menu.menu);
        button->SetText(menu.text);
    }
    return result;
}

QVResult LMainMenu::SetParent(const RCPtr<LControl>& child, const RCPtr<IControlDescriptor>& descriptor)
{
    if (!child) {
        if (!descriptor || descriptor->GetName() != u"templateMenu") return E_FAIL;
        mTemplate = descriptor;
        return S_OK;
    }
    const QVResult result = LControl::SetParent(child, descriptor);
    // Only a menu button can be copied into a new menu.
    if (!mTemplate && Succeeded(result) && AsButton(child.Get())) mTemplate = descriptor;
    return result;
}

QVResult LMainMenu::AddMenu(const String& name)
{
    if (FindChildControl(name)) return E_INVALIDARG;
    IControlApplication* app = GetControlApplication();
    IControlFactory* factory = app ? app->GetControlFactory() : nullptr;
    if (!factory || !mTemplate) return E_FAIL;
    String after;
    const int32_t count = GetMenuButtonCount();
    if ((count > mSkinMenuCount || !mTemplateFound) && count > 0) after = GetMenuButton(count - 1)->GetName();
    RCPtr<LControl> button =
        factory->CreateControl(RCPtr<IControlDescriptor>(new MenuButtonDescriptor(mTemplate, name, after)), this);
    if (!button || !AsButton(button.Get())) {
        if (button) button->Close();
        return E_FAIL;
    }
    button->SetFocusBoundary(true);
    AsButton(button.Get())->SetMenuItemUpdater(mUpdater);
    if (const RCPtr<LNotificationQueue> queue = RootQueue()) AsButton(button.Get())->SetNotificationTarget(queue);
    return S_OK;
}

QVResult LMainMenu::InsertMenu(int32_t index, const String& name, const String& label,
                               const RCPtr<LMenuDescriptor>& menu)
{
    const int32_t added = GetMenuButtonCount() - mSkinMenuCount;
    if (index < 0 || index > added) return E_INVALIDARG;
    return InsertMenuBefore(index == added ? String() : GetMenuName(index), name, label, menu);
}

QVResult LMainMenu::InsertMenuBefore(const String& before, const String& name, const String& label,
                                     const RCPtr<LMenuDescriptor>& menu)
{
    int32_t p = GetMenuButtonCount();
    if (!before.IsEmpty()) {
        const int32_t index = GetMenuIndex(before);
        if (index < 0) return E_INVALIDARG;
        p = index + mSkinMenuCount;
    }
    if (AddMenu(name) != S_OK) return E_INVALIDARG;
    // The buttons keep their places; the menus after p move one to the right,
    // each with its name. The old holder steps aside under a passing name, as
    // two siblings never share one.
    for (int32_t b = GetMenuButtonCount() - 1; b > p; --b) {
        LControl* to = GetMenuButton(b);
        LControl* from = GetMenuButton(b - 1);
        AsButton(to)->SetMenu(AsButton(from)->GetMenu());
        to->SetText(from->GetText());
        const String moved = from->GetName();
        (void)from->RenameControl(moved + u"_");
        (void)to->RenameControl(moved);
    }
    LControl* target = GetMenuButton(p);
    target->SetText(label);
    AsButton(target)->SetMenu(menu);
    (void)target->RenameControl(name);
    return p - mSkinMenuCount;
}

int32_t LMainMenu::GetMenuIndex(const String& name) const
{
    const int32_t n = FindMenuButton(name);
    return n >= mSkinMenuCount ? n - mSkinMenuCount : -1;
}

String LMainMenu::GetMenuName(int32_t index) const
{
    const LControl* button = index >= 0 ? GetMenuButton(mSkinMenuCount + index) : nullptr;
    return button ? button->GetName() : String();
}

LControl* LMainMenu::GetMenuButton(int32_t n) const
{
    const ChildControlList& children = GetChildren();
    for (uint32_t i = 0; i < children.GetCount(); ++i) {
        auto* child = const_cast<LControl*>(children.GetAt(i, ChildControlList::kInsertion));
        if (AsButton(child) && n-- == 0) return child;
    }
    return nullptr;
}

int32_t LMainMenu::GetMenuButtonCount() const
{
    int32_t count = 0;
    while (GetMenuButton(count)) ++count;
    return count;
}

int32_t LMainMenu::FindMenuButton(const String& name) const
{
    for (int32_t n = GetMenuButtonCount(); n-- > 0;) {
        if (GetMenuButton(n)->GetName() == name) return n;
    }
    return -1;
}

RCPtr<LNotificationQueue> LMainMenu::RootQueue() const
{
    const RCPtr<IRootWindow> root = GetRootWindow();
    return root ? root->GetNotificationQueue() : nullptr;
}

void LMainMenu::ConnectNotifications()
{
    if (const RCPtr<LNotificationQueue> queue = RootQueue()) {
        for (int32_t n = 0; LControl* b = GetMenuButton(n); ++n) AsButton(b)->SetNotificationTarget(queue);
    }
    LControl::ConnectNotifications();
}

void LMainMenu::SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater)
{
    mUpdater = updater;
    for (int32_t n = 0; LControl* b = GetMenuButton(n); ++n) AsButton(b)->SetMenuItemUpdater(updater);
}

QVResult LMainMenu::QueryCommandState(const RCPtr<LNotification>& command, bool& enabled)
{
    return mUpdater ? mUpdater->QueryState(command, enabled) : kNotHandled;
}

LControl* LMainMenu::GetEditTarget()
{
    if (mEditTarget && mEditTarget->HandlesEditCommands()) return mEditTarget.Get();
    LControl* parent = GetParent();
    return parent ? parent->GetEditTarget() : nullptr;
}

void LMainMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& param)
{
    LControl::OnConditionsChanged(param);
    const bool gained = (param->newConditions & Condition::kContainsFocus) &&
                        !(param->oldConditions & Condition::kContainsFocus);
    // The opening button has just recorded the control that had the focus before it.
    if (gained && mUpdater) mEditTarget = mUpdater->GetTarget();
}

RCPtr<LPopupMenu> LMainMenu::GetPopupMenu(LControl* button)
{
    if (!button) return nullptr;
    RCPtr<LControl> child = button->FindChildControl(u"popupMenu");
    return RCPtr<LPopupMenu>(dynamic_cast<LPopupMenu*>(child.Get()));
}

RCPtr<LMenuDescriptor> LMainMenu::GetMenuDescriptor(LControl* button)
{
    RCPtr<LPopupMenu> popup = GetPopupMenu(button);
    return popup ? popup->GetMenu() : nullptr;
}

void LMainMenu::SetPopupUpdater(LControl* button, const RCPtr<LMenuItemUpdater>& updater)
{
    if (RCPtr<LPopupMenu> popup = GetPopupMenu(button)) popup->SetMenuItemUpdater(updater);
}

int32_t LMainMenu::GetOpenMenu() const
{
    for (int32_t n = 0; LControl* b = GetMenuButton(n); ++n) {
        if (AsButton(b)->IsMenuShown()) return n;
    }
    return -1;
}

void LMainMenu::OpenMenu(int32_t n)
{
    for (int32_t i = 0; LControl* b = GetMenuButton(i); ++i) {
        if (i != n && AsButton(b)->IsMenuShown()) AsButton(b)->ShowMenu(false);
    }
    if (LControl* b = GetMenuButton(n)) AsButton(b)->ShowMenu(true);
}

QVResult LMainMenu::OnKeyDown(const RCPtr<LKeyParam>& key)
{
    const int32_t open = GetOpenMenu();
    if (!key || open < 0) return kNotHandled;
    const int32_t count = GetMenuButtonCount();
    switch (key->code.code) {
    case KeyCode::Pressed(Keys::kLeft): OpenMenu((open + count - 1) % count); return S_OK;
    case KeyCode::Pressed(Keys::kRight): OpenMenu((open + 1) % count); return S_OK;
    case KeyCode::Pressed(Keys::kEscape): AsButton(GetMenuButton(open))->ShowMenu(false); return S_OK;
    default: return kNotHandled;
    }
}

}  // namespace QV
