#include "apps/navview/BuiltinPlant.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "apps/navview/NavviewScene.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/math/KIV4x4Matrix.h"

namespace {

constexpr float kUnitSpacing = 24.0f;
constexpr int kSegments = 24;

struct Colour {
  unsigned char r, g, b;
};
constexpr Colour kConcrete{150, 150, 145}, kSteel{90, 100, 115}, kTank{215, 220, 225}, kColumn{225, 130, 40},
    kPump{40, 140, 70}, kValve{200, 30, 30}, kVessel{70, 110, 190};
constexpr Colour kPipes[4] = {{230, 200, 40}, {200, 60, 50}, {120, 170, 200}, {160, 160, 160}};

// A small deterministic generator, the same on every platform.
struct Lcg {
  unsigned state;
  float Next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(state >> 8) / 16777216.0f;
  }
};

KIV4x4Matrix Translation(float x, float y, float z) {
  return KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1), KIVMathPointf(x, y, z));
}
// Local z turned onto world x (horizontal pipes along x).
KIV4x4Matrix AlongX(float x, float y, float z) {
  return KIV4x4Matrix(KIVMathVectorf(0, 0, -1), KIVMathVectorf(0, 1, 0), KIVMathVectorf(1, 0, 0), KIVMathPointf(x, y, z));
}

KIV3DCustomRep* Model(NavviewScene& scene, KIV3DBagRep* unit, const std::string& name, const KIV4x4Matrix& place,
                      Colour colour) {
  KIV3DBagRep* bag = scene.AddBag(unit, name, true);
  bag->SetMatrix(place);
  KIV3DCustomRep* leaf = scene.AddLeaf(bag, name + " body");
  leaf->SetRGBA(colour.r, colour.g, colour.b, 255);
  return leaf;
}

}  // namespace

void BuiltinPlant::AddBox(KIV3DCustomRep& leaf, float hx, float hy, float hz) {
  std::vector<float> v, n;
  std::vector<int> t;
  // Six faces, four corners each, so that every face keeps its own normal.
  for (int axis = 0; axis < 3; ++axis)
    for (int side = -1; side <= 1; side += 2) {
      const int u = (axis + 1) % 3, w = (axis + 2) % 3;
      const float h[3] = {hx, hy, hz};
      const int base = static_cast<int>(v.size() / 3);
      for (int c = 0; c < 4; ++c) {
        float p[3];
        p[axis] = side * h[axis];
        p[u] = ((c & 1) ? 1.0f : -1.0f) * h[u];
        p[w] = ((c & 2) ? 1.0f : -1.0f) * h[w];
        v.insert(v.end(), p, p + 3);
        float q[3] = {0, 0, 0};
        q[axis] = static_cast<float>(side);
        n.insert(n.end(), q, q + 3);
      }
      // Counter-clockwise seen from outside.
      if (side > 0)
        t.insert(t.end(), {base, base + 1, base + 3, base, base + 3, base + 2});
      else
        t.insert(t.end(), {base, base + 3, base + 1, base, base + 2, base + 3});
    }
  leaf.AddGP(new KIV3DFaceGP(v.data(), static_cast<int>(v.size()), n.data(), t.data(), static_cast<int>(t.size() / 3)));
}

void BuiltinPlant::AddCylinder(KIV3DCustomRep& leaf, float radius, float height, int segments) {
  if (segments < 3) segments = 3;
  std::vector<float> v, n;
  std::vector<int> t;
  const float step = 6.28318531f / static_cast<float>(segments);
  for (int i = 0; i < segments; ++i) {  // side: bottom and top rings with radial normals
    const float c = std::cos(step * i), s = std::sin(step * i);
    v.insert(v.end(), {radius * c, radius * s, 0.0f, radius * c, radius * s, height});
    n.insert(n.end(), {c, s, 0.0f, c, s, 0.0f});
  }
  for (int i = 0; i < segments; ++i) {
    const int a = 2 * i, b = 2 * ((i + 1) % segments);
    t.insert(t.end(), {a, b, a + 1, a + 1, b, b + 1});
  }
  for (int cap = 0; cap < 2; ++cap) {  // caps: a centre and their own ring, flat normals
    const float z = cap ? height : 0.0f, nz = cap ? 1.0f : -1.0f;
    const int centre = static_cast<int>(v.size() / 3);
    v.insert(v.end(), {0.0f, 0.0f, z});
    n.insert(n.end(), {0.0f, 0.0f, nz});
    for (int i = 0; i < segments; ++i) {
      v.insert(v.end(), {radius * std::cos(step * i), radius * std::sin(step * i), z});
      n.insert(n.end(), {0.0f, 0.0f, nz});
    }
    for (int i = 0; i < segments; ++i) {
      const int a = centre + 1 + i, b = centre + 1 + (i + 1) % segments;
      if (cap)
        t.insert(t.end(), {centre, a, b});
      else
        t.insert(t.end(), {centre, b, a});
    }
  }
  leaf.AddGP(new KIV3DFaceGP(v.data(), static_cast<int>(v.size()), n.data(), t.data(), static_cast<int>(t.size() / 3)));
}

