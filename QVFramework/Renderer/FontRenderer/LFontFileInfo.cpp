#include "LFontFileInfo.h"

#include <stdexcept>

#include "FontFolders.h"
#include "FontNameReader.h"
#include "LFont.h"
#include "RCPtrArray.h"
#include "RCPtrMap.h"

namespace QV {
namespace {

struct Catalogue {
    RCPtrArray<LFontFileInfo, 1, 0> list;
    RCPtrMap<LRefCountedObject, LFontFileInfo, 8> fontMap;
};

Catalogue& GetCatalogue()
{
    static Catalogue catalogue;
    return catalogue;
}

// Which stored slot answers each asked style, in order of preference.
constexpr int32_t kStylePreference[4][4] = {
    {0, 1, 2, 3},  // regular
    {1, 3, 0, 2},  // bold
    {2, 3, 0, 1},  // italic
    {3, 1, 2, 0},  // bold italic
};

int32_t StyleOfSubfamily(const String& subfamily)
{
    if (subfamily == u"bold") return 1;
    if (subfamily == u"italic") return 2;
    if (subfamily == u"bold italic") return 3;
    return 0;
}

[[noreturn]] void ThrowNoFamily()
{
    throw Exception<std::runtime_error>(FormatExceptionMessage(kRuntimeError, "", "QV::LFontFileInfo::GetFileID",
                                                               "Renderer\\FontRenderer\\FontFileInfo", 464));
}

}  // namespace

LFontFileInfo::LFontFileInfo(int32_t index) : mIndex(index) {}

void LFontFileInfo::Clear()
{
    Catalogue& c = GetCatalogue();
    c.fontMap.RemoveAll();
    (void)c.list.SetCount(0);  // shrinking cannot fail
}

QVResult LFontFileInfo::ScanFontFolder()
{
    const std::vector<std::string> folders = Platform::GetFontFolders();
    if (folders.empty()) {
        Clear();
        return E_FAIL;
    }
    return ScanFontFolders(folders);
}

QVResult LFontFileInfo::ScanFontFolders(const std::vector<std::string>& folders)
{
    Clear();
    for (const char* extension : {".ttf", ".ttc"})
        for (const std::string& path : Platform::ListFontFiles(folders, extension)) ScanFile(path);
    return S_OK;
}

void LFontFileInfo::ScanFile(const std::string& path)
{
    const std::unique_ptr<FontFileSource> source = OpenFontFile(path);
    if (!source) return;
    const auto names = ReadFontFaceNames(*source);
    if (!names) return;
    const String widePath(path.c_str());
    for (const FontFaceName& name : *names) {
        RCPtr<LFontFileInfo> info = FindFamily(name.family);
        if (!info) {
            info = AddFontFileInfo();
            info->mFamilyName = name.family;
        }
        info->SetFile(StyleOfSubfamily(name.subfamily), widePath, name.faceIndex);
    }
}

RCPtr<LFontFileInfo> LFontFileInfo::FindFamily(const String& family)
{
    Catalogue& c = GetCatalogue();
    for (uint32_t i = c.list.GetCount(); i-- > 0;) {
        const RCPtr<LFontFileInfo>& info = *c.list.GetItemPtr(i);
        if (info->mFamilyName == family) return info;
    }
    return nullptr;
}

RCPtr<LFontFileInfo> LFontFileInfo::AddFontFileInfo()
{
    Catalogue& c = GetCatalogue();
    RCPtr<LFontFileInfo> info(new LFontFileInfo(static_cast<int32_t>(c.list.GetCount())));
    (void)c.list.AddItem(info);  // the array grows
    return info;
}

int32_t LFontFileInfo::GetCount()
{
    return static_cast<int32_t>(GetCatalogue().list.GetCount());
}

RCPtr<LFontFileInfo> LFontFileInfo::GetAt(int32_t index)
{
    if (index < 0 || index >= GetCount()) return nullptr;
    return *GetCatalogue().list.GetItemPtr(static_cast<uint32_t>(index));
}

String LFontFileInfo::GetFontFilePath(int32_t fileID)
{
    const RCPtr<LFontFileInfo> info = fileID < 0 ? nullptr : GetAt(fileID / 4);
    return info ? info->mPaths[fileID & 3] : String();
}

int32_t LFontFileInfo::GetFontFaceIndex(int32_t fileID)
{
    const RCPtr<LFontFileInfo> info = fileID < 0 ? nullptr : GetAt(fileID / 4);
    return info ? info->mFaceIndexes[fileID & 3] : 0;
}

void LFontFileInfo::SetFile(int32_t style, const String& path, int32_t faceIndex)
{
    mPaths[style] = path;
    mFaceIndexes[style] = faceIndex;
}

void LFontFileInfo::ResolveStyle(int32_t style)
{
    for (int32_t slot : kStylePreference[style]) {
        if (mPaths[slot].IsEmpty()) continue;
        if (slot != style) SetFile(style, mPaths[slot], mFaceIndexes[slot]);
        return;
    }
}

int32_t LFontFileInfo::GetFileID(const ConstRCPtr<LRefCountedObject>& font, const String& faceName, int32_t style)
{
    Catalogue& c = GetCatalogue();
    RCPtr<LFontFileInfo> info = c.fontMap.Find(font);
    if (!info) {
        info = FindFamily(faceName);
        if (!info) info = FindFamily(String(Platform::GetSystemFontFamily().c_str()));
        if (!info) ThrowNoFamily();
        c.fontMap.Set(font, info);
    }
    // The underline and strike-out bits do not choose a file.
    const int32_t fileStyle = style & 3;
    info->ResolveStyle(fileStyle);
    return info->mIndex * 4 + fileStyle;
}

int32_t LFontFileInfo::GetFileID(const ConstRCPtr<LFont>& font)
{
    return GetFileID(ConstRCPtr<LRefCountedObject>(font), font->GetFaceName(), font->GetStyle());
}

}  // namespace QV
