#pragma once
// What a viewer shows: the reps seen through it and the events of its changes. Changes are
// bracketed by BeginModification/EndModification so that subscribers hear of a whole move
// once, at the end of the outermost bracket.

#include <vector>

#include "host/core/KIVEventSubscriber.h"
#include "host/visu/scene/KIVPictureChange.h"

class KIVRep;

class KIVViewpoint : public KIVEventSubscriber {
  KIV_DECLARE_METAOBJECT(KIVViewpoint)
 public:
  static const char* const VIEWPOINT_MODIFIED;
  static const char* const VIEWPOINT_ANIMATION_STARTED;
  static const char* const VIEWPOINT_ANIMATION_STOPED;

  KIVViewpoint() = default;
  ~KIVViewpoint() override;

  /// Adds a rep to the scene seen through the viewpoint; `kind` is the caller's tag for
  /// it (kept with it). Null and a rep already there are refused.
  int AddRep(KIVRep* rep, int kind = 0);
  /// Removes the rep (with any kind, or only that kind when kind >= 0).
  int RemoveRep(KIVRep* rep, int kind = -1);
  const std::vector<KIVRep*>& GetReps() const { return mReps; }
  int GetRepKind(const KIVRep* rep) const;

  void BeginModification() { ++mModificationDepth; }
  /// Closes a bracket; the outermost one publishes VIEWPOINT_MODIFIED when notify is 1 or
  /// when a nested end asked for it. An end without a begin is ignored.
  void EndModification(int notify);
  int IsInModification() const { return mModificationDepth > 0; }
  /// Brackets an animated move; `by` (the editor or tool driving it) is for the record.
  void BeginAnimation(const void* by = nullptr);
  void EndAnimation(const void* by = nullptr);
  int IsAnimated() const { return mAnimationDepth > 0; }
  /// Number of VIEWPOINT_MODIFIED publications so far.
  unsigned long GetModificationCount() const { return mModifications; }

 protected:
  /// Setters publish nothing by themselves: a move is announced by its bracket. They call
  /// this so that the viewers showing the viewpoint draw again.
  void Changed() { KIVPictureChange::Announce(this, KIVPictureChange::Viewpoint); }
 private:
  void Publish(const char* event);
  std::vector<KIVRep*> mReps;
  std::vector<int> mKinds;
  int mModificationDepth = 0;
  int mPendingNotify = 0;
  int mAnimationDepth = 0;
  unsigned long mModifications = 0;
};
