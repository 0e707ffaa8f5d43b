#include "host/dialog/KIVDlgSubMenu.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgSubMenu, KIVDlgMenu)

KIVDlgSubMenu::KIVDlgSubMenu(KIVDialog* parent, const char* tag, int style) : KIVDlgMenu(parent, tag, style) {}

KIVDlgSubMenu::~KIVDlgSubMenu() { Retire(); }
