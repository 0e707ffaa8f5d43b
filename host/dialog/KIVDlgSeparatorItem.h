#pragma once
// A separating line between menu items.

#include "host/dialog/KIVDialog.h"

class KIVDlgSeparatorItem : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgSeparatorItem)
 public:
  using KIVDialog::KIVDialog;
};
