#pragma once
// Picking over the trees under a set of root reps: every occurrence of a leaf with
// triangles (a custom rep reached through some chain of bags) is an instance of the
// leaf's geometry in a KIVSceneBVH. The scene change log keeps it current cheaply: a moved
// bag refits the boxes of the instances under it, a shown or hidden rep flips their
// visibility, a leaf's new geometry refits its own instances, and only a change of
// children inside the covered trees lays the instances out again (the geometries' own
// hierarchies survive that, unless their geometry changed). Changes elsewhere are ignored.
// Beside the instances it keeps the occurrences of leaves with markers and lines, which
// are picked on screen within a tolerance instead (KIVThinPick).
#include <unordered_map>
#include <unordered_set>
#include <vector>
#include "host/visu/math/KIVRay.h"
#include "host/visu/pick/KIVSceneBVH.h"
#include "host/visu/pick/KIVThinPick.h"
#include "host/visu/scene/KIVSceneChangeLog.h"
class KIVRep;
class KIV3DCustomRep;
class KIVPickScene : private KIVSceneChangeLog::Reader {
 public:
  struct Result {
    std::vector<KIVRep*> path;  // root first, leaf last
    KIVMathPointf point;        // world
    float t = 0.0f;
    int triangle = -1;
  };
  KIVPickScene();
  ~KIVPickScene();
  KIVPickScene(const KIVPickScene&) = delete;
  KIVPickScene& operator=(const KIVPickScene&) = delete;
  /// The roots to pick among (a viewpoint's reps); a different list of pickable roots
  /// lays out again. Called before each pick, it also notices a root's pickability.
  void SetRoots(const std::vector<KIVRep*>& roots);
  /// Applies the changes heard since the last update; Intersect calls it.
  void Update();
  /// The nearest pickable, shown triangle on the ray. Returns 1 on a hit.
  int Intersect(const KIVRay& ray, Result& result);
  /// Like Intersect without the path, for many rays: the occurrence met, or -1.
  int IntersectOccurrence(const KIVRay& ray, KIVSceneBVH::Hit& hit);
  /// The best shown, pickable marker or line within `tolerance` pixels of pixel (x, y)
  /// seen by `camera` (see KIVThinPick::Intersect); `ray` is that pixel's, unit direction.
  /// The result's triangle is -1. Returns 1 on a hit.
  int IntersectThin(const KIVThinPick::Camera& camera, float x, float y, float tolerance, const KIVRay& ray,
                    Result& result);
  /// How many occurrences of leaves with markers or lines are kept.
  int GetThinOccurrenceCount() {
    Update();
    return mThin.GetOccurrenceCount();
  }
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
  void SceneChanged(const KIVRep* rep, int kind) override;
  /// A leaf with no triangle instance here that now has something to pick.
  bool GainsPickGeometry(const KIVRep* rep) const;
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
  KIVThinPick mThin;
  std::unordered_set<const KIVRep*> mVisited;  // every rep of the covered trees
  struct Change {
    const KIVRep* rep;
    int kind;
  };
  std::vector<Change> mPending;  // heard, not applied yet
  bool mLayoutNeeded = true;
  int mLayouts = 0;
};
