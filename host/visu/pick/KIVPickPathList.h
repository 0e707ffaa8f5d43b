#pragma once
// The result of a pick: paths, nearest first, owned by the list.
#include <memory>
#include <vector>
#include "host/visu/pick/KIVPickPath.h"
class KIVPickPathList {
 public:
  KIVPickPathList() = default;
  KIVPickPathList(const KIVPickPathList&) = delete;
  KIVPickPathList& operator=(const KIVPickPathList&) = delete;
  int GetSize() const { return static_cast<int>(mPaths.size()); }
  /// Null outside [0, GetSize()).
  KIVPickPath* GetPath(int i) const { return i >= 0 && i < GetSize() ? mPaths[i].get() : nullptr; }
  KIVPickPath* operator[](int i) const { return GetPath(i); }
  /// Takes ownership; null is refused.
  int AddPath(KIVPickPath* path) {
    if (!path) return 0;
    mPaths.emplace_back(path);
    return 1;
  }
  void Clear() { mPaths.clear(); }
 private:
  std::vector<std::unique_ptr<KIVPickPath>> mPaths;
};
