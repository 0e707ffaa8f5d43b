#include "host/dialog/KIVDlgDialog.h"

KIV_IMPLEMENT_METAOBJECT(KIVDlgDialog, KIVDialog)
