#pragma once
// One scene of fills, tiled and stretched bitmaps, a polygon, text in two
// fonts and a clip, drawn by every renderer's picture test so their
// pictures can be held against one reference.
#include "GdiTestSupport.h"
#include "LFont.h"
#include "LRenderer.h"

namespace QV::Testing {

inline void DrawRendererScene(LRenderer& renderer)
{
    // 4 x 4 checker of 2 x 2 cells.
    const uint32_t a = 0xFF204080, b = 0xFFF0C020;
    const RCPtr<LBitmap> checker = MakeBitmap(4, 4, {a, a, b, b, a, a, b, b, b, b, a, a, b, b, a, a});
    const PolylineT<float> triangle({{10, 60}, {60, 60}, {35, 100}});

    // Opaque and blended: the same background on every renderer (a fill
    // without blending is a clear to transparent black on the GL one).
    renderer.FillRect({0, 0, 200, 120}, LColor(0.91f, 0.91f, 0.91f, 1), true);
    renderer.SaveState();
    renderer.DrawFilledRect({8, 8, 60, 30}, LColor(0.3f, 0.5f, 0.9f, 1), LColor(0.1f, 0.1f, 0.2f, 1), 1);
    renderer.FillRect({40, 20, 40, 30}, LColor(1, 0, 0, 0.5f), true);
    renderer.DrawBitmap(checker, {90, 8, 30, 20}, LRenderer::kResizeTile);
    renderer.DrawBitmap(checker, {125, 8, 10, 6}, LRenderer::kResizeTile);
    renderer.DrawBitmap(checker, {140, 8, 50, 30}, LRenderer::kResizeStretch);
    renderer.FillPolygon(triangle, LColor(0.2f, 0.7f, 0.3f, 1), {0, 0}, {1, 1}, true);
    renderer.DrawPolygon(triangle, LColor(0, 0.3f, 0, 1), {0, 0}, {1, 1}, true);
    renderer.DrawText(u"Tarsel Zone 1", LFont::GetFont(u"DejaVu Sans", 10, LFont::kRegular), {70, 50},
                      LColor(0, 0, 0, 1));
    renderer.DrawText(u"Preset \u00C4\u00D6", LFont::GetFont(u"Liberation Serif", 12, LFont::kBold), {70, 72},
                      LColor(0.5f, 0, 0.3f, 1));
    renderer.PushClipRect({150, 60, 40, 40}, {150, 60, 30, 30}, nullptr, true);
    renderer.FillRect({-100, -100, 400, 400}, LColor(1, 0.6f, 0.1f, 1), true);
    renderer.DrawLine({0, 0}, {60, 60}, LColor(0, 0, 0, 1), 2);
    renderer.RestoreState();
    renderer.RestoreState();
}

}  // namespace QV::Testing
