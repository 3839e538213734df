#include "LGLRenderer.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "Clock.h"
#include "FrameworkStrings.h"
#include "GLContext.h"
#include "GLErrorBox.h"
#include "GLErrors.h"
#include "GeometryRounding.h"
#include "LFont.h"
#include "LGLRenderContextInfo.h"

namespace QV {

// A framework-table key: the table gives every text of the error box.
struct GLText {
    const char16_t* key;
};

namespace {

constexpr const char* kSource = "Renderer\\OpenGL\\GLRenderer";

// Each message names the step that failed: the window's visual or the context.
constexpr GLText kCaption{u"GL_ERROR_CAPTION"};
constexpr GLText kUpdateDriver{u"GL_ERROR_UPDATE_DRIVER"};
constexpr GLText kChoosePixelFormat{u"GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT"};
constexpr GLText kSetPixelFormat{u"GL_ERROR_MESSAGE_SET_PIXEL_FORMAT"};
constexpr GLText kCreateContext{u"GL_ERROR_MESSAGE_CREATE_CONTEXT"};

// A key the table lacks shows as an empty text.
String TextOf(const GLText& text)
{
    String found;
    return LookUpFrameworkString(String(text.key), found) ? found : String();
}

}  // namespace

LGLRenderer::LGLRenderer(RCPtr<LFontRenderer> fontRenderer, WindowHandle window)
    : mFontRenderer(std::move(fontRenderer)), mWindow(window), mLastPurge(Platform::Clock::NowMs())
{
    const char* method = "QV::LGLRenderer::LGLRenderer";
    if (!Platform::IsGLWindow(window)) Fail(kChoosePixelFormat, 144, method);
    std::string error;
    mContext = Platform::GLContext::Create(window, error);
    if (!mContext) Fail(kCreateContext, 171, method);
    mDoubleBuffered = mContext->IsDoubleBuffered();
}

LGLRenderer::~LGLRenderer()
{
    // GL names in the caches need the context current while they go.
    if (mContext && mContext->MakeCurrent(mWindow)) {
        mTextureCache.Purge(mTextureCache.GetUseCounter() + 1);
        mRectListCache.Purge(mRectListCache.GetUseCounter() + 1);
        for (GeometryCache* cache : {&mPolylineCache, &mSegmentsCache, &mOutlineCache, &mFillCache})
            cache->Purge(cache->GetUseCounter() + 1);
        Platform::GLContext::ReleaseCurrent();
    }
}

void LGLRenderer::Fail(const GLText& message, int line, const char* method)
{
    ShowGLErrorBox(TextOf(kCaption), TextOf(message) + TextOf(kUpdateDriver));
    throw Exception<std::runtime_error>(FormatExceptionMessage(kRuntimeError, "", method, kSource, line));
}

QVResult LGLRenderer::GetFontMetrics(ConstRCPtr<LFont> font, int32_t& lineHeight, int32_t& ascent, int32_t& descent)
{
    if (!mFontRenderer) return E_FAIL;
    return mFontRenderer->GetFontMetrics(font, lineHeight, ascent, descent);
}

RectT<float> LGLRenderer::MeasureText(const String& text, ConstRCPtr<LFont> font)
{
    RectT<float> out;
    if (mFontRenderer && !text.IsEmpty()) (void)mFontRenderer->MeasureText(out, text, font);  // a refusal leaves out empty
    return out;
}

QVResult LGLRenderer::InitRenderContextInfo(const LongRect& viewport, WindowHandle window, bool offscreen,
                                            RCPtr<LRenderContextInfo>& context)
{
    const bool current = mContext->MakeCurrent(window ? window : mWindow);
    context = RCPtr<LRenderContextInfo>(new LGLRenderContextInfo(viewport, window, offscreen));
    if (window && !Platform::IsGLWindow(window)) {
        if (current) Platform::GLContext::ReleaseCurrent();
        Fail(kSetPixelFormat, 334, "QV::LGLRenderer::InitRenderContextInfo");
    }
    if (current) {
        InitGLState();
        Platform::GLContext::ReleaseCurrent();
    }
    return S_OK;
}

void LGLRenderer::InitGLState()
{
    glClearColor(0, 0, 0, 0);
    glColor4f(1, 1, 1, 1);
    glDisable(GL_LIGHTING);
    glDisable(GL_DITHER);
    glDisable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glHint(GL_POLYGON_SMOOTH_HINT, GL_NICEST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 1.0f / 255.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_POINT_SMOOTH);
    glEnable(GL_LINE_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_SCISSOR_TEST);
    DropGLErrors();
}

QVResult LGLRenderer::SetViewport(const LongRect& viewport)
{
    (void)LRenderer::SetViewport(viewport);  // only records it; cannot fail
    glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
    GLint actual[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, actual);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, actual[2], actual[3], 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    return S_OK;
}

void LGLRenderer::SetScissor(const DoubleRect& r)
{
    const LRenderContextInfo* context = GetCurrentContext();
    const int32_t viewportWidth = context ? context->GetViewport().width : 0;
    const int32_t viewportHeight = context ? context->GetViewport().height : 0;
    // In doubles, so the unlimited clip of a fresh state stays unlimited.
    double x = RoundHalfAwayFromZero(r.x), y = RoundHalfAwayFromZero(viewportHeight - (r.y + r.height));
    double w = RoundHalfAwayFromZero(r.width), h = RoundHalfAwayFromZero(r.height);
    if (x < 0) w += x, x = 0;
    if (y < 0) h += y, y = 0;
    if (w < 1 || h < 1) {
        glScissor(viewportWidth, 0, 1, 1);  // just right of the viewport: nothing drawn
    } else {
        glScissor(SaturateToLong(x), SaturateToLong(y), SaturateToLong(w), SaturateToLong(h));
    }
}

void LGLRenderer::SetClipRect(const DoubleRect& clip)
{
    LRenderer::SetClipRect(clip);
    LRenderContextInfo* context = GetCurrentContext();
    if (!context) return;
    const RenderState& state = context->GetState();
    SetScissor({clip.x + state.origin.x, clip.y + state.origin.y, clip.width, clip.height});
}

void LGLRenderer::Translate(const DoublePoint& offset)
{
    LRenderer::Translate(offset);
    if (offset.x != 0 || offset.y != 0) glTranslatef(static_cast<float>(offset.x), static_cast<float>(offset.y), 0);
}

void LGLRenderer::StartFrame(LRenderContextInfo& context)
{
    mContext->MakeCurrent(context.GetWindow() ? context.GetWindow() : mWindow);
    (void)SetViewport(context.GetViewport());  // a viewport the driver clamps is still drawn into
}

QVResult LGLRenderer::RenderStart(RCPtr<LRenderContextInfo> context)
{
    const QVResult started = LRenderer::RenderStart(context);
    if (Failed(started)) return started;
    StartFrame(*context);
    glPushMatrix();
    return S_OK;
}

QVResult LGLRenderer::RenderFinish(RCPtr<LRenderContextInfo> context)
{
    auto* gl = dynamic_cast<LGLRenderContextInfo*>(context.Get());
    if (context && context.Get() == GetCurrentContext()) {
        DropGLErrors();
        glPopMatrix();
        if (!gl || gl->IsOffscreen()) {
            glFlush();
        } else if (!mDoubleBuffered) {
            glFlush();
        } else if (mBackBufferKept) {
            gl->SwapBuffers();
        } else {
            glFlush();
            CopyBuffer(GL_BACK, GL_FRONT, GL_COLOR);
        }
        DropGLErrors();
        Platform::GLContext::ReleaseCurrent();
    }
    (void)LRenderer::RenderFinish(context);  // a mismatch raises; otherwise it succeeds
    if (LRenderContextInfo* outer = GetCurrentContext()) {
        StartFrame(*outer);
    } else {
        const uint32_t now = Platform::Clock::NowMs();
        if (Platform::Clock::ElapsedMs(mLastPurge, now) > kPurgePeriodMs) {
            mLastPurge = now;
            // The GL names of what goes can only be deleted with the context current.
            const bool current = mContext->MakeCurrent(context && context->GetWindow() ? context->GetWindow() : mWindow);
            PurgeCaches();
            if (current) Platform::GLContext::ReleaseCurrent();
        }
    }
    return S_OK;
}

void LGLRenderer::CopyBuffer(GLenum readBuffer, GLenum drawBuffer, GLenum pixelType)
{
    GLint oldRead = 0, oldDraw = 0, oldLogicOp = 0;
    GLdouble oldRaster[4] = {0, 0, 0, 1};
    glGetIntegerv(GL_READ_BUFFER, &oldRead);
    glGetIntegerv(GL_DRAW_BUFFER, &oldDraw);
    glGetDoublev(GL_CURRENT_RASTER_POSITION, oldRaster);
    glGetIntegerv(GL_LOGIC_OP_MODE, &oldLogicOp);
    glReadBuffer(readBuffer);
    glDrawBuffer(drawBuffer);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(0, viewport[2], 0, viewport[3]);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRasterPos4d(0, 0, 0, 1);
    glLogicOp(GL_COPY);
    glCopyPixels(0, 0, viewport[2], viewport[3], pixelType);
    DropGLErrors();
    glLogicOp(static_cast<GLenum>(oldLogicOp));
    glRasterPos4dv(oldRaster);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glReadBuffer(static_cast<GLenum>(oldRead));
    glDrawBuffer(static_cast<GLenum>(oldDraw));
}

void LGLRenderer::PurgeCaches()
{
    auto purge = [](auto& cache) {
        cache.Purge(cache.GetPurgeMark());
        cache.SetPurgeMark(cache.GetUseCounter());
    };
    purge(mTextureCache);
    purge(mFillCache);
    purge(mOutlineCache);
    purge(mSegmentsCache);
    purge(mPolylineCache);
    purge(mRectListCache);
}

bool LGLRenderer::HasExtension(std::string_view extensions, std::string_view extension)
{
    if (extension.empty() || extension.find(' ') != std::string_view::npos) return false;
    size_t start = 0;
    while (true) {
        const size_t hit = extensions.find(extension, start);
        if (hit == std::string_view::npos) return false;
        const size_t end = hit + extension.size();
        const bool atWordStart = hit == 0 || extensions[hit - 1] == ' ';
        const bool atWordEnd = end == extensions.size() || extensions[end] == ' ';
        if (atWordStart && atWordEnd) return true;
        start = end;
    }
}

bool LGLRenderer::HasWGLExtension(std::string_view)
{
    return false;
}

}  // namespace QV
