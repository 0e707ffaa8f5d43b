#include "host/visu/KIVKeyEvent.h"
#include "host/visu/KIVMouseEvent.h"
#include "host/visu/KIVViewerEvent.h"

KIV_IMPLEMENT_METAOBJECT(KIVMouseEvent, KIVNotification)
KIV_IMPLEMENT_METAOBJECT(KIVKeyEvent, KIVNotification)
KIV_IMPLEMENT_METAOBJECT(KIVViewerEvent, KIVNotification)
