#pragma once
// Picking over the trees under a set of root reps: every occurrence of a leaf with
// triangles (a custom rep reached through some chain of bags) is an instance of the
// leaf's geometry in a KIVSceneBVH. The scene change log keeps it current cheaply: a moved
// bag refits the boxes of the instances under it, a shown or hidden rep flips their
// visibility, and only a change of structure lays the instances out again (the
// geometries' own hierarchies survive that, unless their geometry changed).
#include <unordered_map>
#include <vector>
#include "host/visu/KIVRay.h"
#include "host/visu/KIVSceneBVH.h"
class KIVRep;
class KIV3DCustomRep;
class KIVPickScene {
 public:
  struct Result {
    std::vector<KIVRep*> path;  // root first, leaf last
    KIVMathPointf point;        // world
    float t = 0.0f;
    int triangle = -1;
  };
  KIVPickScene();
  KIVPickScene(const KIVPickScene&) = delete;
  KIVPickScene& operator=(const KIVPickScene&) = delete;
  /// The roots to pick among (a viewpoint's reps); a different list of pickable roots
  /// lays out again. Called before each pick, it also notices a root's pickability.
  void SetRoots(const std::vector<KIVRep*>& roots);
  /// Follows the change log; Intersect calls it.
  void Update();
  /// The nearest pickable, shown triangle on the ray. Returns 1 on a hit.
  int Intersect(const KIVRay& ray, Result& result);
  /// Like Intersect without the path, for many rays: the occurrence met, or -1.
  int IntersectOccurrence(const KIVRay& ray, KIVSceneBVH::Hit& hit);
  const std::vector<KIVRep*>& GetOccurrencePath(int occurrence) const { return mOccurrences[occurrence].path; }
  /// The leaf's frame to world along the occurrence's path.
  KIV4x4Matrix GetOccurrenceMatrix(int occurrence) const { return PathMatrix(mOccurrences[occurrence].path); }
  int GetOccurrenceCount() const { return static_cast<int>(mOccurrences.size()); }
  /// How many times the instances were laid out from scratch.
  int GetLayoutCount() const { return mLayouts; }
  KIVSceneBVH& GetHierarchy() { return mBVH; }
 private:
  struct Occurrence {
    std::vector<KIVRep*> path;
    int instance = -1;
  };
  void Layout();
  /// Follows a leaf's new geometry in its instances; false when only a layout will do.
  bool Reshape(const KIVRep* rep, const std::vector<int>& occurrences);
  void Walk(KIVRep* rep, const KIV4x4Matrix& matrix, bool visible, std::vector<KIVRep*>& path);
  KIV4x4Matrix PathMatrix(const std::vector<KIVRep*>& path) const;
  bool PathVisible(const std::vector<KIVRep*>& path) const;
  std::vector<KIVRep*> mRoots;
  std::vector<Occurrence> mOccurrences;
  std::vector<int> mInstanceToOccurrence;
  std::unordered_map<const KIVRep*, std::vector<int>> mUnder;  // rep -> occurrences through it
  std::vector<const KIV3DCustomRep*> mGeometryReps;             // geometry id -> rep
  std::vector<unsigned long long> mGeometryStamps;              // geometry id -> stamp built
  KIVSceneBVH mBVH;
  unsigned long mStructure = 0;
  size_t mRead = 0;
  int mLayouts = 0;
};
