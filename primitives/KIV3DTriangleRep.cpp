#include "primitives/KIV3DTriangleRep.h"

#include "host/visu/scene/KIV3DPlanarFaceGP.h"
#include "host/visu/view/KIVRender.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DTriangleRep, KIV3DCustomRep)

KIV3DTriangleRep::KIV3DTriangleRep(const KIVMathPointf& p, const KIVMathVectorf& u, const KIVMathVectorf& v) {
  BuildTriangle(p, u, v);
}

KIV3DTriangleRep::~KIV3DTriangleRep() = default;  // the custom rep destroys the face

void KIV3DTriangleRep::BuildTriangle(const KIVMathPointf& p, const KIVMathVectorf& u, const KIVMathVectorf& v) {
  if (mFace) {
    RemoveGP(mFace);
    mFace->Destroy();
    mFace = nullptr;
  }
  const KIVMathPointf b = p + u, c = p + v;
  const float vertices[9] = {p.x, p.y, p.z, b.x, b.y, b.z, c.x, c.y, c.z};
  const int triangle[3] = {0, 1, 2};
  KIVMathVectorf n = u ^ v;
  n.Normalize();
  mFace = new KIV3DPlanarFaceGP(vertices, 9, triangle, 1, KIVMathDirectionf(n.x, n.y, n.z));
  AddGP(mFace);
  const KIVMathVectorf diagonal = u + v;
  SetBoundingElement(KIV3DBoundingSphere(p + diagonal * 0.25f, 0.25f * diagonal.Norm()));
  for (KIVRep* parent : GetParents())
    if (auto* bag = dynamic_cast<KIV3DRep*>(parent)) bag->ComputeBoundingElement();
}

void KIV3DTriangleRep::Modify(const KIVMathPointf& p, const KIVMathVectorf& u, const KIVMathVectorf& v) {
  BuildTriangle(p, u, v);
}

int KIV3DTriangleRep::SetTextureCoordinates(float* coords, int count) {
  return mFace ? mFace->SetTexCoords(coords, count) : 0;
}

void KIV3DTriangleRep::DrawShading(KIVRender& render, int) {
  if (!mFace || !render.IsDrawable(GetGraphicAttributeSet(), GetBoundingElement(), *this, nullptr)) return;
  render.SetCurrentAttributes(GetGraphicAttributeSet());
  mFace->Draw(render);
}
