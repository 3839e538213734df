#pragma once
// An RCPtrArray that is itself counted, so one list can be shared.
#include <cstdint>
#include <string>

#include "LTaggableObject.h"
#include "LazyTypeName.h"
#include "RCPtrArray.h"

namespace QV {

template <class T, uint32_t G = 1, uint32_t S = 0>
class LRCPtrArray : public RCPtrArray<T, G, S>, public LTaggableObject {
public:
    using RCPtrArray<T, G, S>::RCPtrArray;

    static const std::string& MakeTypeName()
    {
        static const std::string name =
            "class QV::LRCPtrArray<" + std::string(TypeNameOf<T>()) + "," + std::to_string(G) +
            "," + std::to_string(S) + ">";
        return name;
    }
    static constexpr LazyTypeName kTypeName{&MakeTypeName};
    const char* GetTypeName() const override { return kTypeName; }
};

}  // namespace QV
