#pragma once
// The test application behind the shipped main window: the compiled-in skin
// with every framework and editor class registered, and a work area a test
// resizes to lay the window out at different sizes.
#include "ControlTestSupport.h"
#include "EditorControlClasses.h"
#include "FrameworkControlClasses.h"
#include "LControlFactory.h"
#include "LLayout.h"

class MainWindowSkinApplication : public control_test::FakeApplication {
public:
    MainWindowSkinApplication() : skin(new QV::LControlFactory(u"ZiroruVovizu"))
    {
        QV::RegisterFrameworkControlClasses([this](const QV::String& name, QV::ControlCreateFunction create) {
            return skin->RegisterControl(name, create);
        });
        registered = RegisterEditorControlClasses(*skin);
        loaded = skin->LoadResources(u"::", 0x0409);
    }
    QV::IControlFactory* GetControlFactory() override { return skin.Get(); }
    QV::DoubleRect GetWorkArea() override { return workArea; }
    QV::QVResult ResolveLayout(QV::LControl& control, const QV::DoubleRect& reference,
                               QV::DoubleRect& frame) override
    {
        return QV::LLayout::ResolveControl(control, reference, frame);
    }

    QV::RCPtr<QV::LControlFactory> skin;
    QV::QVResult registered = QV::E_FAIL;
    QV::QVResult loaded = QV::E_FAIL;
    QV::DoubleRect workArea{0, 0, 1024, 768};
};
