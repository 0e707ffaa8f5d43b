#pragma once
// A push button.

#include "host/dialog/KIVDialog.h"
#include "host/dialog/KIVDlgNotifications.h"

class KIVDlgPushButton : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgPushButton)
 public:
  using KIVDialog::KIVDialog;
  KIVDlgPushBActivateNotification* GetPushBActivateNotification() { return &mActivate; }
  /// As a person pressing the button: notifies the father command. 0 when insensitive or hidden.
  int UserActivate();

 private:
  KIVDlgPushBActivateNotification mActivate;
};
