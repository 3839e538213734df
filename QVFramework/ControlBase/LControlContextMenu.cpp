#include <algorithm>
#include <map>

#include "LControl.h"
#include "MenuFromPairs.h"

namespace QV {
namespace {

using StringPairs = std::vector<std::pair<String, String>>;

// One menu from pairs whose names are already stripped to "nn.NID" (or the
// submenu forms); a group that builds no entry still holds its place.
RCPtr<LMenuDescriptor> BuildGroup(StringPairs pairs)
{
    // The builder counts positions in arrival order, so the table's order must not matter.
    std::stable_sort(pairs.begin(), pairs.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    MenuPairs list;
    for (const auto& pair : pairs) (void)list.AddItem(MenuPair(pair.first, pair.second));  // the array grows
    RCPtr<LMenuDescriptor> menu = CreateMenuDescriptorFromPairs(list);
    return menu ? menu : RCPtr<LMenuDescriptor>(new LMenuDescriptor());
}

String After(const String& name, uint32_t length)
{
    return name.Mid(std::min(length, static_cast<uint32_t>(name.GetLength())));
}

}  // namespace

QVResult LControl::BuildContextMenu(std::vector<RCPtr<LMenuDescriptor>>& out) const
{
    RCPtr<IControlStringTable> table = GetStringTable();
    return table ? BuildContextMenu(*table, out) : S_OK;
}

QVResult LControl::BuildContextMenu(const IControlStringTable& table, std::vector<RCPtr<LMenuDescriptor>>& out)
{
    static const String kSingle(u"CONTEXT_MENU.");
    StringPairs pairs;
    if (const QVResult listed = table.GetStringsWithPrefix(kSingle, pairs); Failed(listed)) return listed;
    if (!pairs.empty()) {
        for (auto& pair : pairs) pair.first = After(pair.first, kSingle.GetLength());
        out.push_back(BuildGroup(std::move(pairs)));
        return S_OK;
    }
    if (const QVResult listed = table.GetStringsWithPrefix(u"CONTEXT_MENU", pairs); Failed(listed)) return listed;
    // Grouped by the whole part before the first ".", so "CONTEXT_MENU1" never
    // takes the entries of "CONTEXT_MENU10"; the map keeps the parts' string order.
    std::map<String, StringPairs> groups;
    for (const auto& [name, text] : pairs) {
        const int32_t dot = name.Find(u".");
        if (dot < 0) continue;
        groups[name.Left(dot)].emplace_back(After(name, static_cast<uint32_t>(dot + 1)), text);
    }
    for (auto& [prefix, entries] : groups) out.push_back(BuildGroup(std::move(entries)));
    return S_OK;
}

}  // namespace QV
