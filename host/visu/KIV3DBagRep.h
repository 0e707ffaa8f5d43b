#pragma once
// A 3D rep that groups children.

#include "host/visu/KIV3DRep.h"

class KIV3DBagRep : public KIV3DRep {
  KIV_DECLARE_METAOBJECT(KIV3DBagRep)
 public:
  /// Adds a child at the end (a rep may have several parents). Returns 1, or 0 for null,
  /// itself or an ancestor (a cycle).
  int AddChild(KIVRep* child) { return Link(this, child); }
  /// Removes one occurrence of a child; 1 if it was there.
  int RemoveChild(KIVRep* child) { return Unlink(this, child); }
};
