#include "apps/navview/NavviewScript.h"

#include <istream>
#include <ostream>

#include "apps/navview/NavviewSession.h"
#include "apps/navview/NavviewViewer.h"
#include "apps/navview/NavviewWords.h"
#include "viewer/NavViewerExtand.h"

using NavviewWords::ToInt;
using NavviewWords::Refuse;

namespace {
constexpr size_t kRest = 1000;  // takes every word to the end of the line

std::string Rest(const std::vector<std::string>& w, size_t from) {
  std::string text;
  for (size_t i = from; i < w.size(); ++i) text += (i > from ? " " : "") + w[i];
  return text;
}
}  // namespace

NavviewScript::NavviewScript(NavviewSession& session) : mSession(session), mScene(session) {
  NavViewerExtand& viewer = mSession.GetViewer();
  mCommands = {
      {"help", "", 0, [this](const Words&, bool&) { return Help(); }},
      {"quit", "", 0,
       [this](const Words&, bool&) {
         mQuit = true;
         return std::string("bye");
       }},
      {"open", "FILE", 1,
       [this](const Words& w, bool& failed) { return w.size() == 2 ? mScene.Open(w[1], failed) : Refuse(failed); }},
      // `list` alone also shows the Models window; its sub-commands drive that window.
      {"list", NavviewModelsList::Usage(), kRest,
       [this](const Words& w, bool& failed) {
         if (w.size() == 1) {
           mModels.Show();
           return mScene.List();
         }
         return mModels.Command(Words(w.begin() + 1, w.end()), failed);
       }},
      {"tree", NavviewSceneTree::Usage(), kRest,
       [this](const Words& w, bool& failed) { return mTree.Command(Words(w.begin() + 1, w.end()), failed); }},
      {"browser", NavviewBrowser::Usage(), kRest,
       [this](const Words& w, bool& failed) { return mBrowser.Command(Words(w.begin() + 1, w.end()), failed); }},
      {"gauge", NavviewMarkers::GaugeUsage(), kRest,
       [this](const Words& w, bool& failed) { return mMarkers.Gauge(Words(w.begin() + 1, w.end()), failed); }},
      {"label", NavviewMarkers::LabelUsage(), kRest,
       [this](const Words& w, bool& failed) { return mMarkers.Label(Words(w.begin() + 1, w.end()), failed); }},
      {"grid", NavviewGrid::Usage(), kRest,
       [this](const Words& w, bool& failed) { return mGrid.Command(Words(w.begin() + 1, w.end()), failed); }},
      {"move", NavviewMover::MoveUsage(), kRest,
       [this](const Words& w, bool& failed) { return mMover.Move(Words(w.begin() + 1, w.end()), failed); }},
      {"rotate", NavviewMover::RotateUsage(), kRest,
       [this](const Words& w, bool& failed) { return mMover.Rotate(Words(w.begin() + 1, w.end()), failed); }},
      {"undo", "", 0, [this](const Words&, bool& failed) { return mMover.Undo(false, failed); }},
      {"redo", "", 0, [this](const Words&, bool& failed) { return mMover.Undo(true, failed); }},
      {"palette", "on|off", 1,
       [this](const Words& w, bool& failed) { return mMover.Palette(Words(w.begin() + 1, w.end()), failed); }},
      {"distance", NavviewMeasure::DistanceUsage(), kRest,
       [this](const Words& w, bool& failed) { return mMeasure.Distance(Words(w.begin() + 1, w.end()), failed); }},
      {"clash", NavviewMeasure::ClashUsage(), kRest,
       [this](const Words& w, bool& failed) { return mMeasure.Clash(Words(w.begin() + 1, w.end()), failed); }},
      {"note", NavviewMeasure::NoteUsage(), kRest,
       [this](const Words& w, bool& failed) { return mMeasure.Note(Words(w.begin() + 1, w.end()), failed); }},
      {"quality", NavviewPanels::QualityUsage(), kRest,
       [this](const Words& w, bool& failed) { return mPanels.Quality(Words(w.begin() + 1, w.end()), failed); }},
      {"background", NavviewPanels::BackgroundUsage(), 3,
       [this](const Words& w, bool& failed) { return mPanels.Background(Words(w.begin() + 1, w.end()), failed); }},
      {"gravity", NavviewPanels::GravityUsage(), 1,
       [this](const Words& w, bool& failed) { return mPanels.Gravity(Words(w.begin() + 1, w.end()), failed); }},
      {"collision", NavviewPanels::CollisionUsage(), 2,
       [this](const Words& w, bool& failed) { return mPanels.Collision(Words(w.begin() + 1, w.end()), failed); }},
      {"reference", NavviewPanels::ReferenceUsage(), 2,
       [this](const Words& w, bool& failed) { return mPanels.Reference(Words(w.begin() + 1, w.end()), failed); }},
      {"properties", NavviewProperties::Usage(), 2,
       [this](const Words& w, bool& failed) { return mProperties.Command(Words(w.begin() + 1, w.end()), failed); }},
      {"markers", "clear", 1,
       [this](const Words& w, bool& failed) { return mMarkers.Markers(Words(w.begin() + 1, w.end()), failed); }},
      // A name is the rest of the line: models' names often hold spaces.
      {"select", "[NAME]", kRest,
       [this](const Words& w, bool& failed) { return mScene.Select(Rest(w, 1), failed); }},
      {"hide", "NAME", kRest,
       [this](const Words& w, bool& failed) { return w.size() > 1 ? mScene.Show(Rest(w, 1), false, failed) : Refuse(failed); }},
      {"show", "NAME|all", kRest,
       [this](const Words& w, bool& failed) { return w.size() > 1 ? mScene.Show(Rest(w, 1), true, failed) : Refuse(failed); }},
      {"isolate", "NAME", kRest,
       [this](const Words& w, bool& failed) { return w.size() > 1 ? mScene.Isolate(Rest(w, 1), failed) : Refuse(failed); }},
      {"export", "vrml FILE", 2,
       [this](const Words& w, bool& failed) {
         return w.size() == 3 && w[1] == "vrml" ? mScene.ExportVrml(w[2], failed) : Refuse(failed);
       }},
      {"reframe", "", 0,
       [&viewer](const Words&, bool&) {
         viewer.Reframe(NavViewerExtand::kOfficialRoot);
         return std::string("ok");
       }},
      {"view", "front|back|left|right|top|bottom|iso", 1,
       [this](const Words& w, bool& failed) { return w.size() == 2 ? View(w[1], failed) : Refuse(failed); }},
      {"style", "examine|walk|fly", 1,
       [&viewer](const Words& w, bool& failed) {
         const int style = w.size() != 2        ? 0
                           : w[1] == "examine" ? 7
                           : w[1] == "walk"    ? 8
                           : w[1] == "fly"     ? 9
                                               : 0;
         if (!style) return Refuse(failed);
         if (!viewer.GetNavigationEditor()) {
           failed = true;
           return std::string("no navigation editor (the window is not shown)");
         }
         viewer.SetNavigationStyle(style);
         return std::string("ok");
       }},
      {"camera", "[X Y Z TX TY TZ [UPX UPY UPZ]] | add|play|remove NAME | view NAME SIDE | list", kRest,
       [this](const Words& w, bool& failed) {
         if (w.size() > 1 && NavviewCameras::IsCameraWord(w[1]))
           return mCameras.Camera(Words(w.begin() + 1, w.end()), failed);
         if (w.size() > 10)
           return Refuse(failed, "unexpected '" + w[10] + "' after camera; usage: camera X Y Z TX TY TZ [UPX UPY UPZ]");
         return Camera(w, failed);
       }},
      {"viewer", NavviewCameras::ViewerUsage(), 5,
       [this](const Words& w, bool& failed) { return mCameras.Viewer(Words(w.begin() + 1, w.end()), failed); }},
      {"mouse", "press|move|release|double X Y BUTTONS [MODIFIERS]", 5,
       [this](const Words& w, bool& failed) { return Mouse(w, failed); }},
      {"wheel", "X Y STEPS [MODIFIERS]", 4,
       [&viewer](const Words& w, bool& failed) {
         int x = 0, y = 0, steps = 0, modifiers = 0;
         if (w.size() < 4 || !ToInt(w[1], x) || !ToInt(w[2], y) || !ToInt(w[3], steps) ||
             (w.size() == 5 && !ToInt(w[4], modifiers)))
           return Refuse(failed);
         viewer.UserMouseWheel(x, y, steps, modifiers);
         return std::string("ok");
       }},
      {"key", "NAME|CHAR [MODIFIERS]", 2, [this](const Words& w, bool& failed) { return Key(w, failed); }},
      {"resize", "W H (1 to 16384 pixels)", 2,
       [&viewer](const Words& w, bool& failed) {
         int width = 0, height = 0;
         if (w.size() != 3 || !ToInt(w[1], width) || !ToInt(w[2], height) || width < 1 || height < 1 ||
             width > 16384 || height > 16384)
           return Refuse(failed);
         viewer.UserResize(width, height);
         return std::string("ok");
       }},
      {"click", "TAG", 1, [this](const Words& w, bool& failed) { return w.size() == 2 ? Click(w[1], failed) : Refuse(failed); }},
      {"state", "NAME on|off", 2,
       [this](const Words& w, bool& failed) {
         if (w.size() != 3 || (w[2] != "on" && w[2] != "off")) return Refuse(failed);
         return State(w[1], w[2] == "on", failed);
       }},
      {"setting", "quality BITS | culling PIXELS | background R G B", 4,
       [this](const Words& w, bool& failed) { return Setting(w, failed); }},
      {"edges", "on|off", 1, [this](const Words& w, bool& failed) { return Edges(w, failed); }},
      {"draw", "", 0,
       [&viewer](const Words&, bool&) {
         viewer.Draw();
         return std::string("ok");
       }},
      {"pump", "[CYCLES] (1 to 100000)", 1,
       [this](const Words& w, bool& failed) {
         int cycles = 1;
         if (w.size() == 2 && (!ToInt(w[1], cycles) || cycles < 1 || cycles > 100000)) return Refuse(failed);
         for (int i = 0; i < cycles; ++i) mSession.Pump();
         return std::string("ok");
       }},
      {"capture", "FILE.png [W H]", 3,
       [this, &viewer](const Words& w, bool& failed) {
         int width = 0, height = 0;
         if ((w.size() != 2 && w.size() != 4) ||
             (w.size() == 4 && (!ToInt(w[2], width) || !ToInt(w[3], height) || width < 1 || height < 1 ||
                                width > 16384 || height > 16384)))
           return Refuse(failed);
         std::string error;
         if (!mSession.GetGraphics().Capture(viewer, w[1], width, height, &error)) {
           failed = true;
           return error;
         }
         return "wrote " + w[1];
       }},
      {"stats", "", 0, [this](const Words&, bool&) { return Stats(); }},
  };
  // Escape, Ctrl+Z and Ctrl+Y in the view drive the mover.
  mSession.GetNavviewViewer().SetKeyHandler([this](int key, int modifiers) { return mMover.Key(key, modifiers); });
}

