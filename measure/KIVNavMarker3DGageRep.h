#pragma once
// A measuring rod between two points of the scene with its length written beside the
// first point ("name : 2.50"): the two end points, the rod (a cylinder as wide as the
// gauge) and the label are the gauge's children, in that order.
#include "host/core/KIVUnicodeString.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/scene/KIV3DBagRep.h"
class KIV3DCylinderRep;
class KIV3DPointRep;
class KIV3DTextRep;

class KIVNavMarker3DGageRep : public KIV3DBagRep {
  KIV_DECLARE_METAOBJECT(KIVNavMarker3DGageRep)
 public:
  KIVNavMarker3DGageRep(KIVUnicodeString& name, KIVMathPointf& p1, KIVMathPointf& p2, float width, int showText);
  KIVNavMarker3DGageRep(const KIVNavMarker3DGageRep& other);
  KIVNavMarker3DGageRep& operator=(const KIVNavMarker3DGageRep&) = delete;
  ~KIVNavMarker3DGageRep() override;

  /// New name, width and points; the rod and the label are rebuilt.
  void Modify(KIVUnicodeString& name, KIVMathPointf& p1, KIVMathPointf& p2, float width);
  /// which 1 moves the first point, any other value the second; rod and label follow.
  void Modify(KIVMathPointf& p, int which);
  /// A colour index for the rod and the label (the end points keep theirs); −1 only
  /// re-asserts that the gauge's colour is its own.
  void SetColor(unsigned int c);
  /// A true colour for the rod and the label (colour 255); the alpha is not used.
  void SetColorRGBA(unsigned int r, unsigned int g, unsigned int b, unsigned int a);
  /// −1 or the current value only asks; otherwise shows (non-zero) or hides the label.
  int ShowText(int s);
  /// −1.0 or the current width only asks; otherwise the rod is rebuilt that wide.
  float SetWidth(float w);
  /// The first point for which = 1, the second otherwise.
  KIVMathPointf GetCoordonnePoint(int which) const;

  const KIVUnicodeString& GetName() const { return mName; }
  float GetWidth() const { return mWidth; }
  unsigned int GetColor() const { return mColor; }
  /// The label as drawn: the name, " : " and the distance with two decimals.
  KIVUnicodeString GetLabel() const;
  KIV3DPointRep* GetFirstPoint() const { return mFirst; }
  KIV3DPointRep* GetSecondPoint() const { return mSecond; }
  KIV3DCylinderRep* GetRod() const { return mRod; }
  KIV3DTextRep* GetText() const { return mText; }

  static constexpr unsigned int kDefaultColor = 246;
  static constexpr unsigned int kFirstColor = 247;
  static constexpr unsigned int kSecondColor = 245;

 private:
  void Build(int showText);
  void Rebuild();
  void ApplyColor(KIVRep& part) const;

  KIVUnicodeString mName;
  float mWidth = 0.0f;
  unsigned int mColor = kDefaultColor;
  unsigned int mRed = 0, mGreen = 0, mBlue = 0;
  int mShowText = 1;
  KIVMathPointf mP1, mP2;
  KIV3DPointRep* mFirst = nullptr;
  KIV3DPointRep* mSecond = nullptr;
  KIV3DCylinderRep* mRod = nullptr;
  KIV3DTextRep* mText = nullptr;
};
