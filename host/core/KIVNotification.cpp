#include "host/core/KIVNotification.h"

KIV_IMPLEMENT_METAOBJECT(KIVNotification, KIVBaseUnknown)
