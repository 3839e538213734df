#include "LBitmap.h"

#include <map>
#include <string>
#include <utility>

#include "Exception.h"
#include "LBitmapData.h"
#include "ResourceModule.h"

namespace QV {
namespace {

constexpr std::string_view kBitmapFile = "Utilities\\Graphics\\Bitmap";

template <class E>
[[noreturn]] void Raise(std::string_view kind, std::string_view method, int line)
{
    throw Exception<E>(FormatExceptionMessage(kind, "", method, kBitmapFile, line));
}

std::u16string KeyOf(const String& s) { return std::u16string(s.View()); }

// Holds one reference per cached bitmap, counted as the bitmap's internal
// reference so that its release hook can take it out again.
class NamedBitmapCache {
public:
    ~NamedBitmapCache()
    {
        // At exit the hook must not run while the map is being destroyed.
        for (auto& [key, bitmap] : mEntries) bitmap->RemoveInternalReference();
    }
    std::map<std::u16string, RCPtr<LBitmap>>& Entries() { return mEntries; }

private:
    std::map<std::u16string, RCPtr<LBitmap>> mEntries;
};

NamedBitmapCache& Cache()
{
    static NamedBitmapCache cache;
    return cache;
}

const Platform::ResourceModule* gResourceModule = nullptr;

const Platform::ResourceModule& ResourceModule()
{
    return gResourceModule != nullptr ? *gResourceModule : Platform::GetProgramModule();
}

std::unique_ptr<Platform::Gdip::Image> LoadImage(const String& name)
{
    const char16_t* chars = name.GetChars();
    if (chars[0] == u':' && chars[1] == u':') {
        String resourceName = name.Mid(2u).ToUpper();
        resourceName.ReplaceChars(u". ", u'_');
        const auto bytes = ResourceModule().FindResource(Platform::kImageResourceType, resourceName.ToUtf8());
        return bytes ? Platform::Gdip::Image::FromPngBytes(*bytes) : nullptr;
    }
    return Platform::Gdip::Image::FromPngFile(name.ToUtf8());
}

uint8_t Tint(uint8_t value, float channel, float c)
{
    const double v = (value / 255.0 * (1.0 - c) + static_cast<double>(channel) * c) * 255.0 + 0.5;
    // Channels or amounts outside 0..1 must not wrap the byte.
    if (!(v > 0.0)) return 0;
    return v >= 255.0 ? 255 : static_cast<uint8_t>(v);
}

}  // namespace

LBitmap::LBitmap(const String& name, const String& key) : mName(name), mKey(key), mImage(LoadImage(name))
{
    if (mImage != nullptr) mArea = {0, 0, mImage->GetWidth(), mImage->GetHeight()};
}

LBitmap::LBitmap(std::unique_ptr<Platform::Gdip::Image> image) : mImage(std::move(image))
{
    if (mImage != nullptr) mArea = {0, 0, mImage->GetWidth(), mImage->GetHeight()};
}

LBitmap::LBitmap(RCPtr<LBitmap> parent, const RectT<int32_t>& area) : mArea(area), mParent(std::move(parent)) {}

LBitmap::~LBitmap() = default;

const Platform::ResourceModule* LBitmap::SetResourceModule(const Platform::ResourceModule* module)
{
    return std::exchange(gResourceModule, module);
}

RCPtr<LBitmap> LBitmap::LoadNamedBitmap(const String& name)
{
    const String key = name.ToUpper();
    auto& entries = Cache().Entries();
    if (const auto it = entries.find(KeyOf(key)); it != entries.end()) return it->second;
    RCPtr<LBitmap> bitmap(new LBitmap(name, key));
    if (!bitmap->IsLoaded()) return nullptr;
    entries.emplace(KeyOf(key), bitmap);
    bitmap->AddInternalReference();
    return bitmap;
}

QVResult LBitmap::ReleaseInternalReferences()
{
    auto& entries = Cache().Entries();
    const auto it = entries.find(KeyOf(mKey));
    if (it != entries.end() && it->second.Get() == this) {
        RemoveInternalReference();
        entries.erase(it);
    }
    return (GetInternalRefCount() == 0 && GetRefCount() == 1) ? S_OK : E_FAIL;
}

RCPtr<LBitmap> LBitmap::CreateSubBitmap(int32_t x, int32_t y, int32_t width, int32_t height) const
{
    RCPtr<LBitmap> owner = mParent != nullptr ? mParent : RCPtr<LBitmap>(const_cast<LBitmap*>(this));
    RectT<int32_t> area = mArea;
    if (width > 0 && height > 0) area = {mArea.x + x, mArea.y + y, width, height};
    return RCPtr<LBitmap>(new LBitmap(std::move(owner), area));
}

RCPtr<LBitmap> LBitmap::CopyArea() const
{
    const Platform::Gdip::Image* image = GetGdiBitmap();
    return RCPtr<LBitmap>(
        new LBitmap(image != nullptr ? image->CloneArea(mArea.x, mArea.y, mArea.width, mArea.height) : nullptr));
}

Platform::Gdip::Image* LBitmap::GetGdiBitmap() const
{
    for (const LBitmap* b = this; b != nullptr; b = b->mParent.Get()) {
        if (b->mImage != nullptr) return b->mImage.get();
    }
    return nullptr;
}

LColor LBitmap::GetPixel(int32_t x, int32_t y) const
{
    const Platform::Gdip::Image* image = GetGdiBitmap();
    const int64_t ix = int64_t{mArea.x} + x;
    const int64_t iy = int64_t{mArea.y} + y;
    uint32_t argb = 0;
    if (image == nullptr || ix < 0 || iy < 0 || ix > INT32_MAX || iy > INT32_MAX ||
        !image->GetPixel(static_cast<int32_t>(ix), static_cast<int32_t>(iy), argb)) {
        return {};
    }
    return LColor::FromARGB(argb);
}

RCPtr<LBitmapData> LBitmap::GetBitmapData() const
{
    if (mParent != nullptr) return mParent->GetBitmapData();
    return RCPtr<LBitmapData>(new LBitmapData(RCPtr<LBitmap>(const_cast<LBitmap*>(this)), Platform::Gdip::kLockRead));
}

void LBitmap::ApplyColorizer(const RCPtr<LBitmap>& bitmap, const ConstRCPtr<LColorizer>& colorizer, float amount)
{
    if (bitmap == nullptr || colorizer == nullptr) {
        Raise<std::runtime_error>(kRuntimeError, "QV::LBitmap::ApplyColorizer", 368);
    }
    if (!colorizer->IsSolid()) {
        // Drawn over the bitmap in full quality once gradients exist; making
        // the gradient raises first.
        CreateColorizedBitmap(*colorizer, amount, {bitmap->GetWidth(), bitmap->GetHeight()});
        return;
    }
    const LColor& k = colorizer->GetColor1();
    const float c = k.alpha * amount;
    LBitmapData data(bitmap, Platform::Gdip::kLockReadWrite);
    for (int32_t y = 0; y < data.GetHeight(); ++y) {
        auto* row = reinterpret_cast<uint8_t*>(data.GetPixelAddress(0, y));
        for (int32_t x = 0; x < data.GetWidth(); ++x) {
            uint8_t* p = row + 4 * x;  // blue, green, red, alpha
            p[0] = Tint(p[0], k.blue, c);
            p[1] = Tint(p[1], k.green, c);
            p[2] = Tint(p[2], k.red, c);
        }
    }
}

RCPtr<LBitmap> LBitmap::CreateColorizedBitmap(const LColorizer& colorizer, float amount, const LongSize& size)
{
    if (size.width <= 0 || size.height <= 0) {
        Raise<std::runtime_error>(kRuntimeError, "QV::LBitmap::CreateColorizedBitmap", 292);
    }
    if (!colorizer.IsSolid()) {
        CreateGradientFilledBitmap(size, colorizer.GetColor1(), colorizer.GetColor2(),
                                   colorizer.GetMode() == LColorizer::kRadialGradient);
    }
    LColor color = colorizer.GetColor1();
    color.alpha *= amount;
    return CreateFilledBitmap(size, color);
}

RCPtr<LBitmap> LBitmap::CreateFilledBitmap(const LongSize& size, const LColor& color)
{
    if (size.width <= 0 || size.height <= 0) {
        Raise<std::runtime_error>(kRuntimeError, "QV::LBitmap::CreateFilledBitmap", 321);
    }
    std::unique_ptr<Platform::Gdip::Image> image =
        Platform::Gdip::Image::Create(size.width, size.height, color.GetARGB());
    if (image == nullptr) ThrowBadAlloc();
    return RCPtr<LBitmap>(new LBitmap(std::move(image)));
}

RCPtr<LBitmap> LBitmap::CreateGradientFilledBitmap(const LongSize&, const LColor&, const LColor&, bool)
{
    Raise<std::domain_error>(kDomainError, "QV::LBitmap::CreateGradientFilledBitmap", 356);
}

RCPtr<LBitmap> GetColorizedBitmap(const ConstRCPtr<LColorizer>& colorizer, float amount, const LongSize& size,
                                  const ConstRCPtr<LBitmap>& first, const ConstRCPtr<LBitmap>& second)
{
    if (first != nullptr && second != nullptr) {
        Raise<std::domain_error>(kDomainError, "QV::LBitmap::ApplyColorizer", 434);
    }
    const ConstRCPtr<LBitmap>& source = first != nullptr ? first : second;
    if (source != nullptr) {
        // The cached bitmap itself is never changed.
        RCPtr<LBitmap> copy = source->CopyArea();
        LBitmap::ApplyColorizer(copy, colorizer, amount);
        return copy;
    }
    if (colorizer == nullptr) Raise<std::runtime_error>(kRuntimeError, "QV::LBitmap::ApplyColorizer", 368);
    return LBitmap::CreateColorizedBitmap(*colorizer, amount, size);
}

}  // namespace QV
