// Picking through a viewer and finding a path by model identifiers, of NavToolsVisu.
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/scene/KIVRepPath.h"
#include "navigation/NavToolsVisu.h"

namespace {
// The first path of the pick that goes through the main viewpoint, copied to out.
int PickMain(KIV3DViewer* viewer, int x, int y, KIVPickPath& out) {
  KIVPickPathList paths;
  viewer->Pick(x, y, paths);
  for (int i = 0; i < paths.GetSize(); ++i)
    if (paths[i]->GetViewpoint() == viewer->GetMain3DViewpoint()) {
      out = *paths[i];
      return 1;
    }
  return 0;
}

int IntId(const KIVRep* rep) {
  const KIVModelIdentificator* id = rep->GetIdentificator();
  return id ? id->GetIntId() : 0;
}

int SameClass(const KIVRep* a, const KIVRep* b) {
  const char *x = a->IsA(), *y = b->IsA();
  return x == y || (x && y && std::strcmp(x, y) == 0);
}

// The first group of ids that a (head, child) pair matches: groups of three compare the
// first and third identifiers, a last group of two its two, a last group of one its
// head. Long id lists index their full groups by (head, child) once, so each child of
// the walk costs one look-up rather than a scan of the groups.
class IdGroups {
 public:
  IdGroups(int count, const int* ids) : mCount(count), mIds(ids), mLast(3 * ((count - 1) / 3)) {
    if (count / 3 <= kScanLimit) return;
    for (int k = count / 3 * 3 - 3; k >= 0; k -= 3) mFull[Key(ids[k], ids[k + 2])] = k;
  }
  /// The index of the first matching group, -1 when none; its size in size.
  int First(int h, int i, int& size) const {
    const int full = mCount / 3 * 3;  // the ids that form groups of three
    int k = -1;
    if (mFull.empty()) {
      for (int g = 0; g < full && k < 0; g += 3)
        if (h == mIds[g] && i == mIds[g + 2]) k = g;
    } else if (auto it = mFull.find(Key(h, i)); it != mFull.end()) {
      k = it->second;
    }
    if (k >= 0) {
      size = 3;
      return k;
    }
    const int rest = mCount - full;
    if (rest == 2 && h == mIds[full] && i == mIds[full + 1]) size = 2;
    else if (rest == 1 && h == mIds[full]) size = 1;
    else return -1;
    return full;
  }
  int IsLast(int k) const { return k == mLast; }

 private:
  static constexpr int kScanLimit = 8;
  static std::uint64_t Key(int h, int i) {
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(h)) << 32 | static_cast<std::uint32_t>(i);
  }
  int mCount;
  const int* mIds;
  int mLast;  // index of the last group
  std::unordered_map<std::uint64_t, int> mFull;
};
}  // namespace

int NavToolsVisu::DistanceToCollision(KIV3DViewer* viewer, KIVPickPath& out) {
  if (!viewer) return 0;
  int w = 0, h = 0;
  viewer->GetGraphicSize(&w, &h);
  return PickMain(viewer, static_cast<int>(w * 0.5), static_cast<int>(h * 0.5), out);
}

int NavToolsVisu::DecodePickPath(KIVManipulator*, KIVNotification* notification, KIV3DViewer* viewer,
                                 KIVPickPath& out) {
  const KIVMouseEvent* mouse = KIVManipulator::GetMouseEvent(notification);
  if (!viewer || !mouse) return 0;
  return PickMain(viewer, mouse->GetX(), mouse->GetY(), out);
}

KIVRepPath* NavToolsVisu::GetRepPathById(KIV3DBagRep* bag, int count, int* ids) {
  if (!bag || count <= 0 || !ids) return nullptr;
  constexpr int kLevels = 40;
  KIVRep* reps[kLevels];
  const std::vector<KIVRep*>* lists[kLevels];
  size_t next[kLevels];
  const IdGroups groups(count, ids);
  int top = 0;
  reps[0] = bag;
  lists[0] = &bag->GetChildren();
  next[0] = 0;
  while (top >= 0) {
    if (next[top] >= lists[top]->size()) {
      --top;
      continue;
    }
    KIVRep* child = (*lists[top])[next[top]++];
    int size = 0;
    const int k = groups.First(IntId(reps[3 * (top / 3)]), IntId(child), size);
    if (k >= 0 && groups.IsLast(k)) {
      auto* path = new KIVRepPath;
      for (int level = 0; level <= top; ++level) path->AddRep(reps[level]);
      if (size > 1) path->AddRep(child);
      return path;
    }
    if (top + 1 < kLevels && SameClass(child, reps[top])) {
      ++top;
      reps[top] = child;
      lists[top] = &child->GetChildren();
      next[top] = 0;
    }
  }
  return nullptr;
}
