#include "host/dialog/KIVDlgContextualMenu.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgContextualMenu, KIVDlgMenu)
