#include "host/gl/KIVGLContext.h"

#include <epoxy/egl.h>
#include <epoxy/gl.h>

namespace {
void SetError(std::string* error, const std::string& text) {
  if (error) *error = text;
}

// The first EGL device that is not Mesa's software one, or no display.
EGLDisplay DeviceDisplay() {
  const bool enumerate = epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_EXT_device_enumeration") ||
                         epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_EXT_device_base");
  const bool query = epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_EXT_device_query") ||
                     epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_EXT_device_base");
  if (!enumerate || !query || !epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_EXT_platform_device"))
    return EGL_NO_DISPLAY;
  EGLDeviceEXT devices[16];
  EGLint count = 0;
  if (!eglQueryDevicesEXT(16, devices, &count)) return EGL_NO_DISPLAY;
  for (EGLint i = 0; i < count; ++i) {
    const char* extensions = eglQueryDeviceStringEXT(devices[i], EGL_EXTENSIONS);
    if (extensions && std::string(extensions).find("EGL_MESA_device_software") != std::string::npos) continue;
    EGLDisplay display = eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
    if (display != EGL_NO_DISPLAY) return display;
  }
  return EGL_NO_DISPLAY;
}

EGLDisplay SurfacelessDisplay() {
  if (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_MESA_platform_surfaceless")) return EGL_NO_DISPLAY;
  return eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

// A 3.3 core context on an initialised display, with a configuration when one fits and
// without one (EGL_KHR_no_config_context) otherwise: the context only draws into FBOs.
EGLContext CoreContext(EGLDisplay display, EGLContext share = EGL_NO_CONTEXT) {
  const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, 0, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint count = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count < 1) {
    const EGLint plain[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    if (!eglChooseConfig(display, plain, &config, 1, &count) || count < 1) config = nullptr;
  }
  if (!config && !epoxy_has_egl_extension(display, "EGL_KHR_no_config_context")) return EGL_NO_CONTEXT;
  const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 3,
                                      EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                      EGL_NONE};
  return eglCreateContext(display, config ? config : EGL_NO_CONFIG_KHR, share, contextAttributes);
}

std::string GLString(GLenum name) {
  const GLubyte* s = glGetString(name);
  return s ? reinterpret_cast<const char*>(s) : "";
}
}  // namespace

std::unique_ptr<KIVGLContext> KIVGLContext::CreateShared(std::string* error) {
  if (!mDisplay) {
    SetError(error, "the context to share with has no display");
    return nullptr;
  }
  EGLContext context = CoreContext(mDisplay, mContext);
  if (context == EGL_NO_CONTEXT || !eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    if (context != EGL_NO_CONTEXT) eglDestroyContext(mDisplay, context);
    SetError(error, "no OpenGL 3.3 core context sharing with the " + mPlatform + " one");
    return nullptr;
  }
  std::unique_ptr<KIVGLContext> result(new KIVGLContext);
  result->mDisplay = mDisplay;
  result->mContext = context;
  result->mPlatform = mPlatform;
  result->mRenderer = GLString(GL_RENDERER);
  result->mVersion = GLString(GL_VERSION);
  return result;
}

std::unique_ptr<KIVGLContext> KIVGLContext::CreateHeadless(std::string* error) {
  if (!epoxy_has_egl()) {
    SetError(error, "no EGL library could be loaded");
    return nullptr;
  }
  if (!epoxy_has_egl_extension(EGL_NO_DISPLAY, "EGL_EXT_platform_base")) {
    SetError(error, "EGL has no platform displays (EGL_EXT_platform_base missing)");
    return nullptr;
  }
  std::string platform = "device";
  EGLDisplay display = DeviceDisplay();
  EGLint major = 0, minor = 0;
  if (display != EGL_NO_DISPLAY && !eglInitialize(display, &major, &minor)) display = EGL_NO_DISPLAY;
  if (display == EGL_NO_DISPLAY) {
    platform = "surfaceless";
    display = SurfacelessDisplay();
    if (display == EGL_NO_DISPLAY) {
      SetError(error, "no EGL device and no surfaceless platform");
      return nullptr;
    }
    if (!eglInitialize(display, &major, &minor)) {
      SetError(error, "eglInitialize failed on the surfaceless platform");
      return nullptr;
    }
  }
  if (!eglBindAPI(EGL_OPENGL_API)) {
    SetError(error, "EGL cannot bind the desktop OpenGL API");
    return nullptr;
  }
  EGLContext context = CoreContext(display);
  if (context == EGL_NO_CONTEXT) {
    SetError(error, "no OpenGL 3.3 core context on the " + platform + " platform");
    return nullptr;
  }
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    eglDestroyContext(display, context);
    SetError(error, "eglMakeCurrent failed without a surface");
    return nullptr;
  }
  std::unique_ptr<KIVGLContext> result(new KIVGLContext);
  result->mDisplay = display;
  result->mContext = context;
  result->mPlatform = platform;
  result->mRenderer = GLString(GL_RENDERER);
  result->mVersion = GLString(GL_VERSION);
  if (epoxy_gl_version() < 33) {
    SetError(error, "OpenGL 3.3 is needed, the context gives " + result->mVersion);
    return nullptr;
  }
  return result;
}

KIVGLContext::~KIVGLContext() {
  if (!mDisplay) return;
  if (eglGetCurrentContext() == mContext) eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  // The display stays initialised, as does the thread's EGL state: EGL shares a display
  // per platform and device, so terminating it would take it from other contexts, and
  // tearing either down unloads the driver, whose one-time state then shows as leaks
  // that no tool can name.
  eglDestroyContext(mDisplay, mContext);
}

int KIVGLContext::MakeCurrent() {
  if (!mDisplay) return 0;
  return eglMakeCurrent(mDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, mContext) ? 1 : 0;
}

int KIVGLContext::IsSoftwareRenderer(const char* renderer) {
  if (!renderer) return 0;
  const std::string_view text(renderer);
  for (const char* name : {"llvmpipe", "softpipe", "swrast", "SwiftShader"})
    if (text.find(name) != std::string_view::npos) return 1;
  return 0;
}
