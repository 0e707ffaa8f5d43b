#include "host/visu/view/KIVRender.h"

#include <algorithm>
#include "host/visu/view/KIVViewport.h"

#include <cmath>
#include <limits>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/scene/KIV3DPlanarFaceGP.h"
#include "host/visu/math/KIV3x3Matrix.h"
#include "host/visu/scene/KIVDynamicGP.h"

namespace {
constexpr float kHuge = std::numeric_limits<float>::max();
int Hidden(const KIVGraphicAttributeSet& a) { return a.GetFlag(KIVGraphicAttributeSet::Hidden); }
}  // namespace

KIVRender::KIVRender(const KIVSupport& support) : mSupport(support), mStack(1) {}

KIVRender::~KIVRender() = default;

void KIVRender::SetCamera(const KIV3DViewpoint* viewpoint) {
  mCamera = viewpoint;
  if (!viewpoint) return;
  const KIVMathPointf o = viewpoint->GetOrigin();
  const KIVMathDirectionf s = viewpoint->GetSightDirection();
  const KIVMathDirectionf u = viewpoint->GetUpDirection();
  const KIVMathDirectionf r = viewpoint->GetRightDirection();
  const float ty = std::tan(0.5f * viewpoint->GetAngle() * 0.017453292f);
  const float tx = ty * static_cast<float>(mSupport.GetWidth()) / static_cast<float>(mSupport.GetHeight());
  // Inward normals of the four sides and of the plane through the eye.
  const KIVMathVectorf normals[5] = {s * tx + r, s * tx - r, s * ty + u, s * ty - u, KIVMathVectorf(s.x, s.y, s.z)};
  for (int i = 0; i < 5; ++i) {
    KIVMathVectorf n = normals[i];
    const float len = std::sqrt(n * n);
    if (len > 0.0f) n = n * (1.0f / len);
    mPlanes[i][0] = n.x;
    mPlanes[i][1] = n.y;
    mPlanes[i][2] = n.z;
    mPlanes[i][3] = -(n.x * o.x + n.y * o.y + n.z * o.z);
  }
}

void KIVRender::Traverse(KIVRep& rep) { Traverse(rep, KIV4x4Matrix()); }

void KIVRender::Traverse(KIVRep& rep, const KIV4x4Matrix& above) {
  mStack.assign(1, above);
  mHighlightDepth = 0;
  mReferences.clear();
  Visit(rep);
}

void KIVRender::Visit(KIVRep& rep) {
  if (auto* rep3 = dynamic_cast<KIV3DRep*>(&rep)) {
    rep3->DrawShading(*this, mViewMode);
    return;
  }
  if (!IsDrawable(rep.GetGraphicAttributeSet(), rep, nullptr)) return;
  DrawChildren(rep);
}

void KIVRender::DrawChildren(KIVRep& rep) {
  for (KIVRep* child : rep.GetChildren()) Visit(*child);
}

void KIVRender::DrawDefault(KIV3DRep& rep, int) {
  const KIVGraphicAttributeSet& attributes = rep.GetGraphicAttributeSet();
  if (auto* bag = dynamic_cast<KIV3DBagRep*>(&rep)) {
    if (mDeferred && std::find(mDeferred->begin(), mDeferred->end(), &rep) != mDeferred->end()) return;
    if (!IsDrawable(attributes, bag->GetBoundingElement(), mViewMode)) {
      ++mCulled;
      return;
    }
    // The bag's sphere is in its parent's frame; its children are in the matrix's frame.
    KIV4x4Matrix matrix = bag->GetMatrix() ? *bag->GetMatrix() : KIV4x4Matrix();
    const bool placed = bag->GetMatrix() != nullptr;
    const int highlighted = attributes.GetFlag(KIVGraphicAttributeSet::Selected);
    const bool fromIdentity = placed && GetCurrentMatrix() == KIV4x4Matrix();
    if (placed) PushMatrix(matrix);
    // Placed at the top, the matrix is the bag's own, whose stretch the bag already knows.
    // (A matrix with infinite terms gains not-a-numbers on the way, so no later matrix
    // matches it and its stretch is found afresh.)
    if (fromIdentity) {
      mScaled = GetCurrentMatrix();
      mScale = bag->GetMaxScale();
    }
    mHighlightDepth += highlighted;
    DrawChildren(*bag);
    mHighlightDepth -= highlighted;
    if (placed) PopMatrix(this);
    return;
  }
  if (auto* leaf = dynamic_cast<KIV3DCustomRep*>(&rep)) {
    if (!OkToDraw(*leaf)) return;
    const KIV3DBoundingSphere& sphere = leaf->GetBoundingElement();
    int level = Get3DLODNumber(sphere, leaf->GetLODCount(), leaf->GetLODSags().data());
    if (level < 0 || level >= leaf->GetLODCount() || leaf->GetGPCount(level) == 0) level = 0;
    mLastLOD = level;
    SetCurrentAttributes(attributes);
    for (int i = 0; i < leaf->GetGPCount(level); ++i) leaf->GetGP(i, level)->Draw(*this);
    return;
  }
  if (!IsDrawable(attributes, rep, nullptr)) return;
  DrawChildren(rep);
}

