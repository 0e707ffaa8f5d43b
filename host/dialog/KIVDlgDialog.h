#pragma once
// A top-level window or dialog box. Its user actions send the window's notifications to
// its father command; closing also hides it.

#include "host/dialog/KIVDialog.h"
#include "host/dialog/KIVDlgNotifications.h"

class KIVDlgDialog : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgDialog)
 public:
  using KIVDialog::KIVDialog;
  KIVDlgWindCloseNotification* GetWindCloseNotification() { return &mClose; }
  KIVDlgDiaOKNotification* GetDiaOKNotification() { return &mOK; }
  KIVDlgDiaCANCELNotification* GetDiaCANCELNotification() { return &mCancel; }
  KIVDlgDiaAPPLYNotification* GetDiaAPPLYNotification() { return &mApply; }
  /// As a person's input; 0 when the window is insensitive or hidden.
  int UserClose();
  int UserOK();
  int UserCancel();
  int UserApply();

 private:
  int Send(KIVNotification* n);
  KIVDlgWindCloseNotification mClose;
  KIVDlgDiaOKNotification mOK;
  KIVDlgDiaCANCELNotification mCancel;
  KIVDlgDiaAPPLYNotification mApply;
};
