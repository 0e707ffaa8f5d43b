#include "host/visu/scene/KIV3DRep.h"

#include "host/visu/view/KIVRender.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DRep, KIVRep)

KIV3DRep::~KIV3DRep() {
  if (mUntold) TellUntold();
}

void KIV3DRep::BoundsChangedLater() {
  if (mUntold) return;
  mUntold = true;
  sUntold.push_back(this);
}

void KIV3DRep::TellUntold() {
  // Taken out first, so that the loop walks a list that nothing else changes.
  std::vector<KIV3DRep*> untold;
  untold.swap(sUntold);
  const size_t n = untold.size();
  auto fetch = [](const void* p) {
    const char* c = static_cast<const char*>(p);
    for (int line = 0; line < 3; ++line) __builtin_prefetch(c + 64 * line, 1);
  };
  for (size_t i = 0; i < n; ++i) {
    if (i + 32 < n) fetch(untold[i + 32]);
    if (i + 16 < n)
      if (const KIVRep* parent = untold[i + 16]->GetSoleParent()) fetch(parent);
    untold[i]->mUntold = false;
    untold[i]->KIVRep::BoundsChanged();
  }
  untold.clear();
  if (sUntold.empty()) sUntold.swap(untold);  // keeps the room for the next time
}

void KIV3DRep::SetBoundingElement(const KIV3DBoundingSphere& sphere) {
  mBounds = sphere;
  mBoundsDirty = false;
  Touch();
  KIVRep::BoundsChanged();
}

void KIV3DRep::AddBoundingElement(const KIV3DBoundingSphere& sphere) {
  KIV3DBoundingSphere grown = GetBoundingElement();
  grown += sphere;
  SetBoundingElement(grown);
}

void KIV3DRep::BoundsChanged() { KIVRep::BoundsChanged(); }

void KIV3DRep::DrawShading(KIVRender& render, int mode) { render.DrawDefault(*this, mode); }
