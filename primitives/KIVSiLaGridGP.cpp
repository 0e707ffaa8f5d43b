#include "primitives/KIVSiLaGridGP.h"

#include <cmath>
#include <cstdio>

#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/view/KIVRender.h"
#include "host/visu/view/KIVViewport.h"

namespace {
// More lines than this across the view would merge into a solid area on any screen.
constexpr int kMaxLinesInView = 256;

// The part of the plane x = 0 (local) that the camera sees, as a box in (y, z); false
// when the view reaches beyond the plane's horizon (then the whole grid may show).
bool VisibleBox(const KIVRender& render, const KIVViewpoint* viewpoint, const KIVViewport* viewport, float* lo,
                float* hi) {
  const auto* camera = dynamic_cast<const KIV3DViewpoint*>(viewpoint);
  if (!camera || !viewport || viewport->GetHeight() <= 0) return false;
  int ok = 0;
  const KIV4x4Matrix inverse = render.GetCurrentMatrix().Inverse(&ok);
  if (!ok) return false;
  const KIVMathPointf o = inverse.TransformPoint(camera->GetOrigin());
  const float ty = std::tan(0.5f * camera->GetAngle() * 0.017453292f);
  const float tx = ty * static_cast<float>(viewport->GetWidth()) / static_cast<float>(viewport->GetHeight());
  const KIVMathDirectionf s = camera->GetSightDirection(), u = camera->GetUpDirection(),
                          r = camera->GetRightDirection();
  lo[0] = lo[1] = INFINITY;
  hi[0] = hi[1] = -INFINITY;
  for (float sx : {-1.0f, 1.0f})
    for (float sy : {-1.0f, 1.0f}) {
      const KIVMathVectorf world(s.x + sx * tx * r.x + sy * ty * u.x, s.y + sx * tx * r.y + sy * ty * u.y,
                                 s.z + sx * tx * r.z + sy * ty * u.z);
      const KIVMathVectorf d = inverse.TransformVector(world);
      if (std::fabs(d.x) < 1e-12f) return false;
      const float t = -o.x / d.x;
      if (!(t > 0.0f) || !std::isfinite(t)) return false;
      const float y = o.y + t * d.y, z = o.z + t * d.z;
      lo[0] = std::min(lo[0], y), hi[0] = std::max(hi[0], y);
      lo[1] = std::min(lo[1], z), hi[1] = std::max(hi[1], z);
    }
  return true;
}

std::string Format(const char* format, float value) {
  char text[64];
  std::snprintf(text, sizeof text, format, static_cast<double>(value));
  return text;
}
}  // namespace

KIVSiLaGridGP::KIVSiLaGridGP(float step1, float step2, float size1, float size2, int style, int coordMode) {
  SetStepsGrid(step1, step2);
  SetSizeGrid(size1, size2);
  SetStyle(style);
  SetCoordMode(coordMode);
  mCrosses.SetType(KIV3DMarkerGP::Plus);
  mCrosses.SetSize(7.0f);
}

int KIVSiLaGridGP::SetStepsGrid(float step1, float step2) {
  if (!(step1 * step2 > 0.0001f) || !std::isfinite(step1 * step2)) return 0;
  mStep1 = std::fabs(step1), mStep2 = std::fabs(step2);
  GeometryChanged();
  return 1;
}

int KIVSiLaGridGP::SetSizeGrid(float size1, float size2) {
  if (!(size1 * size2 > 0.0f) || !std::isfinite(size1 * size2)) return 0;
  mSize1 = std::fabs(size1), mSize2 = std::fabs(size2);
  UpdateBounds();
  return 1;
}

int KIVSiLaGridGP::SetCoordMode(int mode) {
  if (mode != 0 && mode != 1) return 0;
  mCoordMode = mode;
  GeometryChanged();
  return 1;
}

int KIVSiLaGridGP::SetStyle(int style) {
  if (style != 0 && style != 1) return 0;
  mStyle = style;
  GeometryChanged();
  return 1;
}

void KIVSiLaGridGP::UpdateBounds() {
  const float h1 = 0.5f * mSize1, h2 = 0.5f * mSize2;
  const float corners[12] = {0, -h1, -h2, 0, h1, -h2, 0, h1, h2, 0, -h1, h2};
  SetBoundingPoints(corners, 12);
}

