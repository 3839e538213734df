#pragma once
// The fifteen parameter values of the keyboard, shared by the engine and the
// root module. A slot is addressed by index (the id minus the first id); a
// value with a sub-descriptor lives in its slot's sorted list of entries.
#include <cstdint>
#include <vector>

#include "ParamDescriptor.h"
#include "RefCountedObject.h"
#include "Variant.h"

class LParamCache : public virtual QV::LRefCountedObject {
    QV_TYPE_NAME("class LParamCache")
public:
    explicit LParamCache(uint32_t slotCount);

    // 0 stored, 1 already held, -1 bad index or malformed entry list.
    [[nodiscard]] virtual int32_t SetValue(const QV::ParamDescriptor& descriptor, const QV::Variant& value,
                                           bool notify);
    // 0 found, 1 no such sub-descriptor entry, -1 bad index; out is cleared first.
    [[nodiscard]] virtual int32_t GetValue(const QV::ParamDescriptor& descriptor, QV::Variant& value) const;
    virtual void Reserved(int32_t) {}
    [[nodiscard]] virtual int32_t OnValueChanged(uint32_t index, const QV::Variant& value);

    uint32_t GetSlotCount() const { return static_cast<uint32_t>(mSlots.size()); }

private:
    [[nodiscard]] int32_t SetSubValue(uint32_t index, const QV::ParamDescriptor& descriptor, const QV::Variant& value,
                                      bool notify);

    std::vector<QV::Variant> mSlots;
};
