#pragma once
// The plant drawn by OpenSceneGraph, the peer our frames are measured against: one
// MatrixTransform > Geode > Geometry per model (the scene graph an OSG user would build),
// osgViewer's single-threaded embedded viewer in its own compatibility-profile context
// with a 1280 × 720 framebuffer object, the same camera, head light and smooth normals.
// Built only when OpenSceneGraph is installed; no OSG header reaches the caller.
#include <memory>
#include <string>
#include <vector>

class PlantScene;

class OsgPlant {
 public:
  /// The peer on the EGL display current now (our context's), or null with the reason.
  /// cullPixels 0 turns OSG's small-feature culling off (frustum culling stays on);
  /// otherwise it is OSG's small-feature pixel size.
  static std::unique_ptr<OsgPlant> Create(const PlantScene& plant, int width, int height, float cullPixels,
                                          std::string* error);
  ~OsgPlant();
  /// One whole frame: makes the peer's context current, draws and waits for the GPU.
  void Frame();
  /// The last frame's pixels (RGBA, rows from the bottom).
  std::vector<unsigned char> ReadPixels();
  /// Background colour, so that silhouettes can be compared.
  static const float kBackground[3];

 private:
  OsgPlant() = default;
  struct Impl;
  std::unique_ptr<Impl> mImpl;
};
