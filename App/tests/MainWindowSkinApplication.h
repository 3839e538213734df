#pragma once
// The test application behind the shipped main window: the compiled-in skin
// with every framework and editor class registered, and a window a test
// resizes to lay the main control out at different sizes.
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
    // Shows the top control in the window at that size and lays it out there.
    QV::QVResult LayOut(QV::LControl& top, double width, double height)
    {
        window->width = width;
        window->height = height;
        if (top.GetRootWindow().Get() != window.Get())
            (void)top.AttachToRootWindow(QV::RCPtr<QV::IRootWindow>(window.Get()));  // a top control, no parent
        return top.UpdateLayout();
    }
    QV::QVResult ResolveLayout(QV::LControl& control, const QV::DoubleRect& reference,
                               QV::DoubleRect& frame) override
    {
        return QV::LLayout::ResolveControl(control, reference, frame);
    }

    QV::RCPtr<QV::LControlFactory> skin;
    QV::QVResult registered = QV::E_FAIL;
    QV::QVResult loaded = QV::E_FAIL;
    QV::RCPtr<control_test::FakeRootWindow> window{new control_test::FakeRootWindow()};
};
