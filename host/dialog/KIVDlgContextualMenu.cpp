#include "host/dialog/KIVDlgContextualMenu.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgContextualMenu, KIVDlgMenu)

KIVDlgContextualMenu::KIVDlgContextualMenu(KIVDialog* parent, const char* tag, int style)
    : KIVDlgMenu(parent, tag, style) {
  SetInitialVisibility(VisibilityHidden);
  MarkAsPopup();
}

KIVDlgContextualMenu::~KIVDlgContextualMenu() { Retire(); }
