#include "host/visu/scene/KIVTextureImage.h"

#include <atomic>

namespace {
unsigned long long NextSerial() {
  static std::atomic<unsigned long long> next{0};
  return ++next;
}
}  // namespace

KIVTextureImage::KIVTextureImage(int width, int height, std::vector<unsigned char> rgba, std::string name)
    : mName(std::move(name)), mSerial(NextSerial()) {
  if (width <= 0 || height <= 0 || static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) * 4u !=
                                       rgba.size())
    return;
  mWidth = width;
  mHeight = height;
  mRGBA = std::move(rgba);
  for (size_t i = 3; i < mRGBA.size(); i += 4)
    if (mRGBA[i] != 255) {
      mAlpha = 1;
      break;
    }
}

int KIVTextureImage::SetWrap(int u, int v) {
  auto valid = [](int w) { return w == Repeat || w == Clamp || w == Mirror; };
  if (!valid(u) || !valid(v)) return 0;
  mWrapU = u;
  mWrapV = v;
  return 1;
}
