#include "host/gl/KIVGLTextureCache.h"

#include <vector>

#include "host/visu/scene/KIVTextureImage.h"

namespace {
GLint GLWrap(int wrap) {
  switch (wrap) {
    case KIVTextureImage::Clamp:
      return GL_CLAMP_TO_EDGE;
    case KIVTextureImage::Mirror:
      return GL_MIRRORED_REPEAT;
    default:
      return GL_REPEAT;
  }
}
}  // namespace

KIVGLTextureCache::~KIVGLTextureCache() { Clear(); }

GLuint KIVGLTextureCache::Get(const KIVTextureImage& image, long long frame) {
  if (image.IsEmpty()) return 0;
  Entry& entry = mTextures[image.GetSerial()];
  entry.lastFrame = frame;
  if (!entry.texture) {
    glGenTextures(1, &entry.texture);
    glBindTexture(GL_TEXTURE_2D, entry.texture);
    // Images come with their top row first; OpenGL's first row is the bottom one (v = 0),
    // which is where the files' texture coordinates expect the image's bottom.
    const size_t row = 4 * static_cast<size_t>(image.GetWidth());
    const std::vector<unsigned char>& rgba = image.GetRGBA();
    std::vector<unsigned char> flipped(rgba.size());
    for (int y = 0; y < image.GetHeight(); ++y)
      std::copy(rgba.begin() + static_cast<long>(row * y), rgba.begin() + static_cast<long>(row * (y + 1)),
                flipped.begin() + static_cast<long>(row * (image.GetHeight() - 1 - y)));
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.GetWidth(), image.GetHeight(), 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 flipped.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    ++mUploads;
  } else {
    glBindTexture(GL_TEXTURE_2D, entry.texture);
  }
  if (entry.wrapU != image.GetWrapU() || entry.wrapV != image.GetWrapV()) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GLWrap(image.GetWrapU()));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GLWrap(image.GetWrapV()));
    entry.wrapU = image.GetWrapU();
    entry.wrapV = image.GetWrapV();
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  return entry.texture;
}

void KIVGLTextureCache::Sweep(long long frame, long long maxIdle) {
  for (auto it = mTextures.begin(); it != mTextures.end();) {
    if (it->second.lastFrame < frame - maxIdle) {
      if (it->second.texture) glDeleteTextures(1, &it->second.texture);
      it = mTextures.erase(it);
    } else {
      ++it;
    }
  }
}

void KIVGLTextureCache::Clear() {
  for (auto& entry : mTextures)
    if (entry.second.texture) glDeleteTextures(1, &entry.second.texture);
  mTextures.clear();
}
