#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/interact/KIVViewerEvent.h"

KIV_IMPLEMENT_METAOBJECT(KIVMouseEvent, KIVNotification)
KIV_IMPLEMENT_METAOBJECT(KIVKeyEvent, KIVNotification)
KIV_IMPLEMENT_METAOBJECT(KIVViewerEvent, KIVNotification)
