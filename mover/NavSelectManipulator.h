#pragma once
// The manipulator that the extended viewer puts on a root so that clicks select objects.
// It lets the host behaviour run only while enabled, and first records what the mouse
// event picked (the path and the picked leaf's father) and the Control and Shift keys,
// which the viewer reads back.
#include <optional>
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/pick/KIVPickPath.h"
class NavSelectManipulator : public KIVManipulator {
  KIV_DECLARE_METAOBJECT(NavSelectManipulator)
 public:
  NavSelectManipulator(KIVCommand* father, KIVRep* rep);
  ~NavSelectManipulator() override;
  int Preactivate(KIVNotification* notification, KIVManipulator* from) override;
  int Move(KIVNotification* notification, KIVManipulator* from) override;
  int Activate(KIVNotification* notification, KIVManipulator* from) override;
  int Edit(KIVNotification* notification, KIVManipulator* from) override;
  /// Records the pick and the keys of a viewer event carrying a mouse event; 0 for
  /// anything else (nothing recorded then).
  int TraduitEvenement(KIVNotification* notification);
  /// -1 asks; 1 enables; any other value disables. Returns the enabled flag.
  int UpdateManipulateRepOn(int on);
  KIVPickPath* GetPickPath() const { return mPath; }
  KIVRep* GetRepPickedFather() const { return mFather; }
  int GetKeyboardControl() const { return mControl; }
  int GetKeyboardShift() const { return mShift; }
 private:
  int mEnabled = 1;
  int mControl = 0;
  int mShift = 0;
  // A copy of the viewer event's path: menus chosen after the click still read it.
  std::optional<KIVPickPath> mPathCopy;
  KIVPickPath* mPath = nullptr;
  KIVRep* mFather = nullptr;
};
