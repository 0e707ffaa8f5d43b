#pragma once
// Lines of text stacked down the screen from a point of the scene: each line is
// `spacing` millimetres of the screen below the previous one, whatever the zoom.
#include <memory>
#include <string>
#include <vector>

#include "host/visu/math/KIVMathPointf.h"
#include "host/visu/scene/KIV3DAnnotationTextGP.h"
#include "host/visu/scene/KIVDynamicGP.h"

class KIVSiLaTextGP : public KIVDynamicGP {
 public:
  KIVSiLaTextGP() = default;
  KIVSiLaTextGP(const KIVMathPointf& point, const int spacing);
  /// Appends a line; a null text adds an empty line. Lines are kept to kCellSize − 1
  /// bytes, cut at a character boundary.
  void AddText(const char* text);
  void CleanText();
  int GetLineCount() const { return static_cast<int>(mLines.size()); }
  const std::string& GetLine(int i) const { return mLines[static_cast<size_t>(i)]; }
  const KIVMathPointf& GetPoint() const { return mPoint; }
  /// Draws nothing when the view's sight and up directions are parallel.
  void ImmediateDraw(KIVRender& render, const KIVViewpoint* viewpoint, const KIVViewport* viewport) override;
  static constexpr size_t kCellSize = 80;

 private:
  KIVMathPointf mPoint;
  int mSpacing = 3;
  std::vector<std::string> mLines;
  std::vector<std::unique_ptr<KIV3DAnnotationTextGP>> mDrawn;  // reused from frame to frame
};
