#pragma once
// The interference engine of the FCL back end, behind KIVSiInInterfereModel.
//
// Geometry: a leaf (KIV3DCustomRep) counts through level 0: its triangles for surfaces,
// its lines and polylines for wires (as zero-area triangles a, b, b, so that one tree and
// one traversal serve both); a leaf without the asked kind of geometry counts through the
// other one. A path ending on a bag stands for every leaf under it, each placed by the
// product of the bag matrices from the leaf up to the top of the path.
//
// Each geometry gets one bounding-volume tree (axis-aligned boxes in the leaf's own frame
// over triangles sorted along a Morton curve, a few triangles per leaf), built the first
// time a candidate pair needs it and kept until the geometry changes (its geometry stamp
// moves), however many instances share it. Boxes are cheap to build where FCL's fitted
// volumes (OBBRSS) cost a covariance and an eigen decomposition per node: ten thousand
// trees of a thousand triangles take well under a second instead of half a minute. A
// sweep over the instances' world boxes (or, for a few against many, each of the few
// against every box) picks the candidate pairs; the trees of a pair are traversed in the
// frame of a rigidly placed one of them, nodes pruned by the gaps of their boxes in both
// frames and on the line through their centres, and triangle pairs measured with FCL's
// triangle distance in double precision.
//
// (When neither instance of a pair is placed rigidly, a scaled one is measured from a
// temporary copy placed in the world.)
//
// Clash: surfaces cross (two triangles each pass strictly through the other's plane and
// their cuts overlap along a length; a wire's segment passes through a triangle); a solid
// wholly inside another without crossing its surface is not a clash, as the geometry is
// surfaces, open or closed alike; nor are faces lying flush on each other (they touch: a
// contact). The result carries the crossing segments (see SetClashCurves).
// Clearance and contact queries report clashing pairs as clashes (kind 1) too.
// Contact: closer than the value, or when it is 0 than 1e-5 of the selection's extent
// (its largest size or coordinate: what single-precision coordinates resolve). Directional distance: the
// first time at which a moved along the direction touches b, found exactly over the
// triangle pairs: vertices of a cast along the direction onto b's triangles, vertices of b
// cast backwards onto a's, and each edge of a against each edge of b, pruned by the swept
// boxes of the two trees.
// An instance met on both sides (the same chain of reps) is never paired with itself, and
// a couple met both ways is reported once.
#include <memory>
#include <vector>

#include "host/visu/interfere/KIVInterfereEngine.h"

class KIVFclInterfereEngine : public KIVInterfereEngine {
 public:
  KIVFclInterfereEngine();
  ~KIVFclInterfereEngine() override;
  KIVFclInterfereEngine(const KIVFclInterfereEngine&) = delete;
  KIVFclInterfereEngine& operator=(const KIVFclInterfereEngine&) = delete;

  int Compute(const Request& request, std::vector<Pair>& pairs) override;

  /// Makes an engine and installs it in KIVSiInInterfereModel (replacing any other).
  static void Install();

  /// A clash carries every crossing segment of the couple (the default), or only the
  /// first found, which stops the search there: a yes-or-no test, several times faster.
  void SetClashCurves(bool all);
  bool GetClashCurves() const;

  /// Geometries held in the cache, and how many of them have their tree built.
  int GetCachedGeometryCount() const;
  int GetBuiltTreeCount() const;
  /// Drops every cached tree.
  void ClearCache();

 private:
  struct Impl;
  std::unique_ptr<Impl> mImpl;
};
