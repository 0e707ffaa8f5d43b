#pragma once
// Drives a viewpoint from the mouse and keyboard. The viewer hands it the input that no
// indicator or manipulator took, as KIVViewerEvents: a press begins a manipulation, moves
// with a button held continue it, the release ends it; keys and the wheel arrive on their
// own. Subclasses say what the input does to the viewpoint.
#include "host/core/KIVCommand.h"
class KIVViewpoint;
class KIVViewer;
class KIVNotification;
class KIVViewpointEditor : public KIVCommand {
  KIV_DECLARE_METAOBJECT(KIVViewpointEditor)
 public:
  KIVViewpointEditor(const char* name, KIVViewpoint* viewpoint) : KIVCommand(nullptr, name), mViewpoint(viewpoint) {}
  ~KIVViewpointEditor() override = default;
  KIVViewpoint* GetViewpoint() const { return mViewpoint; }
  /// The viewer whose input it receives; set by KIVViewer::SetViewpointEditor.
  KIVViewer* GetViewer() const { return mViewer; }
  void SetViewer(KIVViewer* viewer) { mViewer = viewer; }
  virtual void BeginManipulate(KIVNotification* event) { (void)event; }
  virtual void Manipulate(KIVNotification* event) { (void)event; }
  virtual void EndManipulate(KIVNotification* event) { (void)event; }
  /// Wheel notches (the device event is a KIVMouseEvent of kind Wheel).
  virtual void Wheel(KIVNotification* event) { (void)event; }
  /// Returns 1 when it used the key.
  virtual int Key(KIVNotification* event) {
    (void)event;
    return 0;
  }
  /// The time on a viewer's input clock (milliseconds, wrapping at 32 bits), the clock
  /// that stamps its mouse and key events; 0 for a null viewer.
  static unsigned long GetInputTime(const KIVViewer* viewer);
 private:
  KIVViewpoint* mViewpoint;
  KIVViewer* mViewer = nullptr;
};
