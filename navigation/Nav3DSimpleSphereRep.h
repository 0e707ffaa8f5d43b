#pragma once
// The library's shaded sphere: the host's triangle-strip sphere under the library's class
// name, so that tools and callbacks can tell it apart by its metaobject.
#include "host/visu/reps/KIV3DSimpleSphereRep.h"
class Nav3DSimpleSphereRep : public KIV3DSimpleSphereRep {
  KIV_DECLARE_METAOBJECT(Nav3DSimpleSphereRep)
 public:
  /// n below 1 or above kMaxSubdivisions builds no faces (the sphere still bounds the rep).
  Nav3DSimpleSphereRep(const KIVMathPointf& centre, float radius, int n) : KIV3DSimpleSphereRep(centre, radius, n) {}
  ~Nav3DSimpleSphereRep() override;
};
