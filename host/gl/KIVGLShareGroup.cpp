#include "host/gl/KIVGLShareGroup.h"

#include <algorithm>

#include "host/gl/KIVGLBatches.h"
#include "host/gl/KIVGLMeshCache.h"
#include "host/gl/KIVGLTextureCache.h"

KIVGLShareGroup::KIVGLShareGroup()
    : mMeshes(std::make_unique<KIVGLMeshCache>()),
      mBatches(std::make_unique<KIVGLBatches>()),
      mTextures(std::make_unique<KIVGLTextureCache>()) {}

KIVGLShareGroup::~KIVGLShareGroup() = default;

long long KIVGLShareGroup::GetBufferBytes() const { return mMeshes->GetBytes() + mBatches->GetBytes(); }

void KIVGLShareGroup::Sweep(int idleFrames) {
  // The clock counts the frames of all the renders: an entry of a window that is drawn
  // seldom must outlive the frames of the others.
  const long long idle = static_cast<long long>(std::max(2, idleFrames)) * std::max(1, mRenders);
  if (mFrame - mLastSweep < std::max(1LL, idle / 2)) return;
  mLastSweep = mFrame;
  mMeshes->Sweep(mFrame, idle);
  mBatches->Sweep(mFrame, idle, mRenders);
  mTextures->Sweep(mFrame, idle);
}

void KIVGLShareGroup::Forget() {
  mMeshes->Forget();
  mBatches->Forget();
  mTextures->Forget();
}
