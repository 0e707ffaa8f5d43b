#pragma once
// A headless OpenGL 3.3 core context through EGL, with no window and no surface: renders
// go to framebuffer objects. A GPU driver's EGL device is preferred when one exists;
// otherwise Mesa's surfaceless platform (llvmpipe) serves. No GL header is needed to use it.
#include <memory>
#include <string>

class KIVGLContext {
 public:
  /// A current context, or null with a one-line reason in error (which may be null) when
  /// no EGL display, configuration or 3.3 core context can be had.
  static std::unique_ptr<KIVGLContext> CreateHeadless(std::string* error);
  /// Another context, made current, that shares this one's buffers and textures (not its
  /// vertex arrays), as the windows of one application do; null with the reason otherwise.
  std::unique_ptr<KIVGLContext> CreateShared(std::string* error);
  KIVGLContext(const KIVGLContext&) = delete;
  KIVGLContext& operator=(const KIVGLContext&) = delete;
  /// Releases the context; the display stays initialised for the next one. Renders made
  /// on it must be gone first.
  ~KIVGLContext();
  /// Makes the context current on the calling thread; 1 on success.
  int MakeCurrent();
  /// GL_RENDERER, e.g. "llvmpipe (LLVM 15.0.6, 256 bits)".
  const std::string& GetRenderer() const { return mRenderer; }
  /// GL_VERSION, e.g. "4.5 (Core Profile) Mesa 22.3.6".
  const std::string& GetVersion() const { return mVersion; }
  /// "device" for an EGL device, "surfaceless" for Mesa's surfaceless platform.
  const std::string& GetPlatform() const { return mPlatform; }
  /// 1 when the renderer is a software rasteriser (llvmpipe, softpipe, swrast).
  int IsSoftware() const { return IsSoftwareRenderer(mRenderer.c_str()); }
  /// The same for a GL_RENDERER string (null: 0), for contexts made elsewhere.
  static int IsSoftwareRenderer(const char* renderer);

 private:
  KIVGLContext() = default;
  void* mDisplay = nullptr;
  void* mContext = nullptr;
  std::string mRenderer, mVersion, mPlatform;
};
