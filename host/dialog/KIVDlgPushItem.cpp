#include "host/dialog/KIVDlgPushItem.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgPushItem, KIVDialog)

int KIVDlgPushItem::UserActivate() {
  if (!AcceptsUserInput()) return 0;
  SendNotification(GetFather(), &mActivate);
  return 1;
}
