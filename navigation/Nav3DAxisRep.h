#pragma once
// A three-arrow axis marker ("x", "y", "z") drawn at a fixed size on screen, one axis of
// which may be high-lighted: the navigation editor shows it at the picked point while an
// object is moved and high-lights the axis the move is constrained to.
#include "host/visu/scene/KIV3DRep.h"
#include "host/visu/math/KIV4x4Matrix.h"
class KIV3DFixedArrowGP;
class KIVRender;
class Nav3DAxisRep : public KIV3DRep {
  KIV_DECLARE_METAOBJECT(Nav3DAxisRep)
 public:
  /// Bits of the highlight state: highlighting is active, and which arrow shows it.
  static constexpr int HighlightActive = 1, HighlightX = 2, HighlightY = 4, HighlightZ = 8;
  Nav3DAxisRep();
  /// Destroys the arrows.
  ~Nav3DAxisRep() override;
  /// Ends axis highlighting, then high-lights the whole rep or not, as any rep. (KIVRep's
  /// operation is not virtual: call it on the marker itself.)
  void SetHighlightMode(int mode, int redraw) override;
  /// Draws the arrows when the render's culling test passes; with highlighting active the
  /// high-lighted arrow is drawn selected and the others not.
  void DrawShading(KIVRender& render, int mode) override;
  /// Takes the frame m: arrows from its origin along its three directions, `length`
  /// millimetres long on screen (10 when negative), with the arrow style given.
  void Modify(const KIV4x4Matrix& m, int length, int style);
  /// -1 only asks; any other value activates highlighting with that arrow bit (0: none).
  /// Returns the highlight state.
  int SetHighlightAxe(int axis);
  const KIV4x4Matrix& GetCurrentMatrix() const { return mMatrix; }
  /// The arrows, null before the first Modify (0 x, 1 y, 2 z).
  KIV3DFixedArrowGP* GetArrow(int axis) const { return axis >= 0 && axis < 3 ? mArrows[axis] : nullptr; }

 private:
  void DestroyArrows();
  KIV3DFixedArrowGP* mArrows[3] = {nullptr, nullptr, nullptr};
  int mHighlight = 0;
  KIV4x4Matrix mMatrix;
};
