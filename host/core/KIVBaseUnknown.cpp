#include "host/core/KIVBaseUnknown.h"

KIV_IMPLEMENT_METAOBJECT_BODY(KIVBaseUnknown, nullptr)
