#include "host/io/KIVJpegImage.h"

#include <fstream>
#include <iterator>

#if defined(NAVTOOLS_HAVE_JPEG)
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <cstdio>
// jpeglib.h expects size_t and FILE declared before it.
#include <jpeglib.h>
#endif

namespace {
int Fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return 0;
}

#if defined(NAVTOOLS_HAVE_JPEG)
constexpr unsigned long long kMaxPixels = 1ull << 28;

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back
// to Decode with the message.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

void Silent(j_common_ptr, int) {}

// Only plain C objects live between setjmp and longjmp, so that the jump skips no
// destructor: the pixels go to a buffer that the caller owns and sized once.
int Decode(const unsigned char* data, unsigned long size, unsigned char** pixels, int* width, int* height,
           char* reason) {
  jpeg_decompress_struct info;
  std::memset(&info, 0, sizeof info);  // destroying it before creation is then harmless
  ErrorManager errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = ErrorExit;
  errors.base.emit_message = Silent;
  errors.message[0] = 0;
  *pixels = nullptr;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    std::free(*pixels);
    *pixels = nullptr;
    std::snprintf(reason, JMSG_LENGTH_MAX, "%s", errors.message[0] ? errors.message : "damaged image");
    return 0;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_RGBA;
  jpeg_start_decompress(&info);
  if (static_cast<unsigned long long>(info.output_width) * info.output_height > kMaxPixels ||
      info.output_components != 4) {
    jpeg_destroy_decompress(&info);
    std::snprintf(reason, JMSG_LENGTH_MAX, "%s", "image too large or of an unknown layout");
    return 0;
  }
  const size_t row = 4 * static_cast<size_t>(info.output_width);
  *pixels = static_cast<unsigned char*>(std::malloc(row * info.output_height));
  if (!*pixels) {
    jpeg_destroy_decompress(&info);
    std::snprintf(reason, JMSG_LENGTH_MAX, "%s", "out of memory");
    return 0;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW line = *pixels + row * info.output_scanline;
    jpeg_read_scanlines(&info, &line, 1);
  }
  *width = static_cast<int>(info.output_width);
  *height = static_cast<int>(info.output_height);
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return 1;
}
#endif
}  // namespace

int KIVJpegImage::IsAvailable() {
#if defined(NAVTOOLS_HAVE_JPEG)
  return 1;
#else
  return 0;
#endif
}

int KIVJpegImage::ReadMemory(const void* data, size_t size, const char* label, int& width, int& height,
                             std::vector<unsigned char>& rgba, std::string* error) {
  const std::string name = label && *label ? label : "image in memory";
  if (!data || size == 0) return Fail(error, "cannot read " + name + ": no data");
#if defined(NAVTOOLS_HAVE_JPEG)
  if (size > 0xffffffffull) return Fail(error, "cannot read " + name + ": file too large");
  unsigned char* pixels = nullptr;
  int w = 0, h = 0;
  char reason[JMSG_LENGTH_MAX] = {0};
  if (!Decode(static_cast<const unsigned char*>(data), static_cast<unsigned long>(size), &pixels, &w, &h, reason))
    return Fail(error, "cannot read " + name + ": " + reason);
  rgba.assign(pixels, pixels + 4 * static_cast<size_t>(w) * static_cast<size_t>(h));
  std::free(pixels);
  width = w;
  height = h;
  return 1;
#else
  (void)width, (void)height, (void)rgba;
  return Fail(error, "cannot read " + name + ": JPEG support not built");
#endif
}

int KIVJpegImage::Read(const char* path, int& width, int& height, std::vector<unsigned char>& rgba,
                       std::string* error) {
  if (!path || !*path) return Fail(error, "no file name given for the image");
  const std::string label = std::string("'") + path + "'";
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(error, "cannot read " + label + ": cannot open the file");
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return Fail(error, "cannot read " + label + ": read error");
  return ReadMemory(bytes.data(), bytes.size(), label.c_str(), width, height, rgba, error);
}
