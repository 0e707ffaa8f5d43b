#pragma once
// The menu bar of a window.

#include "host/dialog/KIVDlgMenu.h"

class KIVDlgBarMenu : public KIVDlgMenu {
  KIV_DECLARE_METAOBJECT(KIVDlgBarMenu)
 public:
  KIVDlgBarMenu(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgBarMenu() override;
};
