#include "host/visu/scene/KIVRepPathList.h"

#include <climits>
#include <cstdio>
#include <new>

namespace {
constexpr int kFirstCapacity = 5;
void ReportAllocation() { std::fprintf(stderr, "ERROR - KIVRepPathList: Enable to allocate List\n"); }
}  // namespace

KIVRepPathList::KIVRepPathList() {
  mArray = new (std::nothrow) KIVRepPath*[kFirstCapacity];
  if (mArray)
    mCapacity = kFirstCapacity;
  else
    ReportAllocation();
}

KIVRepPathList::~KIVRepPathList() { delete[] mArray; }

int KIVRepPathList::Grow() {
  if (mCapacity > INT_MAX / 2) {
    ReportAllocation();
    return 0;
  }
  const int capacity = mCapacity > 0 ? 2 * mCapacity : kFirstCapacity;
  auto* grown = new (std::nothrow) KIVRepPath*[capacity];
  if (!grown) {
    ReportAllocation();
    return 0;
  }
  for (int i = 0; i < mCount; ++i) grown[i] = mArray[i];
  delete[] mArray;
  mArray = grown;
  mCapacity = capacity;
  return 1;
}

int KIVRepPathList::Add(KIVRepPath* path) {
  if (!path || IsPresent(path)) return 0;
  if (mCount == mCapacity && !Grow()) return 0;
  mArray[mCount++] = path;
  mMembers.insert(path);
  return 1;
}

int KIVRepPathList::Remove(const KIVRepPath* path) {
  if (!mMembers.erase(path)) return 0;
  int i = 0;
  while (mArray[i] != path) ++i;
  for (int k = i + 1; k < mCount; ++k) mArray[k - 1] = mArray[k];
  --mCount;
  if (i < mCursor) --mCursor;
  return 1;
}

void KIVRepPathList::Clear() {
  mCount = 0;
  mCursor = 0;
  mMembers.clear();
}
