#include "host/visu/scene/KIVDynamicGP.h"

#include "host/visu/view/KIVRender.h"

void KIVDynamicGP::SetCallback(Callback callback) {
  mCallback = std::move(callback);
  GeometryChanged();
}

int KIVDynamicGP::Generate(KIVRender& render) const {
  if (!mCallback) return 0;
  // A copy, so that a callback that replaces itself does not destroy the one running.
  const Callback run = mCallback;
  run(render);
  return 1;
}

int KIVDynamicGP::SetBoundingPoints(const float* points, int pointFloats) {
  if (pointFloats < 0 || (pointFloats > 0 && !points)) return 0;
  mBounds.assign(points, points + (pointFloats - pointFloats % 3));
  GeometryChanged();
  return 1;
}

void KIVDynamicGP::Draw(KIVRender& render) { render.DrawDynamicGP(*this); }

void KIVDynamicGP::ImmediateDraw(KIVRender& render, const KIVViewpoint*, const KIVViewport*) { Generate(render); }

void KIVDynamicGP::GetBoundingPoints(std::vector<float>& points) const {
  points.insert(points.end(), mBounds.begin(), mBounds.end());
}
