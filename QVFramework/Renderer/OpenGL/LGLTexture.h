#pragma once
// One 2D texture made from a pixel image; the image sits in the top-left
// corner of a power-of-two texture. GL must be current for every call,
// destruction included.
#include <GL/gl.h>

#include "GLPixelImage.h"
#include "RCPtr.h"
#include "RefCountedObject.h"

namespace QV {

class LBitmap;

// The texture-size rule: the smallest power of two not below the integer
// part of size, at most 16384; sizes below 1 give 0.
int32_t NextPowerOfTwo(double size);

// Texture flags of SetImage.
inline constexpr uint32_t kTextureNearest = 1;
inline constexpr uint32_t kTextureRepeat = 2;  // also scales the image to the texture size
inline constexpr uint32_t kTextureMipmaps = 4;

// A rectangle by its edges, in pixels.
struct GLEdges {
    float left = 0, top = 0, right = 0, bottom = 0;
};

class LGLTexture : public LRefCountedObject {
public:
    LGLTexture() = default;
    ~LGLTexture() override;

    const char* GetTypeName() const override { return kTypeName; }
    static constexpr const char* kTypeName = "class QV::LGLTexture";

    // A texture of the whole image bitmap draws from.
    static RCPtr<LGLTexture> Create(const ConstRCPtr<LBitmap>& bitmap);
    // Uploads the whole image bitmap draws from and keeps bitmap as the source.
    void LoadBitmap(const ConstRCPtr<LBitmap>& bitmap);
    // Uploads image (which may be rescaled or converted on the way).
    void SetImage(GLPixelImage& image, GLint internalFormat, uint32_t flags, float scale);
    // Halves the texture size until the driver accepts it; answers the
    // reduction factor.
    int32_t ShrinkToSupportedSize(GLint internalFormat, GLenum format, GLenum type);
    // Draws the source rectangle (image pixels) into the destination.
    void Draw(const GLEdges& source, const GLEdges& destination) const;
    // Keeps source alive as long as the texture (the image it came from).
    void SetSource(const ConstRCPtr<LRefCountedObject>& source) { mSource = source; }

    GLint GetTextureName() const { return mName; }
    // Whether GL still knows the texture.
    bool IsValid() const;
    float GetTextureWidth() const { return mTextureWidth; }
    float GetTextureHeight() const { return mTextureHeight; }
    float GetImageWidth() const { return mImageWidth; }
    float GetImageHeight() const { return mImageHeight; }
    float GetScaledWidth() const { return mScaledWidth; }
    float GetScaledHeight() const { return mScaledHeight; }

protected:
    void Bind();

private:
    GLenum mTarget = GL_TEXTURE_2D;
    GLint mName = -1;
    float mTextureWidth = 0, mTextureHeight = 0;
    float mImageWidth = 0, mImageHeight = 0;
    float mScaledWidth = 0, mScaledHeight = 0;
    ConstRCPtr<LRefCountedObject> mSource;
};

}  // namespace QV
