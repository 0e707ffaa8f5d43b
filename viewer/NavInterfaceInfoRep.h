#pragma once
// What the host tells the tools about its scene: the model rep of a pick path, names of
// reps, the bag that moves when a picked object is moved, and a section frame. The host
// implements the pure operations; the four with bodies have library defaults.
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/scene/KIVRepPath.h"
class NavInterfaceInfoRep {
 public:
  virtual ~NavInterfaceInfoRep();
  /// The rep that stands for the model picked along the path (null when none).
  virtual KIVRep* GetRepOfModel(KIVRepPath* path) = 0;
  /// A display name; the string stays valid until the next call.
  virtual const char* GetNameOfRep(KIVRep* rep) = 0;
  virtual const char* GetNameOfRep(KIVRepPath* path) = 0;
  /// The first bag from the leaf upwards: what moves when the picked object is moved.
  virtual KIV3DBagRep* GetCurrentObjectMoveRep(KIVRepPath* path);
  /// The host object behind the moved rep (null by default).
  virtual void* GetCurrentObjectMoveObject(KIVRepPath* path);
  /// Passes a moved bag's matrix back to the host's model (nothing by default).
  virtual void ApplyRepMatrixObject(KIV3DBagRep* bag, void* object);
  /// The centre of the moving bag's sphere, carried to world space by the bags above it.
  virtual KIVMathPointf GetCenterOfMoveRep(KIVRepPath* path);
  /// Non-zero while the host shows a section.
  virtual int IsSectionningContext() = 0;
  /// The section frame, or null.
  virtual const KIV4x4Matrix* GetMatrix() = 0;
};
