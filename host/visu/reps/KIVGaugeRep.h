#pragma once
// A frame-time gauge drawn over the scene (KIV3DViewer::AddRepOverlay): three bars (whole
// update, traversal, time between updates; a full bar is 50 ms) and the texts
// "12.3 ms  81 fps", the update's minimum, average and maximum over the last 60 updates,
// and the time between updates. Each text has a row of its own with its bar on the row
// under it, and the frame widens to the longest text, so that no bar ever runs over a
// text, whatever the values. It sits in the window's top-left corner, in the pixel frame
// of overlays (origin at the window's centre, y up), whatever the window's size.
#include <string>
#include <vector>
#include "host/visu/scene/KIV3DCustomRep.h"
class KIV3DFaceGP;
class KIV3DAnnotationTextGP;
class KIVGaugeRep : public KIV3DCustomRep {
  KIV_DECLARE_METAOBJECT(KIVGaugeRep)
 public:
  static constexpr int kHistory = 60;
  static constexpr float kFullBarSeconds = 0.05f;
  /// The frame's size (its width at least: long texts widen it) and its distance from the
  /// window's edges, in pixels; texts are kTextHeight pixels high, kAdvance × that wide
  /// per character, as the renders draw them.
  static constexpr float kWidth = 330.0f, kHeight = 90.0f, kMargin = 10.0f;
  static constexpr float kTextHeight = 12.0f, kAdvance = 0.6f;
  /// The frame's width now.
  float GetWidth() const { return mWidth; }
  KIVGaugeRep();
  ~KIVGaugeRep() override;
  /// Three seconds, as KIVViewer::GetLastUpdateDuration gives them; null is ignored and a
  /// negative or non-finite value is taken as 0.
  void SetDuration(const float* durations);
  /// The last three values.
  void GetDuration(float* durations) const;
  /// Minimum, average and maximum of the whole update over the history; 0 when empty.
  int GetStatistics(float& minimum, float& average, float& maximum) const;
  int GetHistoryCount() const { return static_cast<int>(mHistory.size()); }
  /// The text lines shown (0: time and rate, 1: statistics, 2: interval).
  std::string GetText(int line) const;
  /// Placed in the top-left corner of the render's window.
  void DrawShading(KIVRender& render, int mode) override;
 private:
  void Rebuild();
  float mDurations[3] = {0.0f, 0.0f, 0.0f};
  std::vector<float> mHistory;  // ring of the last updates
  int mNext = 0;
  float mWidth = kWidth;
  class KIV3DPolylineGP* mFrame = nullptr;  // owned through the rep's level
  KIV3DFaceGP* mBars = nullptr;
  KIV3DAnnotationTextGP* mTexts[3] = {nullptr, nullptr, nullptr};
};
