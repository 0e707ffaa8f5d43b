#include "primitives/KIV3DTextRep.h"

#include "host/visu/view/KIVRender.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DTextRep, KIV3DCustomRep)

KIV3DTextRep::KIV3DTextRep(const KIVMathPointf& p, const char* text, AnchorPoint anchor)
    : mPosition(p), mCurrent(p), mAnchor(anchor) {
  BuildText(p, text, anchor);
}

KIV3DTextRep::~KIV3DTextRep() = default;  // the custom rep destroys the primitive

void KIV3DTextRep::BuildText(const KIVMathPointf& p, const char* text, AnchorPoint anchor) {
  if (mText) {
    RemoveGP(mText);
    mText->Destroy();
    mText = nullptr;
  }
  mAnchor = anchor;
  mText = new KIV3DAnnotationTextGP(p, text ? text : "", kHeight, KIV3DAnnotationTextGP::AlignmentOf(anchor));
  AddGP(mText);
  KIV3DBoundingSphere infinite;
  infinite.SetInfinite();
  SetBoundingElement(infinite);
  for (KIVRep* parent : GetParents())
    if (auto* bag = dynamic_cast<KIV3DRep*>(parent)) bag->ComputeBoundingElement();
}

void KIV3DTextRep::Modify(const KIVMathPointf& p, const char* text) {
  // The old primitive goes with its string: keep a copy first.
  const std::string kept = text ? std::string(text) : (mText ? mText->GetText() : std::string());
  BuildText(p, kept.c_str(), mAnchor);
  mCurrent = p;
}

const char* KIV3DTextRep::GetText() const { return mText ? mText->GetText().c_str() : ""; }

void KIV3DTextRep::DrawShading(KIVRender& render, int) {
  if (!mText || !render.IsDrawable(GetGraphicAttributeSet(), GetBoundingElement(), *this, nullptr)) return;
  render.SetCurrentAttributes(GetGraphicAttributeSet());
  mText->Draw(render);
}
