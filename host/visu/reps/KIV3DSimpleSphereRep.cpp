#include "host/visu/reps/KIV3DSimpleSphereRep.h"

#include <cmath>
#include <new>

#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/view/KIVRender.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DSimpleSphereRep, KIV3DCustomRep)

namespace {
constexpr double kPi = 3.141592653589793;
}  // namespace

KIV3DSimpleSphereRep::KIV3DSimpleSphereRep(const KIVMathPointf& centre, float radius, int n) {
  BuildFaces(centre, radius, n);
}

KIV3DSimpleSphereRep::~KIV3DSimpleSphereRep() = default;  // the custom rep destroys the face

void KIV3DSimpleSphereRep::DropFace() {
  if (!mFace) return;
  RemoveGP(mFace);
  mFace->Destroy();
  mFace = nullptr;
}

void KIV3DSimpleSphereRep::Modify(float radius) { Modify(mCentre, radius); }

void KIV3DSimpleSphereRep::Modify(const KIVMathPointf& centre, float radius) {
  DropFace();
  BuildFaces(centre, radius, mSubdivisions);
}

void KIV3DSimpleSphereRep::BuildFaces(const KIVMathPointf& centre, float radius, int n) {
  mCentre = centre;
  mRadius = radius;
  mSubdivisions = n;
  const KIV3DBoundingSphere sphere(centre, radius, 0.0f);
  if (n >= 1 && n <= kMaxSubdivisions) {
    const int side = n + 1;
    const int floats = 3 * side * side;
    float* vertices = new (std::nothrow) float[floats];
    float* normals = new (std::nothrow) float[floats];
    int* strip = new (std::nothrow) int[2 * n];
    auto* face = vertices && normals && strip ? new (std::nothrow) KIV3DFaceGP : nullptr;
    if (face) {
      for (int i = 0; i <= n; ++i) {
        const float theta = static_cast<float>(2.0 * i * kPi / n);
        for (int j = 0; j <= n; ++j) {
          const float phi = static_cast<float>(j * kPi / n);
          float* nv = normals + 3 * (i * side + j);
          nv[0] = std::sin(phi) * std::cos(theta);
          nv[1] = -std::sin(phi) * std::sin(theta);
          nv[2] = std::cos(phi);
          float* v = vertices + 3 * (i * side + j);
          v[0] = centre.x + radius * nv[0];
          v[1] = centre.y + radius * nv[1];
          v[2] = centre.z + radius * nv[2];
        }
      }
      face->SetVertices(vertices, floats, normals);
      // From the pole, ring i + 1 before ring i turns the first triangle outwards.
      for (int i = 0; i < n; ++i) {
        int k = 0;
        strip[k++] = i * side;
        for (int j = 1; j < n; ++j) {
          strip[k++] = (i + 1) * side + j;
          strip[k++] = i * side + j;
        }
        strip[k++] = i * side + n;
        face->AddStrip(strip, k);
      }
      mFace = face;
      AddGP(face);
    }
    delete[] vertices;
    delete[] normals;
    delete[] strip;
  }
  // The exact sphere, rather than the one the custom rep derives from the vertices.
  SetBoundingElement(sphere);
}

void KIV3DSimpleSphereRep::SetShowMode(int s) {
  KIV3DCustomRep::SetShowMode(s & 1, 0);
  for (KIVRep* parent : GetParents())
    if (auto* parent3 = dynamic_cast<KIV3DRep*>(parent)) parent3->ComputeBoundingElement();
}

void KIV3DSimpleSphereRep::DrawShading(KIVRender& render, int mode) {
  if (!render.OkToDraw(*this) || !render.ViewMode(mode) || !mFace) return;
  render.SetCurrentAttributes(GetGraphicAttributeSet());
  mFace->Draw(render);
}
