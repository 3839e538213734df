#pragma once
// A renderer that records what looks and parts draw, and bitmaps with a
// pixel pattern to read back.
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "LBitmap.h"
#include "LRenderer.h"
#include "TestRenderer.h"

namespace QV {

// Readable rectangles in failure messages.
template <class T>
void PrintTo(const RectT<T>& r, std::ostream* out)
{
    *out << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
}

}  // namespace QV

namespace look_test {

using namespace QV;

struct Drawn {
    std::string what;  // "fill", "bitmap" or "text"
    LongRect rect;     // in window coordinates
    uint32_t argb = 0;
    int32_t resizeType = -1;
    std::u16string text;
};

class RecordingRenderer : public TestRenderer {
public:
    RecordingRenderer()
    {
        InitRenderContextInfo({0, 0, 400, 400}, nullptr, false, context);
        EXPECT_GE(RenderStart(context), 0);
    }
    ~RecordingRenderer() override { EXPECT_GE(RenderFinish(context), 0); }

    void FillRect(const LongRect& r, const LColor& c, bool) override { Record("fill", r, c.GetARGB(), -1); }
    void DrawBitmap(const ConstRCPtr<LBitmap>&, const LongRect& r, int32_t type) override
    {
        Record("bitmap", r, 0, type);
    }
    void DrawText(const String& text, ConstRCPtr<LFont>, const LongPoint& at, const LColor& c) override
    {
        Record("text", {at.x, at.y, 0, 0}, c.GetARGB(), -1);
        drawn.back().text.assign(text.GetChars(), static_cast<size_t>(text.GetLength()));
    }
    DoubleRect Clip() const { return GetCurrentContext()->GetState().clip; }

    RCPtr<LRenderContextInfo> context;
    std::vector<Drawn> drawn;
    std::vector<DoubleRect> drawClips;  // the clip in force at each drawing, window coordinates

private:
    void Record(const char* what, const LongRect& r, uint32_t argb, int32_t type)
    {
        const RenderState& s = GetCurrentContext()->GetState();
        const int32_t ox = static_cast<int32_t>(s.origin.x), oy = static_cast<int32_t>(s.origin.y);
        drawn.push_back({what, {r.x + ox, r.y + oy, r.width, r.height}, argb, type, {}});
        drawClips.push_back({s.clip.x + s.origin.x, s.clip.y + s.origin.y, s.clip.width, s.clip.height});
    }
};

// Pixel (x, y) is 0xFF000000 | x << 8 | y, except the transparent ones listed.
inline RCPtr<LBitmap> PatternBitmap(int32_t width, int32_t height, std::vector<std::pair<int, int>> clear = {})
{
    RCPtr<LBitmap> bitmap = LBitmap::CreateFilledBitmap({width, height}, LColor());
    Platform::Gdip::LockedBits bits;
    Platform::Gdip::Image* image = bitmap->GetGdiBitmap();
    if (!image->LockBits(0, 0, width, height, Platform::Gdip::kLockWrite, bits)) return nullptr;
    for (int32_t y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(bits.scan0 + y * bits.stride);
        for (int32_t x = 0; x < width; ++x) row[x] = 0xFF000000u | uint32_t(x) << 8 | uint32_t(y);
    }
    for (auto [x, y] : clear) reinterpret_cast<uint32_t*>(bits.scan0 + y * bits.stride)[x] = 0;
    image->UnlockBits(bits);
    return bitmap;
}

inline uint32_t Pattern(int x, int y)
{
    return 0xFF000000u | uint32_t(x) << 8 | uint32_t(y);
}

}  // namespace look_test
