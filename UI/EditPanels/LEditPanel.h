#pragma once
// The pattern every edit panel follows: a panel of the skin that is also its
// part's module. A change of any of its controls sends the whole blob, read
// afresh, under the part's first parameter id up the module parents to the
// root; a blob coming down sets the controls. Nothing is sent before the
// panel is numbered, and nothing while it applies a blob coming down, so the
// keyboard never sees a half-applied value. UI thread only.
#include "EditPanelFields.h"
#include "EditPanelSupport.h"
#include "LPanel.h"
#include "OwnHandler.h"
#include "RootModuleInterface.h"

template <class Derived, class Interface>
class LEditPanel : public QV::LPanel, public Interface, public IEditPanelValue {
public:
    // The two sides have one counted object; the class name is the panel's.
    const char* GetTypeName() const override { return "class LEditPanel"; }

    [[nodiscard]] QV::QVResult Initialize() override
    {
        const QV::QVResult result = QV::LPanel::Initialize();
        if (QV::Failed(result)) return result;
        mEditHandler = new QV::LNotificationHandler<Derived>(static_cast<Derived*>(this));
        mFields.FindAll(*this, [this](QV::LControl& control, const char16_t* notification) {
            return mEditHandler->RegisterHandler(&Derived::OnControlChange,
                                                 QV::RCPtr<QV::LNotificationDistributor>(&control), notification);
        });
        InitializeParts();
        ShowLabelStrings(*this);
        return result;
    }

    void SetFirstParamID(LParameterizedModule* parent, int32_t firstParamID, int32_t instanceIndex) override
    {
        Interface::SetFirstParamID(parent, firstParamID, instanceIndex);
        mNumbered = true;
    }

    // 0; E_FAIL, changing nothing, for anything but a blob of the panel's
    // length, or one the panel refuses.
    [[nodiscard]] int32_t SetParamValueLocal(const QV::ParamDescriptor&, const QV::Variant& value, bool) override
    {
        uint32_t size = 0;
        const uint8_t* bytes = value.GetType() == QV::Variant::kBlob ? value.GetData(size) : nullptr;
        if (!bytes || size != mFields.Table().blobLength || !AcceptsBytes(bytes)) return QV::E_FAIL;
        QV::RCPtr<QV::LControl> self(this);
        const bool wasApplying = mApplying;
        mApplying = true;
        ApplyBytes(bytes);
        mApplying = wasApplying;
        return AfterApply();
    }

    // Any subscribed control changed: the whole blob goes up.
    [[nodiscard]] QV::QVResult OnControlChange(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                                 const QV::RCPtr<QV::LNotification>&)
    {
        if (mApplying) return 1;
        QV::RCPtr<QV::LControl> self(this);
        mApplying = true;
        BeforeSend(sender.Get());
        mApplying = false;
        SendValue();
        return 1;
    }

    [[nodiscard]] QV::QVResult ReceiveNotification(const QV::RCPtr<QV::LNotificationDistributor>& sender,
                                     const QV::RCPtr<QV::LNotification>& notification) override
    {
        QV::QVResult result = QV::S_OK;
        if (QV::DispatchToOwnHandler(mEditHandler, *this, sender, notification, result)) return result;
        return QV::LPanel::ReceiveNotification(sender, notification);
    }

    [[nodiscard]] QV::QVResult UnregisterNotification(const QV::RCPtr<QV::LNotificationDistributor>& distributor,
                                        const char16_t* nameOrId) override
    {
        QV::ForgetInOwnHandler(mEditHandler, distributor, nameOrId);
        return QV::LPanel::UnregisterNotification(distributor, nameOrId);
    }

    // The blob the controls give now.
    std::vector<uint8_t> ReadBytes() const override { return mFields.Read(CurrentType()); }
    bool IsNumbered() const { return mNumbered; }

protected:
    LEditPanel(QV::LControl* parent, const QV::String& name, const PanelTable& table)
        : QV::LPanel(parent, name), Interface(true), mFields(table)
    {}

    // Finds and sets up what the table does not hold.
    virtual void InitializeParts() {}
    virtual bool AcceptsBytes(const uint8_t*) const { return true; }
    virtual void ApplyBytes(const uint8_t* bytes) { mFields.Write(bytes, CurrentType()); }
    // Shows what the value asks for; the result of the value down.
    [[nodiscard]] virtual QV::QVResult AfterApply() { return QV::S_OK; }
    // Adjusts the controls after a user's change, before the blob is read;
    // changes made here send nothing of their own.
    virtual void BeforeSend(QV::LNotificationDistributor*) {}
    // The type that decides which fields show and own a shared byte; -1 for none.
    virtual int32_t CurrentType() const { return -1; }

    void SendValue()
    {
        if (!mNumbered) return;
        const std::vector<uint8_t> bytes = ReadBytes();
        QV::Variant blob;
        blob.SetBlob(bytes.data(), static_cast<uint32_t>(bytes.size()));
        QV::ParamDescriptor descriptor;
        descriptor.id = this->GetFirstParamID();
        (void)this->SetParamValue(descriptor, blob);
    }

    QV::LControl* Field(size_t index) const { return mFields.Control(index).Get(); }
    EditPanelFields& Fields() { return mFields; }
    const EditPanelFields& Fields() const { return mFields; }

private:
    EditPanelFields mFields;
    QV::RCPtr<QV::LNotificationHandler<Derived>> mEditHandler;
    bool mApplying = false;
    bool mNumbered = false;
};