NavviewScript::~NavviewScript() { mSession.GetNavviewViewer().SetKeyHandler(nullptr); }

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
  quit = failed = mQuit = false;
  const Words w = NavviewWords::Split(line);
  if (w.empty()) return "";
  for (const Command& command : mCommands) {
    if (w[0] != command.name) continue;
    const std::string usage = std::string("usage: ") + command.name + (*command.usage ? " " : "") + command.usage;
    if (w.size() - 1 > command.maxWords) {
      failed = true;
      return "unexpected '" + w[command.maxWords + 1] + "' after " + command.name + "; " + usage;
    }
    std::string result = command.run(w, failed);
    quit = mQuit;
    return failed && result.empty() ? usage : result;
  }
  failed = true;
  std::string known = "unknown command '" + w[0] + "'; commands:";
  for (const Command& command : mCommands) known += std::string(" ") + command.name;
  return known;
}

std::string NavviewScript::Help() const {
  std::string text;
  for (const Command& command : mCommands) {
    if (!text.empty()) text += "\n";
    text += std::string(command.name) + (*command.usage ? " " : "") + command.usage;
  }
  return text;
}

std::string NavviewScript::Stats() {
  NavViewerExtand& viewer = mSession.GetViewer();
  const double seconds = mSession.GetGraphics().TimeFrame(viewer);
  std::string text = "models " + std::to_string(mSession.GetScene().GetModelCount()) + " triangles " +
                     std::to_string(mSession.GetScene().CountTriangles()) + " points " +
                     std::to_string(mSession.GetScene().CountPoints()) + " frame " +
                     NavviewWords::Fixed(seconds * 1000.0, 2) + " ms";
  if (mSession.GetGraphics().IsStarted())
    text += " drawn " + std::to_string(mSession.GetGraphics().GetLastTriangles()) + " triangles";
  return text;
}
