#pragma once
// A cascading menu inside another menu.

#include "host/dialog/KIVDlgMenu.h"

class KIVDlgSubMenu : public KIVDlgMenu {
  KIV_DECLARE_METAOBJECT(KIVDlgSubMenu)
 public:
  using KIVDlgMenu::KIVDlgMenu;
};
