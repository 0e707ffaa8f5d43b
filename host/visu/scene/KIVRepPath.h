#pragma once
// A chain of reps from the top of a scene (seen through a viewpoint) down to a leaf, with a
// cursor for walking it. The cursor counts the reps consumed from the top: NextChildRep
// takes the next one down, NextFatherRep the next one up.

#include <vector>

class KIVRep;
class KIVViewpoint;

class KIVRepPath {
 public:
  explicit KIVRepPath(KIVViewpoint* viewpoint = nullptr) : mViewpoint(viewpoint) {}

  KIVViewpoint* GetViewpoint() const { return mViewpoint; }
  void SetViewpoint(KIVViewpoint* viewpoint) { mViewpoint = viewpoint; }

  /// Appends a rep below the current leaf; null is refused.
  int AddRep(KIVRep* rep);
  /// Removes the last occurrence of a rep (the deepest); 1 if it was there.
  int RemoveRep(KIVRep* rep);
  int GetSize() const { return static_cast<int>(mReps.size()); }
  KIVRep* GetRep(int i) const { return i >= 0 && i < GetSize() ? mReps[i] : nullptr; }
  KIVRep* GetLeafRep() const { return mReps.empty() ? nullptr : mReps.back(); }
  KIVRep* GetTopRep() const { return mReps.empty() ? nullptr : mReps.front(); }
  const std::vector<KIVRep*>& GetReps() const { return mReps; }

  /// Before the top: NextChildRep returns the top rep.
  void InitToTopRep() { mCursor = 0; }
  /// Below the leaf: NextFatherRep returns the leaf.
  void InitToLeafRep() { mCursor = GetSize(); }
  /// The next rep downwards, null past the leaf.
  KIVRep* NextChildRep() { return mCursor < GetSize() ? mReps[mCursor++] : nullptr; }
  /// The next rep upwards, null past the top.
  KIVRep* NextFatherRep() { return mCursor > 0 ? mReps[--mCursor] : nullptr; }
  int GetCursorPosition() const { return mCursor; }

  bool operator==(const KIVRepPath& o) const { return mViewpoint == o.mViewpoint && mReps == o.mReps; }

 private:
  KIVViewpoint* mViewpoint;
  std::vector<KIVRep*> mReps;
  int mCursor = 0;
};
