// Imports arbitrary bytes as a 3D file: the first byte picks the format, the rest is the
// file. Every input either gives a tree whose counts agree with its reps or a one-line
// error and no tree. Left out: PLY, whose reader in assimp 5.2 loops forever on some
// corrupt headers, and OBJ, whose reader takes a 16 MB line buffer per file (14 ms an
// input under AddressSanitizer, half a minute a replay); the unit tests cover OBJ.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/io/KIVSceneImporter.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"

// assimp 5.2 leaks on many of its error paths; only allocations made inside it are let go.
extern "C" const char* __lsan_default_suppressions() { return "leak:libassimp.so\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char* const kHints[] = {"stl", "gltf"};
  const char* hint = kHints[data[0] % 2];
  KIVSceneImporter importer;
  importer.SetNormalMode(data[0] & 4 ? KIVSceneImporter::FlatNormals : KIVSceneImporter::SmoothNormals);
  KIVImportedScene scene = importer.ImportFromMemory(data + 1, size - 1, hint);
  const char* error = scene.GetError();
  if (!scene.GetTop()) {
    if (std::strlen(error) == 0 || std::strchr(error, '\n') || !scene.GetReps().empty()) std::abort();
    return 0;
  }
  if (std::strlen(error) != 0) std::abort();
  // A file with nothing to draw is an empty model, and says so.
  if (scene.GetModelCount() <= 0 && std::strlen(scene.GetWarning()) == 0) std::abort();
  long long triangles = 0;
  int models = 0;
  for (KIVRep* rep : scene.GetReps()) {
    if (!scene.GetName(rep)) std::abort();
    if (auto* leaf = dynamic_cast<KIV3DCustomRep*>(rep)) {
      triangles += leaf->GetTriangleCount();
      ++models;
    }
  }
  if (triangles != scene.GetTriangleCount() || models != scene.GetModelCount()) std::abort();
  scene.GetTop()->ComputeBoundingElement();
  return 0;
}
