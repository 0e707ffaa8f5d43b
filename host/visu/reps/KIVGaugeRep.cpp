#include "host/visu/reps/KIVGaugeRep.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/visu/scene/KIV3DAnnotationTextGP.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DPolylineGP.h"
#include "host/visu/view/KIVRender.h"

KIV_IMPLEMENT_METAOBJECT(KIVGaugeRep, KIV3DCustomRep)

namespace {
// Rows from the top: padding, then per line a text row, a gap, its bar and a gap.
constexpr float kPad = 6.0f, kGap = 3.0f, kBarHeight = 6.0f, kBarLength = 150.0f;
constexpr float kLine = KIVGaugeRep::kTextHeight + kGap + kBarHeight + kGap + 2.0f;
static_assert(2.0f * kPad + 3.0f * kLine <= KIVGaugeRep::kHeight, "the rows fit the frame");

// The middle of the text row and the bottom of the bar row of line i, from the bottom.
float TextMiddle(int line) {
  return KIVGaugeRep::kHeight - kPad - kLine * static_cast<float>(line) - 0.5f * KIVGaugeRep::kTextHeight;
}
float BarBottom(int line) {
  return KIVGaugeRep::kHeight - kPad - kLine * static_cast<float>(line) - KIVGaugeRep::kTextHeight - kGap -
         kBarHeight;
}
}  // namespace

KIVGaugeRep::KIVGaugeRep() {
  SetRGBA(255, 220, 60, 255);
  // The frame around the gauge also gives it a size when every bar is empty.
  mFrame = new KIV3DPolylineGP;
  mFrame->SetClosed(1);
  AddGP(mFrame);
  mBars = new KIV3DFaceGP;
  AddGP(mBars);
  for (int i = 0; i < 3; ++i) {
    mTexts[i] = new KIV3DAnnotationTextGP(KIVMathPointf(kPad, TextMiddle(i), 0.0f), "", kTextHeight,
                                          KIV3DAnnotationTextGP::Left | KIV3DAnnotationTextGP::Middle);
    AddGP(mTexts[i]);
  }
  mHistory.reserve(kHistory);
  Rebuild();
}

KIVGaugeRep::~KIVGaugeRep() = default;

void KIVGaugeRep::SetDuration(const float* durations) {
  if (!durations) return;
  for (int i = 0; i < 3; ++i) mDurations[i] = durations[i] >= 0.0f && std::isfinite(durations[i]) ? durations[i] : 0.0f;
  if (static_cast<int>(mHistory.size()) < kHistory)
    mHistory.push_back(mDurations[0]);
  else
    mHistory[mNext] = mDurations[0];
  mNext = (mNext + 1) % kHistory;
  Rebuild();
}

void KIVGaugeRep::GetDuration(float* durations) const {
  if (durations) std::copy(mDurations, mDurations + 3, durations);
}

int KIVGaugeRep::GetStatistics(float& minimum, float& average, float& maximum) const {
  minimum = average = maximum = 0.0f;
  if (mHistory.empty()) return 0;
  minimum = *std::min_element(mHistory.begin(), mHistory.end());
  maximum = *std::max_element(mHistory.begin(), mHistory.end());
  double sum = 0.0;
  for (float d : mHistory) sum += d;
  average = static_cast<float>(sum / static_cast<double>(mHistory.size()));
  return 1;
}

std::string KIVGaugeRep::GetText(int line) const {
  char text[96];
  switch (line) {
    case 0: {
      const float ms = 1000.0f * mDurations[0];
      if (mDurations[0] > 0.0f)
        std::snprintf(text, sizeof text, "%.1f ms  %.0f fps", ms, 1.0f / mDurations[0]);
      else
        std::snprintf(text, sizeof text, "%.1f ms", ms);
      return text;
    }
    case 1: {
      float lo, avg, hi;
      GetStatistics(lo, avg, hi);
      std::snprintf(text, sizeof text, "min %.1f  avg %.1f  max %.1f ms", 1000.0f * lo, 1000.0f * avg, 1000.0f * hi);
      return text;
    }
    case 2:
      std::snprintf(text, sizeof text, "traversal %.1f  interval %.1f ms", 1000.0f * mDurations[1],
                    1000.0f * mDurations[2]);
      return text;
    default:
      return {};
  }
}

void KIVGaugeRep::Rebuild() {
  size_t longest = 0;
  for (int i = 0; i < 3; ++i) {
    mTexts[i]->SetText(GetText(i));
    longest = std::max(longest, GetText(i).size());
  }
  const float width = std::max(kWidth, 2.0f * kPad + kAdvance * kTextHeight * static_cast<float>(longest));
  if (width != mWidth || mFrame->GetVertexCount() == 0) {
    mWidth = width;
    const float frame[12] = {0, 0, 0, mWidth, 0, 0, mWidth, kHeight, 0, 0, kHeight, 0};
    mFrame->SetVertices(frame, 12);
  }
  // Three bars, each on the row under its text.
  std::vector<float> vertices;
  std::vector<int> triangles;
  for (int i = 0; i < 3; ++i) {
    const float length = kBarLength * std::min(1.0f, mDurations[i] / kFullBarSeconds);
    if (!(length > 0.5f)) continue;
    const float x0 = kPad, y0 = BarBottom(i);
    const int base = static_cast<int>(vertices.size() / 3);
    vertices.insert(vertices.end(), {x0, y0, 0, x0 + length, y0, 0, x0 + length, y0 + kBarHeight, 0, x0,
                                     y0 + kBarHeight, 0});
    triangles.insert(triangles.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
  }
  mBars->SetTriangles(nullptr, 0);
  mBars->SetVertices(vertices.data(), static_cast<int>(vertices.size()));
  mBars->SetTriangles(triangles.data(), static_cast<int>(triangles.size() / 3));
  GeometryModified();
}

void KIVGaugeRep::DrawShading(KIVRender& render, int mode) {
  const float w = static_cast<float>(render.GetSupport().GetWidth());
  const float h = static_cast<float>(render.GetSupport().GetHeight());
  KIV4x4Matrix corner;
  corner.Set(3, 0, -0.5f * w + kMargin);
  corner.Set(3, 1, 0.5f * h - kMargin - kHeight);
  render.PushMatrix(corner);
  render.DrawDefault(*this, mode);
  render.PopMatrix(&render);
}
