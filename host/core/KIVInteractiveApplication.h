#pragma once
// The application of a program with a user interface; a GUI back end installs a handler
// that shows or hides the busy cursor.

#include <functional>

#include "host/core/KIVApplication.h"

class KIVInteractiveApplication : public KIVApplication {
  KIV_DECLARE_METAOBJECT(KIVInteractiveApplication)
 public:
  /// The main application as an interactive one (it always is one).
  static KIVInteractiveApplication* GetInteractiveApplication();

  /// 1 shows the busy cursor, 0 releases one request; requests nest. Returns the new depth.
  int SetBusyCursor(int busy);
  int GetBusyCursor() const { return mBusyDepth; }
  /// Called with 1 when the cursor turns busy and 0 when it turns back.
  void SetBusyCursorHandler(std::function<void(int)> handler) { mBusyHandler = std::move(handler); }

 protected:
  KIVInteractiveApplication() = default;
  friend class KIVApplication;

 private:
  int mBusyDepth = 0;
  std::function<void(int)> mBusyHandler;
};
