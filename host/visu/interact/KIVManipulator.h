#pragma once
// Interaction attached to a rep: the viewer hands the mouse input over the rep's subtree
// (the first rep, from the picked leaf upwards, that has a manipulator) to it. A press
// calls Preactivate; a release without a drag calls Activate (a click; a right click
// sends the context notification carrying the viewer's contextual menu instead); moves
// without a button call Move; with a button held, a manipulator whose GetDragMode() is 1
// gets every move through Edit and, at the release, EndEdit (so its father hears begin /
// manipulate / end notifications), while for the others the drag navigates (it goes to
// the viewer's viewpoint editor).
// Each operation receives the KIVViewerEvent; the base behaviour sends the matching
// notification to the father command and returns 1.
#include "host/core/KIVCommand.h"
class KIVRep;
class KIVMouseEvent;
class KIVDlgContextualMenu;
class KIVManipulator : public KIVCommand {
  KIV_DECLARE_METAOBJECT(KIVManipulator)
 public:
  /// Attaches itself to `rep` (which may be null), replacing any manipulator there.
  KIVManipulator(KIVCommand* father, const char* name, KIVRep* rep);
  /// Detaches itself from its rep.
  ~KIVManipulator() override;
  KIVRep* GetRep() const { return mRep; }
  /// Class names of the notifications sent to the father (match with IsAKindOf).
  static const char* GetKIVBeginManipulate();
  static const char* GetKIVManipulate();
  static const char* GetKIVEndManipulate();
  static const char* GetKIVMove();
  static const char* GetKIVActivate();
  static const char* GetKIVContext();
  virtual int Preactivate(KIVNotification* event, KIVManipulator* from);
  virtual int Move(KIVNotification* event, KIVManipulator* from);
  virtual int Activate(KIVNotification* event, KIVManipulator* from);
  virtual int Edit(KIVNotification* event, KIVManipulator* from);
  /// The release that ends the input of a manipulator whose GetDragMode() is 1: sends the
  /// end notification.
  virtual int EndEdit(KIVNotification* event, KIVManipulator* from);
  /// Right click: sends the context notification (GetContextualMenu on it gives the menu).
  virtual int Context(KIVNotification* event, KIVDlgContextualMenu* menu);
  /// 0: drags over the rep navigate; 1: they are the manipulator's (Edit).
  virtual int GetDragMode() const { return 0; }
  /// The mouse event of a viewer event (or the notification itself when it is one);
  /// null otherwise.
  static KIVMouseEvent* GetMouseEvent(KIVNotification* notification);
 private:
  KIVRep* mRep;
};
