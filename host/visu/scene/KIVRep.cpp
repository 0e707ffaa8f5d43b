#include "host/visu/scene/KIVRep.h"

#include <algorithm>
#include <climits>

#include "host/visu/scene/KIVSceneChangeLog.h"

KIV_IMPLEMENT_METAOBJECT(KIVRep, KIVEventSubscriber)

KIVRep::~KIVRep() {
  while (!mParents.empty()) Unlink(mParents.back(), this);
  while (!mChildren.empty()) Unlink(this, mChildren.back());
  Touch();
  KIVSceneChangeLog::Record(this, KIVSceneChangeLog::Children);
}

void KIVRep::SetGraphicAttributeSet(const KIVGraphicAttributeSet& set) {
  const bool visibility = set.GetFlag(KIVGraphicAttributeSet::Hidden) != mAttributes.GetFlag(KIVGraphicAttributeSet::Hidden);
  const bool pickable =
      set.GetFlag(KIVGraphicAttributeSet::NotPickable) != mAttributes.GetFlag(KIVGraphicAttributeSet::NotPickable);
  mAttributes = set;
  Touch();
  if (visibility || pickable) KIVSceneChangeLog::Record(this, KIVSceneChangeLog::Visibility);
  if (visibility) {
    BoundsChanged();
    // A bag that was hidden may have stayed dirty without telling its parents of later
    // changes beneath it: tell them now, whatever its own state.
    for (KIVRep* p : mParents) p->ChildBoundsChanged(this);
  }
}

void KIVRep::SetRGBA(unsigned char r, unsigned char g, unsigned char b, unsigned char a) {
  mAttributes.SetRGBA(r, g, b, a);
  Touch();
}

void KIVRep::SetShowMode(int mode, int) {
  KIVGraphicAttributeSet set = mAttributes;
  set.SetFlag(KIVGraphicAttributeSet::Hidden, mode != 0);
  SetGraphicAttributeSet(set);
}

void KIVRep::SetHighlightMode(int mode, int) {
  KIVGraphicAttributeSet set = mAttributes;
  set.SetFlag(KIVGraphicAttributeSet::Selected, mode != 0);
  SetGraphicAttributeSet(set);
}

int KIVRep::SetIdentificator(long id) {
  if (id < INT_MIN || id > INT_MAX) return 0;
  mId.SetIntId(static_cast<int>(id));
  return 1;
}

void KIVRep::BoundsChanged() {
  if (mSoleParent) {
    mSoleParent->ChildBoundsChanged(this);
    return;
  }
  for (KIVRep* p : mParents) p->ChildBoundsChanged(this);
}

void KIVRep::ParentsChanged() { mSoleParent = mParents.size() == 1 ? mParents.front() : nullptr; }

int KIVRep::UnlinkAll(KIVRep* parent) {
  if (!parent || parent->mChildren.empty()) return 0;
  std::vector<KIVRep*> children;
  children.swap(parent->mChildren);
  ++parent->mChildrenVersion;
  for (KIVRep* child : children) {
    auto pit = std::find(child->mParents.begin(), child->mParents.end(), parent);
    if (pit != child->mParents.end()) child->mParents.erase(pit);
    child->ParentsChanged();
  }
  parent->Touch();
  KIVSceneChangeLog::Record(parent, KIVSceneChangeLog::Children);
  parent->BoundsChanged();
  return static_cast<int>(children.size());
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
  ++parent->mChildrenVersion;
  child->mParents.push_back(parent);
  child->ParentsChanged();
  parent->Touch();
  KIVSceneChangeLog::Record(parent, KIVSceneChangeLog::Children);
  parent->BoundsChanged();
  return 1;
}

int KIVRep::Unlink(KIVRep* parent, KIVRep* child) {
  if (!parent || !child) return 0;
  auto it = std::find(parent->mChildren.begin(), parent->mChildren.end(), child);
  if (it == parent->mChildren.end()) return 0;
  parent->mChildren.erase(it);
  ++parent->mChildrenVersion;
  auto pit = std::find(child->mParents.begin(), child->mParents.end(), parent);
  if (pit != child->mParents.end()) child->mParents.erase(pit);
  child->ParentsChanged();
  parent->Touch();
  KIVSceneChangeLog::Record(parent, KIVSceneChangeLog::Children);
  parent->BoundsChanged();
  return 1;
}
