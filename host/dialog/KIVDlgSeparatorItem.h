#pragma once
// A line between groups of menu items; it does nothing.

#include "host/dialog/KIVDlgMenuItem.h"

class KIVDlgSeparatorItem : public KIVDlgMenuItem {
  KIV_DECLARE_METAOBJECT(KIVDlgSeparatorItem)
 public:
  KIVDlgSeparatorItem(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgSeparatorItem() override;
};
