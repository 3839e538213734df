#pragma once
// The catalogue of installed TrueType fonts: one entry per family with a
// file (and the face inside a collection) for each of the four styles.
// A file ID is catalogue index x 4 + style (0 regular, 1 bold, 2 italic,
// 3 bold italic). The catalogue and the font map are process-wide and used
// on the UI thread only.
#include <array>
#include <string>
#include <vector>

#include "RCPtr.h"
#include "RefCountedObject.h"
#include "StringT.h"

namespace QV {

class LFont;

class LFontFileInfo : public virtual LRefCountedObject {
public:
    static constexpr int32_t kStyleCount = 4;

    explicit LFontFileInfo(int32_t index);

    const char* GetTypeName() const override { return kTypeName; }
    static constexpr const char* kTypeName = "class QV::LFontFileInfo";

    // Rebuilds the catalogue from the folders fontconfig knows; E_FAIL when
    // it names none.
    [[nodiscard]] static QVResult ScanFontFolder();
    // Rebuilds the catalogue from the given folders (searched recursively).
    [[nodiscard]] static QVResult ScanFontFolders(const std::vector<std::string>& folders);
    // Empties the catalogue and the font map.
    static void Clear();

    static RCPtr<LFontFileInfo> AddFontFileInfo();
    static int32_t GetCount();
    static RCPtr<LFontFileInfo> GetAt(int32_t index);

    // The path of the slot the ID names; empty for a negative ID or an index
    // beyond the catalogue.
    static String GetFontFilePath(int32_t fileID);
    // The face inside that file (0 for a single font or an unknown ID).
    static int32_t GetFontFaceIndex(int32_t fileID);

    // The file ID of a font object with this face and style; the answer is
    // remembered per object. Falls back to the system's user-interface
    // family; raises a runtime error when that is not catalogued either.
    static int32_t GetFileID(const ConstRCPtr<LRefCountedObject>& font, const String& faceName, int32_t style);
    static int32_t GetFileID(const ConstRCPtr<LFont>& font);

    const String& GetFamilyName() const { return mFamilyName; }
    const String& GetPath(int32_t style) const { return mPaths[style & 3]; }
    int32_t GetFaceIndex(int32_t style) const { return mFaceIndexes[style & 3]; }
    int32_t GetIndex() const { return mIndex; }

private:
    String mFamilyName;
    std::array<String, kStyleCount> mPaths;
    std::array<int32_t, kStyleCount> mFaceIndexes{};
    int32_t mIndex;

    void SetFile(int32_t style, const String& path, int32_t faceIndex);
    // Fills an empty asked slot from the preferred stored one.
    void ResolveStyle(int32_t style);
    static void ScanFile(const std::string& path);
    static RCPtr<LFontFileInfo> FindFamily(const String& family);
};

}  // namespace QV
