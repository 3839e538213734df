#include "LMainMenu.h"

#include <string_view>

#include "IControlApplication.h"
#include "LConditionsParam.h"
#include "LPopupMenu.h"
#include "RenamedControlDescriptor.h"

namespace QV {

namespace {

IMenuBarButton* AsButton(LControl* c)
{
    return dynamic_cast<IMenuBarButton*>(c);
}

// A whole decimal number of at most `digits` digits; -1 otherwise.
int32_t ReadIndex(std::u16string_view text, size_t digits)
{
    if (text.empty() || text.size() > digits) return -1;
    int32_t value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
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

std::vector<String> LMainMenu::ReadLabels(const IControlStringTable& table)
{
    std::vector<std::pair<String, String>> pairs;
    std::vector<String> labels;
    if (table.GetStringsWithPrefix(u"MENU_LABEL.", pairs) < 0) return labels;
    for (const auto& [id, text] : pairs) {
        // Indexes beyond the bar's hundred menus are ignored, never allocated for.
        const int32_t index = ReadIndex(id.View().substr(11), 2);
        if (index < 0) continue;
        if (static_cast<size_t>(index) >= labels.size()) labels.resize(static_cast<size_t>(index) + 1);
        labels[static_cast<size_t>(index)] = text;
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
    const std::vector<String> labels = ReadLabels(*table);
    std::vector<RCPtr<LMenuDescriptor>> menus;
    // A table that cannot list its menus leaves the bar empty.
    if (Failed(BuildContextMenu(menus)) || menus.empty() || menus.size() != labels.size()) return result;
    // A menu that cannot be added leaves no place for the ones after it.
    for (size_t i = 0; i < labels.size(); ++i) {
        if (Failed(InsertMenu(static_cast<int32_t>(i), labels[i], labels[i], menus[i]))) break;
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
    mAddedNames.clear();
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
    if (FindChildControl(name) || GetMenuIndex(name) >= 0) return E_INVALIDARG;
    IControlApplication* app = GetControlApplication();
    IControlFactory* factory = app ? app->GetControlFactory() : nullptr;
    if (!factory || !mTemplate) return E_FAIL;
    String after;
    const int32_t count = GetMenuButtonCount();
    if ((!mAddedNames.empty() || !mTemplateFound) && count > 0) after = GetMenuButton(count - 1)->GetName();
    RCPtr<LControl> button =
        factory->CreateControl(RCPtr<IControlDescriptor>(new MenuButtonDescriptor(mTemplate, name, after)), this);
    if (!button || !AsButton(button.Get())) {
        if (button) button->Close();
        return E_FAIL;
    }
    button->SetFocusBoundary(true);
    AsButton(button.Get())->SetMenuItemUpdater(mUpdater);
    if (mTarget) AsButton(button.Get())->SetNotificationTarget(mTarget);
    mAddedNames.push_back(name);
    return S_OK;
}

QVResult LMainMenu::InsertMenu(int32_t index, const String& name, const String& label,
                               const RCPtr<LMenuDescriptor>& menu)
{
    const int32_t added = static_cast<int32_t>(mAddedNames.size());
    if (index < 0 || index > added) return E_INVALIDARG;
    return InsertMenuBefore(index == added ? String() : mAddedNames[static_cast<size_t>(index)], name, label, menu);
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
    // The buttons keep their places; the menus after p move one to the right.
    for (int32_t b = GetMenuButtonCount() - 1; b > p; --b) {
        LControl* to = GetMenuButton(b);
        LControl* from = GetMenuButton(b - 1);
        AsButton(to)->SetMenu(AsButton(from)->GetMenu());
        to->SetText(from->GetText());
        mAddedNames[static_cast<size_t>(b - mSkinMenuCount)] = mAddedNames[static_cast<size_t>(b - 1 - mSkinMenuCount)];
    }
    LControl* target = GetMenuButton(p);
    target->SetText(label);
    AsButton(target)->SetMenu(menu);
    mAddedNames[static_cast<size_t>(p - mSkinMenuCount)] = name;
    return p - mSkinMenuCount;
}

int32_t LMainMenu::GetMenuIndex(const String& name) const
{
    for (size_t i = 0; i < mAddedNames.size(); ++i) {
        if (mAddedNames[i] == name) return static_cast<int32_t>(i);
    }
    return -1;
}

String LMainMenu::GetMenuName(int32_t index) const
{
    if (index < 0 || index >= static_cast<int32_t>(mAddedNames.size())) return String();
    return mAddedNames[static_cast<size_t>(index)];
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

void LMainMenu::SetNotificationTarget(const RCPtr<LNotificationQueue>& target)
{
    mTarget = target;
    for (int32_t n = 0; LControl* b = GetMenuButton(n); ++n) AsButton(b)->SetNotificationTarget(target);
}

void LMainMenu::SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater)
{
    mUpdater = updater;
    for (int32_t n = 0; LControl* b = GetMenuButton(n); ++n) AsButton(b)->SetMenuItemUpdater(updater);
}

QVResult LMainMenu::QueryCommandState(const RCPtr<LNotification>& command)
{
    if (!mUpdater) return kNotHandled;
    const RCPtr<LControl>& target = mUpdater->GetTarget();
    return target ? target->QueryCommandState(command) : E_FAIL;
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
    case 0x20250000: OpenMenu((open + count - 1) % count); return S_OK;
    case 0x20270000: OpenMenu((open + 1) % count); return S_OK;
    case 0x201B0000: AsButton(GetMenuButton(open))->ShowMenu(false); return S_OK;
    default: return kNotHandled;
    }
}

}  // namespace QV
