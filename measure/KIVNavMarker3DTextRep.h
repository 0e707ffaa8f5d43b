#pragma once
// A labelled point of the scene: a point symbol and its text written beside it.
#include "host/core/KIVUnicodeString.h"
#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/scene/KIV3DBagRep.h"
class KIV3DPointRep;
class KIV3DTextRep;

class KIVNavMarker3DTextRep : public KIV3DBagRep {
  KIV_DECLARE_METAOBJECT(KIVNavMarker3DTextRep)
 public:
  KIVNavMarker3DTextRep(KIVUnicodeString& name, KIVMathPointf& p);
  KIVNavMarker3DTextRep(const KIVNavMarker3DTextRep& other);
  KIVNavMarker3DTextRep& operator=(const KIVNavMarker3DTextRep&) = delete;
  ~KIVNavMarker3DTextRep() override;

  /// New text and position.
  void Modify(KIVUnicodeString& name, KIVMathPointf& p);
  /// New position, same text.
  void Modify(KIVMathPointf& p);
  /// The text's colour index (the point keeps its own); nothing when unchanged.
  void SetColor(unsigned int c);
  /// A true colour for the text (colour 255); the alpha is not used.
  void SetColorRGBA(unsigned int r, unsigned int g, unsigned int b, unsigned int a);

  const KIVUnicodeString& GetName() const { return mName; }
  const KIVMathPointf& GetPosition() const { return mPosition; }
  unsigned int GetColor() const { return mColor; }
  KIV3DPointRep* GetPoint() const { return mPoint; }
  KIV3DTextRep* GetText() const { return mText; }
  static constexpr unsigned int kDefaultColor = 247;

 private:
  void Build();
  KIVUnicodeString mName;
  KIVMathPointf mPosition;
  unsigned int mColor = kDefaultColor;
  unsigned int mRed = 0, mGreen = 0, mBlue = 0;
  KIV3DPointRep* mPoint = nullptr;
  KIV3DTextRep* mText = nullptr;
};
