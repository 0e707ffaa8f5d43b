#include "host/visu/interact/KIVIndicator.h"

KIV_IMPLEMENT_METAOBJECT(KIVIndicator, KIVCommand)
