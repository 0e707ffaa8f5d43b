#pragma once
// The lines (or the crosses at the nodes), border, graduations and caption of a planar
// grid, made at every frame: a line every step while steps stay at least 10 mm apart on
// the screen, else every second, third, … step, always through the centre. The grid lies
// in the plane x = 0 of its frame, size1 and step1 along y, size2 and step2 along z.
#include <memory>
#include <string>
#include <vector>

#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/scene/KIV3DAnnotationTextGP.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DMarkerGP.h"
#include "host/visu/scene/KIVDynamicGP.h"

class KIVSiLaGridGP : public KIVDynamicGP {
 public:
  KIVSiLaGridGP(float step1, float step2, float size1, float size2, int style, int coordMode);
  /// Refused (0) unless step1 × step2 is above 0.0001.
  int SetStepsGrid(float step1, float step2);
  /// Refused (0) unless size1 × size2 is above 0.
  int SetSizeGrid(float size1, float size2);
  /// 0 absolute, 1 relative; other values are refused (0).
  int SetCoordMode(int mode);
  /// 0 lines, 1 crosses; other values are refused (0).
  int SetStyle(int style);
  /// The grid's frame (copied; null for the identity), which also gives the plane code:
  /// 1 parallel to the world's YZ plane, 2 XZ, 3 XY, 0 none of them.
  void SetMatrix(const KIV4x4Matrix* frame);
  int GetPlaneCode() const { return mPlaneCode; }
  void ImmediateDraw(KIVRender& render, const KIVViewpoint* viewpoint, const KIVViewport* viewport) override;
  /// The whole rectangle, so that a pick anywhere on the grid finds it (and the point
  /// picked is on its plane), not only on its lines.
  int GetPickTriangles(std::vector<float>& vertices, std::vector<int>& indices) const override;

  /// What the last frame drew: lines (border included), crosses, labels, the caption.
  int GetDrawnLineCount() const { return mDrawnLines; }
  int GetDrawnCrossCount() const { return mDrawnCrosses; }
  const std::vector<std::string>& GetDrawnLabels() const { return mLabelTexts; }
  const std::string& GetCaption() const { return mCaption; }

 private:
  void Label(KIVRender& render, const KIVMathPointf& at, float local, int axis, bool first, int anchor);
  void UpdateBounds();

  int mStyle = 0;
  int mCoordMode = 0;
  float mStep1 = 100.0f, mStep2 = 100.0f, mSize1 = 1000.0f, mSize2 = 1000.0f;
  int mPlaneCode = 1;
  KIV4x4Matrix mFrame;
  // Reused from frame to frame, so that unchanged geometry keeps its buffers.
  KIV3DLineGP mLines;
  KIV3DMarkerGP mCrosses;
  std::vector<std::unique_ptr<KIV3DAnnotationTextGP>> mLabels;
  std::vector<float> mLinePoints, mCrossPoints;
  std::vector<std::string> mLabelTexts;
  std::string mCaption;
  int mDrawnLines = 0, mDrawnCrosses = 0;
};
