#include "measure/KIVNavMarker3DTextRep.h"

#include "host/visu/scene/KIV3DPointRep.h"
#include "measure/KIVNavMarkerLook.h"
#include "primitives/KIV3DTextRep.h"

KIV_IMPLEMENT_METAOBJECT(KIVNavMarker3DTextRep, KIV3DBagRep)

KIVNavMarker3DTextRep::KIVNavMarker3DTextRep(KIVUnicodeString& name, KIVMathPointf& p) : mName(name), mPosition(p) {
  Build();
}

KIVNavMarker3DTextRep::KIVNavMarker3DTextRep(const KIVNavMarker3DTextRep& other)
    : KIV3DBagRep(),
      mName(other.mName),
      mPosition(other.mPosition),
      mColor(other.mColor),
      mRed(other.mRed),
      mGreen(other.mGreen),
      mBlue(other.mBlue) {
  Build();
}

KIVNavMarker3DTextRep::~KIVNavMarker3DTextRep() { DestroyChildren(); }  // its parts go with it, however it is destroyed

void KIVNavMarker3DTextRep::Build() {
  SetColorInheritanceMode(0);
  mPoint = new KIV3DPointRep(mPosition, 6);
  KIVNavMarkerLook::Apply(*mPoint, kDefaultColor, 0, 0, 0, 1);
  mText = new KIV3DTextRep(mPosition, mName.CastToCharPtr(), KIV3DAnnotationTextGP::BottomLeft);
  KIVNavMarkerLook::Apply(*mText, mColor, mRed, mGreen, mBlue, 0);
  AddChild(mPoint);
  AddChild(mText);
}

void KIVNavMarker3DTextRep::Modify(KIVUnicodeString& name, KIVMathPointf& p) {
  mName = name;
  mPosition = p;
  mPoint->SetPoint(p);
  mText->Modify(p, mName.CastToCharPtr());
}

void KIVNavMarker3DTextRep::Modify(KIVMathPointf& p) {
  mPosition = p;
  mPoint->SetPoint(p);
  mText->Modify(p, nullptr);
}

void KIVNavMarker3DTextRep::SetColor(unsigned int c) {
  if (c == mColor) return;
  SetColorInheritanceMode(0);
  mColor = c;
  KIVNavMarkerLook::Colour(*mText, c, mRed, mGreen, mBlue);
}

void KIVNavMarker3DTextRep::SetColorRGBA(unsigned int r, unsigned int g, unsigned int b, unsigned int) {
  if (mColor == 255 && mRed == r && mGreen == g && mBlue == b) return;
  SetColorInheritanceMode(0);
  mColor = 255;
  mRed = r, mGreen = g, mBlue = b;
  KIVNavMarkerLook::Colour(*mText, 255, r, g, b);
}
