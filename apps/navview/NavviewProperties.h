#pragma once
// The "Properties" window: one line per model of the scene with its name, type, file,
// bounding box and triangle count, sortable by any column, searchable and saved to a text
// file from its context menu. The script shows it with `properties` and saves it with
// `properties save FILE`.
#include <string>
#include <vector>

class KIVRep;
class NavPropertiesViewer;
class NavviewSession;

class NavviewProperties {
 public:
  /// The columns, in order; from "Triangles" on they sort as numbers.
  static constexpr const char* kColumns[6] = {"Name", "Type", "File", "Box min", "Box max", "Triangles"};

  explicit NavviewProperties(NavviewSession& session);
  ~NavviewProperties();
  NavviewProperties(const NavviewProperties&) = delete;
  NavviewProperties& operator=(const NavviewProperties&) = delete;

  /// Shows the window with the scene's models; a scene changed since the last fill gets a
  /// new table (the columns of a shown table are fixed).
  void Show();
  /// The words after `properties`: none shows the window, `save FILE` also writes it.
  std::string Command(const std::vector<std::string>& words, bool& failed);
  static const char* Usage() { return "[save FILE]"; }
  /// Null before the first Show.
  NavPropertiesViewer* GetViewer() const { return mViewer; }

  /// The model's box in the scene's frame, as "x y z" texts; false without geometry.
  static bool WorldBox(KIVRep* model, std::string& min, std::string& max);

 private:
  void Fill();
  NavviewSession& mSession;
  NavPropertiesViewer* mViewer = nullptr;
  unsigned long mFilledVersion = ~0ul;  // scene version of the last fill
};
