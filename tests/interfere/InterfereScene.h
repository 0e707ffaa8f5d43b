#pragma once
// Small scenes for the interference tests: boxes, spheres and wires as custom reps under
// bags, the paths that name them, and a model run that collects its answer.
#include <cmath>
#include <memory>
#include <vector>

#include "host/visu/interfere/KIVSiInInterfereModel.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DLineRep.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "host/visu/scene/KIVRepPath.h"

namespace interfere_test {

// A closed box mesh from lo to hi (12 triangles).
inline KIV3DCustomRep* Box(float x0, float y0, float z0, float x1, float y1, float z1) {
  const float v[24] = {x0, y0, z0, x1, y0, z0, x1, y1, z0, x0, y1, z0, x0, y0, z1, x1, y0, z1, x1, y1, z1, x0, y1, z1};
  const int t[36] = {0, 2, 1, 0, 3, 2, 4, 5, 6, 4, 6, 7, 0, 1, 5, 0, 5, 4,
                     1, 2, 6, 1, 6, 5, 2, 3, 7, 2, 7, 6, 3, 0, 4, 3, 4, 7};
  auto* rep = new KIV3DCustomRep;
  rep->AddGP(new KIV3DFaceGP(v, 24, nullptr, t, 12));
  return rep;
}

// A closed UV sphere.
inline KIV3DCustomRep* Sphere(float cx, float cy, float cz, float r, int rings = 12, int segments = 16) {
  std::vector<float> v;
  std::vector<int> t;
  for (int j = 0; j <= rings; ++j)
    for (int i = 0; i < segments; ++i) {
      const double th = M_PI * j / rings, ph = 2 * M_PI * i / segments;
      v.insert(v.end(), {static_cast<float>(cx + r * std::sin(th) * std::cos(ph)),
                         static_cast<float>(cy + r * std::sin(th) * std::sin(ph)),
                         static_cast<float>(cz + r * std::cos(th))});
    }
  for (int j = 0; j < rings; ++j)
    for (int i = 0; i < segments; ++i) {
      const int a = j * segments + i, b = j * segments + (i + 1) % segments, c = a + segments, d = b + segments;
      t.insert(t.end(), {a, c, d, a, d, b});
    }
  auto* rep = new KIV3DCustomRep;
  rep->AddGP(new KIV3DFaceGP(v.data(), static_cast<int>(v.size()), nullptr, t.data(), static_cast<int>(t.size() / 3)));
  return rep;
}

// Line segments, six floats each.
inline KIV3DCustomRep* Wire(std::vector<float> segments) {
  auto* rep = new KIV3DCustomRep;
  rep->AddGP(new KIV3DLineGP(segments.data(), static_cast<int>(segments.size())));
  return rep;
}

inline KIV4x4Matrix Translation(float x, float y, float z) {
  return KIV4x4Matrix({1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {x, y, z});
}

// A root bag owning everything; every object sits in its own bag (with a matrix or not).
struct Scene {
  KIV3DBagRep* root = new KIV3DBagRep;
  std::vector<std::unique_ptr<KIVRepPath>> paths;
  ~Scene() { root->Destroy(); }
  // Adds a bag holding `leaf` under the root; the path root, bag, leaf.
  KIVRepPath* Add(KIV3DCustomRep* leaf, const KIV4x4Matrix* matrix = nullptr) {
    auto* bag = new KIV3DBagRep;
    if (matrix) bag->SetMatrix(matrix);
    bag->AddChild(leaf);
    root->AddChild(bag);
    return Path({root, bag, leaf});
  }
  KIVRepPath* Path(std::vector<KIVRep*> reps) {
    paths.push_back(std::make_unique<KIVRepPath>());
    for (KIVRep* r : reps) paths.back()->AddRep(r);
    return paths.back().get();
  }
};

// One query's answer as plain values.
struct Answer {
  int query = -1;
  int computed = 0;
  int count = 0;
  double distance = 1234.5;  // untouched when there is no result
  std::vector<KIVMathPointf> points;     // the first result's two points
  int lines = 0;                         // crossing segments in the first result
  std::vector<int> kinds;
  std::vector<std::pair<KIVRepPath*, KIVRepPath*>> pairs;
};

inline void ReadBag(KIV3DBagRep* bag, Answer& out) {
  for (KIVRep* child : bag->GetChildren()) {
    if (auto* p = dynamic_cast<KIV3DPointRep*>(child)) out.points.push_back(p->GetPoint());
    else if (dynamic_cast<KIV3DLineRep*>(child)) ++out.lines;
  }
}

// Kinds 4 and 7.
inline Answer Nearest(std::vector<KIVRepPath*> a, std::vector<KIVRepPath*> b, int kind, int geometry = 0,
                      const double* dir = nullptr) {
  Answer out;
  KIVSiInInterfereModel model;
  out.query = kind == KIVSiInInterfereModel::kDirectional
                 ? model.AddSpec(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), kind,
                                 dir[0], dir[1], dir[2])
                 : model.AddSpec(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), geometry,
                                 kind, 0.0);
  out.computed = model.Compute();
  KIV3DBagRep** bags = nullptr;
  model.GetResult(out.query, &out.distance, &out.count, &bags, 0);
  for (int i = 0; i < out.count; ++i) {
    if (i == 0) ReadBag(bags[i], out);
    bags[i]->Destroy();
  }
  delete[] bags;
  return out;
}

// Kinds 1, 2 and 3.
inline Answer Clashes(std::vector<KIVRepPath*> a, std::vector<KIVRepPath*> b, int kind, double value = 0.0,
                      int geometry = 0) {
  Answer out;
  KIVSiInInterfereModel model;
  out.query = model.AddSpec(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), geometry, kind,
                           value);
  out.computed = model.Compute();
  KIVRepPath **pa = nullptr, **pb = nullptr;
  int* kinds = nullptr;
  KIV3DBagRep** bags = nullptr;
  model.GetResult(out.query, &out.count, &pa, &pb, &kinds, &bags, 0);
  for (int i = 0; i < out.count; ++i) {
    out.kinds.push_back(kinds[i]);
    out.pairs.emplace_back(pa[i], pb[i]);
    if (i == 0) ReadBag(bags[i], out);
    bags[i]->Destroy();
  }
  delete[] pa;
  delete[] pb;
  delete[] kinds;
  delete[] bags;
  return out;
}

}  // namespace interfere_test
