#pragma once
// Reads a 3D file through assimp (glTF 2.0, OBJ, STL, PLY, 3MF, FBX, and whatever else it
// reads) into a tree of reps: a top bag named after the file, whose matrix turns the
// file's up axis to +z, under it one bag per node of the file with the node's matrix, and
// one custom rep per mesh under the bags of the nodes that use it. Polygons become
// triangles of a face primitive, with the file's normals or generated ones, its vertex
// colours, and its base colour texture (embedded, or a PNG or JPEG file beside the model)
// with the texture coordinates and wrap modes; lines become line primitives and points a
// point cloud. A mesh's material gives its leaf an RGBA colour (base or diffuse colour
// and opacity), Transparent when its alpha is below 255. Triangles, segments and points
// with non-finite coordinates, or beyond ±1e18 (whose squares overflow a float), are left
// out and counted in the result's warning.
#include <cstddef>
#include <functional>

#include "host/io/KIVImportedScene.h"

class KIVSceneImporter {
 public:
  enum NormalMode { SmoothNormals = 0, FlatNormals = 1 };
  /// Told the fraction done, 0 to 1, as the import goes; returning 0 cancels it.
  using ProgressCallback = std::function<int(float fraction)>;

  /// How normals are made for meshes that come without: smooth across edges sharper than
  /// the smoothing angle (the default) or one per face. Other values are refused (0).
  int SetNormalMode(int mode);
  int GetNormalMode() const { return mNormalMode; }
  /// Edges whose faces meet at more than this angle stay sharp in smooth normals
  /// (degrees, 0 to 180; others are refused, 0).
  int SetSmoothingAngle(float degrees);
  float GetSmoothingAngle() const { return mSmoothingAngle; }
  /// The axis that is up in the files read ('x', 'y' or 'z'), or 0 (the default) for
  /// each file's own: +y for glTF, the file's UpAxis metadata (FBX), else +z. Other values
  /// are refused (0).
  int SetUpAxis(char axis);
  char GetUpAxis() const { return mUpAxis; }
  /// Null or an empty function removes the callback.
  void SetProgressCallback(ProgressCallback callback) { mProgress = std::move(callback); }

  /// Imports one file. A missing, unreadable or corrupt file gives a result without tree
  /// whose error names the file and the reason; a file read without anything to draw
  /// gives an empty top bag and says so in the warning.
  KIVImportedScene Import(const char* path) const;
  /// Imports a file held in memory; `hint` is the extension of its format ("obj", "glb",
  /// ...), which formats without a signature need. The top bag is named "memory.<hint>".
  /// Files that refer to others (an OBJ's mtl, a glTF's .bin) find none.
  KIVImportedScene ImportFromMemory(const void* data, size_t size, const char* hint) const;

 private:
  int mNormalMode = SmoothNormals;
  float mSmoothingAngle = 80.0f;
  char mUpAxis = 0;
  ProgressCallback mProgress;
};
