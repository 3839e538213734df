#include "LGLTexture.h"

#include <cmath>

#include "GLErrors.h"
#include "LBitmap.h"
#include "LBitmapData.h"

namespace QV {
namespace {

constexpr int32_t kLargestTexture = 0x4000;

bool IsAlphaFormat(GLint internalFormat)
{
    return internalFormat == GL_ALPHA8 || internalFormat == GL_ALPHA4;
}

}  // namespace

int32_t NextPowerOfTwo(double size)
{
    const double whole = size < 0 ? -1 : std::trunc(size);
    int32_t power = 1;
    while (power < whole && power < kLargestTexture) power *= 2;
    return whole < power / 2.0 ? power / 2 : power;
}

LGLTexture::~LGLTexture()
{
    if (IsValid()) {
        const GLuint name = static_cast<GLuint>(mName);
        glDeleteTextures(1, &name);
        DropGLErrors();
    }
}

RCPtr<LGLTexture> LGLTexture::Create(const ConstRCPtr<LBitmap>& bitmap)
{
    RCPtr<LGLTexture> texture(new LGLTexture);
    texture->LoadBitmap(bitmap);
    return texture;
}

void LGLTexture::LoadBitmap(const ConstRCPtr<LBitmap>& bitmap)
{
    mSource = ConstRCPtr<LRefCountedObject>(bitmap);
    const RCPtr<LBitmapData> data = bitmap ? bitmap->GetBitmapData() : nullptr;
    GLPixelImage image;
    if (data && data->GetWidth() > 0) {
        image.Wrap(reinterpret_cast<uint8_t*>(data->GetPixelAddress(0, 0)), data->GetStride(), 4, data->GetWidth(),
                   data->GetHeight(), GL_BGRA_EXT, GL_UNSIGNED_BYTE);
    }
    SetImage(image, GL_RGBA8, 0, 1.0f);
}

bool LGLTexture::IsValid() const
{
    return mName >= 0 && glIsTexture(static_cast<GLuint>(mName));
}

void LGLTexture::Bind()
{
    if (!IsValid()) {
        GLuint name = 0;
        glGenTextures(1, &name);
        mName = static_cast<GLint>(name);
    }
    glBindTexture(mTarget, static_cast<GLuint>(mName));
}

void LGLTexture::SetImage(GLPixelImage& image, GLint internalFormat, uint32_t flags, float scale)
{
    Bind();
    const bool alpha = IsAlphaFormat(internalFormat);
    const GLenum format = alpha ? GL_ALPHA : image.GetFormat();
    const GLenum type = alpha ? GL_UNSIGNED_BYTE : image.GetType();
    mImageWidth = static_cast<float>(image.GetWidth());
    mImageHeight = static_cast<float>(image.GetHeight());
    mScaledWidth = mImageWidth / scale;
    mScaledHeight = mImageHeight / scale;
    mTextureWidth = static_cast<float>(NextPowerOfTwo(mImageWidth));
    mTextureHeight = static_cast<float>(NextPowerOfTwo(mImageHeight));

    const bool nearest = flags & kTextureNearest, mipmaps = flags & kTextureMipmaps;
    const GLint minFilter =
        nearest ? (mipmaps ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST) : (mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    const GLint wrap = (flags & kTextureRepeat) ? GL_REPEAT : GL_CLAMP;
    glTexParameteri(mTarget, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(mTarget, GL_TEXTURE_MAG_FILTER, nearest ? GL_NEAREST : GL_LINEAR);
    glTexParameteri(mTarget, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(mTarget, GL_TEXTURE_WRAP_T, wrap);
    DropGLErrors();

    const int32_t factor = ShrinkToSupportedSize(internalFormat, format, type);
    const auto textureWidth = static_cast<GLsizei>(mTextureWidth);
    const auto textureHeight = static_cast<GLsizei>(mTextureHeight);
    glTexImage2D(mTarget, 0, internalFormat, textureWidth, textureHeight, 0, format, type, nullptr);
    DropGLErrors();

    const bool sizesDiffer = textureWidth != image.GetWidth() || textureHeight != image.GetHeight();
    if ((factor > 1 || (flags & kTextureRepeat)) && sizesDiffer) {
        image.Rescale(textureWidth, textureHeight);
        mImageWidth = mTextureWidth;
        mImageHeight = mTextureHeight;
    }
    if (alpha) image.ConvertToAlpha();
    image.Upload(mTarget, internalFormat, mipmaps);
}

int32_t LGLTexture::ShrinkToSupportedSize(GLint internalFormat, GLenum format, GLenum type)
{
    Bind();
    DropGLErrors();
    int32_t factor = 1;
    GLint tryFormat = internalFormat;
    while (mTextureWidth > 1 && mTextureHeight > 1) {
        const auto width = static_cast<GLsizei>(mTextureWidth), height = static_cast<GLsizei>(mTextureHeight);
        glTexImage2D(GL_PROXY_TEXTURE_2D, 0, tryFormat, width, height, 0, format, type, nullptr);
        GLint proxyWidth = 0, proxyHeight = 0;
        glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &proxyWidth);
        glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &proxyHeight);
        // A refused size leaves the proxy's width 0 and raises no error.
        if (proxyWidth == width && proxyHeight == height) break;
        GLint proxyFormat = 0;
        glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &proxyFormat);
        if (proxyFormat != 0) tryFormat = proxyFormat;
        DropGLErrors();
        mTextureWidth /= 2;
        mTextureHeight /= 2;
        factor *= 2;
        if (mTextureWidth <= 1) break;
    }
    DropGLErrors();
    return factor;
}

void LGLTexture::Draw(const GLEdges& source, const GLEdges& destination) const
{
    if (mTextureWidth <= 0 || mTextureHeight <= 0) return;
    glEnable(mTarget);
    glBindTexture(mTarget, static_cast<GLuint>(mName));
    const float sLeft = source.left / mTextureWidth, sRight = source.right / mTextureWidth;
    const float tTop = source.top / mTextureHeight, tBottom = source.bottom / mTextureHeight;
    glBegin(GL_QUADS);
    glTexCoord2f(sLeft, tTop);
    glVertex2f(destination.left, destination.top);
    glTexCoord2f(sLeft, tBottom);
    glVertex2f(destination.left, destination.bottom);
    glTexCoord2f(sRight, tBottom);
    glVertex2f(destination.right, destination.bottom);
    glTexCoord2f(sRight, tTop);
    glVertex2f(destination.right, destination.top);
    glEnd();
    glDisable(mTarget);
}

}  // namespace QV
