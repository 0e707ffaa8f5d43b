// The script's commands on the viewer itself: views, camera, input, tool states, settings.
#include <map>

#include "apps/navview/NavviewScript.h"
#include "apps/navview/NavviewSession.h"
#include "apps/navview/NavviewWords.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgRadioItem.h"
#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "viewer/NavInterfaceInfoRep.h"
#include "viewer/NavViewerExtand.h"

using NavviewWords::Fixed;
using NavviewWords::Refuse;
using NavviewWords::ToFloat;
using NavviewWords::ToInt;
using NavviewWords::Triple;

namespace {

int KeyCode(const std::string& name) {
  static const std::map<std::string, int> named = {
      {"escape", KIVKeyEvent::KeyEscape}, {"return", KIVKeyEvent::KeyReturn},     {"tab", KIVKeyEvent::KeyTab},
      {"home", KIVKeyEvent::KeyHome},     {"end", KIVKeyEvent::KeyEnd},           {"pageup", KIVKeyEvent::KeyPageUp},
      {"pagedown", KIVKeyEvent::KeyPageDown}, {"left", KIVKeyEvent::KeyLeft},     {"right", KIVKeyEvent::KeyRight},
      {"up", KIVKeyEvent::KeyUp},         {"down", KIVKeyEvent::KeyDown},         {"delete", KIVKeyEvent::KeyDelete},
      {"space", ' '}};
  auto it = named.find(name);
  if (it != named.end()) return it->second;
  if (name.size() == 1) return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(name[0])));
  if (name.size() >= 2 && (name[0] == 'f' || name[0] == 'F')) {
    int n = 0;
    if (ToInt(name.substr(1), n) && n >= 1 && n <= 24) return KIVKeyEvent::KeyF1 + n - 1;
  }
  return 0;
}

std::string Refused(bool& failed, const std::string& why) {
  failed = true;
  return why;
}

bool Parallel(const KIVMathVectorf& a, const KIVMathVectorf& b) { return (a ^ b).Norm() < 1e-4f; }

}  // namespace

std::string NavviewScript::View(const std::string& name, bool& failed) {
  struct Direction {
    KIVMathDirectionf sight, up;
  };
  const KIVMathDirectionf z(0, 0, 1);
  static const std::map<std::string, int> index = {{"front", 0}, {"back", 1},   {"left", 2}, {"right", 3},
                                                   {"top", 4},   {"bottom", 5}, {"iso", 6}};
  const Direction views[7] = {{KIVMathDirectionf(0, 1, 0), z},  {KIVMathDirectionf(0, -1, 0), z},
                              {KIVMathDirectionf(1, 0, 0), z},  {KIVMathDirectionf(-1, 0, 0), z},
                              {KIVMathDirectionf(0, 0, -1), KIVMathDirectionf(0, 1, 0)},
                              {KIVMathDirectionf(0, 0, 1), KIVMathDirectionf(0, -1, 0)},
                              {KIVMathDirectionf(-1, 1, -1), z}};
  auto it = index.find(name);
  if (it == index.end())
    return Refused(failed, "unknown view '" + name + "'; try front, back, left, right, top, bottom, iso");
  NavViewerExtand& viewer = mSession.GetViewer();
  KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
  const Direction& d = views[it->second];
  vp->SetPosition(vp->GetOrigin(), d.sight, d.up);
  viewer.Reframe(NavViewerExtand::kOfficialRoot);
  return "ok";
}

