#pragma once
// A menu that pops up under the pointer. Its visibility is its pop-up state: hidden until
// the host shows it for a right click; its items stay reachable meanwhile.

#include "host/dialog/KIVDlgMenu.h"

class KIVDlgContextualMenu : public KIVDlgMenu {
  KIV_DECLARE_METAOBJECT(KIVDlgContextualMenu)
 public:
  KIVDlgContextualMenu(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgContextualMenu() override;
};
