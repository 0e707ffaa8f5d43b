#pragma once
// navview's drawing: an OpenGL context and render when a device exists, plain traversal
// (counts, no pixels) otherwise. Kept behind this class so that the rest of the
// application never sees OpenGL.
#include <memory>
#include <string>
class NavViewerExtand;

class NavviewGraphics {
 public:
  NavviewGraphics();
  ~NavviewGraphics();
  /// Makes a headless context and installs its render in the viewer. 0 with a reason when
  /// there is no device; the viewer then keeps its base render.
  int StartHeadless(NavViewerExtand& viewer, std::string* error);
  bool IsStarted() const;
  /// The renderer's name ("llvmpipe …"), empty when not started.
  std::string GetRendererName() const;
  /// Draws the viewer at width × height (its own size when 0) and writes a PNG; a name
  /// that does not end in .png is refused, as only PNG can be written.
  int Capture(NavViewerExtand& viewer, const std::string& path, int width, int height, std::string* error);
  /// 1 when a capture may be written under that name; 0 with the reason.
  static int CheckCapturePath(const std::string& path, std::string* error);
  /// Triangles submitted in the last frame (0 without a context).
  long long GetLastTriangles() const;
  /// Seconds of the last frame, including the GPU's work (waits for it).
  double TimeFrame(NavViewerExtand& viewer);
  /// Releases the render from the viewer before either goes (and the renders of the
  /// viewers attached).
  void Stop(NavViewerExtand& viewer);
  /// Another viewer (a secondary viewer's) drawn headless through a render of its own
  /// sharing the main render's buffers. 0 when not started.
  int Attach(NavViewerExtand& viewer);
  /// Takes the attached render off the viewer, before the viewer goes.
  void Detach(NavViewerExtand& viewer);

 private:
  struct State;
  std::unique_ptr<State> mState;
};
