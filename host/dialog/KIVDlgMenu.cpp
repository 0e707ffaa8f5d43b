#include "host/dialog/KIVDlgMenu.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgMenu, KIVDialog)
