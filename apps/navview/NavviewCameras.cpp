#include "apps/navview/NavviewCameras.h"

#include <map>

#include "apps/navview/NavviewSession.h"
#include "apps/navview/NavviewWords.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "navigation/NavViewpointManipulate.h"
#include "viewer/NavSimpleViewer3D.h"
#include "viewer/NavViewerExtand.h"

using NavviewWords::Refuse;

namespace {
std::string Rest(const std::vector<std::string>& w, size_t from, size_t end) {
  std::string text;
  for (size_t i = from; i < end; ++i) text += (i > from ? " " : "") + w[i];
  return text;
}
}  // namespace

NavviewCameras::NavviewCameras(NavviewSession& session) : mSession(session) {}

NavviewCameras::~NavviewCameras() {
  mCameras.clear();
  for (NavSimpleViewer3D* viewer : mViewers) Delete(viewer);
}

void NavviewCameras::Delete(NavSimpleViewer3D* viewer) {
  if (NavViewerExtand* view = viewer->GetSpecificViewer()) mSession.GetGraphics().Detach(*view);
  delete viewer;
}

bool NavviewCameras::IsCameraWord(const std::string& word) {
  return word == "add" || word == "play" || word == "view" || word == "remove" || word == "list";
}

NavViewpointManipulate* NavviewCameras::Find(const std::string& name) const {
  for (const Named& n : mCameras)
    if (n.name == name) return n.camera.get();
  return nullptr;
}

std::string NavviewCameras::Camera(const std::vector<std::string>& w, bool& failed) {
  if (w.empty()) return Refuse(failed);
  const std::string& verb = w[0];
  if (verb == "list") {
    std::string text = std::to_string(mCameras.size()) + (mCameras.size() == 1 ? " camera" : " cameras");
    for (const Named& n : mCameras) text += "\n  " + n.name;
    return text;
  }
  // `camera view NAME SIDE`: the side is the last word, the name what stands before it.
  const size_t nameEnd = verb == "view" ? w.size() - 1 : w.size();
  if (w.size() < 2 || nameEnd < 2) return Refuse(failed);
  const std::string name = Rest(w, 1, nameEnd);
  NavViewerExtand& viewer = mSession.GetViewer();
  if (verb == "add") {
    if (Find(name)) return Refuse(failed, "a camera is already named '" + name + "'");
    auto camera = std::make_unique<NavViewpointManipulate>(&viewer, nullptr, nullptr, KIVUnicodeString(name.c_str()),
                                                           NavViewpointManipulate::kOptionListen);
    // Where the main view stands now, as a person places a camera.
    camera->SetCameraVP(*viewer.GetMain3DViewpoint(), 1);
    mCameras.push_back({name, std::move(camera)});
    viewer.Draw();
    return "camera " + name + " placed";
  }
  NavViewpointManipulate* camera = Find(name);
  if (!camera) return Refuse(failed, "no camera is named '" + name + "' (camera list)");
  if (verb == "play") {
    camera->ActiveOption(21, -1);  // "Play Viewpoint", as the camera's menu does
    return "playing " + name;
  }
  if (verb == "remove") {
    for (auto it = mCameras.begin(); it != mCameras.end(); ++it)
      if (it->camera.get() == camera) {
        mCameras.erase(it);
        break;
      }
    viewer.Draw();
    return "camera " + name + " removed";
  }
  static const std::map<std::string, int> sides = {{"iso", 0},  {"front", 1}, {"back", 2},  {"right", 3},
                                                   {"left", 4}, {"top", 5},   {"bottom", 6}};
  const auto side = sides.find(w.back());
  if (verb != "view" || side == sides.end()) return Refuse(failed);
  camera->ChangeView(side->second, 1);
  viewer.Draw();
  return "camera " + name + " looks " + w.back();
}

std::string NavviewCameras::Viewer(const std::vector<std::string>& w, bool& failed) {
  if (w.size() == 1 && w[0] == "close") {
    const size_t n = mViewers.size();
    for (NavSimpleViewer3D* viewer : mViewers) Delete(viewer);
    mViewers.clear();
    return std::to_string(n) + (n == 1 ? " viewer closed" : " viewers closed");
  }
  if (!w.empty() && w[0] == "capture") {
    // `viewer capture N FILE.png [W H]`, as the main `capture` takes it.
    int n = 0, width = 0, height = 0;
    if ((w.size() != 3 && w.size() != 5) || !NavviewWords::ToInt(w[1], n) ||
        (w.size() == 5 && (!NavviewWords::ToInt(w[3], width) || !NavviewWords::ToInt(w[4], height) || width < 1 ||
                           height < 1 || width > 16384 || height > 16384)))
      return Refuse(failed);
    if (n < 1 || n > static_cast<int>(mViewers.size()))
      return Refuse(failed, "no viewer " + w[1] + " (" + std::to_string(mViewers.size()) + " open)");
    std::string error;
    if (!mSession.GetGraphics().Capture(*mViewers[n - 1]->GetSpecificViewer(), w[2], width, height, &error)) {
      failed = true;
      return error;
    }
    return "wrote " + w[2];
  }
  static const std::map<std::string, int> views = {
      {"user", NavSimpleViewer3D::kViewUser},   {"front", NavSimpleViewer3D::kViewFront},
      {"back", NavSimpleViewer3D::kViewBack},   {"left", NavSimpleViewer3D::kViewLeft},
      {"right", NavSimpleViewer3D::kViewRight}, {"top", NavSimpleViewer3D::kViewTop},
      {"bottom", NavSimpleViewer3D::kViewBottom}};
  const auto view = w.size() == 2 && w[0] == "open" ? views.find(w[1]) : views.end();
  if (view == views.end()) return Refuse(failed);
  NavViewerExtand& main = mSession.GetViewer();
  auto* scene = dynamic_cast<KIV3DBagRep*>(main.GetRootRep(NavViewerExtand::kOfficialRoot));
  // A kept window (kind 3) on the scene, following the main view from that side.
  auto* viewer = new NavSimpleViewer3D(nullptr, &mSession.GetWindow(), scene, 320, 240, 3,
                                       NavSimpleViewer3D::kOptionOtherViews);
  viewer->ReferenceViewpoint(main.GetMain3DViewpoint());
  viewer->SetTargetFixe(1);  // from that side of what the main view looks at
  viewer->SetLogicalView(view->second);
  // Headless, it draws through a render of its own over the main one's buffers.
  mSession.GetGraphics().Attach(*viewer->GetSpecificViewer());
  viewer->AffichePanel(1);
  mViewers.push_back(viewer);
  return "viewer open looking " + w[1];
}
