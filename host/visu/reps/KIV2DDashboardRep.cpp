#include "host/visu/reps/KIV2DDashboardRep.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "host/visu/scene/KIV3DAnnotationTextGP.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DPolylineGP.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/view/KIVRender.h"

KIV_IMPLEMENT_METAOBJECT(KIV2DDashboardRep, KIV3DCustomRep)

namespace {
constexpr float kPi = 3.14159265f;
constexpr int kRimSides = 48;
// The compass's centre in the dashboard's frame, whose origin is its bottom-left corner.
constexpr float kCx = 150.0f, kCy = 2.0f * 12.0f + 40.0f;
}  // namespace

KIV2DDashboardRep::KIV2DDashboardRep() {
  SetRGBA(120, 230, 120, 255);
  std::vector<float> rim;
  for (int i = 0; i < kRimSides; ++i) {
    const float t = 2.0f * kPi * static_cast<float>(i) / kRimSides;
    rim.insert(rim.end(), {kCx + kRadius * std::cos(t), kCy + kRadius * std::sin(t), 0.0f});
  }
  AddGP(new KIV3DPolylineGP(rim.data(), static_cast<int>(rim.size()), 1));
  AddGP(new KIV3DAnnotationTextGP(KIVMathPointf(kCx, kCy + kRadius + 4.0f, 0.0f), "N", 12.0f,
                                  KIV3DAnnotationTextGP::Center | KIV3DAnnotationTextGP::Bottom));
  mNeedle = new KIV3DLineGP;
  AddGP(mNeedle);
  for (int i = 0; i < 3; ++i) {
    mTexts[i] = new KIV3DAnnotationTextGP(KIVMathPointf(0.0f, kCy + 16.0f - 16.0f * i, 0.0f), "", 12.0f,
                                          KIV3DAnnotationTextGP::Left | KIV3DAnnotationTextGP::Middle);
    AddGP(mTexts[i]);
  }
  Update();
}

KIV2DDashboardRep::~KIV2DDashboardRep() = default;

void KIV2DDashboardRep::SetGraphicSize(int width, int height) {
  mWidth = width < 1 ? 1 : width;
  mHeight = height < 1 ? 1 : height;
}

void KIV2DDashboardRep::GetGraphicSize(int& width, int& height) const {
  width = mWidth;
  height = mHeight;
}

void KIV2DDashboardRep::SetVerticalAndNorth(const KIVMathDirectionf& vertical, const KIVMathDirectionf& north) {
  auto bad = [](const KIVMathDirectionf& d) {
    return d.IsNull() || !std::isfinite(d.x) || !std::isfinite(d.y) || !std::isfinite(d.z);
  };
  if (bad(vertical) || bad(north)) return;
  mVertical = vertical;
  mNorth = north;
  Update();
}

void KIV2DDashboardRep::SetBoundingSphere(const KIV3DBoundingSphere& sphere) {
  mSphere = sphere;
  Update();
}

void KIV2DDashboardRep::SetViewpoint(const KIV3DViewpoint& viewpoint) {
  mEye = viewpoint.GetOrigin();
  mSight = viewpoint.GetSightDirection();
  Update();
}

void KIV2DDashboardRep::SetSpeeds(const KIVMathVectorf& translation, const KIVMathVectorf& rotation) {
  mTranslation = translation;
  mRotation = rotation;
  Update();
}

std::string KIV2DDashboardRep::GetText(int line) const {
  char text[96];
  switch (line) {
    case 0:
      if (mHeading < 0.0f) return "N ---";
      std::snprintf(text, sizeof text, "N %03d\xC2\xB0", static_cast<int>(std::lround(mHeading)) % 360);
      return text;
    case 1:
      std::snprintf(text, sizeof text, "Height %.4g", mAltitude);
      return text;
    case 2:
      std::snprintf(text, sizeof text, "Speed %.3g  Turn %.3g", mTranslation.Norm(), mRotation.Norm());
      return text;
    default:
      return {};
  }
}

void KIV2DDashboardRep::Update() {
  // North and the sight on the ground plane; east = north × vertical completes the frame.
  const KIVMathVectorf up = mVertical;
  KIVMathVectorf north = KIVMathVectorf(mNorth) - up * (mNorth * up);
  const KIVMathVectorf sight = KIVMathVectorf(mSight) - up * (mSight * up);
  if (north.Normalize() < 1e-6f) {
    north = KIVMathVectorf(1, 0, 0) - up * up.x;  // north along the vertical: any ground axis
    north.Normalize();
  }
  const KIVMathVectorf east = north ^ up;
  mHeading = -1.0f;
  float angle = 0.0f;
  if (sight.Norm() > 1e-6f && std::isfinite(sight.Norm())) {
    angle = std::atan2(sight * east, sight * north);
    mHeading = angle * 180.0f / kPi;
    if (mHeading < 0.0f) mHeading += 360.0f;
    if (mHeading >= 360.0f) mHeading -= 360.0f;
  }
  mAltitude = 0.0f;
  if (!mSphere.IsEmpty() && !mSphere.IsInfinite())
    mAltitude = (mEye - (mSphere.GetCenter() - mVertical * mSphere.GetRadius())) * mVertical;
  // The needle points up the dial for north, right for east.
  std::vector<float> needle;
  if (mHeading >= 0.0f) {
    const float r = 0.85f * kRadius;
    needle = {kCx, kCy, 0.0f, kCx + r * std::sin(angle), kCy + r * std::cos(angle), 0.0f};
  }
  mNeedle->SetPoints(needle.data(), static_cast<int>(needle.size()));
  for (int i = 0; i < 3; ++i) mTexts[i]->SetText(GetText(i));
  GeometryModified();
}

void KIV2DDashboardRep::DrawShading(KIVRender& render, int mode) {
  const float w = static_cast<float>(render.GetSupport().GetWidth());
  const float h = static_cast<float>(render.GetSupport().GetHeight());
  KIV4x4Matrix corner;
  corner.Set(3, 0, 0.5f * w - kMargin - (kCx + kRadius));
  corner.Set(3, 1, -0.5f * h + kMargin);
  render.PushMatrix(corner);
  render.DrawDefault(*this, mode);
  render.PopMatrix(&render);
}
