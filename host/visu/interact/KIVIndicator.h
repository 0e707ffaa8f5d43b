#pragma once
// A mode of the viewer that takes the mouse before anything else while it is the viewer's
// foreground indicator (a one-shot zoom, a look-at, a measuring tool): the viewer gives it
// every press, move and release as a KIVViewerEvent, and keys (those it refuses go on to
// the viewpoint editor). A right click on it also shows the viewer's contextual menu and
// calls Context. A background indicator sees the input that nothing else took. The base
// class does nothing with the input.
#include "host/core/KIVCommand.h"
class KIVNotification;
class KIVDlgContextualMenu;
class KIVIndicator : public KIVCommand {
  KIV_DECLARE_METAOBJECT(KIVIndicator)
 public:
  KIVIndicator(KIVCommand* father = nullptr, const char* name = nullptr) : KIVCommand(father, name) {}
  ~KIVIndicator() override = default;
  virtual void BeginManipulate(KIVNotification* event) { (void)event; }
  virtual void Manipulate(KIVNotification* event) { (void)event; }
  virtual void EndManipulate(KIVNotification* event) { (void)event; }
  /// Mouse moves with no button held.
  virtual void Move(KIVNotification* event) { (void)event; }
  /// Returns 1 when it used the key.
  virtual int Key(KIVNotification* event) {
    (void)event;
    return 0;
  }
  /// A right click without a drag, with the viewer's contextual menu (already shown).
  /// Returns 1 when it used it.
  virtual int Context(KIVNotification* event, KIVDlgContextualMenu* menu) {
    (void)event;
    (void)menu;
    return 0;
  }
};
