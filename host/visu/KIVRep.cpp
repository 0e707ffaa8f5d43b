#include "host/visu/KIVRep.h"

#include <algorithm>

KIV_IMPLEMENT_METAOBJECT(KIVRep, KIVEventSubscriber)

KIVRep::~KIVRep() {
  while (!mParents.empty()) Unlink(mParents.back(), this);
  while (!mChildren.empty()) Unlink(this, mChildren.back());
}

void KIVRep::SetRGBA(unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
  mRGBA[0] = r;
  mRGBA[1] = g;
  mRGBA[2] = b;
  mRGBA[3] = a;
}

bool KIVRep::IsAncestorOf(const KIVRep* rep) const {
  if (!rep) return false;
  for (const KIVRep* p : rep->mParents)
    if (p == this || IsAncestorOf(p)) return true;
  return false;
}

int KIVRep::Link(KIVRep* parent, KIVRep* child) {
  if (!parent || !child || parent == child || child->IsAncestorOf(parent)) return 0;
  parent->mChildren.push_back(child);
  child->mParents.push_back(parent);
  return 1;
}

int KIVRep::Unlink(KIVRep* parent, KIVRep* child) {
  if (!parent || !child) return 0;
  auto it = std::find(parent->mChildren.begin(), parent->mChildren.end(), child);
  if (it == parent->mChildren.end()) return 0;
  parent->mChildren.erase(it);
  auto pit = std::find(child->mParents.begin(), child->mParents.end(), parent);
  if (pit != child->mParents.end()) child->mParents.erase(pit);
  return 1;
}
