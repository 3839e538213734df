#include "LStringTable.h"

namespace QV {

QVResult LStringTable::SetString(const String& id, const String& text)
{
    if (id.IsEmpty()) return E_INVALIDARG;
    auto [it, added] = mStrings.insert_or_assign(id, text);
    return added ? S_OK : 1;
}

bool LStringTable::GetString(const String& id, String& text) const
{
    auto it = mStrings.find(id);
    if (it == mStrings.end()) return false;
    text = it->second;
    return true;
}

void LStringTable::GetAllStrings(Pairs& out) const
{
    out.assign(mStrings.begin(), mStrings.end());
}

QVResult LStringTable::GetStringsWithPrefix(const String& prefix, Pairs& out) const
{
    out.clear();
    // The map is ordered by ID, so the matches come out sorted.
    for (auto it = mStrings.lower_bound(prefix); it != mStrings.end() && it->first.Left(prefix.GetLength()) == prefix;
         ++it) {
        out.push_back(*it);
    }
    return S_OK;
}

}  // namespace QV
