#include "host/dialog/KIVDlgSubMenu.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgSubMenu, KIVDlgMenu)
