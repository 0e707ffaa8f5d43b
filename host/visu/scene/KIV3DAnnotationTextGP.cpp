#include "host/visu/scene/KIV3DAnnotationTextGP.h"

#include <cmath>

#include "host/core/KIVUtf8.h"
#include "host/visu/view/KIVRender.h"

KIV3DAnnotationTextGP::KIV3DAnnotationTextGP(const KIVMathPointf& anchor, const std::string& text, float height,
                                             int alignment) {
  SetAnchor(anchor);
  SetText(text);
  SetHeight(height);
  SetAlignment(alignment);
}

int KIV3DAnnotationTextGP::SetAnchor(const KIVMathPointf& anchor) {
  if (!std::isfinite(anchor.x) || !std::isfinite(anchor.y) || !std::isfinite(anchor.z)) return 0;
  mAnchor = anchor;
  GeometryChanged();
  return 1;
}

void KIV3DAnnotationTextGP::SetText(const std::string& text) {
  // Back ends hand the text to font libraries that expect valid UTF-8.
  mText = kivutf8::Normalize(text);
  GeometryChanged();
}

int KIV3DAnnotationTextGP::SetHeight(float pixels) {
  if (!(pixels > 0.0f) || !std::isfinite(pixels)) return 0;
  mHeight = pixels;
  GeometryChanged();
  return 1;
}

int KIV3DAnnotationTextGP::SetAlignment(int alignment) {
  if ((alignment & ~(HorizontalMask | VerticalMask)) || (alignment & HorizontalMask) == HorizontalMask) return 0;
  mAlignment = alignment;
  GeometryChanged();
  return 1;
}

void KIV3DAnnotationTextGP::Draw(KIVRender& render) { render.Draw3DAnnotationText(*this); }

void KIV3DAnnotationTextGP::GetBoundingPoints(std::vector<float>& points) const {
  points.insert(points.end(), {mAnchor.x, mAnchor.y, mAnchor.z});
}

float KIV3DAnnotationTextGP::GetScreenRadiusMM() const {
  int glyphs = 0;
  for (unsigned char c : mText) glyphs += (c & 0xC0) != 0x80;  // code points, not bytes
  if (glyphs == 0) return 0.0f;
  // Farthest corner of the box from the anchor, wherever the alignment puts it.
  const int h = GetHorizontalAlignment(), v = GetVerticalAlignment();
  const float width = 0.6f * mHeight * static_cast<float>(glyphs);
  const float dx = h == Center ? 0.5f * width : width;
  const float dy = v == Middle ? 0.5f * mHeight : v == Baseline ? 1.2f * mHeight : mHeight;
  return std::hypot(dx, dy) * kMillimetresPerPixel;
}
