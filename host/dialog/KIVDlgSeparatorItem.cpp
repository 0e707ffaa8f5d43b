#include "host/dialog/KIVDlgSeparatorItem.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgSeparatorItem, KIVDialog)
