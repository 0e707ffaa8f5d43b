#pragma once
// Model files into navview's scene: one top bag per file under the root, named after
// the file, with the file's node names; the bag right above each mesh is the model.
// Files are read with the scene's up axis (NavviewScene::GetUpAxis; each file's own when
// unset), so that their up is the scene's +z.
#include <string>
class NavviewScene;

class NavviewImport {
 public:
  /// 1 when loaded; 0 with a one-line reason naming the file, the scene unchanged. A file
  /// loaded with something left out (non-finite geometry, a texture not found) or with
  /// nothing to draw (an empty model) says so in warning, "" otherwise.
  static int Load(NavviewScene& scene, const std::string& path, std::string* error, std::string* warning = nullptr);
};
