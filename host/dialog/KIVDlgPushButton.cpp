#include "host/dialog/KIVDlgPushButton.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgPushButton, KIVDialog)

int KIVDlgPushButton::UserActivate() {
  if (!AcceptsUserInput()) return 0;
  SendNotification(GetFather(), &mActivate);
  return 1;
}
