#include "host/visu/view/KIVViewpoint.h"

#include <algorithm>

KIV_IMPLEMENT_METAOBJECT(KIVViewpoint, KIVEventSubscriber)

const char* const KIVViewpoint::VIEWPOINT_MODIFIED = "VIEWPOINT_MODIFIED";
const char* const KIVViewpoint::VIEWPOINT_ANIMATION_STARTED = "VIEWPOINT_ANIMATION_STARTED";
const char* const KIVViewpoint::VIEWPOINT_ANIMATION_STOPED = "VIEWPOINT_ANIMATION_STOPED";

KIVViewpoint::~KIVViewpoint() = default;

int KIVViewpoint::AddRep(KIVRep* rep, int kind) {
  if (!rep || std::find(mReps.begin(), mReps.end(), rep) != mReps.end()) return 0;
  mReps.push_back(rep);
  mKinds.push_back(kind);
  // No change of structure: no tree changed, and pick scenes compare their roots.
  Changed();
  return 1;
}

int KIVViewpoint::RemoveRep(KIVRep* rep, int kind) {
  auto it = std::find(mReps.begin(), mReps.end(), rep);
  if (it == mReps.end()) return 0;
  const auto i = it - mReps.begin();
  if (kind >= 0 && mKinds[i] != kind) return 0;
  mReps.erase(it);
  mKinds.erase(mKinds.begin() + i);
  Changed();
  return 1;
}

int KIVViewpoint::GetRepKind(const KIVRep* rep) const {
  auto it = std::find(mReps.begin(), mReps.end(), rep);
  return it == mReps.end() ? -1 : mKinds[it - mReps.begin()];
}

void KIVViewpoint::EndModification(int notify) {
  if (mModificationDepth == 0) return;
  if (notify) mPendingNotify = 1;
  if (--mModificationDepth > 0) return;
  const int publish = mPendingNotify;
  mPendingNotify = 0;
  if (publish) Publish(VIEWPOINT_MODIFIED);
}

void KIVViewpoint::BeginAnimation(const void*) {
  if (mAnimationDepth++ == 0) Publish(VIEWPOINT_ANIMATION_STARTED);
}

void KIVViewpoint::EndAnimation(const void*) {
  if (mAnimationDepth == 0) return;
  if (--mAnimationDepth == 0) Publish(VIEWPOINT_ANIMATION_STOPED);
}

void KIVViewpoint::Publish(const char* event) {
  if (event == VIEWPOINT_MODIFIED) ++mModifications;
  if (event != VIEWPOINT_ANIMATION_STOPED) Changed();
  GetCallbackManager()->DispatchCallbacks(event, nullptr, nullptr);
}
