#pragma once
// Base of the menus: a list of items and sub-menus in creation order.

#include "host/dialog/KIVDialog.h"

class KIVDlgMenu : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgMenu)
 public:
  KIVDlgMenu(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgMenu() override;
};
