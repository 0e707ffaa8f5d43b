#include "host/dialog/KIVDlgPushItem.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgPushItem, KIVDlgMenuItem)

KIVDlgPushItem::KIVDlgPushItem(KIVDialog* parent, const char* tag, int style) : KIVDlgMenuItem(parent, tag, style) {}

KIVDlgPushItem::~KIVDlgPushItem() { Retire(); }

int KIVDlgPushItem::UserActivate() {
  if (!IsUsable()) return 0;
  Notify(&mActivate);
  return 1;
}
