#include "apps/navview/NavviewScript.h"

#include <cmath>
#include <cstdio>
#include <istream>
#include <map>
#include <ostream>
#include <sstream>
#include <vector>

#include "apps/navview/NavviewSession.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgRadioItem.h"
#include "host/visu/KIVBasic3DViewpointEditor.h"
#include "host/visu/KIVKeyEvent.h"
#include "navigation/NavViewerViewpointEditor.h"
#include "viewer/NavViewerExtand.h"

namespace {

std::vector<std::string> Words(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

bool ToInt(const std::string& text, int& value) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || v < -1000000000L || v > 1000000000L) return false;
  value = static_cast<int>(v);
  return true;
}

bool ToFloat(const std::string& text, float& value) {
  char* end = nullptr;
  const float v = std::strtof(text.c_str(), &end);
  if (text.empty() || *end || !std::isfinite(v)) return false;
  value = v;
  return true;
}

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

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

const char* const kUsage =
    "unknown command; try help, reframe, view, style, mouse, wheel, key, resize, click, state, setting, draw, "
    "pump, capture, stats, camera, quit";
const char* const kHelp =
    "reframe | view front|back|left|right|top|bottom|iso | style examine|walk|fly | "
    "mouse press|move|release|double X Y BUTTONS [MODIFIERS] | wheel X Y STEPS [MODIFIERS] | "
    "key NAME|CHAR [MODIFIERS] | resize W H | click TAG | state NAME on|off | "
    "setting quality BITS|culling PIXELS|background R G B | draw | pump [CYCLES] | "
    "capture FILE.png [W H] | stats | camera | quit";

}  // namespace

int NavviewScript::Run(std::istream& in, std::ostream& out) {
  int failures = 0;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    bool quit = false, failed = false;
    // The echo comes first, so that what the command itself prints follows it.
    out << "> " << line.substr(first) << std::endl;
    const std::string result = Execute(line, quit, failed);
    out << (failed ? "error: " : "") << result << std::endl;
    if (failed) ++failures;
    if (quit) break;
  }
  return failures;
}

