#include "host/dialog/KIVDlgPushButton.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgPushButton, KIVDlgControl)

KIVDlgPushButton::KIVDlgPushButton(KIVDialog* parent, const char* tag, int style)
    : KIVDlgControl(parent, tag, style) {}

KIVDlgPushButton::~KIVDlgPushButton() { Retire(); }

int KIVDlgPushButton::UserActivate() {
  if (!IsUsable()) return 0;
  Notify(&mActivate);
  return 1;
}

int KIVDlgPushButton::UserRepeat() {
  if (!IsUsable()) return 0;
  Notify(&mRepeat);
  return 1;
}
