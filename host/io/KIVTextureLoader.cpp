#include "host/io/KIVTextureLoader.h"

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "host/io/KIVJpegImage.h"
#include "host/io/KIVPngImage.h"

namespace {
// Image files larger than this are not textures anyone means to draw.
constexpr std::uintmax_t kMaxFileBytes = 256u << 20;

bool Starts(const unsigned char* bytes, size_t size, const unsigned char* magic, size_t count) {
  return size >= count && std::memcmp(bytes, magic, count) == 0;
}
}  // namespace

std::shared_ptr<const KIVTextureImage> KIVTextureLoader::Decode(const void* data, size_t size,
                                                                const std::string& label, std::string* error) {
  static const unsigned char kPng[] = {0x89, 'P', 'N', 'G'}, kJpeg[] = {0xFF, 0xD8, 0xFF};
  const auto* bytes = static_cast<const unsigned char*>(data);
  int width = 0, height = 0;
  std::vector<unsigned char> rgba;
  int ok = 0;
  if (bytes && Starts(bytes, size, kPng, sizeof kPng))
    ok = KIVPngImage::ReadMemory(data, size, label.c_str(), width, height, rgba, error);
  else if (bytes && Starts(bytes, size, kJpeg, sizeof kJpeg))
    ok = KIVJpegImage::ReadMemory(data, size, label.c_str(), width, height, rgba, error);
  else if (error)
    *error = "cannot read " + label + ": not a PNG or JPEG image";
  if (!ok) return nullptr;
  return std::make_shared<const KIVTextureImage>(width, height, std::move(rgba), label);
}

std::string KIVTextureLoader::Resolve(const std::string& reference) const {
  std::string name = reference;
  for (char& c : name)
    if (c == '\\') c = '/';
  namespace fs = std::filesystem;
  std::error_code code;
  const fs::path given(name);
  const fs::path folder(mFolder.empty() ? "." : mFolder);
  const fs::path first = given.is_absolute() ? given : folder / given;
  if (fs::is_regular_file(first, code)) return first.string();
  const fs::path alone = folder / given.filename();
  if (!given.filename().empty() && fs::is_regular_file(alone, code)) return alone.string();
  return {};
}

std::shared_ptr<const KIVTextureImage> KIVTextureLoader::LoadFile(const std::string& reference, std::string* error) {
  if (auto it = mImages.find(reference); it != mImages.end()) {
    if (!it->second && error) *error = mErrors[reference];
    return it->second;
  }
  std::shared_ptr<const KIVTextureImage> image;
  std::string reason;
  const std::string path = Resolve(reference);
  std::error_code code;
  if (path.empty()) {
    reason = "texture '" + reference + "' not found";
  } else if (std::filesystem::file_size(path, code) > kMaxFileBytes || code) {
    reason = "texture '" + reference + "' too large or unreadable";
  } else {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
      reason = "cannot read texture '" + reference + "'";
    else
      image = Decode(bytes.data(), bytes.size(), "texture '" + reference + "'", &reason);
  }
  mImages[reference] = image;
  if (!image) mErrors[reference] = reason;
  if (!image && error) *error = reason;
  return image;
}

std::shared_ptr<const KIVTextureImage> KIVTextureLoader::LoadMemory(const std::string& key, const void* data,
                                                                   size_t size, std::string* error) {
  if (auto it = mImages.find(key); it != mImages.end()) {
    if (!it->second && error) *error = mErrors[key];
    return it->second;
  }
  std::string reason;
  auto image = Decode(data, size, "embedded texture '" + key + "'", &reason);
  mImages[key] = image;
  if (!image) mErrors[key] = reason;
  if (!image && error) *error = reason;
  return image;
}
