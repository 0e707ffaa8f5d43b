#pragma once
// The top level of picking: a hierarchy over the world boxes of many placed instances of
// geometries, 4-wide like the geometries' own. A ray reaching an instance is carried into
// the instance's frame by the cached inverse placement and tested against the geometry's
// own KIVTriangleBVH, which is built the first time a ray reaches the world box of an
// instance of it, then kept. Moving an instance only refits the boxes on its path to the
// root; adding or removing instances rebuilds the top level, both done by the next
// Intersect if not asked for.

#include <functional>
#include <memory>
#include <vector>

#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/math/KIVRay.h"
#include "host/visu/pick/KIVTriangleBVH.h"

class KIVSceneBVH {
 public:
  struct Hit {
    int instance = -1;
    int geometry = -1;
    int triangle = -1;  // index in the geometry's index array
    float t = 0.0f;     // in multiples of the ray's direction
    float u = 0.0f, v = 0.0f;
    KIVMathPointf point;  // world point
  };
  /// Fills bvh (by calling its Build) for a geometry the first time a ray needs it.
  using GeometryBuilder = std::function<void(int geometry, KIVTriangleBVH& bvh)>;
  /// Geometry ids are small non-negative integers, below this bound.
  static constexpr int kMaxGeometry = 1 << 24;

  KIVSceneBVH() = default;
  KIVSceneBVH(const KIVSceneBVH&) = delete;
  KIVSceneBVH& operator=(const KIVSceneBVH&) = delete;

  void SetGeometryBuilder(GeometryBuilder builder) { mBuilder = std::move(builder); }
  /// Drops the geometry's hierarchy; the next ray that needs it builds it again.
  void InvalidateGeometry(int geometry);
  int IsGeometryBuilt(int geometry) const;
  int GetBuiltGeometryCount() const { return mBuiltGeometries; }

  /// An instance of geometry whose triangles lie in the local box [localMin, localMax],
  /// placed by matrix. Returns its id, or -1 for a bad geometry id or an inverted box.
  /// Ids of removed instances are reused.
  int AddInstance(int geometry, const KIVMathPointf& localMin, const KIVMathPointf& localMax,
                  const KIV4x4Matrix& matrix);
  int RemoveInstance(int instance);
  /// Moves the instance; the top level is refitted, not rebuilt. A singular matrix makes
  /// the instance unpickable until it gets an invertible one.
  int SetMatrix(int instance, const KIV4x4Matrix& matrix);
  const KIV4x4Matrix* GetMatrix(int instance) const;
  /// The instance's geometry changed within a new local box (an inverted box is refused);
  /// refitted like a move.
  int SetLocalBox(int instance, const KIVMathPointf& localMin, const KIVMathPointf& localMax);
  int GetGeometry(int instance) const { return Valid(instance) ? mInstances[instance].geometry : -1; }
  /// Hidden instances stay in the hierarchy but rays pass through them.
  int SetVisible(int instance, int visible);
  int IsVisible(int instance) const;
  int GetInstanceCount() const { return mAliveCount; }
  /// The instance's world box; 0 for an unknown id.
  int GetWorldBounds(int instance, KIVMathPointf& min, KIVMathPointf& max) const;
  void Clear();
  /// Removes every instance but keeps the geometries' hierarchies for the next ones.
  void ClearInstances();

  /// Rebuilds the top level over the current instances.
  void Rebuild();
  /// Brings the boxes of moved instances and their ancestors up to date.
  void Refit();

  /// The nearest visible hit along the ray with t in [0, ray.tMax]. Returns 1 on a hit; a
  /// ray with a non-finite or zero vector, or a NaN tMax, hits nothing.
  int Intersect(const KIVRay& ray, Hit& hit);

 private:
  struct Instance {
    KIVTriangleBVH::Node box;  // world box, as a node for the shared slab test
    float inverse[12];         // rows d1, d2, d3, origin of the inverse placement
    int geometry = -1;
    int slot = -1;  // in mSlots, -1 until the top level is built with it
    unsigned char alive = 0, visible = 1, invertible = 1, dirty = 0;
    KIV4x4Matrix matrix;
    KIVMathPointf localMin, localMax;
  };
  // What a ray needs of an instance it reaches, one cache line, in the top level's leaf
  // order.
  struct alignas(64) Slot {
    float inverse[12];  // a copy of the instance's
    int instance;
    int geometry;
    int pickable;  // alive, visible and invertible
    int lane;      // node * 4 + lane of the top-level lane that holds the instance's box
  };
  void Place(Instance& inst, const KIV4x4Matrix& matrix);
  void SyncSlot(int instance);
  KIVTriangleBVH* Geometry(int geometry) {
    return geometry < static_cast<int>(mTried.size()) && mTried[geometry] ? mReady[geometry] : BuildGeometry(geometry);
  }
  KIVTriangleBVH* BuildGeometry(int geometry);
  void FitUp(int node);
  int Valid(int instance) const {
    return instance >= 0 && instance < static_cast<int>(mInstances.size()) && mInstances[instance].alive;
  }

  std::vector<Instance> mInstances;
  std::vector<int> mFree;
  int mAliveCount = 0;
  std::vector<KIVTriangleBVH::WideNode> mNodes;  // the root first, children after parents
  std::vector<int> mParents;                     // node -> parent node * 4 + lane, -1 at the root
  std::vector<Slot> mSlots;
  std::vector<int> mMoved;
  int mTopologyDirty = 0;

  GeometryBuilder mBuilder;
  std::vector<std::unique_ptr<KIVTriangleBVH>> mGeometries;
  std::vector<KIVTriangleBVH*> mReady;  // built hierarchies, null for a failed build
  std::vector<unsigned char> mTried;
  int mBuiltGeometries = 0;
};
