#pragma once
// Base of the entries of a menu: title, mnemonic and accelerator key.

#include "host/dialog/KIVDialog.h"

class KIVDlgMenuItem : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgMenuItem)
 public:
  KIVDlgMenuItem(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgMenuItem() override;
};
