#pragma once
// A number chosen in its "numericUpDown" child, with an optional "textLabel"
// that names the number (the string "ITEM.nn" of the label's table, e.g. the
// controller's name beside a CC number). The selector's own value mirrors the
// up-down, so an owner reads, sets and subscribes to the selector alone.
// UI thread only.
#include "LNumericUpDown.h"
#include "LPanel.h"
#include "OwnHandler.h"

class LNumberBoxTextSelector : public QV::LPanel {
    QV_TYPE_NAME("class LNumberBoxTextSelector")
public:
    LNumberBoxTextSelector(QV::LControl* parent, const QV::String& name);
    ~LNumberBoxTextSelector() override;

    [[nodiscard]] QV::QVResult Initialize() override;
    [[nodiscard]] QV::QVResult SetValueRange(double minimum, double maximum, int32_t scale) override;
    void OnValueChanged() override;

    // The value in range units, as a whole number.
    int32_t GetNumber() const;
    QV::RCPtr<QV::LNumericUpDown> GetUpDown() const { return mUpDown; }

    [[nodiscard]] QV::QVResult ReceiveNotification(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                                     const QV::RCPtr<QV::LNotification>& notification) override;
    [[nodiscard]] QV::QVResult UnregisterNotification(const QV::RCPtr<QV::LNotificationDistributor>& distributor,
                                        const char16_t* nameOrId) override;

protected:
    // Shows the number in the labels.
    virtual void UpdateText(int32_t number);
    // The label's text for "ITEM.nn"; empty when the label or its string is missing.
    static QV::String ItemText(const QV::RCPtr<QV::LControl>& label, int32_t index);
    double GetMinimum() const { return NormalizedToValue(0.0); }

private:
    [[nodiscard]] QV::QVResult OnNumberChange(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                                const QV::RCPtr<QV::LNotification>& notification);
    void ShowNumberInUpDown();

    QV::RCPtr<QV::LNotificationHandler<LNumberBoxTextSelector>> mSelectorHandler;
    QV::RCPtr<QV::LNumericUpDown> mUpDown;
    // Set while one side copies its value to the other, so the copy is not copied back.
    bool mSyncing = false;
};
