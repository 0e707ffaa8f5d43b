#include "host/dialog/KIVDlgMenu.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgMenu, KIVDialog)

KIVDlgMenu::KIVDlgMenu(KIVDialog* parent, const char* tag, int style) : KIVDialog(parent, tag, style) {}

KIVDlgMenu::~KIVDlgMenu() { Retire(); }
