#pragma once
// The render's own framebuffer: an RGBA8 colour and a 24-bit depth renderbuffer of a
// given size, remade when the size changes. The context must be current.
#include <epoxy/gl.h>

class KIVGLTarget {
 public:
  KIVGLTarget() = default;
  KIVGLTarget(const KIVGLTarget&) = delete;
  KIVGLTarget& operator=(const KIVGLTarget&) = delete;
  ~KIVGLTarget();
  /// Makes or resizes the framebuffer; 0 when it cannot be completed at that size.
  int Ensure(int width, int height);
  GLuint GetFramebuffer() const { return mFramebuffer; }
  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  /// Frees the framebuffer now (context current), or drops it without a GL call.
  void Free();
  void Forget() { mFramebuffer = mColour = mDepth = 0, mWidth = mHeight = 0; }

 private:
  GLuint mFramebuffer = 0, mColour = 0, mDepth = 0;
  int mWidth = 0, mHeight = 0;
};
