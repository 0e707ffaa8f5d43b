#pragma once
// PNG files of RGBA pixels, rows from the top. Writing goes through a temporary file
// beside the target and a rename, so that a failed write never leaves a truncated image.
#include <cstddef>
#include <string>
#include <vector>

class KIVPngImage {
 public:
  /// Writes width × height RGBA bytes. Returns 1, or 0 with a one-line reason in error
  /// (which may be null) when the arguments are bad or the file cannot be written.
  static int Write(const char* path, int width, int height, const unsigned char* rgba, std::string* error);
  /// Reads any PNG as RGBA. Returns 1, or 0 with a reason, leaving the outputs unchanged.
  static int Read(const char* path, int& width, int& height, std::vector<unsigned char>& rgba, std::string* error);
  /// Reads a PNG held in memory, as Read does; `label` names it in the reason.
  static int ReadMemory(const void* data, size_t size, const char* label, int& width, int& height,
                        std::vector<unsigned char>& rgba, std::string* error);
};
