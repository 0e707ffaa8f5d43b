#include "host/io/KIVPngImage.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace {
int Fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return 0;
}

// Larger images than this are refused before any pixel memory is asked for: a damaged
// header must not make us allocate gigabytes.
constexpr unsigned long long kMaxPixels = 1ull << 28;

// Decodes an image whose header was read; the image is freed either way.
int Finish(png_image& image, const std::string& label, int& width, int& height, std::vector<unsigned char>& rgba,
           std::string* error) {
  if (static_cast<unsigned long long>(image.width) * image.height > kMaxPixels) {
    png_image_free(&image);
    return Fail(error, "cannot read " + label + ": image too large");
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
    const std::string reason = image.message[0] ? image.message : "damaged image";
    png_image_free(&image);
    return Fail(error, "cannot read " + label + ": " + reason);
  }
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  rgba.swap(pixels);
  return 1;
}
}  // namespace

int KIVPngImage::Write(const char* path, int width, int height, const unsigned char* rgba, std::string* error) {
  if (!path || !*path) return Fail(error, "no file name given for the image");
  if (!rgba || width < 1 || height < 1 || width > 65535 || height > 65535)
    return Fail(error, std::string("cannot write '") + path + "': bad image size or no pixels");
  const std::string target(path);
  const std::string temporary = target + ".tmp";
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, temporary.c_str(), 0, rgba, 0, nullptr)) {
    const std::string reason = image.message[0] ? image.message : "write failed";
    png_image_free(&image);
    std::remove(temporary.c_str());
    return Fail(error, "cannot write '" + target + "': " + reason);
  }
  std::error_code code;
  std::filesystem::rename(temporary, target, code);
  if (code) {
    std::remove(temporary.c_str());
    return Fail(error, "cannot write '" + target + "': " + code.message());
  }
  return 1;
}

int KIVPngImage::Read(const char* path, int& width, int& height, std::vector<unsigned char>& rgba,
                      std::string* error) {
  if (!path || !*path) return Fail(error, "no file name given for the image");
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path))
    return Fail(error, std::string("cannot read '") + path + "': " + (image.message[0] ? image.message : "not a PNG"));
  return Finish(image, std::string("'") + path + "'", width, height, rgba, error);
}

int KIVPngImage::ReadMemory(const void* data, size_t size, const char* label, int& width, int& height,
                            std::vector<unsigned char>& rgba, std::string* error) {
  const std::string name = label && *label ? label : "image in memory";
  if (!data || size == 0) return Fail(error, "cannot read " + name + ": no data");
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data, size))
    return Fail(error, "cannot read " + name + ": " + (image.message[0] ? image.message : "not a PNG"));
  return Finish(image, name, width, height, rgba, error);
}
