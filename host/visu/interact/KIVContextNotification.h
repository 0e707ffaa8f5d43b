#pragma once
// Sent by a manipulator to its father on a right click over its rep, with the viewer's
// contextual menu for the receiver to fill and pop up.
#include "host/core/KIVNotification.h"
class KIVViewerEvent;
class KIVDlgContextualMenu;
class KIVContextNotification : public KIVNotification {
  KIV_DECLARE_METAOBJECT(KIVContextNotification)
 public:
  KIVViewerEvent* GetViewerEvent() const { return mEvent; }
  void SetViewerEvent(KIVViewerEvent* event) { mEvent = event; }
  KIVDlgContextualMenu* GetContextualMenu() const { return mMenu; }
  void SetContextualMenu(KIVDlgContextualMenu* menu) { mMenu = menu; }
 private:
  KIVViewerEvent* mEvent = nullptr;
  KIVDlgContextualMenu* mMenu = nullptr;
};
