#include "host/visu/KIVViewpointEditor.h"

KIV_IMPLEMENT_METAOBJECT(KIVViewpointEditor, KIVCommand)
