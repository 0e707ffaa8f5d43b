#include "navigation/Nav3DManipulator.h"

KIV_IMPLEMENT_METAOBJECT(Nav3DManipulator, KIV3DManipulator)

Nav3DManipulator::Nav3DManipulator(KIVCommand* father, const KIVString& name, KIV3DRep* rep,
                                   const ManipulationStyle first, const ManipulationStyle second)
    : KIV3DManipulator(father, name.CastToCharPtr(), rep, first, second) {}

Nav3DManipulator::~Nav3DManipulator() = default;

KIV3DManipulator::ManipulationStyle Nav3DManipulator::GetManipulatorStype(int which) const {
  return GetManipulationStyle(which == 0 ? 1 : 0);
}
