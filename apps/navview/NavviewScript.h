#pragma once
// navview's command language, one command per line; every line is echoed with its result
// and a bad command (unknown, missing or extra words) says why and lets the script go on.
// `help` lists every command with its words. Blank lines and lines starting with # are
// skipped; "double quotes" keep a file name with spaces in one word, and the name of a
// model (select, hide, show, isolate) is the rest of the line.
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>
#include "apps/navview/NavviewBrowser.h"
#include "apps/navview/NavviewCameras.h"
#include "apps/navview/NavviewGrid.h"
#include "apps/navview/NavviewMarkers.h"
#include "apps/navview/NavviewMeasure.h"
#include "apps/navview/NavviewPanels.h"
#include "apps/navview/NavviewModelsList.h"
#include "apps/navview/NavviewMover.h"
#include "apps/navview/NavviewProperties.h"
#include "apps/navview/NavviewSceneTree.h"
#include "apps/navview/NavviewSceneCommands.h"
class NavviewSession;

class NavviewScript {
 public:
  explicit NavviewScript(NavviewSession& session);
  ~NavviewScript();
  NavviewScript(const NavviewScript&) = delete;
  NavviewScript& operator=(const NavviewScript&) = delete;
  /// Runs every line until the end or quit; returns the number of commands that failed.
  int Run(std::istream& in, std::ostream& out);
  /// Runs one line; its result text without the echo. Sets quit for "quit".
  std::string Execute(const std::string& line, bool& quit, bool& failed);
  /// The same line "stats" prints: models, triangles, last frame time.
  std::string Stats();
  /// Every command with its words, one per line.
  std::string Help() const;
  /// The "Models" window behind `list`.
  NavviewModelsList& GetModelsList() { return mModels; }
  NavviewSceneTree& GetSceneTree() { return mTree; }
  NavviewMarkers& GetMarkers() { return mMarkers; }
  NavviewGrid& GetGrid() { return mGrid; }
  NavviewMover& GetMover() { return mMover; }
  NavviewCameras& GetCameras() { return mCameras; }
  NavviewBrowser& GetBrowser() { return mBrowser; }
  NavviewProperties& GetProperties() { return mProperties; }

 private:
  using Words = std::vector<std::string>;
  struct Command {
    const char* name;
    const char* usage;  // the words it takes
    size_t maxWords;    // more than these is refused before it runs
    // Sets failed with an empty text for words it cannot use: the usage is said then.
    std::function<std::string(const Words&, bool& failed)> run;
  };
  std::string View(const std::string& name, bool& failed);
  std::string Mouse(const Words& w, bool& failed);
  std::string Key(const Words& w, bool& failed);
  std::string State(const std::string& name, int on, bool& failed);
  std::string Setting(const Words& w, bool& failed);
  std::string Click(const std::string& tag, bool& failed);
  std::string Camera(const Words& w, bool& failed);
  std::string Edges(const Words& w, bool& failed);
  /// What a ray through that pixel meets first: the model's name and the world point.
  std::string Picked(int x, int y);
  NavviewSession& mSession;
  NavviewSceneCommands mScene;
  NavviewModelsList mModels{mSession};
  NavviewSceneTree mTree{mSession};  // the "Scene Tree" window behind `tree`
  NavviewMarkers mMarkers{mSession};  // gauges and labels
  NavviewGrid mGrid{mSession};        // the measuring grid
  NavviewMover mMover{mSession};      // moving models, undo and redo
  NavviewMeasure mMeasure{mSession};  // distances, clashes, notes
  NavviewPanels mPanels{mSession};    // quality and view settings
  NavviewCameras mCameras{mSession};  // cameras in the scene, secondary viewers
  NavviewBrowser mBrowser{mSession};  // the viewer's representation tree browser
  NavviewProperties mProperties{mSession};  // the models' properties table
  std::vector<Command> mCommands;
  bool mQuit = false;
};