int KIVSiLaGridGP::GetPickTriangles(std::vector<float>& vertices, std::vector<int>& indices) const {
  const float h1 = 0.5f * mSize1, h2 = 0.5f * mSize2;
  const int base = static_cast<int>(vertices.size() / 3);
  vertices.insert(vertices.end(), {0, -h1, -h2, 0, h1, -h2, 0, h1, h2, 0, -h1, h2});
  indices.insert(indices.end(), {base, base + 1, base + 2, base, base + 2, base + 3});
  return 2;
}

void KIVSiLaGridGP::SetMatrix(const KIV4x4Matrix* frame) {
  mFrame = frame ? *frame : KIV4x4Matrix();
  mPlaneCode = 1;
  if (frame) {
    KIVMathVectorf d1, d2, d3;
    KIVMathPointf origin;
    frame->GetComponents(d1, d2, d3, origin);
    constexpr float e = 0.0001f;
    auto small = [](float a, float b) { return std::fabs(a) + std::fabs(b) < e; };
    if (small(d1.y, d1.z) && small(d2.x, d2.z))
      mPlaneCode = 1;
    else if (small(d1.x, d1.z) && small(d2.y, d2.z))
      mPlaneCode = 2;
    else if (small(d1.x, d1.y) && small(d2.x, d2.z))
      mPlaneCode = 3;
    else
      mPlaneCode = 0;
  }
  GeometryChanged();
}

// One graduation: the local coordinate in relative mode; in absolute mode the world
// coordinate that the plane shows along that axis (axis 1: y labels, 2: z labels).
void KIVSiLaGridGP::Label(KIVRender& render, const KIVMathPointf& at, float local, int axis, bool first, int anchor) {
  std::string text;
  if (mCoordMode == 1) {
    text = Format("%4.1f", local);
  } else {
    if (mPlaneCode == 0) return;
    const KIVMathPointf world = mFrame.TransformPoint(at);
    char name = 'Y';
    float value = world.y;
    if (axis == 1 && mPlaneCode == 2) name = 'X', value = world.x;
    if (axis == 2) {
      name = mPlaneCode == 3 ? 'X' : 'Z';
      value = mPlaneCode == 3 ? world.x : world.z;
    }
    if (first) text.append(1, name).append(1, '=');
    text.append(Format("%4.1f", value));
  }
  const size_t n = mLabelTexts.size();
  while (mLabels.size() <= n) mLabels.push_back(std::make_unique<KIV3DAnnotationTextGP>());
  KIV3DAnnotationTextGP& gp = *mLabels[n];
  gp.SetAnchor(at);
  gp.SetText(text);
  gp.SetAlignment(KIV3DAnnotationTextGP::AlignmentOf(anchor));
  render.Draw3DAnnotationText(gp);
  mLabelTexts.push_back(text);
}

