#include "host/dialog/KIVDlgWindow.h"

#include <memory>

KIV_IMPLEMENT_METAOBJECT(KIVDlgWindow, KIVDialog)

KIVDlgWindow::KIVDlgWindow(KIVDialog* parent, const char* tag, int style) : KIVDialog(parent, tag, style) {
  SetInitialVisibility(VisibilityHidden);
  MarkAsWindow();
}

KIVDlgWindow::~KIVDlgWindow() { Retire(); }

void KIVDlgWindow::SetDefaultButton(int button) {
  if (button == mDefaultButton) return;
  mDefaultButton = button;
  Changed(KIVDlgProperty::Buttons);
}

void KIVDlgWindow::SetButtonTitle(KIVUnicodeString& slot, const KIVUnicodeString& title) {
  if (slot == title) return;
  slot = title;
  Changed(KIVDlgProperty::Buttons);
}

int KIVDlgWindow::UserClose() {
  std::weak_ptr<int> life = GetLifeToken();
  if (!UserPress(&mClose)) return 0;
  if (!life.expired()) SetVisibility(VisibilityHidden);
  return 1;
}

int KIVDlgWindow::UserPress(KIVNotification* notification) {
  if (!IsUsable()) return 0;
  Notify(notification);
  return 1;
}
