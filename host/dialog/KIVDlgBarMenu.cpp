#include "host/dialog/KIVDlgBarMenu.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgBarMenu, KIVDlgMenu)
