#pragma once
// A measuring grid that a host application places in its scene: the grid's rep and its
// manipulator (a right click on the grid gives its menu, clicks and moves give snapped
// coordinates), and the "Grid Steps" window.
#include "foundation/KIVSiLaGridEvents.h"
#include "foundation/NavEventMacros.h"
#include <memory>
#include <vector>

#include "host/core/KIVCommand.h"
class KIVDialog;
class KIVDlgCheckItem;
class KIVDlgContextualMenu;
class KIVDlgDialog;
class KIVDlgSpinner;
class KIVManipulator;
class KIVNotification;
class KIVSiLaGridRep;

class KIVSiLaGrid : public KIVCommand {
  KIV_DECLARE_METAOBJECT(KIVSiLaGrid)
 public:
  /// A step whose absolute value is below 0.0001 becomes 100.
  KIVSiLaGrid(KIVDialog* parent, float size1, float size2, float step1, float step2);
  ~KIVSiLaGrid() override;
  KIVSiLaGrid(const KIVSiLaGrid&) = delete;
  KIVSiLaGrid& operator=(const KIVSiLaGrid&) = delete;

  /// The rep to place in a scene (owned by the grid).
  KIVSiLaGridRep* GetGridRep() const { return mRep; }
  KIVManipulator* GetManipulator() const { return mManipulator; }
  /// 1 shows the coordinates of picked points (and of the point under the pointer), 0
  /// stops it and removes the transient marker.
  void ActivateFurtiveCoord(int on);
  int GetCoordinatesShown() const { return mCoordinates; }
  /// Opens (1) or closes (0) the "Grid Steps" window.
  void ActivePanelGridSteps(int on);
  KIVDlgDialog* GetStepsWindow() const { return mSteps; }
  /// The grid's look or coordinates changed (published with the grid as data).
  NAV_EVENT_ACCESSOR(GRID_GRAPHIC_CHANGED)

  void CallContextCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void ActionGridCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void ActivateCoordsCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void ActionGridPanelCB(KIVCommand* sender, KIVNotification* notification, void* data);

 private:
  void Changed();
  void Fill(KIVDlgContextualMenu* menu);
  void SetSpinner(KIVDlgSpinner* spinner, float value);

  KIVDialog* mParent = nullptr;
  KIVSiLaGridRep* mRep = nullptr;
  KIVManipulator* mManipulator = nullptr;
  int mStyle = 0;
  int mCoordMode = 0;
  int mCoordinates = 0;
  KIVDlgDialog* mSteps = nullptr;
  KIVDlgSpinner* mStepY = nullptr;
  KIVDlgSpinner* mStepZ = nullptr;
  int mClosing = 0;
  /// A callback held by another command (menu items and windows tell their ancestors),
  /// removed from it while it lives.
  struct Held {
    std::weak_ptr<int> life;
    KIVCommand* holder;
    KIVCallback id;
  };
  void Listen(std::vector<Held>& into, KIVCommand* holder, KIVCommand* sender, KIVNotification* notification,
              void (KIVSiLaGrid::*method)(KIVCommand*, KIVNotification*, void*));
  static void Drop(std::vector<Held>& held);
  std::vector<Held> mMenuCallbacks, mPanelCallbacks;
  std::vector<KIVCallback> mCoordCallbacks;
  KIVCallback mContextCallback{};
};
