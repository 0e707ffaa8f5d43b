#pragma once
// Base of menus: bar, contextual and sub-menus hold menu items.

#include "host/dialog/KIVDialog.h"

class KIVDlgMenu : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgMenu)
 public:
  using KIVDialog::KIVDialog;
};
