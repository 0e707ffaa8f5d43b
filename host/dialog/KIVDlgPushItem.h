#pragma once
// A menu item that runs an action when chosen.

#include "host/dialog/KIVDlgMenuItem.h"

class KIVDlgPushItem : public KIVDlgMenuItem {
  KIV_DECLARE_METAOBJECT(KIVDlgPushItem)
 public:
  KIVDlgPushItem(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgPushItem() override;

  KIVDlgMenuIActivateNotification* GetMenuIActivateNotification() const { return &mActivate; }
  /// As a person choosing the item: sends the activate notification. 1 when sent, 0 when not usable.
  int UserActivate();

 private:
  mutable KIVDlgMenuIActivateNotification mActivate;
};
