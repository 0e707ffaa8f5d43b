#pragma once
// The script's commands on the models: open a file, list the models, select, hide, show
// or isolate them by name, export the scene as VRML. A name matches every rep of the
// scene that carries it (a model, a group such as a whole file, or a leaf).
#include <string>
#include <vector>
class KIVRep;
class NavviewSession;

class NavviewSceneCommands {
 public:
  explicit NavviewSceneCommands(NavviewSession& session) : mSession(session) {}
  /// Loads one more file and reframes; failed with the reason, the scene unchanged.
  std::string Open(const std::string& path, bool& failed);
  /// One line per model: name, triangles, hidden or selected; a total line first.
  std::string List() const;
  /// Highlights what the name matches and nothing else; an empty name clears.
  std::string Select(const std::string& name, bool& failed);
  /// Hides or shows what the name matches; showing also shows the groups above it.
  /// "all" shows everything.
  std::string Show(const std::string& name, bool show, bool& failed);
  /// Shows what the name matches, whole, and hides everything beside it.
  std::string Isolate(const std::string& name, bool& failed);
  /// Writes the shown models as VRML97, in metres as the tool bar's export does.
  std::string ExportVrml(const std::string& path, bool& failed);

 private:
  /// Every rep under the scene's root, each once, parents before children.
  std::vector<KIVRep*> Reps() const;
  std::vector<KIVRep*> Find(const std::string& name) const;
  std::string NotFound(const std::string& name, bool& failed) const;
  NavviewSession& mSession;
};