std::string NavviewScript::Camera(const Words& w, bool& failed) {
  KIV3DViewpoint* vp = mSession.GetViewer().GetMain3DViewpoint();
  auto describe = [vp] {
    const KIVMathPointf o = vp->GetOrigin(), t = vp->GetTarget();
    const KIVMathDirectionf u = vp->GetUpDirection();
    return "eye " + Triple(o.x, o.y, o.z) + " target " + Triple(t.x, t.y, t.z) + " up " + Triple(u.x, u.y, u.z);
  };
  if (w.size() == 1) return describe();
  if (w.size() != 7 && w.size() != 10) return Refuse(failed);
  float v[9] = {};
  for (size_t i = 1; i < w.size(); ++i)
    if (!ToFloat(w[i], v[i - 1])) return Refused(failed, "camera: '" + w[i] + "' is not a number");
  const KIVMathPointf eye(v[0], v[1], v[2]), target(v[3], v[4], v[5]);
  const KIVMathVectorf line = target - eye;
  if (line.Norm() <= 0.0f) return Refused(failed, "camera: the eye and the target are the same point");
  const KIVMathDirectionf sight(line);
  KIVMathDirectionf up;
  if (w.size() == 10) {
    up = KIVMathDirectionf(v[6], v[7], v[8]);
    if (up.IsNull() || Parallel(up, sight)) return Refused(failed, "camera: up must not lie along the line of sight");
  } else {
    // The scene's vertical, unless the camera looks along it: then keep the camera's own up.
    up = mSession.GetViewer().GetVertical();
    if (Parallel(up, sight)) up = vp->GetUpDirection();
    if (Parallel(up, sight)) up = Parallel(sight, KIVMathDirectionf(0, 1, 0)) ? KIVMathDirectionf(1, 0, 0)
                                                                              : KIVMathDirectionf(0, 1, 0);
  }
  // In one modification, so that whoever follows the main view (a secondary viewer, the
  // history) hears of it once.
  vp->BeginModification();
  vp->SetPosition(eye, sight, up);
  vp->SetFocusDistance(line.Norm());
  vp->EndModification(1);
  return describe();
}

std::string NavviewScript::Picked(int x, int y) {
  NavViewerExtand& viewer = mSession.GetViewer();
  KIVPickPathList paths;
  if (!viewer.Pick(x, y, paths) || !paths.GetPath(0)) return "nothing picked";
  KIVPickPath* path = paths.GetPath(0);
  KIVRep* model = viewer.GetInterfaceInfoRep() ? viewer.GetInterfaceInfoRep()->GetRepOfModel(path) : nullptr;
  const char* name = mSession.GetScene().GetName(model);
  const KIVMathPointf p = path->GetGlobalIntersection();
  return std::string("picked ") + (name && *name ? name : "(unnamed)") + " at " + Triple(p.x, p.y, p.z);
}

std::string NavviewScript::Mouse(const Words& w, bool& failed) {
  int x = 0, y = 0, buttons = 0, modifiers = 0;
  if (w.size() < 5 || !ToInt(w[2], x) || !ToInt(w[3], y) || !ToInt(w[4], buttons) ||
      (w.size() == 6 && !ToInt(w[5], modifiers)))
    return Refuse(failed);
  NavViewerExtand& viewer = mSession.GetViewer();
  if (w[1] == "press") {
    // What is under the pointer before the press starts moving anything.
    std::string picked = Picked(x, y);
    viewer.UserMousePress(x, y, buttons, modifiers);
    return picked;
  }
  if (w[1] == "release") {
    viewer.UserMouseRelease(x, y, buttons, modifiers);
    return Picked(x, y);
  }
  if (w[1] == "move")
    viewer.UserMouseMove(x, y, buttons, modifiers);
  else if (w[1] == "double")
    viewer.UserMouseDoubleClick(x, y, buttons, modifiers);
  else
    return Refuse(failed);
  return "ok";
}

std::string NavviewScript::Key(const Words& w, bool& failed) {
  int modifiers = 0;
  const int key = w.size() >= 2 ? KeyCode(w[1]) : 0;
  if (!key || (w.size() == 3 && !ToInt(w[2], modifiers))) return Refuse(failed);
  mSession.GetViewer().UserKey(key, modifiers);
  return "ok";
}

std::string NavviewScript::State(const std::string& name, int on, bool& failed) {
  using Setter = int (NavViewerExtand::*)(int);
  static const std::map<std::string, Setter> states = {
      {"dashboard", &NavViewerExtand::SetDashboardState},
      {"axis", &NavViewerExtand::SetAxisState},
      {"annotation", &NavViewerExtand::SetAnnotationEditorState},
      {"ground", &NavViewerExtand::SetGroundState},
      {"perfo", &NavViewerExtand::SetPerfoState},
      {"clipping", &NavViewerExtand::SetClippingEditorState},
      {"light", &NavViewerExtand::SetLightEditorState},
      {"stereo", &NavViewerExtand::SetStereoEditorState},
      {"quality", &NavViewerExtand::SetQualityLodEditorState},
      {"tree", &NavViewerExtand::SetGraphicRepTreeState},
      {"reference", &NavViewerExtand::SetReferenceEditorState},
      {"vrml", &NavViewerExtand::SetExportToVRMLFile},
      {"capture", &NavViewerExtand::SetCaptureEditorState},
      {"distance", &NavViewerExtand::SetDistanceEditorState},
      {"palette", &NavViewerExtand::SetNavigationPaletteState},
      {"external", &NavViewerExtand::SetViewpointExternalState}};
  NavViewerExtand& viewer = mSession.GetViewer();
  int result = 0;
  if (name == "animation") {
    result = viewer.SetAnimationViewpointState(on, nullptr);
  } else if (name == "toolbar") {
    result = viewer.SetToolsBarreState(on, -1);
  } else {
    auto it = states.find(name);
    if (it == states.end()) {
      std::string known = "unknown state '" + name + "'; known: animation toolbar";
      for (const auto& entry : states) known += " " + entry.first;
      return Refused(failed, known);
    }
    result = (viewer.*(it->second))(on);
  }
  const std::string said = name + (on ? " on" : " off");
  if (result == on) return said;
  return Refused(failed, said + ": the viewer refused it");
}

