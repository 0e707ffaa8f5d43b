#pragma once
// GPU copies of the images faces are textured with, keyed by the image's serial as the
// mesh cache keys primitives: an image shared by many faces is uploaded once. Entries
// unused for a number of frames are swept, which also frees those of images gone. Every
// operation needs the context current.
#include <epoxy/gl.h>

#include <unordered_map>

class KIVTextureImage;

class KIVGLTextureCache {
 public:
  KIVGLTextureCache() = default;
  KIVGLTextureCache(const KIVGLTextureCache&) = delete;
  KIVGLTextureCache& operator=(const KIVGLTextureCache&) = delete;
  /// Frees every texture: the context must be current.
  ~KIVGLTextureCache();
  /// The texture of the image, uploaded on first use (with mipmaps) and marked as used in
  /// frame; its wrap modes follow the image's. 0 for an empty image.
  GLuint Get(const KIVTextureImage& image, long long frame);
  /// Frees the entries not used since frame − maxIdle.
  void Sweep(long long frame, long long maxIdle);
  void Clear();
  /// Drops every entry without a GL call, for when the context is gone with its textures.
  void Forget() { mTextures.clear(); }
  int GetSize() const { return static_cast<int>(mTextures.size()); }
  long long GetUploadCount() const { return mUploads; }

 private:
  struct Entry {
    GLuint texture = 0;
    int wrapU = -1, wrapV = -1;
    long long lastFrame = 0;
  };
  std::unordered_map<unsigned long long, Entry> mTextures;
  long long mUploads = 0;
};
