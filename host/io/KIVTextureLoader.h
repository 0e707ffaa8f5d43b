#pragma once
// The images a model's materials name, decoded once per import: external files are found
// beside the model (a Windows path's backslashes are read as separators, and a path that
// does not exist is tried by its file name alone in the model's folder), embedded ones
// come as bytes. PNG and JPEG are told apart by their signature, not by their name.
#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>

#include "host/visu/scene/KIVTextureImage.h"

class KIVTextureLoader {
 public:
  /// `folder` is where relative paths start (the model file's folder; "" for none).
  explicit KIVTextureLoader(std::string folder) : mFolder(std::move(folder)) {}
  /// The image of a file named by a material; null with a one-line reason when it cannot
  /// be found or decoded. The same reference gives the same image.
  std::shared_ptr<const KIVTextureImage> LoadFile(const std::string& reference, std::string* error);
  /// The image of bytes embedded in the model, cached under `key`.
  std::shared_ptr<const KIVTextureImage> LoadMemory(const std::string& key, const void* data, size_t size,
                                                    std::string* error);
  /// Decodes PNG or JPEG bytes; `label` names them in the reason.
  static std::shared_ptr<const KIVTextureImage> Decode(const void* data, size_t size, const std::string& label,
                                                       std::string* error);

 private:
  std::string Resolve(const std::string& reference) const;
  std::string mFolder;
  std::unordered_map<std::string, std::shared_ptr<const KIVTextureImage>> mImages;  // null: failed before
  std::unordered_map<std::string, std::string> mErrors;
};
