#pragma once
// Sent by a manipulator to its father; see KIVManipulator. GetViewerEvent is the input
// that caused it, valid while the notification is being delivered.
#include "host/core/KIVNotification.h"
class KIVViewerEvent;
class KIVManipulateNotification : public KIVNotification {
  KIV_DECLARE_METAOBJECT(KIVManipulateNotification)
 public:
  KIVViewerEvent* GetViewerEvent() const { return mEvent; }
  void SetViewerEvent(KIVViewerEvent* event) { mEvent = event; }
 private:
  KIVViewerEvent* mEvent = nullptr;
};
