#pragma once
// The thin things of the picked trees: markers and lines have no surface for a ray to
// meet, so they are grabbed within a few pixels of where they show, as Coin3D and
// OpenSceneGraph pick points and lines. KIVPickScene lays them out beside its triangle
// instances (every occurrence of a leaf whose level 0 holds markers, polylines or line
// segments, with its path) and passes on the changes it hears. Each occurrence keeps its
// points in world coordinates, read again only when a matrix or a visibility on its path
// or the leaf's geometry changed. They are few (tool handles), so a pick scans them all,
// each behind a bounding sphere test.
#include <unordered_map>
#include <vector>
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVMathVectorf.h"
#include "host/visu/math/KIVRay.h"
class KIVRep;
class KIV3DCustomRep;
class KIVThinPick {
 public:
  /// A perspective camera as the viewer projects to pixels: x right, y down, the centre
  /// of pixel (i, j) at (i, j).
  struct Camera {
    KIVMathPointf eye;
    KIVMathVectorf sight{0.0f, 0.0f, -1.0f}, up{0.0f, 1.0f, 0.0f}, right{1.0f, 0.0f, 0.0f};  // unit
    float tanX = 1.0f, tanY = 1.0f;  // half the view's width and height at distance 1
    int width = 1, height = 1;       // pixels
  };
  struct Hit {
    int occurrence = -1;
    float pixels = 0.0f;  // from the picked pixel to the marker or segment on screen
    float t = 0.0f;       // along the pick ray from the eye
    KIVMathPointf point;  // on the marker or segment, nearest the pick ray; world
    bool marker = false;
  };
  KIVThinPick() = default;
  KIVThinPick(const KIVThinPick&) = delete;
  KIVThinPick& operator=(const KIVThinPick&) = delete;
  /// Forgets every occurrence (before a layout).
  void Clear();
  /// Keeps the occurrence of `leaf` at the end of `path` (root first) when its level 0
  /// holds thin primitives; nothing otherwise.
  void Add(const KIV3DCustomRep* leaf, const std::vector<KIVRep*>& path);
  /// A matrix, visibility or geometry change to a rep: the occurrences through it read
  /// their points again at the next pick. Costs nothing while there are none.
  void SceneChanged(const KIVRep* rep, int kind);
  /// Whether `rep` is the leaf of an occurrence kept.
  bool IsLeaf(const KIVRep* rep) const;
  /// Whether a rep is a leaf with markers, polylines or line segments at level 0.
  static bool HoldsThin(const KIVRep* rep);
  /// Whether the rep lies on the way to a thin occurrence already listed.
  bool Covers(const KIVRep* rep) const { return mUnder.count(rep) != 0; }
  /// The best thin hit within `tolerance` pixels of pixel (x, y), whose ray (unit
  /// direction, from the eye) is `ray`: the nearest on screen, then (within a pixel)
  /// the nearest in depth, then a marker rather than a line. Returns 1 on a hit.
  int Intersect(const Camera& camera, float x, float y, float tolerance, const KIVRay& ray, Hit& hit);
  int GetOccurrenceCount() const { return static_cast<int>(mOccurrences.size()); }
  const std::vector<KIVRep*>& GetOccurrencePath(int occurrence) const { return mOccurrences[occurrence].path; }
 private:
  struct Occurrence {
    std::vector<KIVRep*> path;             // root first, leaf last
    const KIV3DCustomRep* leaf = nullptr;
    bool stale = true;                     // points and visibility to read again
    bool visible = false;                  // nothing hidden or unpickable on the path
    std::vector<float> markers;            // world x, y, z per marker point
    std::vector<float> segments;           // world, two points (six floats) per segment
    KIVMathPointf centre;                  // world sphere around all of them
    float radius = -1.0f;                  // negative: nothing to pick
  };
  void Refresh(Occurrence& occurrence) const;
  void Consider(const Camera& camera, float x, float y, float tolerance, const KIVRay& ray, int occurrence,
                Hit& best, bool& found) const;
  std::vector<Occurrence> mOccurrences;
  std::unordered_map<const KIVRep*, std::vector<int>> mUnder;  // rep -> occurrences through it
  bool mStale = false;  // some occurrence is stale
};
