#pragma once
// An off-screen image of a window's size with the graphics that draw on it.
// It knows which parts drawing has reached since it was last emptied, so
// emptying it touches only those; a whole repaint empties each just before
// drawing reaches it (or all of it before the first drawing), and not at all
// where that drawing is opaque.
#include <memory>
#include <vector>

#include "Graphics.h"
#include "LRenderContextInfo.h"
#include "PaintedTiles.h"
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
    // The same size again keeps the image and empties what was drawn on it.
    void SetSize(const LongSize& size);
    LongSize GetSize() const;
    // Empties the whole image.
    void Clear();

    // Starts a repaint of the whole image: fresh graphics, and the image to
    // be emptied as drawing reaches it, the rest at FinishRepaint.
    void BeginRepaint();
    // Empties what no drawing reached since BeginRepaint.
    void FinishRepaint();
    // Called before drawing that may reach `reach` (image pixels, any size)
    // and replaces every pixel of `covered` (a part of reach, or empty) with
    // opaque colour. Drawing on the graphics or the image directly must come
    // through here, or a later emptying may leave it behind.
    void PrepareToDraw(const LongRect& reach, const LongRect& covered = {});

    // Copies the source area of the image unscaled to point on graphics.
    [[nodiscard]] QVResult DrawTo(Platform::Gdip::Graphics& graphics, const LongPoint& point, const LongRect& source,
                    float opacity = 1.0f);

    Platform::Gdip::Surface& GetBitmap() const { return *mBitmap; }
    Platform::Gdip::Graphics& GetGraphics() const { return *mGraphics; }
    WindowHandle GetWindow() const { return mWindow; }

private:
    // Above this share of the image drawn on, a whole repaint empties it all
    // at once (measured with the renderer bench).
    static constexpr double kWholeEmptyingShare = 0.4;

    void Empty(const std::vector<LongRect>& areas);
    // Empties the whole image, less covered, if BeginRepaint left that to do.
    void EmptyPendingBut(const LongRect& covered);

    WindowHandle mWindow;
    std::unique_ptr<Platform::Gdip::Surface> mBitmap;
    // Declared after the image: graphics go first.
    std::unique_ptr<Platform::Gdip::Graphics> mGraphics;
    PaintedTiles mPainted;
    // The whole image is to be emptied before drawing reaches it.
    bool mEmptyPending = false;
    std::vector<LongRect> mToEmpty;
    std::vector<Platform::Gdip::RectI> mAreas;
};

}  // namespace QV