int KIVRender::OkToDraw(const KIV3DRep& rep) {
  if (!IsDrawable(rep.GetGraphicAttributeSet(), rep.GetBoundingElement(), rep, nullptr)) {
    ++mCulled;
    return 0;
  }
  ++mDrawn;
  return 1;
}

int KIVRender::IsDrawable(const KIVGraphicAttributeSet& attributes, const KIV3DBoundingSphere& sphere, const int) {
  if (Hidden(attributes) || sphere.IsEmpty()) return 0;
  if (sphere.IsInfinite()) return 1;
  return IsInside(sphere) && !IsToSmall(sphere);
}

int KIVRender::IsDrawable(const KIVGraphicAttributeSet& attributes, const float* centre, const float radius,
                          const int mode) {
  if (!centre) return 0;
  return IsDrawable(attributes, KIV3DBoundingSphere(KIVMathPointf(centre), radius), mode);
}

int KIVRender::IsDrawable(const KIVGraphicAttributeSet& attributes, const KIV3DBoundingSphere& sphere, const KIVRep&,
                          KIVGraphicMaterial*) {
  return IsDrawable(attributes, sphere, mViewMode);
}

int KIVRender::IsDrawable(const KIVGraphicAttributeSet& attributes, const int) { return !Hidden(attributes); }

int KIVRender::IsDrawable(const KIVGraphicAttributeSet& attributes, const KIVRep&, KIVGraphicMaterial*) {
  return !Hidden(attributes);
}

int KIVRender::IsDrawable(const KIVGraphicAttributeSet& attributes, KIVGraphicMaterial*) { return !Hidden(attributes); }

int KIVRender::IsDrawable(const KIVGraphicAttributeSet& attributes) { return !Hidden(attributes); }

int KIVRender::IsSeen(const float* min, const float* max) {
  if (!min || !max) return 0;
  const KIVMathPointf c(0.5f * (min[0] + max[0]), 0.5f * (min[1] + max[1]), 0.5f * (min[2] + max[2]));
  const KIVMathVectorf half(0.5f * (max[0] - min[0]), 0.5f * (max[1] - min[1]), 0.5f * (max[2] - min[2]));
  return IsInside(KIV3DBoundingSphere(c, std::sqrt(half * half)));
}

KIV3DBoundingSphere KIVRender::ToWorld(const KIV3DBoundingSphere& sphere) const {
  if (sphere.IsEmpty() || sphere.IsInfinite()) return sphere;
  const KIV4x4Matrix& m = GetCurrentMatrix();
  if (mScale < 0.0f || !(m == mScaled)) {
    mScaled = m;
    mScale = m.GetMaxScale();
  }
  KIV3DBoundingSphere world = sphere;
  return world.Transform(m, mScale);
}

int KIVRender::IsInside(const KIV3DBoundingSphere& sphere) {
  if (!mCamera || sphere.IsInfinite()) return 1;
  if (sphere.IsEmpty()) return 0;
  const KIV3DBoundingSphere world = ToWorld(sphere);
  const KIVMathPointf& c = world.GetCenter();
  const float r = world.GetRadius();
  for (const auto& p : mPlanes)
    if (p[0] * c.x + p[1] * c.y + p[2] * c.z + p[3] < -r) return 0;
  return 1;
}