int BuiltinPlant::ModelsPerUnit() { return 1 + 2 + 1 + 4 + 4 + 8 + 16 + 8; }

int BuiltinPlant::Build(NavviewScene& scene, int unitsPerSide) {
  if (unitsPerSide < 1) return 0;
  int models = 0;
  const float offset = -0.5f * kUnitSpacing * static_cast<float>(unitsPerSide - 1);
  for (int row = 0; row < unitsPerSide; ++row)
    for (int column = 0; column < unitsPerSide; ++column) {
      Lcg random{static_cast<unsigned>(row * 7919 + column * 104729 + 17)};
      char label[32];
      std::snprintf(label, sizeof label, "U%02d-%02d", row + 1, column + 1);
      const std::string unitName = label;
      KIV3DBagRep* unit = scene.AddBag(nullptr, "Unit " + unitName, false);
      unit->SetMatrix(Translation(offset + column * kUnitSpacing, offset + row * kUnitSpacing, 0.0f));
      int added = 0;
      auto model = [&](const std::string& what, const KIV4x4Matrix& place, Colour colour) {
        ++added;
        return Model(scene, unit, unitName + " " + what, place, colour);
      };

      AddBox(*model("Slab", Translation(0, 0, -0.15f), kConcrete), 9.0f, 9.0f, 0.15f);
      for (int i = 0; i < 2; ++i) {
        const float height = 5.0f + 4.0f * random.Next();
        AddCylinder(*model("Tank " + std::to_string(i + 1), Translation(-5.0f, -4.0f + 8.0f * i, 0), kTank), 2.2f,
                    height, kSegments);
      }
      AddCylinder(*model("Column", Translation(5.0f, 4.5f, 0), kColumn), 0.9f, 10.0f + 6.0f * random.Next(),
                  kSegments);
      for (int i = 0; i < 4; ++i)
        AddBox(*model("Pump " + std::to_string(i + 1), Translation(-1.5f + 1.8f * i, -6.5f, 0.45f), kPump), 0.6f,
               0.4f, 0.45f);
      for (int i = 0; i < 4; ++i)  // rack posts at the corners of the rack
        AddBox(*model("Post " + std::to_string(i + 1),
                      Translation(i < 2 ? -8.0f : 8.0f, (i % 2) ? 1.2f : -1.2f, 2.25f), kSteel),
               0.15f, 0.15f, 2.25f);
      for (int i = 0; i < 8; ++i) {  // pipes along x on two levels of the rack
        const float y = -1.0f + 2.0f * static_cast<float>(i % 4) / 3.0f, z = i < 4 ? 3.8f : 4.5f;
        AddCylinder(*model("Pipe " + std::to_string(i + 1), AlongX(-9.0f, y, z), kPipes[i % 4]), 0.18f, 18.0f, 12);
        for (int k = 0; k < 2; ++k)  // two valves on each pipe
          AddBox(*model("Valve " + std::to_string(2 * i + k + 1), Translation(-4.0f + 8.0f * k, y, z), kValve), 0.3f,
                 0.3f, 0.3f);
      }
      for (int i = 0; i < 8; ++i) {
        const float height = 0.8f + 1.2f * random.Next();
        AddCylinder(*model("Vessel " + std::to_string(i + 1), Translation(0.5f + 1.1f * (i % 4), 3.5f + 1.6f * (i / 4), 0),
                           kVessel),
                    0.45f, height, 16);
      }
      models += added;
    }
  return models;
}
