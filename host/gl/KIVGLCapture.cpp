#include "host/gl/KIVGLCapture.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstring>

#include "host/gl/KIVGLRender.h"
#include "host/io/KIVPngImage.h"
#include "host/visu/view/KIVViewer.h"

namespace {
int Fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return 0;
}
constexpr int kLargest = 16384;
}  // namespace

int KIVGLCapture::ReadPixels(KIVGLRender& render, std::vector<unsigned char>& rgba, int& width, int& height,
                             std::string* error) {
  if (!render.IsReady(error)) return 0;
  const int w = render.GetFrameWidth(), h = render.GetFrameHeight();
  if (w <= 0 || h <= 0) return Fail(error, "no frame has been drawn yet");
  if (!render.MakeCurrent()) return Fail(error, "the render's context cannot be made current");
  std::vector<unsigned char> pixels(static_cast<size_t>(w) * h * 4);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, render.GetFrameFramebuffer());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  if (glGetError() != GL_NO_ERROR) return Fail(error, "the frame could not be read back");
  // OpenGL's rows start at the bottom.
  const size_t row = static_cast<size_t>(w) * 4;
  for (int y = 0; y < h / 2; ++y)
    std::swap_ranges(pixels.begin() + static_cast<std::ptrdiff_t>(y * row),
                     pixels.begin() + static_cast<std::ptrdiff_t>((y + 1) * row),
                     pixels.begin() + static_cast<std::ptrdiff_t>((h - 1 - y) * row));
  rgba = std::move(pixels);
  width = w;
  height = h;
  return 1;
}

int KIVGLCapture::WritePng(KIVGLRender& render, KIVViewer& viewer, const char* path, int width, int height,
                           std::string* error) {
  if (!path || !*path) return Fail(error, "no file name for the capture");
  if (width < 0 || height < 0 || width > kLargest || height > kLargest || (width == 0) != (height == 0))
    return Fail(error, "bad capture size " + std::to_string(width) + " x " + std::to_string(height));
  if (viewer.GetRender() != &render) return Fail(error, "the viewer does not draw through this render");
  if (!render.IsReady(error)) return 0;
  int oldWidth = 0, oldHeight = 0;
  viewer.GetGraphicSize(&oldWidth, &oldHeight);
  const bool resized = width > 0 && (width != oldWidth || height != oldHeight);
  if (resized) viewer.SetGraphicSize(width, height);
  viewer.Draw();
  std::vector<unsigned char> rgba;
  int w = 0, h = 0;
  const int read = ReadPixels(render, rgba, w, h, error);
  if (resized) viewer.SetGraphicSize(oldWidth, oldHeight);
  if (!read) return 0;
  const int wanted[2] = {width > 0 ? width : oldWidth, height > 0 ? height : oldHeight};
  if (w != wanted[0] || h != wanted[1]) return Fail(error, "the frame was not drawn at the size asked");
  // The writer's reason names the file already.
  return KIVPngImage::Write(path, w, h, rgba.data(), error) ? 1 : 0;
}