float KIVRender::PixelSize(const KIV3DBoundingSphere& world) const {
  if (!mCamera) return 0.0f;
  const KIVMathVectorf toCentre = world.GetCenter() - mCamera->GetOrigin();
  const KIVMathDirectionf s = mCamera->GetSightDirection();
  const float distance = toCentre.x * s.x + toCentre.y * s.y + toCentre.z * s.z;
  const float ty = std::tan(0.5f * mCamera->GetAngle() * 0.017453292f);
  return std::max(distance, 0.0f) * ty * 2.0f / static_cast<float>(mSupport.GetHeight());
}

float KIVRender::PixelRadius(const KIV3DBoundingSphere& world) const {
  if (!mCamera) return kHuge;
  const float pixel = PixelSize(world);
  // Around or behind the eye an object may cover the whole view.
  if (pixel <= 0.0f) return kHuge;
  return world.GetRadius() / pixel;
}

int KIVRender::IsToSmall(const KIV3DBoundingSphere& sphere) const {
  if (!mCamera || sphere.IsInfinite() || sphere.GetRadiusMM() > 0.0f) return 0;
  return PixelRadius(ToWorld(sphere)) < Get3DModelCulling(sphere);
}

float KIVRender::Get3DModelCulling(const KIV3DBoundingSphere&) const { return mSupport.GetCullingPrecision(); }

float KIVRender::Get3DModelSag(const KIV3DBoundingSphere& sphere) const {
  if (!mCamera || sphere.IsEmpty() || sphere.IsInfinite()) return 0.0f;
  return PixelSize(ToWorld(sphere)) * mSupport.GetSagPrecision();
}

int KIVRender::Get3DLODNumber(const KIV3DBoundingSphere& sphere, const int count, const float* sags) const {
  if (count <= 1 || !sags) return 0;
  const float allowed = Get3DModelSag(sphere);
  int level = 0;
  for (int i = 1; i < count; ++i)
    if (sags[i] > 0.0f && sags[i] <= allowed) level = i;
  return level;
}

void KIVRender::Draw3DMarker(KIV3DMarkerGP&) {}
void KIVRender::Draw3DLine(KIV3DLineGP&) {}
void KIVRender::Draw3DEdge(KIV3DEdgeGP&) {}
void KIVRender::Draw3DPolyline(KIV3DPolylineGP&) {}
void KIVRender::DrawDynamicGP(KIVDynamicGP& gp) {
  const KIVViewport viewport(mSupport.GetWidth(), mSupport.GetHeight());
  gp.ImmediateDraw(*this, mCamera, &viewport);
}

float KIVRender::GetMMFromModelRatio(const KIVMathPointf& local) const {
  if (!mCamera) return 0.0f;
  const KIV3DBoundingSphere sphere = KIV3DBoundingSphere(local, 0.0f) * GetCurrentMatrix();
  // World units per pixel, brought back to the model frame, times pixels per millimetre.
  const float scale = GetCurrentMatrix().GetMaxScale();
  return PixelSize(sphere) / (scale > 0.0f ? scale : 1.0f) * kPixelsPerMM;
}
void KIVRender::Draw3DFace(KIV3DFaceGP&) {}
void KIVRender::Draw3DPointSet(KIV3DPointSetGP&) {}
void KIVRender::Draw3DPlanarFace(KIV3DPlanarFaceGP& gp) { Draw3DFace(gp); }
void KIVRender::Draw3DCylinder(KIV3DCylinderGP&, const int) {}
void KIVRender::Draw3DAnnotationText(KIV3DAnnotationTextGP&) {}
void KIVRender::Draw3DFixedArrow(KIV3DFixedArrowGP&) {}

void KIVRender::PushMatrix(KIV4x4Matrix& matrix) { mStack.push_back(matrix * mStack.back()); }

void KIVRender::PushMatrix(KIV3x3Matrix& matrix) { mStack.push_back(matrix.To4x4Matrix() * mStack.back()); }

void KIVRender::PopMatrix(KIVRender*) {
  if (mStack.size() > 1) mStack.pop_back();
}

void KIVRender::PushReference() {
  mReferences.push_back(mStack);
  mStack.assign(1, KIV4x4Matrix());
}

void KIVRender::PopReference() {
  if (mReferences.empty()) return;
  mStack = std::move(mReferences.back());
  mReferences.pop_back();
}

int KIVRender::ViewMode(const int mode) const { return (mode & 1) ? 1 : 0; }
