#pragma once
// What a viewer hands to its indicators, manipulators and viewpoint editor for one input:
// the device event (a KIVMouseEvent or a KIVKeyEvent, owned by the caller), the viewer,
// and for mouse input the nearest object under the pointer (null when none).
#include "host/core/KIVNotification.h"
class KIVViewer;
class KIVPickPath;
class KIVViewerEvent : public KIVNotification {
  KIV_DECLARE_METAOBJECT(KIVViewerEvent)
 public:
  KIVViewerEvent(KIVViewer* viewer = nullptr, KIVNotification* device = nullptr, KIVPickPath* path = nullptr)
      : mViewer(viewer), mDevice(device), mPath(path) {}
  KIVViewer* GetViewer() const { return mViewer; }
  KIVNotification* GetDeviceEvent() const { return mDevice; }
  /// Valid while the event is being handled; copy it to keep it.
  KIVPickPath* GetPickPath() const { return mPath; }
 private:
  KIVViewer* mViewer;
  KIVNotification* mDevice;
  KIVPickPath* mPath;
};
