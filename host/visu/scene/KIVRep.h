#pragma once
// A node of the scene: graphic attributes and the lists of its parents and children. A
// rep may sit under several bags at once (shared sub-trees).

#include <vector>

#include "host/core/KIVEventSubscriber.h"
#include "host/visu/scene/KIVGraphicAttributeSet.h"
#include "host/visu/scene/KIVModelIdentificator.h"
#include "host/visu/scene/KIVPictureChange.h"

class KIVManipulator;

class KIV3DRep;

class KIVRep : public KIVEventSubscriber {
  KIV_DECLARE_METAOBJECT(KIVRep)
 public:
  KIVRep() = default;
  /// Leaves every parent, so that no bag keeps a dangling child.
  ~KIVRep() override;

  const KIVGraphicAttributeSet& GetGraphicAttributeSet() const { return mAttributes; }
  void SetGraphicAttributeSet(const KIVGraphicAttributeSet& set);
  /// The first word of the attribute set (colour index high, flags low).
  unsigned int GetGraphicAttribute() const { return mAttributes.GetFirstWord(); }
  void SetRGBA(unsigned char r, unsigned char g, unsigned char b, unsigned char a);

  /// 0 shows the rep, any other value hides it (the hidden flag). `redraw` is the caller's
  /// wish to see it at once; drawing is the viewer's business, so it is only recorded.
  virtual void SetShowMode(int mode, int redraw);
  int GetShowMode() const { return mAttributes.GetFlag(KIVGraphicAttributeSet::Hidden); }
  /// 1 high-lights the rep (the selected flag), 0 returns it to its normal look.
  virtual void SetHighlightMode(int mode, int redraw);
  int GetHighlightMode() const { return mAttributes.GetFlag(KIVGraphicAttributeSet::Selected); }
  /// 0 children keep their own colours, 1 they take this rep's colour.
  void SetColorInheritanceMode(int mode) { mColorInheritance = mode; }
  int GetColorInheritanceMode() const { return mColorInheritance; }
  /// The manipulator attached to the rep, not owned.
  void SetManipulator(KIVManipulator* manipulator) { mManipulator = manipulator; }
  KIVManipulator* GetManipulator() const { return mManipulator; }
  /// The model identity the application gives the rep (integer id 0 by default). A
  /// number outside the range of int is refused (0) and the identity kept.
  int SetIdentificator(long id);
  void SetIdentificator(const KIVModelIdentificator& id) { mId = id; }
  /// Never null: every rep carries an identity, 0 until one is given.
  const KIVModelIdentificator* GetIdentificator() const { return &mId; }

  const std::vector<KIVRep*>& GetParents() const { return mParents; }
  /// Children of a bag; empty for a leaf.
  const std::vector<KIVRep*>& GetChildren() const { return mChildren; }

  /// Monotonic count of changes to the scene (attributes, links, geometry, matrices), so
  /// that caches over a tree (bounds, pick structures) know when to refresh.
  static unsigned long GetSceneVersion() { return sSceneVersion; }

  /// The rep as a 3D rep, or null: what a bag asks of each child for its bound, cheaper
  /// than a dynamic_cast over a hundred thousand children.
  virtual const KIV3DRep* As3DRep() const { return nullptr; }

 protected:
  /// Links parent and child both ways; refuses null, self and cycles. Returns 1 when added.
  static int Link(KIVRep* parent, KIVRep* child);
  static int Unlink(KIVRep* parent, KIVRep* child);
  /// Unlinks every child of parent as one change (each child's own parent list is
  /// searched, never the parent's long list). Returns how many were unlinked.
  static int UnlinkAll(KIVRep* parent);
  bool IsAncestorOf(const KIVRep* rep) const;
  /// The rep's bounds changed: every ancestor must recompute its own.
  virtual void BoundsChanged();
  /// A child's bounds changed; by default the rep's own did.
  virtual void ChildBoundsChanged(KIVRep* child) {
    (void)child;
    BoundsChanged();
  }
  /// Moves whenever a child is linked or unlinked, so that caches over the children
  /// list know when it changed.
  unsigned long GetChildrenVersion() const { return mChildrenVersion; }
  /// The parent when there is exactly one, else null.
  KIVRep* GetSoleParent() const { return mSoleParent; }
  /// The rep changed in a way that shows: moves the scene version and asks the viewers
  /// that show the rep to draw again.
  void Touch() {
    ++sSceneVersion;
    KIVPictureChange::Announce(this, KIVPictureChange::Scene);
  }

 private:
  void ParentsChanged();
  KIVGraphicAttributeSet mAttributes;
  // The parent when there is exactly one (most reps): telling it of a change then reads
  // no list, which matters when every leaf of a large scene changes.
  KIVRep* mSoleParent = nullptr;
  int mColorInheritance = 0;
  KIVModelIdentificator mId;
  KIVManipulator* mManipulator = nullptr;
  std::vector<KIVRep*> mParents;
  std::vector<KIVRep*> mChildren;
  unsigned long mChildrenVersion = 0;
  static inline unsigned long sSceneVersion = 0;
};
