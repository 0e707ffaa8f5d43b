#pragma once
// A growable list of rep paths, unique by pointer, with a cursor for walking it. The
// capacity starts at 5 and doubles when full. The list does not own the paths: whoever
// fills it says who frees them. Membership is kept in a hash set, so appending unless
// present and removing an absent path cost O(1) instead of a scan of the list.
#include <unordered_set>
class KIVRepPath;
class KIVRepPathList {
 public:
  KIVRepPathList();
  ~KIVRepPathList();
  KIVRepPathList(const KIVRepPathList&) = delete;
  KIVRepPathList& operator=(const KIVRepPathList&) = delete;
  int GetCount() const { return mCount; }
  int GetCapacity() const { return mCapacity; }
  /// The entries, GetCount() of them (null when the capacity is 0).
  KIVRepPath* const* GetArray() const { return mArray; }
  /// Null outside [0, GetCount()).
  KIVRepPath* Get(int i) const { return i >= 0 && i < mCount ? mArray[i] : nullptr; }
  int IsPresent(const KIVRepPath* path) const { return mMembers.count(path) ? 1 : 0; }
  /// Appends a path not yet in the list; null, a path already there or a failed
  /// allocation are refused (0; the failure prints one line on the error stream).
  int Add(KIVRepPath* path);
  /// Removes the path, keeping the others in order; the cursor moves back by one when
  /// the entry lay before it. 1 if it was there.
  int Remove(const KIVRepPath* path);
  /// Forgets every entry (the paths are not freed); the capacity stays.
  void Clear();
  /// The cursor: the index of the entry Next returns.
  void InitCursor() { mCursor = 0; }
  int GetCursor() const { return mCursor; }
  /// The entry at the cursor, moving past it; null at the end.
  KIVRepPath* Next() { return mCursor < mCount ? mArray[mCursor++] : nullptr; }

 private:
  int Grow();
  KIVRepPath** mArray = nullptr;
  int mCount = 0;
  int mCapacity = 0;
  int mCursor = 0;
  std::unordered_set<const KIVRepPath*> mMembers;
};
