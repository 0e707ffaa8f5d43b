#pragma once
// A trihedral: three arrows along the x, y and z axes of a placement, red, green and blue,
// each a shaft, a cone head and its letter. Each arrow is a child custom rep with its own
// RGBA colour, so a colour given to the axis rep itself leaves the arrows' colours alone.
// The arrows belong to the axis rep: deleting it deletes them (KIV3DBagRep::Destroy
// takes them along too).
#include "host/visu/scene/KIV3DBagRep.h"
class KIV3DCustomRep;
class KIV3DAxisRep : public KIV3DBagRep {
  KIV_DECLARE_METAOBJECT(KIV3DAxisRep)
 public:
  /// Arrows of `length` (head included) and a head `headSize` long, in the placement's
  /// frame; a length that is not positive and finite is taken as 1, a head size outside
  /// (0, length] as a fifth of the length.
  KIV3DAxisRep(const KIV4x4Matrix& placement, float length, float headSize);
  ~KIV3DAxisRep() override;
  /// Rebuilds the arrows for another placement and sizes.
  void Modify(const KIV4x4Matrix& placement, float length, float headSize);
  float GetLength() const { return mLength; }
  float GetHeadSize() const { return mHead; }
  /// The arrow of axis 0, 1 or 2; null otherwise or once it is no longer a child.
  KIV3DCustomRep* GetArrow(int axis) const;
 private:
  void Build();
  float mLength = 1.0f, mHead = 0.2f;
  KIV3DCustomRep* mArrows[3] = {nullptr, nullptr, nullptr};
};
