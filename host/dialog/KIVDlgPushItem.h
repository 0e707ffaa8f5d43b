#pragma once
// A menu item that runs an action when chosen.

#include "host/dialog/KIVDialog.h"
#include "host/dialog/KIVDlgNotifications.h"

class KIVDlgPushItem : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgPushItem)
 public:
  using KIVDialog::KIVDialog;
  KIVDlgMenuIActivateNotification* GetMenuIActivateNotification() { return &mActivate; }
  /// As a person choosing the item: notifies the father command. 0 when insensitive or hidden.
  int UserActivate();

 private:
  KIVDlgMenuIActivateNotification mActivate;
};
