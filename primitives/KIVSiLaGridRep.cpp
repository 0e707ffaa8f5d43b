#include "primitives/KIVSiLaGridRep.h"

#include <cmath>

#include "host/visu/scene/KIV3DCustomRep.h"
#include "primitives/KIVSiLaGridCoordRep.h"
#include "primitives/KIVSiLaGridGP.h"

KIV_IMPLEMENT_METAOBJECT(KIVSiLaGridRep, KIV3DBagRep)

namespace {
constexpr unsigned char kGridColour = 19;
constexpr unsigned char kCoordinatesColour = 247;

// The node index nearest to a coordinate: ties go toward zero.
float Snap(float value, float step) {
  const float q = value / step;
  const float n = std::trunc(q);
  const float f = std::fabs(q - n);
  const float index = f > 0.5f ? std::fabs(n) + 1.0f : std::fabs(n);
  return std::copysign(index, q) * step;
}

void Colour(KIVRep& rep, unsigned char index) {
  KIVGraphicAttributeSet a = rep.GetGraphicAttributeSet();
  a.SetColorIndex(index);
  a.bytes[1] = a.bytes[2] = 1;
  rep.SetGraphicAttributeSet(a);
}
}  // namespace

KIVSiLaGridRep::KIVSiLaGridRep(float step1, float step2, float size1, float size2)
    : mStep1(step1), mStep2(step2), mSize1(size1), mSize2(size2) {
  if (step1 * step2 == 0.0f) mStep1 = size1 / 10.0f, mStep2 = size2 / 10.0f;
  CreateGeometry();
}

KIVSiLaGridRep::~KIVSiLaGridRep() { DestroyChildren(); }  // its parts go with it, however it is destroyed

void KIVSiLaGridRep::CreateGeometry() {
  if (mBody) {
    RemoveChild(mBody);
    delete mBody;  // its primitive with it
    mBody = nullptr;
    mGP = nullptr;
  }
  mGP = new KIVSiLaGridGP(mStep1, mStep2, mSize1, mSize2, mStyle, mCoordMode);
  mGP->SetMatrix(GetMatrix());
  mBody = new KIV3DCustomRep;
  mBody->AddGP(mGP);
  Colour(*mBody, kGridColour);
  AddChild(mBody);
  Colour(*this, kGridColour);
}

int KIVSiLaGridRep::SetStyle(int style) {
  if (style != 0 && style != 1) return 0;
  mStyle = style;
  mGP->SetStyle(style);
  return 1;
}

int KIVSiLaGridRep::SetStepsGrid(float step1, float step2) {
  if (!(step1 * step2 > 0.0f) || !mGP->SetStepsGrid(step1, step2)) return 0;
  mStep1 = step1, mStep2 = step2;
  UpdateCoordinates();
  return 1;
}

int KIVSiLaGridRep::SetSizeGrid(float size1, float size2) {
  if (!(size1 * size2 > 0.0f) || !mGP->SetSizeGrid(size1, size2)) return 0;
  mSize1 = size1, mSize2 = size2;
  mBody->GeometryModified();
  return 1;
}

void KIVSiLaGridRep::GetStepsGrid(float* step1, float* step2) const {
  if (step1) *step1 = mStep1;
  if (step2) *step2 = mStep2;
}

void KIVSiLaGridRep::GetSizeGrid(float* size1, float* size2) const {
  if (size1) *size1 = mSize1;
  if (size2) *size2 = mSize2;
}

int KIVSiLaGridRep::SetCoordMode(int mode) {
  if (mode != 0 && mode != 1) return 0;
  mCoordMode = mode;
  mGP->SetCoordMode(mode);
  UpdateCoordinates();
  return 1;
}

void KIVSiLaGridRep::SetMatrix(const KIV4x4Matrix& matrix) {
  KIV3DBagRep::SetMatrix(matrix);
  mGP->SetMatrix(GetMatrix());
  UpdateCoordinates();
}

void KIVSiLaGridRep::SetPosition(const KIVMathPointf& origin, const KIVMathDirectionf& y, const KIVMathDirectionf& z) {
  SetMatrix(KIV4x4Matrix(y ^ z, y, z, origin));
}

KIVMathPointf KIVSiLaGridRep::GetIntersection(KIVMathPointf p) const {
  KIVMathPointf local = GetMatrix() ? GetInvertedMatrix().TransformPoint(p) : p;
  return KIVMathPointf(0.0f, Snap(local.y, mStep1), Snap(local.z, mStep2));
}

KIVMathPointf KIVSiLaGridRep::ValuesOf(const KIVMathPointf& local) const {
  if (mCoordMode == 1 || !GetMatrix()) return local;
  return GetMatrix()->TransformPoint(local);
}

void KIVSiLaGridRep::SetCoordinates(KIVMathPointf p) {
  const KIVMathPointf node = GetIntersection(p);
  if (!mCoordinates) {
    mCoordinates = new KIV3DBagRep;
    Colour(*mCoordinates, kCoordinatesColour);
    mCoordinates->SetBoundingElement(KIV3DBoundingSphere(KIVMathPointf(0, 0, 0), 100.0f));
    AddChild(mCoordinates);
  }
  auto* marker = new KIVSiLaGridCoordRep(node);
  marker->UpdateValuesOnly(ValuesOf(node));
  mCoordinates->AddChild(marker);
}

void KIVSiLaGridRep::SetFurtivesCoordinates(KIVMathPointf p) {
  const KIVMathPointf node = GetIntersection(p);
  if (!mFurtive) {
    mFurtive = new KIVSiLaGridCoordRep(node);
    Colour(*mFurtive, kCoordinatesColour);
    AddChild(mFurtive);
  } else if (!(mFurtive->GetCreationPoint() == node)) {
    mFurtive->Update(node);
  } else {
    return;
  }
  mFurtive->UpdateValuesOnly(ValuesOf(node));
}

void KIVSiLaGridRep::EndFurtivesCoordinates() {
  if (!mFurtive) return;
  RemoveChild(mFurtive);
  delete mFurtive;
  mFurtive = nullptr;
}

void KIVSiLaGridRep::UpdateCoordinates() {
  if (mCoordinates)
    for (KIVRep* child : mCoordinates->GetChildren())
      if (auto* marker = dynamic_cast<KIVSiLaGridCoordRep*>(child))
        marker->UpdateValuesOnly(ValuesOf(marker->GetCreationPoint()));
  if (mFurtive) mFurtive->UpdateValuesOnly(ValuesOf(mFurtive->GetCreationPoint()));
}

void KIVSiLaGridRep::CleanCoordinates() {
  EndFurtivesCoordinates();
  if (!mCoordinates) return;
  RemoveChild(mCoordinates);
  mCoordinates->Destroy();
  mCoordinates = nullptr;
}
