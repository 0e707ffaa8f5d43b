#include "host/dialog/KIVDlgDialog.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgDialog, KIVDialog)

int KIVDlgDialog::Send(KIVNotification* n) {
  if (!AcceptsUserInput()) return 0;
  SendNotification(GetFather(), n);
  return 1;
}

int KIVDlgDialog::UserClose() {
  if (!AcceptsUserInput()) return 0;
  std::weak_ptr<int> life = GetLifeToken();
  Send(&mClose);
  if (!life.expired()) SetVisibility(4);  // the receiver may have destroyed the window
  return 1;
}

int KIVDlgDialog::UserOK() { return Send(&mOK); }
int KIVDlgDialog::UserCancel() { return Send(&mCancel); }
int KIVDlgDialog::UserApply() { return Send(&mApply); }
