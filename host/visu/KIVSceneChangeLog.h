#pragma once
// The changes to the scene that caches can follow cheaply (a bag's matrix moved, a rep was
// shown, hidden or made unpickable, a leaf's geometry changed), in order, and a version
// of the structure (links, deletions, viewpoint contents) that, when it moves, tells the
// caches to start over. A reader keeps the structure version and the number of entries it
// has read. The log is bounded: when it fills up it empties and the structure version
// moves, so that a reader never misses an entry.
#include <cstddef>
#include <vector>
class KIVRep;
class KIVSceneChangeLog {
 public:
  enum Kind { Matrix = 1, Visibility = 2, Geometry = 3 };
  struct Entry {
    const KIVRep* rep;
    int kind;
  };
  static constexpr std::size_t kCapacity = 8192;
  static void RecordStructure() {
    ++sStructure;
    sEntries.clear();
  }
  static void Record(const KIVRep* rep, int kind) {
    if (sEntries.size() >= kCapacity) {
      RecordStructure();
      return;
    }
    sEntries.push_back({rep, kind});
  }
  static unsigned long GetStructureVersion() { return sStructure; }
  static const std::vector<Entry>& GetEntries() { return sEntries; }
 private:
  static inline unsigned long sStructure = 1;
  static inline std::vector<Entry> sEntries;
};
