#pragma once
// A cascading menu: an entry of its parent menu (title, mnemonic) that opens its own items.

#include "host/dialog/KIVDlgMenu.h"

class KIVDlgSubMenu : public KIVDlgMenu {
  KIV_DECLARE_METAOBJECT(KIVDlgSubMenu)
 public:
  KIVDlgSubMenu(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgSubMenu() override;
};
