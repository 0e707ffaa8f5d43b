#pragma once
// The host's 3D manipulator, telling which of its two manipulation styles it was made with.
#include "host/core/KIVString.h"
#include "host/visu/interact/KIV3DManipulator.h"
class Nav3DManipulator : public KIV3DManipulator {
  KIV_DECLARE_METAOBJECT(Nav3DManipulator)
 public:
  Nav3DManipulator(KIVCommand* father, const KIVString& name, KIV3DRep* rep, const ManipulationStyle first,
                   const ManipulationStyle second);
  ~Nav3DManipulator() override;
  /// 0: the style the host keeps second (modified drags); any other value: the first.
  ManipulationStyle GetManipulatorStype(int which) const;
};
