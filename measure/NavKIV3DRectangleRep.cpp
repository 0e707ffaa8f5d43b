#include "measure/NavKIV3DRectangleRep.h"

#include "host/visu/scene/KIV3DPlanarFaceGP.h"
#include "host/visu/view/KIVRender.h"

KIV_IMPLEMENT_METAOBJECT(NavKIV3DRectangleRep, KIV3DCustomRep)

NavKIV3DRectangleRep::NavKIV3DRectangleRep(const KIVMathPointf& p, const KIVMathVectorf& u, const KIVMathVectorf& v) {
  Modify(p, u, v);
}

NavKIV3DRectangleRep::~NavKIV3DRectangleRep() = default;  // the custom rep destroys the face

void NavKIV3DRectangleRep::Modify(const KIVMathPointf& p, const KIVMathVectorf& u, const KIVMathVectorf& v) {
  if (mFace) {
    RemoveGP(mFace);
    mFace->Destroy();
    mFace = nullptr;
  }
  const KIVMathPointf v1 = p + u + v, v2 = p + u, v3 = p + v;
  const float vertices[12] = {p.x, p.y, p.z, v1.x, v1.y, v1.z, v2.x, v2.y, v2.z, v3.x, v3.y, v3.z};
  const int triangles[6] = {0, 2, 1, 0, 1, 3};
  KIVMathVectorf n = u ^ v;
  n.Normalize();
  mFace = new KIV3DPlanarFaceGP(vertices, 12, triangles, 2, KIVMathDirectionf(n.x, n.y, n.z));
  AddGP(mFace);
  const KIVMathVectorf diagonal = u + v;
  SetBoundingElement(KIV3DBoundingSphere(p + diagonal * 0.5f, 0.5f * diagonal.Norm()));
  for (KIVRep* parent : GetParents())
    if (auto* bag = dynamic_cast<KIV3DRep*>(parent)) bag->ComputeBoundingElement();
}

int NavKIV3DRectangleRep::SetTextureCoordinates(float* coords, int count) {
  return mFace ? mFace->SetTexCoords(coords, count) : 0;
}

void NavKIV3DRectangleRep::DrawShading(KIVRender& render, int) {
  if (!mFace || !render.IsDrawable(GetGraphicAttributeSet(), GetBoundingElement(), *this, nullptr)) return;
  render.SetCurrentAttributes(GetGraphicAttributeSet());
  mFace->Draw(render);
}
