#pragma once
// A closed box of 12 triangles for tests: centred on c (the origin by default), half size h.
#include <vector>

#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/math/KIVMathPointf.h"

inline KIV3DCustomRep* Box(KIVMathPointf c, float h) {
  std::vector<float> v;
  for (int i = 0; i < 8; ++i) v.insert(v.end(), {c.x + (i & 1 ? h : -h), c.y + (i & 2 ? h : -h), c.z + (i & 4 ? h : -h)});
  const int t[36] = {0, 2, 1, 1, 2, 3, 4, 5, 6, 5, 7, 6, 0, 1, 4, 1, 5, 4, 2, 6, 3, 3, 6, 7, 0, 4, 2, 2, 4, 6, 1, 3, 5, 3, 7, 5};
  auto* rep = new KIV3DCustomRep;
  rep->AddGP(new KIV3DFaceGP(v.data(), 24, nullptr, t, 12));
  return rep;
}

inline KIV3DCustomRep* Box(float h) { return Box(KIVMathPointf(0, 0, 0), h); }
