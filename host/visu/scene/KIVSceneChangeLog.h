#pragma once
// The changes to scene trees that caches over them follow cheaply: a bag's matrix moved, a
// rep was shown, hidden or made unpickable, a leaf's geometry changed, a rep's children
// changed. Each change goes at once to the readers (pick scenes), and each reader keeps
// only what concerns the trees it covers, so that a change in one scene (a dialog's
// overlay, a bag emptied for an occlusion frame) costs other scenes nothing.
#include <cstddef>
#include <vector>
class KIVRep;
class KIVSceneChangeLog {
 public:
  /// Children: the rep gained or lost a child (or is going away).
  enum Kind { Matrix = 1, Visibility = 2, Geometry = 3, Children = 4 };
  class Reader {
   public:
    virtual void SceneChanged(const KIVRep* rep, int kind) = 0;

   protected:
    ~Reader() = default;
  };
  static void AddReader(Reader* reader);
  static void RemoveReader(Reader* reader);
  static void Record(const KIVRep* rep, int kind) {
    for (std::size_t i = 0; i < sReaders.size(); ++i) sReaders[i]->SceneChanged(rep, kind);
  }

 private:
  static inline std::vector<Reader*> sReaders;
};
