#include "host/visu/reps/KIV3DAxisRep.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/visu/scene/KIV3DAnnotationTextGP.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DLineGP.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DAxisRep, KIV3DBagRep)

namespace {
constexpr int kConeSides = 12;
constexpr unsigned char kColours[3][3] = {{230, 40, 40}, {40, 200, 40}, {50, 90, 240}};
constexpr const char* kLetters[3] = {"X", "Y", "Z"};
}  // namespace

KIV3DAxisRep::KIV3DAxisRep(const KIV4x4Matrix& placement, float length, float headSize) {
  for (int axis = 0; axis < 3; ++axis) {
    mArrows[axis] = new KIV3DCustomRep;
    mArrows[axis]->SetRGBA(kColours[axis][0], kColours[axis][1], kColours[axis][2], 255);
    AddChild(mArrows[axis]);
  }
  Modify(placement, length, headSize);
}

KIV3DAxisRep::~KIV3DAxisRep() {
  // Destroy may have taken the arrows already (it unlinks each before deleting it): only
  // those still children are ours to delete.
  for (KIV3DCustomRep*& arrow : mArrows) {
    if (std::find(GetChildren().begin(), GetChildren().end(), arrow) != GetChildren().end()) delete arrow;
    arrow = nullptr;
  }
}

KIV3DCustomRep* KIV3DAxisRep::GetArrow(int axis) const {
  if (axis < 0 || axis > 2) return nullptr;
  KIV3DCustomRep* arrow = mArrows[axis];
  return std::find(GetChildren().begin(), GetChildren().end(), arrow) != GetChildren().end() ? arrow : nullptr;
}

void KIV3DAxisRep::Modify(const KIV4x4Matrix& placement, float length, float headSize) {
  mLength = length > 0.0f && std::isfinite(length) ? length : 1.0f;
  mHead = headSize > 0.0f && headSize <= mLength ? headSize : 0.2f * mLength;
  SetMatrix(placement.IsIdentity() ? nullptr : &placement);
  Build();
}

void KIV3DAxisRep::Build() {
  const float shaft = mLength - mHead, radius = 0.35f * mHead;
  for (int axis = 0; axis < 3; ++axis) {
    KIV3DCustomRep* arrow = GetArrow(axis);
    if (!arrow) continue;
    arrow->ClearGPs();
    // The arrow's own frame: a along the axis, b and c across it.
    const int a = axis, b = (axis + 1) % 3, c = (axis + 2) % 3;
    auto point = [&](float along, float across1, float across2) {
      float p[3];
      p[a] = along, p[b] = across1, p[c] = across2;
      return std::vector<float>{p[0], p[1], p[2]};
    };
    std::vector<float> line = point(0.0f, 0.0f, 0.0f), tip = point(shaft, 0.0f, 0.0f);
    line.insert(line.end(), tip.begin(), tip.end());
    arrow->AddGP(new KIV3DLineGP(line.data(), 6));
    // The cone: apex, then the rim, as a fan closed on its first rim vertex.
    std::vector<float> vertices = point(mLength, 0.0f, 0.0f);
    for (int i = 0; i < kConeSides; ++i) {
      const float t = 6.2831853f * static_cast<float>(i) / kConeSides;
      const std::vector<float> rim = point(shaft, radius * std::cos(t), radius * std::sin(t));
      vertices.insert(vertices.end(), rim.begin(), rim.end());
    }
    std::vector<int> fan = {0};
    for (int i = 0; i <= kConeSides; ++i) fan.push_back(1 + i % kConeSides);
    auto* cone = new KIV3DFaceGP;
    cone->SetVertices(vertices.data(), static_cast<int>(vertices.size()));
    cone->AddFan(fan.data(), static_cast<int>(fan.size()));
    arrow->AddGP(cone);
    const std::vector<float> label = point(mLength + 0.5f * mHead, 0.0f, 0.0f);
    arrow->AddGP(new KIV3DAnnotationTextGP(KIVMathPointf(label.data()), kLetters[axis], 12.0f,
                                           KIV3DAnnotationTextGP::Center | KIV3DAnnotationTextGP::Middle));
  }
}
