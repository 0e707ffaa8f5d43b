#pragma once
// What a render draws on: a pixel size, and the precisions that trade detail for speed.
// The culling precision is the pixel radius below which an object is not drawn; the sag
// precision is the chordal deviation, in pixels, that a level of detail may show.
class KIVSupport {
 public:
  /// Sizes below 1 are taken as 1.
  KIVSupport(int width, int height) { SetSize(width, height); }
  void SetSize(int width, int height) {
    mWidth = width < 1 ? 1 : width;
    mHeight = height < 1 ? 1 : height;
  }
  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  /// Negative values are taken as 0 (nothing culled, finest detail).
  void SetCullingPrecision(float pixels) { mCulling = pixels > 0.0f ? pixels : 0.0f; }
  float GetCullingPrecision() const { return mCulling; }
  void SetSagPrecision(float pixels) { mSag = pixels > 0.0f ? pixels : 0.0f; }
  float GetSagPrecision() const { return mSag; }
 private:
  int mWidth = 1, mHeight = 1;
  float mCulling = 1.0f;
  float mSag = 0.5f;
};
