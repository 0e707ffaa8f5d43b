#pragma once
// Cameras placed in navview's scene and secondary viewers: `camera add|play|remove NAME`,
// `camera view NAME iso|front|back|right|left|top|bottom`, `camera list`, and
// `viewer open front|back|left|right|top|bottom|user` (a "Current View" window that
// follows the main view from that side), `viewer capture N FILE.png [W H]` (what the Nth
// one shows), `viewer close`.
#include <memory>
#include <string>
#include <vector>

class NavSimpleViewer3D;
class NavViewpointManipulate;
class NavviewSession;

class NavviewCameras {
 public:
  explicit NavviewCameras(NavviewSession& session);
  ~NavviewCameras();
  NavviewCameras(const NavviewCameras&) = delete;
  NavviewCameras& operator=(const NavviewCameras&) = delete;
  /// The words after `camera` when the first is add, play, view, remove or list.
  std::string Camera(const std::vector<std::string>& words, bool& failed);
  static bool IsCameraWord(const std::string& word);
  /// The words after `viewer`.
  std::string Viewer(const std::vector<std::string>& words, bool& failed);
  static const char* ViewerUsage() {
    return "open front|back|left|right|top|bottom|user | capture N FILE.png [W H] | close";
  }
  NavViewpointManipulate* Find(const std::string& name) const;
  /// The secondary viewers opened, in order.
  const std::vector<NavSimpleViewer3D*>& GetViewers() const { return mViewers; }

 private:
  struct Named {
    std::string name;
    std::unique_ptr<NavViewpointManipulate> camera;
  };
  void Delete(NavSimpleViewer3D* viewer);
  NavviewSession& mSession;
  std::vector<Named> mCameras;
  std::vector<NavSimpleViewer3D*> mViewers;  // dialogs of the session's window
};
