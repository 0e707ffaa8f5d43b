#pragma once
// A row of buttons that lays out its children itself.

#include "host/dialog/KIVDlgControl.h"

class KIVDlgToolBar : public KIVDlgControl {
  KIV_DECLARE_METAOBJECT(KIVDlgToolBar)
 public:
  KIVDlgToolBar(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgToolBar() override;
};
