#include "host/dialog/KIVDlgBarMenu.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgBarMenu, KIVDlgMenu)

KIVDlgBarMenu::KIVDlgBarMenu(KIVDialog* parent, const char* tag, int style) : KIVDlgMenu(parent, tag, style) {}

KIVDlgBarMenu::~KIVDlgBarMenu() { Retire(); }
