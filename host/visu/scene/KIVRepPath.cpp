#include "host/visu/scene/KIVRepPath.h"

#include <algorithm>

int KIVRepPath::AddRep(KIVRep* rep) {
  if (!rep) return 0;
  mReps.push_back(rep);
  return 1;
}

int KIVRepPath::RemoveRep(KIVRep* rep) {
  auto it = std::find(mReps.rbegin(), mReps.rend(), rep);
  if (it == mReps.rend()) return 0;
  mReps.erase(std::next(it).base());
  mCursor = std::min(mCursor, GetSize());
  return 1;
}