std::string NavviewScript::Execute(const std::string& line, bool& quit, bool& failed) {
  quit = failed = false;
  const std::vector<std::string> w = Words(line);
  auto fail = [&](const std::string& why) {
    failed = true;
    return why;
  };
  if (w.empty()) return "";
  NavViewerExtand& viewer = mSession.GetViewer();
  const std::string& cmd = w[0];

  if (cmd == "help") return kHelp;
  if (cmd == "quit") {
    quit = true;
    return "bye";
  }
  if (cmd == "reframe") {
    viewer.Reframe(NavViewerExtand::kOfficialRoot);
    return "ok";
  }
  if (cmd == "view") {
    if (w.size() != 2) return fail("usage: view front|back|left|right|top|bottom|iso");
    const std::string result = View(w[1]);
    if (result != "ok") failed = true;
    return result;
  }
  if (cmd == "style") {
    static const std::map<std::string, KIVBasic3DViewpointEditorMode> styles = {
        {"examine", KIVBasic3DModeExamine}, {"walk", KIVBasic3DModeWalk}, {"fly", KIVBasic3DModeFly}};
    if (w.size() != 2 || !styles.count(w[1])) return fail("usage: style examine|walk|fly");
    NavViewerViewpointEditor* editor = viewer.GetNavigationEditor();
    if (!editor) return fail("no navigation editor (the window is not shown)");
    editor->SetMode(styles.at(w[1]));
    return "ok";
  }
  if (cmd == "mouse") {
    int x = 0, y = 0, buttons = 0, modifiers = 0;
    if (w.size() < 5 || w.size() > 6 || !ToInt(w[2], x) || !ToInt(w[3], y) || !ToInt(w[4], buttons) ||
        (w.size() == 6 && !ToInt(w[5], modifiers)))
      return fail("usage: mouse press|move|release|double X Y BUTTONS [MODIFIERS]");
    if (w[1] == "press")
      viewer.UserMousePress(x, y, buttons, modifiers);
    else if (w[1] == "move")
      viewer.UserMouseMove(x, y, buttons, modifiers);
    else if (w[1] == "release")
      viewer.UserMouseRelease(x, y, buttons, modifiers);
    else if (w[1] == "double")
      viewer.UserMouseDoubleClick(x, y, buttons, modifiers);
    else
      return fail("usage: mouse press|move|release|double X Y BUTTONS [MODIFIERS]");
    return "ok";
  }
  if (cmd == "wheel") {
    int x = 0, y = 0, steps = 0, modifiers = 0;
    if (w.size() < 4 || w.size() > 5 || !ToInt(w[1], x) || !ToInt(w[2], y) || !ToInt(w[3], steps) ||
        (w.size() == 5 && !ToInt(w[4], modifiers)))
      return fail("usage: wheel X Y STEPS [MODIFIERS]");
    viewer.UserMouseWheel(x, y, steps, modifiers);
    return "ok";
  }
  if (cmd == "key") {
    int modifiers = 0;
    const int key = w.size() >= 2 ? KeyCode(w[1]) : 0;
    if (w.size() < 2 || w.size() > 3 || !key || (w.size() == 3 && !ToInt(w[2], modifiers)))
      return fail("usage: key NAME|CHAR [MODIFIERS]");
    viewer.UserKey(key, modifiers);
    return "ok";
  }
  if (cmd == "resize") {
    int width = 0, height = 0;
    if (w.size() != 3 || !ToInt(w[1], width) || !ToInt(w[2], height) || width < 1 || height < 1 || width > 16384 ||
        height > 16384)
      return fail("usage: resize W H (1 to 16384 pixels)");
    viewer.UserResize(width, height);
    return "ok";
  }
  if (cmd == "click") {
    if (w.size() != 2) return fail("usage: click TAG");
    return Click(w[1], failed);
  }
  if (cmd == "state") {
    if (w.size() != 3 || (w[2] != "on" && w[2] != "off")) return fail("usage: state NAME on|off");
    return State(w[1], w[2] == "on", failed);
  }
  if (cmd == "setting") {
    if (w.size() == 3 && w[1] == "quality") {
      int bits = 0;
      if (!ToInt(w[2], bits) || bits < 0) return fail("usage: setting quality BITS");
      viewer.SetQualityModes(bits);
      viewer.Draw();
      return "quality " + std::to_string(viewer.GetQualityModes());
    }
    if (w.size() == 3 && w[1] == "culling") {
      float pixels = 0;
      if (!ToFloat(w[2], pixels) || pixels < 0) return fail("usage: setting culling PIXELS");
      viewer.GetSupport().SetCullingPrecision(pixels);
      viewer.Draw();
      return "culling " + Fixed(viewer.GetSupport().GetCullingPrecision(), 2);
    }
    if (w.size() == 5 && w[1] == "background") {
      float rgb[3];
      for (int i = 0; i < 3; ++i)
        if (!ToFloat(w[2 + i], rgb[i]) || rgb[i] < 0 || rgb[i] > 1)
          return fail("usage: setting background R G B (0 to 1)");
      viewer.SetBackgroundColor(rgb[0], rgb[1], rgb[2]);
      viewer.Draw();
      return "ok";
    }
    return fail("usage: setting quality BITS | setting culling PIXELS | setting background R G B");
  }
  if (cmd == "draw") {
    viewer.Draw();
    return "ok";
  }
  if (cmd == "pump") {
    int cycles = 1;
    if (w.size() > 2 || (w.size() == 2 && (!ToInt(w[1], cycles) || cycles < 1 || cycles > 100000)))
      return fail("usage: pump [CYCLES]");
    for (int i = 0; i < cycles; ++i) mSession.Pump();
    return "ok";
  }
  if (cmd == "capture") {
    int width = 0, height = 0;
    if ((w.size() != 2 && w.size() != 4) ||
        (w.size() == 4 && (!ToInt(w[2], width) || !ToInt(w[3], height) || width < 1 || height < 1 ||
                           width > 16384 || height > 16384)))
      return fail("usage: capture FILE.png [W H]");
    std::string error;
    if (!mSession.GetGraphics().Capture(viewer, w[1], width, height, &error)) return fail(error);
    return "wrote " + w[1];
  }
  if (cmd == "stats") return Stats();
  if (cmd == "camera") {
    const KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
    const KIVMathPointf o = vp->GetOrigin(), t = vp->GetTarget();
    return "eye " + Fixed(o.x, 3) + " " + Fixed(o.y, 3) + " " + Fixed(o.z, 3) + " target " + Fixed(t.x, 3) + " " +
           Fixed(t.y, 3) + " " + Fixed(t.z, 3);
  }
  return fail(kUsage);
}

std::string NavviewScript::Stats() {
  NavViewerExtand& viewer = mSession.GetViewer();
  const double seconds = mSession.GetGraphics().TimeFrame(viewer);
  std::string text = "models " + std::to_string(mSession.GetScene().GetModelCount()) + " triangles " +
                     std::to_string(mSession.GetScene().CountTriangles()) + " frame " + Fixed(seconds * 1000.0, 2) +
                     " ms";
  if (mSession.GetGraphics().IsStarted())
    text += " drawn " + std::to_string(mSession.GetGraphics().GetLastTriangles()) + " triangles";
  return text;
}

std::string NavviewScript::View(const std::string& name) {
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
  if (it == index.end()) return "unknown view '" + name + "'; try front, back, left, right, top, bottom, iso";
  NavViewerExtand& viewer = mSession.GetViewer();
  KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
  const Direction& d = views[it->second];
  vp->SetPosition(vp->GetOrigin(), d.sight, d.up);
  viewer.Reframe(NavViewerExtand::kOfficialRoot);
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
      failed = true;
      std::string known = "unknown state '" + name + "'; known: animation toolbar";
      for (const auto& entry : states) known += " " + entry.first;
      return known;
    }
    result = (viewer.*(it->second))(on);
  }
  return name + (on ? " on" : " off") + (result == on ? "" : " (refused)");
}

std::string NavviewScript::Click(const std::string& tag, bool& failed) {
  KIVDialog* object = mSession.GetWindow().LookupChild(tag.c_str(), 1);
  if (!object) {
    failed = true;
    return "no dialog object tagged '" + tag + "'";
  }
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
  else {
    failed = true;
    return "'" + tag + "' cannot be clicked";
  }
  if (!done) {
    failed = true;
    return "'" + tag + "' is not usable now";
  }
  return "clicked " + tag;
}
