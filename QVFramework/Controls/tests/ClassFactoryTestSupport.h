#pragma once
// Builds real controls from fake descriptors by their "class" attribute, with
// their children, in the factory's order: apply, children, Initialize,
// OnInitialized, initialised.
#include <functional>
#include <map>
#include <string>

#include "ControlTestSupport.h"
#include "LLayout.h"

namespace class_factory_test {

using namespace QV;
using control_test::FakeDescriptor;
using control_test::FakeFactory;
using control_test::Narrow;

class ClassFactory : public FakeFactory {
public:
    using Make = std::function<LControl*(LControl*, const String&)>;

    template <class C>
    void Register(const char* className)
    {
        classes[className] = [](LControl* parent, const String& name) { return new C(parent, name); };
    }

    RCPtr<LControl> CreateControl(const RCPtr<IControlDescriptor>& d, LControl* parent) override
    {
        ++created;
        String cls;
        d->GetAttribute(u"class", cls);
        const auto it = classes.find(cls.ToUtf8());
        RCPtr<LControl> c(it == classes.end() ? new LControl(parent, d->GetName()) : it->second(parent, d->GetName()));
        c->ApplyDescriptor(d);
        c->CreateChildren(d);
        c->Initialize();
        c->OnInitialized();
        c->SetInitialized(true);
        return c;
    }

    std::map<std::string, Make> classes;
};

// An application whose factory is a class factory and whose layouts are solved for real.
class ClassApplication : public control_test::FakeApplication {
public:
    IControlFactory* GetControlFactory() override { return &factory; }
    QVResult ResolveLayout(LControl& control, const DoubleRect& reference, DoubleRect& frame) override
    {
        return LLayout::ResolveControl(control, reference, frame);
    }
    ClassFactory factory;
};

inline LayoutRecord Absolute(double offset, int32_t kind = LayoutKind::kSelf)
{
    return LayoutRecord{kind, String(), 0.0f, offset};
}

// A descriptor of a class placed at (x, y) in its parent's client area with a fixed size.
inline RCPtr<FakeDescriptor> Describe(const char16_t* name, const char16_t* cls, double x, double y, double w, double h,
                                      uint32_t looks = 1)
{
    RCPtr<FakeDescriptor> d(new FakeDescriptor(name));
    d->attributes.push_back({u"class", cls});
    d->layout.position[0] = Absolute(x, LayoutKind::kClient);
    d->layout.position[1] = Absolute(y, LayoutKind::kClient);
    d->layout.size[0] = Absolute(w);
    d->layout.size[1] = Absolute(h);
    d->lookCount = looks;
    return d;
}

inline RCPtr<FakeDescriptor> With(RCPtr<FakeDescriptor> d, std::initializer_list<RCPtr<FakeDescriptor>> children)
{
    for (const RCPtr<FakeDescriptor>& c : children) d->children.push_back(RCPtr<IControlDescriptor>(c.Get()));
    return d;
}

}  // namespace class_factory_test
