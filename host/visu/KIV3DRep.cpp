#include "host/visu/KIV3DRep.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DRep, KIVRep)
