#pragma once
// Model files into navview's scene: one top bag per file under the root, named after
// the file, with the file's node names; the bag right above each mesh is the model.
#include <string>
class NavviewScene;

class NavviewImport {
 public:
  /// 1 when loaded; 0 with a one-line reason naming the file, the scene unchanged.
  static int Load(NavviewScene& scene, const std::string& path, std::string* error);
};
