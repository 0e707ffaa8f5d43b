#include "navigation/Nav3DAxisRep.h"

#include "host/visu/scene/KIV3DFixedArrowGP.h"
#include "host/visu/view/KIVRender.h"

KIV_IMPLEMENT_METAOBJECT(Nav3DAxisRep, KIV3DRep)

Nav3DAxisRep::Nav3DAxisRep() = default;

Nav3DAxisRep::~Nav3DAxisRep() { DestroyArrows(); }

void Nav3DAxisRep::DestroyArrows() {
  for (KIV3DFixedArrowGP*& arrow : mArrows) {
    if (arrow) arrow->Destroy();
    arrow = nullptr;
  }
}

void Nav3DAxisRep::SetHighlightMode(int mode, int redraw) {
  mHighlight &= ~HighlightActive;
  KIV3DRep::SetHighlightMode(mode, redraw);
}

int Nav3DAxisRep::SetHighlightAxe(int axis) {
  if (axis != -1) mHighlight = HighlightActive | axis;
  return mHighlight;
}

void Nav3DAxisRep::Modify(const KIV4x4Matrix& m, int length, int style) {
  mMatrix = m;
  DestroyArrows();
  KIVMathVectorf d[3];
  KIVMathPointf origin;
  m.GetComponents(d[0], d[1], d[2], origin);
  const float mm = static_cast<float>(length < 0 ? 10 : length);
  static const char* const kLabels[3] = {"x", "y", "z"};
  for (int k = 0; k < 3; ++k) {
    mArrows[k] = new KIV3DFixedArrowGP(origin, d[k], mm, style);
    mArrows[k]->AssociateText(kLabels[k]);
  }
  // Nothing in the model: a point that reaches `length` millimetres on screen.
  SetBoundingElement(KIV3DBoundingSphere());
  AddBoundingElement(KIV3DBoundingSphere(origin, 0.0f, mm));
}

void Nav3DAxisRep::DrawShading(KIVRender& render, int) {
  if (!render.OkToDraw(*this)) return;
  static const int kBits[3] = {HighlightX, HighlightY, HighlightZ};
  KIVGraphicAttributeSet attributes = GetGraphicAttributeSet();
  for (int k = 0; k < 3; ++k) {
    if (!mArrows[k]) continue;
    if (mHighlight & HighlightActive) attributes.SetFlag(KIVGraphicAttributeSet::Selected, (mHighlight & kBits[k]) != 0);
    render.SetCurrentAttributes(attributes);
    mArrows[k]->Draw(render);
  }
}
