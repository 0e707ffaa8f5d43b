#include "host/visu/KIVIndicator.h"

KIV_IMPLEMENT_METAOBJECT(KIVIndicator, KIVCommand)
