#pragma once
// The test fakes of the application with the editor's real factory behind
// them: the compiled-in skin and string tables, and the classes a test builds.
#include <initializer_list>
#include <utility>

#include "ControlTestSupport.h"
#include "LControlFactory.h"

class ShippedSkinApplication : public control_test::FakeApplication {
public:
    using Class = std::pair<const char16_t*, QV::ControlCreateFunction>;

    explicit ShippedSkinApplication(std::initializer_list<Class> classes = {})
        : skin(new QV::LControlFactory(u"ZiroruVovizu"))
    {
        for (const Class& c : classes) EXPECT_GE(skin->RegisterControl(c.first, c.second), 0);
        loaded = skin->LoadResources(u"::", 0x0409);
    }
    QV::IControlFactory* GetControlFactory() override { return skin.Get(); }

    QV::RCPtr<QV::LControlFactory> skin;
    QV::QVResult loaded = QV::E_FAIL;
};
