#pragma once
// One page of a tab container; its title is the tab's label.

#include "host/dialog/KIVDlgControl.h"

class KIVDlgTabPage : public KIVDlgControl {
  KIV_DECLARE_METAOBJECT(KIVDlgTabPage)
 public:
  KIVDlgTabPage(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgTabPage() override;
};
