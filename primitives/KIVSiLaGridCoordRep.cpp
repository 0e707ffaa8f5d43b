#include "primitives/KIVSiLaGridCoordRep.h"

#include <cstdio>

#include "host/visu/scene/KIV3DMarkerGP.h"
#include "host/visu/view/KIVRender.h"
#include "primitives/KIVSiLaTextGP.h"

KIV_IMPLEMENT_METAOBJECT(KIVSiLaGridCoordRep, KIV3DRep)

namespace {
// Markers and texts have a size on the screen, not in the scene: the sphere says so, so
// that a point of no extent is not culled as too small.
constexpr float kScreenRadiusMM = 5.0f;
}  // namespace

KIVSiLaGridCoordRep::KIVSiLaGridCoordRep() { CreateGP(); }

KIVSiLaGridCoordRep::KIVSiLaGridCoordRep(KIVMathPointf p) : mPosition(p), mCreation(p), mValues(p) { CreateGP(); }

KIVSiLaGridCoordRep::~KIVSiLaGridCoordRep() { DropGP(); }

void KIVSiLaGridCoordRep::DropGP() {
  if (mText) mText->Destroy();
  if (mMarker) mMarker->Destroy();
  mText = nullptr;
  mMarker = nullptr;
}

void KIVSiLaGridCoordRep::CreateGP() {
  DropGP();
  mText = new KIVSiLaTextGP(mPosition, 3);
  char line[64];
  const float values[3] = {mValues.x, mValues.y, mValues.z};
  const char* names[3] = {"X=%3.2f", "Y=%3.2f", "Z=%3.2f"};
  for (int k = 0; k < 3; ++k) {
    std::snprintf(line, sizeof line, names[k], static_cast<double>(values[k]));
    mText->AddText(line);
  }
  const float point[3] = {mPosition.x, mPosition.y, mPosition.z};
  mMarker = new KIV3DMarkerGP(point, 3, KIV3DMarkerGP::Circle, 7.0f);
  SetBoundingElement(KIV3DBoundingSphere(mPosition, 0.0f, kScreenRadiusMM));
  Touch();
}

void KIVSiLaGridCoordRep::Update(KIVMathPointf p) {
  mPosition = mCreation = mValues = p;
  CreateGP();
}

void KIVSiLaGridCoordRep::UpdateValuesOnly(KIVMathPointf values) {
  mValues = values;
  CreateGP();
}

void KIVSiLaGridCoordRep::DrawShading(KIVRender& render, int) {
  if (!mText || !render.IsDrawable(GetGraphicAttributeSet(), GetBoundingElement(), *this, nullptr)) return;
  render.SetCurrentAttributes(GetGraphicAttributeSet());
  mMarker->Draw(render);
  mText->Draw(render);
}
