#pragma once
// An RGBA image that faces are textured with, rows from the top, with how texture
// coordinates outside 0..1 are treated along u and v. Faces hold it shared, so that a
// file's image used by many meshes is decoded and uploaded once; the serial (unique over
// the process, never reused) keys the GPU copy.
#include <memory>
#include <string>
#include <vector>

class KIVTextureImage {
 public:
  enum Wrap { Repeat = 0, Clamp = 1, Mirror = 2 };
  /// Takes width × height RGBA bytes. Sizes that are not positive, or a pixel count that
  /// does not match, give an empty image (IsEmpty), which faces draw untextured.
  KIVTextureImage(int width, int height, std::vector<unsigned char> rgba, std::string name = {});
  KIVTextureImage(const KIVTextureImage&) = delete;
  KIVTextureImage& operator=(const KIVTextureImage&) = delete;

  bool IsEmpty() const { return mRGBA.empty(); }
  int GetWidth() const { return mWidth; }
  int GetHeight() const { return mHeight; }
  const std::vector<unsigned char>& GetRGBA() const { return mRGBA; }
  /// Where the image came from (a file name, or "*0" for an embedded one).
  const std::string& GetName() const { return mName; }
  /// One of Wrap along u and v; other values are refused (0).
  int SetWrap(int u, int v);
  int GetWrapU() const { return mWrapU; }
  int GetWrapV() const { return mWrapV; }
  /// 1 when some pixel is not opaque, so that faces with it blend.
  int HasAlpha() const { return mAlpha; }
  unsigned long long GetSerial() const { return mSerial; }

 private:
  int mWidth = 0, mHeight = 0;
  std::vector<unsigned char> mRGBA;
  std::string mName;
  int mWrapU = Repeat, mWrapV = Repeat;
  int mAlpha = 0;
  unsigned long long mSerial;
};
