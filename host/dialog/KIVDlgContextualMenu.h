#pragma once
// A menu that pops up under the pointer.

#include "host/dialog/KIVDlgMenu.h"

class KIVDlgContextualMenu : public KIVDlgMenu {
  KIV_DECLARE_METAOBJECT(KIVDlgContextualMenu)
 public:
  using KIVDlgMenu::KIVDlgMenu;
};
