#pragma once
// A top-level window or dialog box.

#include "host/dialog/KIVDialog.h"

class KIVDlgDialog : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgDialog)
 public:
  using KIVDialog::KIVDialog;
};
