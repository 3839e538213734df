#pragma once
// Builds the screen from data: holds the loaded skins and string tables and
// maps each skin class name ("Framework.ListBox") to the function that
// creates a control of that class. One per application; UI thread only.
#include <map>
#include <utility>

#include "IControlDescriptor.h"
#include "IRootWindow.h"
#include "LControl.h"
#include "ResourceModule.h"
#include "SkinDocumentLoader.h"

namespace QV {

class LControlFactory : public LRefCountedObject, public IControlFactory {
    QV_TYPE_NAME("class QV::LControlFactory")
public:
    explicit LControlFactory(const String& applicationName,
                             const Platform::ResourceModule& module = Platform::GetProgramModule());

    // 0; a class name already registered keeps its first function.
    [[nodiscard]] QVResult RegisterControl(const String& className, ControlCreateFunction function);
    // 0 with the function; raises a runtime error for an unknown class.
    [[nodiscard]] QVResult GetControlCreateFunction(const String& className, ControlCreateFunction& function) const;
    // 0 when every control of every skin has a registered class; else E_FAIL
    // with an error naming the document, line and class of the first that has not.
    [[nodiscard]] QVResult CheckControlClasses();

    // Builds a control of the descriptor's class under parent (a copy of a
    // skin descriptor under another name too); raises for an unknown class;
    // null for a descriptor without a class.
    RCPtr<LControl> CreateControl(const RCPtr<IControlDescriptor>& descriptor, LControl* parent) override;
    // The last top-level control of the current skin with that name; null when none.
    RCPtr<IControlDescriptor> FindControlDescriptor(const String& name) override;
    // Builds that top-level control, shown, as the top control of root; null when the name is unknown.
    RCPtr<LControl> CreateControlByName(const String& name, const RCPtr<IRootWindow>& root);
    // Re-applies the descriptor named like the control; E_FAIL without either.
    [[nodiscard]] QVResult ApplyControlDescriptor(LControl* control);
    // A copy under a new name with another layout; children, skin and parameters shared.
    RCPtr<LControlDescriptor> CloneDescriptor(const RCPtr<LControlDescriptor>& descriptor,
                                              const RCPtr<LLayoutDescriptor>& layout, const String& name) const;
    int32_t GetSkinFont(String& faceName, float& size, int32_t& style) const;

    // The owner's class name (the application name without an owner or
    // without a skin descriptor), "|" and the name; null when there is no such table.
    RCPtr<IControlStringTable> GetStringTable(LControl* owner, const String& name) override;
    // True once while CreateControlByName builds a control for a window.
    bool TakePendingAttachment() override { return std::exchange(mAttachmentPending, false); }
    RCPtr<LStringTable> GetDefaultStringTable() const;
    RCPtr<LStringTable> GetFrameworkStringTable() const;

    // The application's documents: with the folder "::" the compiled-in
    // APP_STRINGS, FRAMEWORK_STRINGS and APP_SKINS, else "StringTables.xml",
    // "FrameworkStrings.xml" and "Skins.xml" in the folder, which also becomes
    // the image folder. The first failure, or the skin's result.
    [[nodiscard]] QVResult LoadResources(const String& folder, int32_t languageId);
    [[nodiscard]] QVResult LoadStringTables(const String& first, const String& second, int32_t languageId);
    [[nodiscard]] QVResult LoadSkin(const String& name);
    const SkinLoadError& GetLastLoadError() const { return mLoader.GetLastError(); }

    const String& GetApplicationName() const { return mStore.applicationName; }
    void SetImageFolderPrefix(const String& prefix) { mStore.imageFolderPrefix = prefix; }
    const String& GetImageFolderPrefix() const { return mStore.imageFolderPrefix; }
    int32_t GetLanguageId() const { return mStore.languageId; }
    int32_t GetSkinCount() const { return static_cast<int32_t>(mStore.skins.size()); }
    int32_t GetCurrentSkinIndex() const { return mStore.currentSkinIndex; }
    // E_INVALIDARG for an index outside the skins.
    [[nodiscard]] QVResult SetCurrentSkinIndex(int32_t index);

private:
    ControlCreateFunction ResolveCreateFunction(LControlDescriptor& descriptor) const;

    SkinStore mStore;
    SkinDocumentLoader mLoader;
    std::map<String, ControlCreateFunction> mCreateFunctions;
    bool mAttachmentPending = false;
};

// The creator every control class registers: constructs T under parent with
// the descriptor's name, applies the descriptor, creates the children and
// initialises it.
template <class T>
RCPtr<LControl> CreateControlOfClass(LControl* parent, const RCPtr<IControlDescriptor>& descriptor)
{
    RCPtr<LControl> control(new T(parent, descriptor->GetName()));
    // The constructor already put the control in its parent's tree, so it is
    // returned even when a step fails, keeping what the earlier steps applied.
    (void)control->ApplyDescriptor(descriptor);
    (void)control->CreateChildren(descriptor);  // a child that cannot be made is left out
    (void)control->Initialize();
    control->OnInitialized();
    control->SetInitialized(true);
    return control;
}

}  // namespace QV
