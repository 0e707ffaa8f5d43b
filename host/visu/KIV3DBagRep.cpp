#include "host/visu/KIV3DBagRep.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DBagRep, KIV3DRep)
