#pragma once
// A rep of the 3D scene.

#include "host/visu/KIVRep.h"

class KIV3DRep : public KIVRep {
  KIV_DECLARE_METAOBJECT(KIV3DRep)
};
