#include "navigation/Nav3DSimpleSphereRep.h"

KIV_IMPLEMENT_METAOBJECT(Nav3DSimpleSphereRep, KIV3DSimpleSphereRep)

Nav3DSimpleSphereRep::~Nav3DSimpleSphereRep() = default;
