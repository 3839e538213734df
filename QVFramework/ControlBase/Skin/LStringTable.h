#pragma once
// String ID -> text, in ascending ID order. A table handed to a control is
// its own copy; creation parameters of a skin control are one too.
#include <map>
#include <utility>
#include <vector>

#include "IControlDescriptor.h"
#include "StringT.h"

namespace QV {

class LStringTable : public IControlStringTable {
    QV_TYPE_NAME("class QV::LStringTable")
public:
    using Pairs = std::vector<std::pair<String, String>>;
    using Map = std::map<String, String>;

    LStringTable() = default;
    explicit LStringTable(Map strings) : mStrings(std::move(strings)) {}

    // 0 added, 1 replaced, E_INVALIDARG for an empty ID.
    [[nodiscard]] QVResult SetString(const String& id, const String& text);
    // False, and text untouched, when the ID is absent.
    bool GetString(const String& id, String& text) const override;
    void GetAllStrings(Pairs& out) const;
    // Every pair whose ID begins with prefix (the whole ID kept), by ID.
    [[nodiscard]] QVResult GetStringsWithPrefix(const String& prefix, Pairs& out) const override;
    const Map& GetMap() const { return mStrings; }

    RCPtr<LRefCountedObject> CreateCopy() const override { return RCPtr<LRefCountedObject>(new LStringTable(*this)); }

private:
    Map mStrings;
};

}  // namespace QV
