#pragma once
// The controls of one edit panel, found and read by its table: finding each
// (with the panel's error for a missing one), setting its range, packing the
// controls into the blob and setting them from it. UI thread only.
#include <functional>
#include <vector>

#include "EditPanelTable.h"
#include "LControl.h"

class EditPanelFields {
public:
    // Subscribes the panel to a control for a notification name; a result code.
    using Subscribe = std::function<QV::QVResult(QV::LControl& control, const char16_t* notification)>;

    explicit EditPanelFields(const PanelTable& table) : mTable(table) {}

    // Finds every field's control in table order, subscribes to it and sets
    // its range. Raises the runtime error of a missing child and the
    // failed-result error of a refused subscription.
    void FindAll(QV::LControl& panel, const Subscribe& subscribe);
    // The control at the end of steps under parent; raises the error of the
    // first step that is missing.
    QV::RCPtr<QV::LControl> FindPath(QV::LControl& parent, std::span<const ChildStep> steps) const;
    [[noreturn]] void ThrowMissing(const ChildStep& step) const;
    [[noreturn]] void ThrowFailedSubscription(QV::QVResult result, int32_t line) const;

    // The blob of the controls as they stand; type picks the owner of a shared byte.
    std::vector<uint8_t> Read(int32_t type) const;
    // Sets the controls from the blob, in the table's apply order.
    void Write(const uint8_t* bytes, int32_t type);
    // Shows the groups of the fields shown for the type and hides the others.
    void ShowForType(QV::LControl& panel, int32_t type) const;

    const QV::RCPtr<QV::LControl>& Control(size_t index) const { return mControls[index]; }
    // A control's value in range units, rounded to a whole number.
    static int32_t ValueOf(const QV::LControl& control, FieldKind kind);
    static void SetValueOf(QV::LControl& control, FieldKind kind, int32_t value);
    const PanelTable& Table() const { return mTable; }

private:
    bool OwnsByte(size_t index, int32_t type) const;
    // Whether another field of the same byte holds it for the type.
    bool YieldsByte(size_t index, int32_t type) const;

    const PanelTable& mTable;
    std::vector<QV::RCPtr<QV::LControl>> mControls;
};
