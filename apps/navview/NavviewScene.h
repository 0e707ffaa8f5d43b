#pragma once
// The models navview shows: every rep it made or imported, their names, and which bags are
// models (what a pick names and what an object move carries). The scene owns its reps and
// frees them, children first, when it goes.
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"

class NavviewScene {
 public:
  NavviewScene();
  ~NavviewScene();
  NavviewScene(const NavviewScene&) = delete;
  NavviewScene& operator=(const NavviewScene&) = delete;

  /// The bag every model hangs under; the viewer's official root holds it.
  KIV3DBagRep* GetRoot() const { return mRoot; }
  /// A bag made by the scene, linked under parent (the root when null) and named.
  KIV3DBagRep* AddBag(KIV3DBagRep* parent, const std::string& name, bool model);
  /// A leaf made by the scene, linked under parent and named.
  KIV3DCustomRep* AddLeaf(KIV3DBagRep* parent, const std::string& name);
  /// Reps made elsewhere (an importer's tree) that the scene names but does not own.
  void SetName(const KIVRep* rep, const std::string& name);
  void MarkModel(const KIVRep* rep) { mModels.insert(rep); }
  /// Keeps something alive as long as the scene (an imported file's own result).
  void Keep(std::shared_ptr<void> owner) { mKept.push_back(std::move(owner)); }

  /// The up axis files are read with ('x', 'y' or 'z'); 0 takes each file's own.
  void SetUpAxis(char axis) { mUpAxis = axis == 'x' || axis == 'y' || axis == 'z' ? axis : 0; }
  char GetUpAxis() const { return mUpAxis; }
  /// The rep's name, or null when it has none.
  const char* GetName(const KIVRep* rep) const;
  bool IsModel(const KIVRep* rep) const { return mModels.count(rep) != 0; }
  /// The file a tree was read from, given for its top bag.
  void SetSource(const KIVRep* top, const std::string& file) { mSources[top] = file; }
  /// The file of the first tree that holds rep along its first parents; null when none
  /// (the built-in plant).
  const char* GetSource(const KIVRep* rep) const {
    for (; rep; rep = rep->GetParents().empty() ? nullptr : rep->GetParents().front())
      if (auto it = mSources.find(rep); it != mSources.end()) return it->second.c_str();
    return nullptr;
  }
  int GetModelCount() const { return static_cast<int>(mModels.size()); }
  /// Every rep under the root, the root first, once each (a shared one where first met),
  /// depth first in the children's order.
  std::vector<KIVRep*> GetReps() const;
  /// The models among them, in the same order.
  std::vector<KIVRep*> GetModels() const;
  /// Triangles of the finest level under the root, every instance of a shared leaf counted.
  long long CountTriangles() const { return CountTriangles(mRoot); }
  /// The same under one rep (0 for a rep that is not 3D).
  static long long CountTriangles(KIVRep* rep);
  /// Points of the point clouds under the root, counted as triangles are.
  long long CountPoints() const;

 private:
  KIV3DBagRep* mRoot;
  std::vector<KIVRep*> mOwned;  // creation order: parents before children
  std::unordered_map<const KIVRep*, std::string> mNames;
  std::unordered_set<const KIVRep*> mModels;
  std::unordered_map<const KIVRep*, std::string> mSources;
  std::vector<std::shared_ptr<void>> mKept;
  char mUpAxis = 0;
};
