#include "measure/KIVNavMarker3DGageRep.h"

#include <cstdio>

#include "host/visu/scene/KIV3DCylinderRep.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "measure/KIVNavMarkerLook.h"
#include "primitives/KIV3DTextRep.h"

KIV_IMPLEMENT_METAOBJECT(KIVNavMarker3DGageRep, KIV3DBagRep)

namespace {
constexpr int kEndSymbol = 6;
}  // namespace

KIVNavMarker3DGageRep::KIVNavMarker3DGageRep(KIVUnicodeString& name, KIVMathPointf& p1, KIVMathPointf& p2,
                                             float width, int showText)
    : mName(name), mWidth(width), mP1(p1), mP2(p2) {
  Build(showText);
}

KIVNavMarker3DGageRep::KIVNavMarker3DGageRep(const KIVNavMarker3DGageRep& other)
    : KIV3DBagRep(),
      mName(other.mName),
      mWidth(other.mWidth),
      mColor(other.mColor),
      mRed(other.mRed),
      mGreen(other.mGreen),
      mBlue(other.mBlue),
      mP1(other.mP1),
      mP2(other.mP2) {
  Build(other.mShowText);
}

KIVNavMarker3DGageRep::~KIVNavMarker3DGageRep() { DestroyChildren(); }  // its parts go with it, however it is destroyed

void KIVNavMarker3DGageRep::Build(int showText) {
  SetColorInheritanceMode(0);
  KIVNavMarkerLook::Apply(*this, GetGraphicAttributeSet().GetColorIndex(), 0, 0, 0, 2);
  mShowText = showText;
  mFirst = new KIV3DPointRep(mP1, kEndSymbol);
  KIVNavMarkerLook::Apply(*mFirst, kFirstColor, 0, 0, 0, 1);
  mSecond = new KIV3DPointRep(mP2, kEndSymbol);
  KIVNavMarkerLook::Apply(*mSecond, kSecondColor, 0, 0, 0, 1);
  mRod = new KIV3DCylinderRep;
  mRod->SetCaps(0);
  KIVNavMarkerLook::Apply(*mRod, mColor, mRed, mGreen, mBlue, 2);
  mText = new KIV3DTextRep(mP1, GetLabel().CastToCharPtr(), KIV3DAnnotationTextGP::BottomLeft);
  KIVNavMarkerLook::Apply(*mText, mColor, mRed, mGreen, mBlue, 0);
  if (!mShowText) mText->SetShowMode(1, 0);
  Rebuild();
  AddChild(mFirst);
  AddChild(mSecond);
  AddChild(mRod);
  AddChild(mText);
}

KIVUnicodeString KIVNavMarker3DGageRep::GetLabel() const {
  char distance[64];
  std::snprintf(distance, sizeof distance, "%.2f", static_cast<double>((mP2 - mP1).Norm()));
  return KIVUnicodeString(mName.GetUtf8() + " : " + distance);
}

// The end points, the rod and the label from the stored values. Coincident points or a
// width that is not positive leave no rod to draw: it is hidden rather than given the
// host's default shape.
void KIVNavMarker3DGageRep::Rebuild() {
  mFirst->SetPoint(mP1);
  mSecond->SetPoint(mP2);
  const int rod = mRod->SetCylinder(mP1, mP2 - mP1, 0.5f * mWidth);
  mRod->SetShowMode(rod ? 0 : 1, 0);
  mText->Modify(mP1, GetLabel().CastToCharPtr());
}

void KIVNavMarker3DGageRep::Modify(KIVUnicodeString& name, KIVMathPointf& p1, KIVMathPointf& p2, float width) {
  mName = name;
  mWidth = width;
  mP1 = p1;
  mP2 = p2;
  Rebuild();
}

void KIVNavMarker3DGageRep::Modify(KIVMathPointf& p, int which) {
  (which == 1 ? mP1 : mP2) = p;
  Rebuild();
}

void KIVNavMarker3DGageRep::SetColor(unsigned int c) {
  SetColorInheritanceMode(0);
  if (c == static_cast<unsigned int>(-1)) return;
  mColor = c;
  KIVNavMarkerLook::Colour(*mRod, c, mRed, mGreen, mBlue);
  KIVNavMarkerLook::Colour(*mText, c, mRed, mGreen, mBlue);
}

void KIVNavMarker3DGageRep::SetColorRGBA(unsigned int r, unsigned int g, unsigned int b, unsigned int) {
  if (mColor == 255 && mRed == r && mGreen == g && mBlue == b) return;
  SetColorInheritanceMode(0);
  mColor = 255;
  mRed = r, mGreen = g, mBlue = b;
  KIVNavMarkerLook::Colour(*mRod, 255, r, g, b);
  KIVNavMarkerLook::Colour(*mText, 255, r, g, b);
}

int KIVNavMarker3DGageRep::ShowText(int s) {
  if (s == -1 || s == mShowText) return mShowText;
  mShowText = s;
  mText->SetShowMode(s == 0 ? 1 : 0, 0);
  return mShowText;
}

float KIVNavMarker3DGageRep::SetWidth(float w) {
  if (w == mWidth || w == -1.0f) return mWidth;
  mWidth = w;
  Rebuild();
  return mWidth;
}

KIVMathPointf KIVNavMarker3DGageRep::GetCoordonnePoint(int which) const { return which == 1 ? mP1 : mP2; }