void KIVSiLaGridGP::ImmediateDraw(KIVRender& render, const KIVViewpoint* viewpoint, const KIVViewport* viewport) {
  mLabelTexts.clear();
  mLinePoints.clear();
  mCrossPoints.clear();
  const float r = render.GetMMFromModelRatio(KIVMathPointf(0, 0, 0));
  const float spacing = 10.0f * r;
  const float h1 = 0.5f * mSize1, h2 = 0.5f * mSize2;
  const int nY = static_cast<int>(h1 / mStep1) + 1, nZ = static_cast<int>(h2 / mStep2) + 1;
  // Only the part of the grid in view is drawn: a grid much wider than the view would
  // otherwise cost its every line at every frame.
  float lo[2] = {-h1, -h2}, hi[2] = {h1, h2};
  if (VisibleBox(render, viewpoint, viewport, lo, hi)) {
    lo[0] = std::max(lo[0], -h1), hi[0] = std::min(hi[0], h1);
    lo[1] = std::max(lo[1], -h2), hi[1] = std::min(hi[1], h2);
  } else {
    lo[0] = -h1, hi[0] = h1, lo[1] = -h2, hi[1] = h2;
  }
  auto segment = [this](float y0, float z0, float y1, float z1) {
    mLinePoints.insert(mLinePoints.end(), {0.0f, y0, z0, 0.0f, y1, z1});
  };
  auto inView = [&](float y, float z) { return y >= lo[0] && y <= hi[0] && z >= lo[1] && z <= hi[1]; };
  // The border.
  segment(-h1, -h2, h1, -h2);
  segment(h1, -h2, h1, h2);
  segment(h1, h2, -h1, h2);
  segment(-h1, h2, -h1, -h2);

  // The rows and columns kept at this zoom: at least 10 mm apart at the grid's centre,
  // and never more across the view than could be told apart.
  auto select = [spacing](int n, float step, float from, float to) {
    std::vector<int> kept;
    float least = spacing;
    const float span = to - from;
    if (span > 0.0f && span / std::max(step, least) > kMaxLinesInView) least = span / kMaxLinesInView;
    const float reach = std::max(std::fabs(from), std::fabs(to));
    float accumulator = least + 1.0f;
    for (int i = 0; i < n; ++i) {
      const float x = static_cast<float>(i) * step;
      if (x > reach) break;  // farther out than anything in view
      if (accumulator >= least) {
        if ((x >= from && x <= to) || (-x >= from && -x <= to)) kept.push_back(i);
        accumulator = 0.0f;
      }
      accumulator += step;
    }
    return kept;
  };
  const std::vector<int> rows = select(nY, mStep1, lo[0], hi[0]), columns = select(nZ, mStep2, lo[1], hi[1]);
  using Anchor = KIV3DAnnotationTextGP::AnchorPoint;
  for (int i : rows) {
    const float y = static_cast<float>(i) * mStep1;
    for (float s : {1.0f, -1.0f}) {
      if (s < 0.0f && i == 0) break;
      if (s * y < lo[0] || s * y > hi[0]) continue;
      if (mStyle == 0) segment(s * y, lo[1], s * y, hi[1]);
      if (inView(s * y, -h2)) Label(render, KIVMathPointf(0, s * y, -h2), s * y, 1, i == 0, Anchor::BottomRight);
      if (inView(s * y, h2)) Label(render, KIVMathPointf(0, s * y, h2), s * y, 1, i == 0, Anchor::BottomCenter);
    }
  }
  for (int j : columns) {
    const float z = static_cast<float>(j) * mStep2;
    for (float s : {1.0f, -1.0f}) {
      if (s < 0.0f && j == 0) break;
      if (s * z < lo[1] || s * z > hi[1]) continue;
      if (mStyle == 0) segment(lo[0], s * z, hi[0], s * z);
      if (inView(-h1, s * z)) Label(render, KIVMathPointf(0, -h1, s * z), s * z, 2, j == 0, Anchor::BottomLeft);
      if (inView(h1, s * z)) Label(render, KIVMathPointf(0, h1, s * z), s * z, 2, j == 0, Anchor::TopLeft);
    }
  }
  if (mStyle == 1) {
    for (int i : rows)
      for (int j : columns) {
        const float y = static_cast<float>(i) * mStep1, z = static_cast<float>(j) * mStep2;
        for (float sy : {1.0f, -1.0f})
          for (float sz : {1.0f, -1.0f}) {
            if ((sy < 0.0f && i == 0) || (sz < 0.0f && j == 0)) continue;
            if (inView(sy * y, sz * z)) mCrossPoints.insert(mCrossPoints.end(), {0.0f, sy * y, sz * z});
          }
      }
  }

  // The caption, one step above the top edge.
  if (mCoordMode == 1) {
    mCaption = "Relative.";
  } else {
    const KIVMathPointf o = mFrame.TransformPoint(KIVMathPointf(0, 0, 0));
    mCaption = mPlaneCode == 1   ? Format("Absolute. X=%4.1f", o.x)
               : mPlaneCode == 2 ? Format("Absolute. Y=%4.1f", o.y)
               : mPlaneCode == 3 ? Format("Absolute. Z=%4.1f", o.z)
                                 : std::string("Absolute.");
  }
  const size_t n = mLabelTexts.size();
  while (mLabels.size() <= n) mLabels.push_back(std::make_unique<KIV3DAnnotationTextGP>());
  KIV3DAnnotationTextGP& caption = *mLabels[n];
  caption.SetAnchor(KIVMathPointf(0, 0, h2 + mStep2));
  caption.SetText(mCaption);
  caption.SetAlignment(KIV3DAnnotationTextGP::AlignmentOf(Anchor::BottomRight));
  render.Draw3DAnnotationText(caption);

  // Only changed geometry goes to the lines' and crosses' primitives, whose buffers a
  // back end keeps while they stay the same.
  if (mLinePoints != mLines.GetPoints()) mLines.SetPoints(mLinePoints.data(), static_cast<int>(mLinePoints.size()));
  mLines.Draw(render);
  mDrawnLines = static_cast<int>(mLinePoints.size() / 6);
  mDrawnCrosses = static_cast<int>(mCrossPoints.size() / 3);
  if (mStyle == 1 && !mCrossPoints.empty()) {
    if (mCrossPoints != mCrosses.GetPoints())
      mCrosses.SetPoints(mCrossPoints.data(), static_cast<int>(mCrossPoints.size()));
    mCrosses.Draw(render);
  }
}
