#include "host/dialog/KIVDlgCheckItem.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgCheckItem, KIVDlgMenuItem)

KIVDlgCheckItem::KIVDlgCheckItem(KIVDialog* parent, const char* tag, int style) : KIVDlgMenuItem(parent, tag, style) {}

KIVDlgCheckItem::~KIVDlgCheckItem() { Retire(); }

int KIVDlgCheckItem::SetState(int state, int notify) { return ChangeState(mState, state, notify, &mModify, 0); }

int KIVDlgCheckItem::UserSetState(int state) {
  if (!IsUsable()) return 0;
  return ChangeState(mState, state, 1, &mModify, 0);
}
