#pragma once
// An off-screen image of a window's size with the graphics that draw on it.
#include <memory>

#include "Graphics.h"
#include "LRenderContextInfo.h"
#include "PointT.h"
#include "RectT.h"
#include "RefCountedObject.h"
#include "SizeT.h"
#include "Surface.h"

namespace QV {

class LGDIRendererOffscreenSurface : public virtual LRefCountedObject {
    QV_TYPE_NAME("class QV::LGDIRendererOffscreenSurface")
public:
    LGDIRendererOffscreenSurface(const LongSize& size, WindowHandle window) : mWindow(window) { SetSize(size); }
    ~LGDIRendererOffscreenSurface() override;

    // Makes image and graphics anew (empty); sizes below 1 are taken as 1.
    void SetSize(const LongSize& size);
    LongSize GetSize() const;
    // Copies the source area of the image unscaled to point on graphics.
    [[nodiscard]] QVResult DrawTo(Platform::Gdip::Graphics& graphics, const LongPoint& point, const LongRect& source,
                    float opacity = 1.0f) const;

    Platform::Gdip::Surface& GetBitmap() const { return *mBitmap; }
    Platform::Gdip::Graphics& GetGraphics() const { return *mGraphics; }
    WindowHandle GetWindow() const { return mWindow; }

private:
    WindowHandle mWindow;
    std::unique_ptr<Platform::Gdip::Surface> mBitmap;
    // Declared after the image: graphics go first.
    std::unique_ptr<Platform::Gdip::Graphics> mGraphics;
};

}  // namespace QV
