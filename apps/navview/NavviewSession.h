#pragma once
// One navview session: a window holding an extended viewer with every option, the scene
// in its official root, the info the tools ask for, and the graphics that draw it.
#include <memory>
#include <string>
#include <vector>
#include "apps/navview/NavviewGraphics.h"
#include "apps/navview/NavviewInfoRep.h"
#include "apps/navview/NavviewScene.h"
class KIVDlgDialog;
class NavviewViewer;

class NavviewSession {
 public:
  NavviewSession(int width, int height);
  ~NavviewSession();
  /// Starts OpenGL drawing; without it the session still runs (no pixels, no capture).
  int StartGraphics(std::string* error) { return mGraphics.StartHeadless(GetViewer(), error); }
  NavviewGraphics& GetGraphics() { return mGraphics; }
  /// The built-in plant, unitsPerSide² units; returns the models added.
  int LoadBuiltin(int unitsPerSide);
  /// One model file under the root. 0 with a one-line reason (a directory is refused as
  /// one); the scene keeps what it had.
  /// A file loaded with something left out (non-finite geometry, a texture not found) or
  /// with nothing to draw says so in warning ("" otherwise).
  int LoadFile(const std::string& path, std::string* error, std::string* warning = nullptr);
  /// Shows the window: the viewer's window exists and its navigation editor is made.
  void Show();
  /// Runs the deferred cycle (timed steps, animations, delayed destructions).
  void Pump();
  NavViewerExtand& GetViewer();
  NavviewViewer& GetNavviewViewer() { return *mViewer; }
  KIVDlgDialog& GetWindow() { return *mWindow; }
  NavviewScene& GetScene() { return mScene; }

 private:
  NavviewScene mScene;
  NavviewInfoRep mInfo{mScene};
  KIVDlgDialog* mWindow = nullptr;  // owns the viewer through the dialog tree
  NavviewViewer* mViewer = nullptr;
  NavviewGraphics mGraphics;
};