std::string NavviewScript::Setting(const Words& w, bool& failed) {
  NavViewerExtand& viewer = mSession.GetViewer();
  if (w.size() == 3 && w[1] == "quality") {
    int bits = 0;
    if (!ToInt(w[2], bits) || bits < 0) return Refused(failed, "usage: setting quality BITS (0 or more)");
    viewer.SetQualityModes(bits);
    viewer.Draw();
    return "quality " + std::to_string(viewer.GetQualityModes());
  }
  if (w.size() == 3 && w[1] == "culling") {
    float pixels = 0;
    if (!ToFloat(w[2], pixels) || pixels < 0) return Refused(failed, "usage: setting culling PIXELS (0 or more)");
    viewer.GetSupport().SetCullingPrecision(pixels);
    viewer.Draw();
    return "culling " + Fixed(viewer.GetSupport().GetCullingPrecision(), 2);
  }
  if (w.size() == 5 && w[1] == "background") {
    float rgb[3];
    for (int i = 0; i < 3; ++i)
      if (!ToFloat(w[2 + i], rgb[i]) || rgb[i] < 0 || rgb[i] > 1)
        return Refused(failed, "usage: setting background R G B (0 to 1)");
    viewer.SetBackgroundColor(rgb[0], rgb[1], rgb[2]);
    viewer.Draw();
    return "ok";
  }
  return Refuse(failed);
}

std::string NavviewScript::Edges(const Words& w, bool& failed) {
  if (w.size() != 2 || (w[1] != "on" && w[1] != "off")) return Refuse(failed);
  constexpr int kEdges = 2;  // the view mode bit that outlines the faces
  const int on = w[1] == "on";
  NavViewerExtand& viewer = mSession.GetViewer();
  if (!viewer.SetViewMode(kEdges, on)) return Refused(failed, "edges on: this renderer cannot draw edges");
  return viewer.ViewMode(kEdges) ? "edges on" : "edges off";
}

std::string NavviewScript::Click(const std::string& tag, bool& failed) {
  KIVDialog* object = mSession.GetWindow().LookupChild(tag.c_str(), 1);
  if (!object) return Refused(failed, "no dialog object tagged '" + tag + "'");
  int done = 0;
  if (auto* push = dynamic_cast<KIVDlgPushButton*>(object))
    done = push->UserActivate();
  else if (auto* item = dynamic_cast<KIVDlgPushItem*>(object))
    done = item->UserActivate();
  else if (auto* check = dynamic_cast<KIVDlgCheckButton*>(object))
    done = check->UserSetState(check->GetState() == KIVDialog::StateSet ? KIVDialog::StateCleared : KIVDialog::StateSet);
  else if (auto* checkItem = dynamic_cast<KIVDlgCheckItem*>(object))
    done = checkItem->UserSetState(checkItem->GetState() == KIVDialog::StateSet ? KIVDialog::StateCleared
                                                                                : KIVDialog::StateSet);
  else if (auto* radio = dynamic_cast<KIVDlgRadioButton*>(object))
    done = radio->UserSetState(KIVDialog::StateSet);
  else if (auto* radioItem = dynamic_cast<KIVDlgRadioItem*>(object))
    done = radioItem->UserSetState(KIVDialog::StateSet);
  else
    return Refused(failed, "'" + tag + "' cannot be clicked");
  if (!done) return Refused(failed, "'" + tag + "' is not usable now");
  return "clicked " + tag;
}
