#include "LControlFactory.h"

#include <stdexcept>

#include "Exception.h"

namespace QV {
namespace {

// Depth first, in document order; the first descriptor for which visit answers true.
template <class F>
LControlDescriptor* FindInTree(LControlDescriptor& descriptor, F&& visit)
{
    if (visit(descriptor)) return &descriptor;
    for (const auto& child : descriptor.children) {
        if (LControlDescriptor* found = FindInTree(*child, visit)) return found;
    }
    return nullptr;
}

}  // namespace

LControlFactory::LControlFactory(const String& applicationName, const Platform::ResourceModule& module)
    : mLoader(mStore, module)
{
    mStore.applicationName = applicationName;
}

QVResult LControlFactory::RegisterControl(const String& className, ControlCreateFunction function)
{
    mCreateFunctions.emplace(className, function);
    return S_OK;
}

QVResult LControlFactory::GetControlCreateFunction(const String& className, ControlCreateFunction& function) const
{
    auto it = mCreateFunctions.find(className);
    if (it == mCreateFunctions.end()) {
        throw Exception<std::runtime_error>(
            "Runtime Error : QV::LControlFactory::GetControlCreateFunction : ControlBase\\ControlFactory : Line 51");
    }
    function = it->second;
    return S_OK;
}

QVResult LControlFactory::CheckControlClasses()
{
    for (const auto& root : mStore.skins) {
        const LControlDescriptor* unknown = FindInTree(*root, [&](const LControlDescriptor& d) {
            return d.parent != nullptr && mCreateFunctions.count(d.className) == 0;
        });
        if (unknown) {
            return mLoader.SetError(unknown->sourceDocument, unknown->sourceLine, String(u"SubControl"),
                                    String(u"unknown class \"") + unknown->className + String(u"\""));
        }
    }
    return S_OK;
}

ControlCreateFunction LControlFactory::ResolveCreateFunction(LControlDescriptor& descriptor) const
{
    // An unknown class leaves the function null, which the caller reports.
    if (!descriptor.createFunction)
        (void)GetControlCreateFunction(descriptor.className, descriptor.createFunction);
    return descriptor.createFunction;
}

RCPtr<LControl> LControlFactory::CreateControl(const RCPtr<IControlDescriptor>& descriptor, LControl* parent)
{
    if (!descriptor) return nullptr;
    if (RCPtr<LControlDescriptor> skinDescriptor = RCPtr<LControlDescriptor>::DynamicCast(descriptor)) {
        return ResolveCreateFunction(*skinDescriptor)(parent, descriptor);
    }
    // Templates copied under new names (menu buttons, list rows) keep their class.
    const String className = descriptor->GetClassName();
    if (className.IsEmpty()) return nullptr;
    ControlCreateFunction function = nullptr;
    (void)GetControlCreateFunction(className, function);  // raises for an unknown class
    return function(parent, descriptor);
}

RCPtr<IControlDescriptor> LControlFactory::FindControlDescriptor(const String& name)
{
    return mStore.FindControlDescriptor(name);
}

RCPtr<LControl> LControlFactory::CreateControlByName(const String& name, const RCPtr<IRootWindow>& root)
{
    RCPtr<LControlDescriptor> descriptor = mStore.FindControlDescriptor(name);
    if (!descriptor) return nullptr;
    if (descriptor->layout) descriptor->layout->visible = true;
    const ControlCreateFunction create = ResolveCreateFunction(*descriptor);
    RCPtr<LControl> control;
    {
        // Taken by the control as it is built; a build that made none, or
        // raised, must not hand it to the next top control.
        struct Clear {
            bool& flag;
            ~Clear() { flag = false; }
        } clear{mAttachmentPending};
        mAttachmentPending = root != nullptr;
        control = create(nullptr, RCPtr<IControlDescriptor>(descriptor.Get()));
    }
    if (control && root) {
        (void)control->AttachToRootWindow(root);  // made without a parent, so it cannot fail
        // It waited for its window; laid out now that it has one.
        (void)control->UpdateLayout();
    }
    return control;
}

QVResult LControlFactory::ApplyControlDescriptor(LControl* control)
{
    if (!control) return E_FAIL;
    RCPtr<LControlDescriptor> descriptor = mStore.FindControlDescriptor(control->GetName());
    if (!descriptor) return E_FAIL;
    return control->ApplyDescriptor(descriptor);
}

RCPtr<LControlDescriptor> LControlFactory::CloneDescriptor(const RCPtr<LControlDescriptor>& descriptor,
                                                           const RCPtr<LLayoutDescriptor>& layout,
                                                           const String& name) const
{
    if (!descriptor) return nullptr;
    RCPtr<LControlDescriptor> copy(new LControlDescriptor);
    copy->className = descriptor->className;
    copy->name = name;
    copy->parent = descriptor->parent;
    copy->children = descriptor->children;
    copy->skin = descriptor->skin;
    copy->layout = layout;
    copy->createParams = descriptor->createParams;
    copy->createFunction = descriptor->createFunction;
    copy->sourceDocument = descriptor->sourceDocument;
    copy->sourceLine = descriptor->sourceLine;
    return copy;
}

int32_t LControlFactory::GetSkinFont(String& faceName, float& size, int32_t& style) const
{
    return mStore.GetSkinFont(faceName, size, style);
}

RCPtr<IControlStringTable> LControlFactory::GetStringTable(LControl* owner, const String& name)
{
    RCPtr<LControlDescriptor> descriptor;
    if (owner) descriptor = RCPtr<LControlDescriptor>::DynamicCast(owner->GetDescriptor());
    return mStore.GetStringTable(descriptor.Get(), name);
}

RCPtr<LStringTable> LControlFactory::GetDefaultStringTable() const
{
    return mStore.FindStringTable(String(u"|") + mStore.applicationName);
}

RCPtr<LStringTable> LControlFactory::GetFrameworkStringTable() const
{
    return mStore.FindStringTable(String(u"Framework"));
}

QVResult LControlFactory::LoadResources(const String& folder, int32_t languageId)
{
    const bool resources = folder == u"::";
    mStore.imageFolderPrefix = resources ? folder : folder + String(u"/");
    const String& prefix = mStore.imageFolderPrefix;
    const QVResult strings =
        resources ? LoadStringTables(String(u"::APP_STRINGS"), String(u"::FRAMEWORK_STRINGS"), languageId)
                  : LoadStringTables(prefix + String(u"StringTables.xml"), prefix + String(u"FrameworkStrings.xml"),
                                     languageId);
    if (Failed(strings)) return strings;
    return LoadSkin(resources ? String(u"::APP_SKINS") : prefix + String(u"Skins.xml"));
}

QVResult LControlFactory::LoadStringTables(const String& first, const String& second, int32_t languageId)
{
    return mLoader.LoadStringTables(first, second, languageId);
}

QVResult LControlFactory::LoadSkin(const String& name)
{
    return mLoader.LoadSkin(name);
}

QVResult LControlFactory::SetCurrentSkinIndex(int32_t index)
{
    if (index < 0 || index >= GetSkinCount()) return E_INVALIDARG;
    mStore.currentSkinIndex = index;
    return S_OK;
}

}  // namespace QV
