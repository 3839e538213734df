#include "MenuFromPairs.h"

#include <set>

#include "LMenuItemDescriptor.h"

namespace QV {

namespace {

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Leading blanks, a sign and the leading digits, as a C integer reader takes them.
int32_t LeadingInteger(const String& text)
{
    const char16_t* p = text.GetChars();
    while (*p == u' ' || *p == u'\t') ++p;
    const bool negative = *p == u'-';
    if (*p == u'-' || *p == u'+') ++p;
    int64_t value = 0;
    for (; IsDigit(*p) && value <= INT32_MAX; ++p) value = value * 10 + (*p - u'0');
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<int32_t>(negative ? -value : value);
}

void Append(MenuPairs& list, const MenuPair& pair)
{
    (void)list.AddItem(pair);  // the array grows
}

const String& PartAt(const Array<String>& parts, uint32_t index)
{
    static const String kEmpty;
    return index < parts.GetCount() ? *parts.GetItemPtr(index) : kEmpty;
}

void SplitText(const String& text, String& label, String& help)
{
    const int32_t bar = text.Find(u"|");
    if (bar < 0) {
        label = text;
        help = String();
        return;
    }
    label = text.Left(bar);
    help = text.Mid(static_cast<uint32_t>(bar + 1));
}

QVResult Build(const MenuPairs& pairs, const SubmenuPairs& submenus, RCPtr<LMenuDescriptor>& target,
               std::set<String>& building)
{
    if (target)
        target->RemoveAllItems();
    else
        target = new LMenuDescriptor();
    for (uint32_t i = 0; i < pairs.GetCount(); ++i) {
        const MenuPair& pair = *pairs.GetItemPtr(i);
        const String& command = pair.first;
        String label, help;
        SplitText(pair.second, label, help);
        const int32_t length = command.GetLength();
        if (length > 0 && command.GetChars()[length - 1] == u'.') {
            const String name = command.Left(length - 1);
            const auto sub = submenus.find(name);
            if (sub == submenus.end() || building.count(name)) continue;
            RCPtr<LMenuItemDescriptor> entry = CreateMenuItemDescriptor(label, String(), true, false);
            if (!help.IsEmpty()) entry->SetHelpText(help);
            // Filled before it joins the menu: emptying a target also drops its parent.
            building.insert(name);
            RCPtr<LMenuDescriptor> subTarget(entry.Get());
            Build(sub->second, submenus, subTarget, building);
            building.erase(name);
            if (const QVResult added = target->AddItem(entry); Failed(added)) return added;
        } else if (command == u"-") {
            if (const QVResult added = target->InsertSeparator(target->GetItemCount()); Failed(added)) return added;
        } else {
            RCPtr<LMenuItemDescriptor> entry = CreateMenuItemDescriptor(label, command, true, false);
            entry->SetHelpText(help);
            if (const QVResult added = target->AddItem(entry); Failed(added)) return added;
        }
    }
    return S_OK;
}

}  // namespace

Array<String> SplitString(const String& text, const char16_t* separators)
{
    Array<String> parts;
    const std::u16string_view view = text.View();
    const std::u16string_view set(separators);
    size_t start = 0;
    for (size_t i = 0; i <= view.size(); ++i) {
        if (i < view.size() && set.find(view[i]) == std::u16string_view::npos) continue;
        if (i == view.size() && start == i && i != 0) break;
        const std::u16string part(view.substr(start, i - start));
        (void)parts.AddItem(String(part.c_str()));  // the array grows
        start = i + 1;
    }
    return parts;
}

QVResult BuildMenuFromPairs(const MenuPairs& pairs, const SubmenuPairs& submenus, RCPtr<LMenuDescriptor>& target)
{
    std::set<String> building;
    return Build(pairs, submenus, target, building);
}

RCPtr<LMenuDescriptor> CreateMenuDescriptorFromPairs(const MenuPairs& pairs)
{
    MenuPairs own;
    SubmenuPairs submenus;
    for (uint32_t i = 0; i < pairs.GetCount(); ++i) {
        const MenuPair& pair = *pairs.GetItemPtr(i);
        const Array<String> parts = SplitString(pair.first, u".");
        if (parts.GetCount() < 2) continue;
        const String& first = PartAt(parts, 0);
        int32_t position = -1;
        bool ownEntry = true;
        if (!first.IsEmpty()) {
            ownEntry = IsDigit(first.GetChars()[0]);
            position = LeadingInteger(ownEntry ? first : PartAt(parts, 1));
        }
        String command = PartAt(parts, ownEntry ? 1 : 2);
        const String& key = pair.first;
        if (key.GetChars()[key.GetLength() - 1] == u'.') command += String(u".");
        MenuPairs& list = ownEntry ? own : submenus[first];
        if (position == static_cast<int32_t>(list.GetCount())) Append(list, MenuPair(command, pair.second));
    }
    RCPtr<LMenuDescriptor> menu;
    if (Failed(BuildMenuFromPairs(own, submenus, menu)) || !menu || menu->GetItemCount() == 0) return nullptr;
    return menu;
}

}  // namespace QV
