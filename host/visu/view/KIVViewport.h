#pragma once
// The pixel rectangle a frame is drawn in, as dynamic primitives are told it.
class KIVViewport {
 public:
  KIVViewport(int width, int height) : mWidth(width), mHeight(height) {}
  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }

 private:
  int mWidth, mHeight;
};
