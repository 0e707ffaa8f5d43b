#pragma once
// A text or icon that the user reads: its title and icon name.

#include "host/dialog/KIVDlgControl.h"

class KIVDlgLabel : public KIVDlgControl {
  KIV_DECLARE_METAOBJECT(KIVDlgLabel)
 public:
  KIVDlgLabel(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgLabel() override;
};
