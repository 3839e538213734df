#pragma once
// The image type of the whole system: a rectangle of an image loaded from a
// "GDIPLUS" resource ("::" names) or a file, shared through a process-wide
// cache by upper-case name, cut into sub-bitmaps, colourised or filled.
// UI thread only.
#include <cstdint>
#include <memory>

#include "Image.h"
#include "LColor.h"
#include "LColorizer.h"
#include "RCPtr.h"
#include "RectT.h"
#include "RefCountedObject.h"
#include "SizeT.h"
#include "StringT.h"
#include "TypeName.h"

namespace Platform {
class ResourceModule;
}

namespace QV {

class LBitmapData;

class LBitmap : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LBitmap")
public:
    // Loads the named image; on failure the bitmap has neither image nor parent.
    LBitmap(const String& name, const String& key);
    ~LBitmap() override;

    // Through the named cache; null (and nothing cached) when nothing loads.
    static RCPtr<LBitmap> LoadNamedBitmap(const String& name);

    // The area {area.x + x, area.y + y, width, height} of the same image;
    // a width or height that is not positive gives the whole area.
    RCPtr<LBitmap> CreateSubBitmap(int32_t x, int32_t y, int32_t width, int32_t height) const;
    // A bitmap owning a copy of this area (clipped to the image).
    RCPtr<LBitmap> CopyArea() const;
    // The image this bitmap draws from (up the parent chain); may be null.
    Platform::Gdip::Image* GetGdiBitmap() const;
    // Transparent black outside the image.
    LColor GetPixel(int32_t x, int32_t y) const;
    // Locks for reading; a bitmap with a parent answers its parent's data.
    RCPtr<LBitmapData> GetBitmapData() const;

    const RectT<int32_t>& GetArea() const { return mArea; }
    int32_t GetWidth() const { return mArea.width; }
    int32_t GetHeight() const { return mArea.height; }
    const String& GetName() const { return mName; }
    const String& GetKey() const { return mKey; }
    const RCPtr<LBitmap>& GetParent() const { return mParent; }
    bool IsLoaded() const { return mImage != nullptr || mParent != nullptr; }

    // Tints the bitmap's pixels in place (solid colourisers; gradients raise).
    static void ApplyColorizer(const RCPtr<LBitmap>& bitmap, const ConstRCPtr<LColorizer>& colorizer, float amount);
    static RCPtr<LBitmap> CreateColorizedBitmap(const LColorizer& colorizer, float amount, const LongSize& size);
    static RCPtr<LBitmap> CreateFilledBitmap(const LongSize& size, const LColor& color);
    // Gradient bitmaps are not available: always raises.
    [[noreturn]] static RCPtr<LBitmap> CreateGradientFilledBitmap(const LongSize& size, const LColor& color1,
                                                                  const LColor& color2, bool radial);

    // Leaves the named cache once only the cache's reference remains.
    QVResult ReleaseInternalReferences() override;

    // The module "::" names are looked up in; the program's own by default.
    // Returns the one it replaces.
    static const Platform::ResourceModule* SetResourceModule(const Platform::ResourceModule* module);

private:
    LBitmap(std::unique_ptr<Platform::Gdip::Image> image);
    LBitmap(RCPtr<LBitmap> parent, const RectT<int32_t>& area);

    RectT<int32_t> mArea;
    RCPtr<LBitmap> mParent;
    String mName;
    String mKey;
    std::unique_ptr<Platform::Gdip::Image> mImage;
};

// The first or the second bitmap copied and colourised, or, with neither, a
// new bitmap of the size from the colouriser; both given raise.
RCPtr<LBitmap> GetColorizedBitmap(const ConstRCPtr<LColorizer>& colorizer, float amount, const LongSize& size,
                                  const ConstRCPtr<LBitmap>& first, const ConstRCPtr<LBitmap>& second);

}  // namespace QV
