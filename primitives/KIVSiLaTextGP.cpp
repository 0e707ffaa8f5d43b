#include "primitives/KIVSiLaTextGP.h"

#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/view/KIVRender.h"

KIVSiLaTextGP::KIVSiLaTextGP(const KIVMathPointf& point, const int spacing) : mPoint(point), mSpacing(spacing) {
  const float bounds[3] = {point.x, point.y, point.z};
  SetBoundingPoints(bounds, 3);
}

void KIVSiLaTextGP::AddText(const char* text) {
  std::string line = text ? text : "";
  if (line.size() > kCellSize - 1) {
    size_t cut = kCellSize - 1;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;  // not inside a character
    line.resize(cut);
  }
  mLines.push_back(line);
  GeometryChanged();
}

void KIVSiLaTextGP::CleanText() {
  mLines.clear();
  GeometryChanged();
}

void KIVSiLaTextGP::ImmediateDraw(KIVRender& render, const KIVViewpoint* viewpoint, const KIVViewport*) {
  const auto* camera = dynamic_cast<const KIV3DViewpoint*>(viewpoint);
  if (!camera || mLines.empty()) return;
  const KIVMathDirectionf sight = camera->GetSightDirection(), up = camera->GetUpDirection();
  const float dot = sight.x * up.x + sight.y * up.y + sight.z * up.z;
  if (dot == 1.0f || dot == -1.0f) return;
  // The screen's up direction in the model frame of the text.
  int ok = 0;
  const KIV4x4Matrix inverse = render.GetCurrentMatrix().Inverse(&ok);
  if (!ok) return;
  KIVMathVectorf down = inverse.TransformVector(KIVMathVectorf(-up.x, -up.y, -up.z));
  down.Normalize();
  const float step = static_cast<float>(mSpacing) * render.GetMMFromModelRatio(mPoint);
  while (mDrawn.size() < mLines.size()) mDrawn.push_back(std::make_unique<KIV3DAnnotationTextGP>());
  KIVMathPointf at = mPoint;
  for (size_t i = 0; i < mLines.size(); ++i) {
    at = at + down * step;
    KIV3DAnnotationTextGP& text = *mDrawn[i];
    text.SetAnchor(at);
    text.SetText(mLines[i]);
    text.SetAlignment(KIV3DAnnotationTextGP::AlignmentOf(KIV3DAnnotationTextGP::BottomLeft));
    render.Draw3DAnnotationText(text);
  }
}
