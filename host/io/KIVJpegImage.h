#pragma once
// JPEG files decoded to RGBA pixels (alpha 255), rows from the top, through libjpeg.
// Without libjpeg at build time every read fails with that reason.
#include <cstddef>
#include <string>
#include <vector>

class KIVJpegImage {
 public:
  /// Reads a JPEG file. Returns 1, or 0 with a one-line reason in error (which may be
  /// null), leaving the outputs unchanged.
  static int Read(const char* path, int& width, int& height, std::vector<unsigned char>& rgba, std::string* error);
  /// Reads a JPEG held in memory; `label` names it in the reason.
  static int ReadMemory(const void* data, size_t size, const char* label, int& width, int& height,
                        std::vector<unsigned char>& rgba, std::string* error);
  /// 1 when JPEG support was built in.
  static int IsAvailable();
};
