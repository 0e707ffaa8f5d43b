#pragma once
// Frames of a KIVGLRender as pixels and PNG files.
#include <string>
#include <vector>
class KIVGLRender;
class KIVViewer;

class KIVGLCapture {
 public:
  /// The last frame's pixels, RGBA, rows from the top. 0 with a reason (outputs left
  /// unchanged) when no frame was drawn or the framebuffer cannot be read.
  static int ReadPixels(KIVGLRender& render, std::vector<unsigned char>& rgba, int& width, int& height,
                        std::string* error);
  /// Draws the viewer through render (which must be its render) and writes the frame to
  /// path as a PNG. With width and height above 0 the frame is drawn at that size and the
  /// viewer's size restored after; 0 for both keeps the viewer's. Returns 1, or 0 with a
  /// reason, and no file, for bad arguments, a failed frame or an unwritable path.
  static int WritePng(KIVGLRender& render, KIVViewer& viewer, const char* path, int width, int height,
                      std::string* error);
};
