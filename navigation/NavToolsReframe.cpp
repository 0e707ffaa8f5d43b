// Reframing, tree and path spheres, transformation matrices, standard views, and viewpoint
// copies and comparisons of NavToolsVisu.
#include <cmath>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/scene/KIVRepPath.h"
#include "navigation/Nav3DViewpointLight.h"
#include "navigation/NavToolsVisu.h"

namespace {
// Set only while SetViewerViewpoint ends a notifying modification.
int slAppelSetViewpoint = 0;

int HiddenBit(const KIVRep* rep) { return (rep->GetGraphicAttribute() >> 3) & 1; }
int SelectionBit(const KIVRep* rep) { return (rep->GetGraphicAttribute() >> 1) & 1; }
int ColourByte(const KIVRep* rep) { return static_cast<int>(rep->GetGraphicAttribute() >> 24); }

const KIV3DRep* As3D(const KIVRep* rep) { return dynamic_cast<const KIV3DRep*>(rep); }

KIVMathVectorf Unit(const KIVMathVectorf& v) {
  const float n = v.Norm();
  return n > 0.0f ? v / n : v;
}

// The object rep of a path: the leaf's, or in top mode the first non-bag below the top.
KIVRep* ObjectRep(KIVRepPath* path, int topMode) {
  if (!path) return nullptr;
  if (topMode != 1) {
    path->InitToLeafRep();
    return path->NextFatherRep();
  }
  path->InitToTopRep();
  KIVRep* rep = path->NextChildRep();
  while (rep && rep->IsAKindOf(KIV3DBagRep::ClassName())) rep = path->NextChildRep();
  if (!rep) return nullptr;
  const int k = path->GetCursorPosition() - 1;
  path->InitToTopRep();
  for (int i = 0; i < k; ++i) path->NextChildRep();
  return path->NextFatherRep();
}

template <class Source>
int Differs(const Source& a, const KIV3DViewpoint& b) {
  const float f = a.focus;
  const float d = f <= 1000.0f ? f : 1000.0f;
  const KIVMathPointf pa[3] = {a.origin, a.origin + a.sight * d, a.origin + a.up * 1.0f};
  const KIVMathPointf ob = b.GetOrigin();
  const KIVMathPointf pb[3] = {ob, ob + b.GetSightDirection() * d, ob + b.GetUpDirection() * 1.0f};
  for (int i = 0; i < 3; ++i)
    for (int k = 0; k < 3; ++k)
      if (std::fabs(static_cast<double>(pa[i][k]) - static_cast<double>(pb[i][k])) > 1.0) return 1;
  return a.angle == b.GetAngle() ? 0 : 1;
}

template <class Source>
int Apply(KIV3DViewer* viewer, const Source& source, int mode) {
  if (!viewer) return 0;
  KIV3DViewpoint* main = viewer->GetMain3DViewpoint();
  if (mode != 0) {
    if (slAppelSetViewpoint) return 0;
    if (Differs(source, *main) != 1) return 0;
  }
  main->BeginModification();
  main->SetAngle(source.angle);
  main->SetFocusDistance(source.focus);
  main->SetPosition(source.origin, source.sight, source.up);
  if (mode == 1) {
    slAppelSetViewpoint = 1;
    main->EndModification(1);
    slAppelSetViewpoint = 0;
  } else {
    main->EndModification(0);
  }
  viewer->Draw();
  return 1;
}
}  // namespace

void NavToolsVisu::ViewpointReframeWithBounding(KIV3DViewer* viewer, KIV3DViewpoint* vp,
                                                const KIV3DBoundingSphere& sphere) {
  if (!viewer || !vp) return;
  float r = sphere.GetRadius();
  if (r == 0.0f) r = sphere.GetRadiusMM();
  if (r == 0.0f) r = 10.0f;
  const KIVMathDirectionf s = vp->GetSightDirection();
  const float theta = static_cast<float>(static_cast<double>(vp->GetAngle()) * 0.017453292519943295);
  int w = 1, h = 1;
  viewer->GetGraphicSize(&w, &h);
  const float aspect = static_cast<float>(w) / static_cast<float>(h);
  const float d = static_cast<float>(static_cast<double>(aspect) * 0.9 * static_cast<double>(r) / theta);
  vp->SetOrigin(sphere.GetCenter() - s * d);
  vp->SetFocusDistance(d);
}

void NavToolsVisu::ViewpointReframeGlobal(KIV3DViewer* viewer, KIV3DViewpoint* vp) {
  if (viewer) ViewpointReframeWithBounding(viewer, vp, viewer->GetGlobalBoundingSphere());
}

void NavToolsVisu::ViewpointReframeOnSelect(KIV3DViewer* viewer, KIV3DViewpoint* vp, KIV3DRep* root, int recurse) {
  ViewpointReframeOnGroup(viewer, vp, root, recurse, 1, 1, -1);
}

void NavToolsVisu::ViewpointReframeOnGroup(KIV3DViewer* viewer, KIV3DViewpoint* vp, KIV3DRep* root, int recurse,
                                           int selection, int hidden, int colour) {
  int found = 0;
  const KIV3DBoundingSphere sphere = GetBoundingSphere(root, found, recurse, selection, hidden, colour);
  if (found == 1) ViewpointReframeWithBounding(viewer, vp, sphere);
}

void NavToolsVisu::ViewpointReframeOnShow(KIV3DViewer* viewer, KIV3DViewpoint* vp, KIV3DRep* root) {
  if (!root) return;
  KIVRepPath path;
  int found = 0;
  const KIV3DBoundingSphere sphere = GetBoundingSphereShow(root, path, found);
  if (found == 1) ViewpointReframeWithBounding(viewer, vp, sphere);
}

int NavToolsVisu::ViewpointReframeOnDefineObjet(KIV3DViewer* viewer, KIV3DViewpoint* vp, KIV3DRep** reps,
                                                int count) {
  if (count < 1 || !reps) return 0;
  KIV3DBoundingSphere sphere;
  for (int i = 0; i < count; ++i)
    if (reps[i]) sphere += reps[i]->GetBoundingElement() * GetTransfoMatrice(reps[i], 0);
  ViewpointReframeWithBounding(viewer, vp, sphere);
  return 1;
}

int NavToolsVisu::ViewpointReframeOnDefineObjet(KIV3DViewer* viewer, KIV3DViewpoint* vp, KIVRepPath* path,
                                                int topMode) {
  const KIV3DRep* rep = As3D(ObjectRep(path, topMode));
  if (!rep) return 0;
  ViewpointReframeWithBounding(viewer, vp, rep->GetBoundingElement() * GetTransfoMatrice(path, 0, nullptr));
  return 1;
}

int NavToolsVisu::ViewpointReframeOnDefineObjet(KIV3DViewer* viewer, KIV3DViewpoint* vp, KIVRepPath** paths,
                                                int count, int topMode) {
  KIV3DBoundingSphere sphere;
  int any = 0;
  for (int i = 0; paths && i < count; ++i) {
    const KIV3DRep* rep = As3D(ObjectRep(paths[i], topMode));
    if (!rep) continue;
    sphere += rep->GetBoundingElement() * GetTransfoMatrice(paths[i], 0, nullptr);
    any = 1;
  }
  ViewpointReframeWithBounding(viewer, vp, sphere);
  return any;
}

int NavToolsVisu::ViewpointHighlightOnDefineObjet(KIVRepPath** paths, int count, int topMode, int highlight) {
  int any = 0;
  for (int i = 0; paths && i < count; ++i) {
    KIVRep* rep = ObjectRep(paths[i], topMode);
    if (!rep) continue;
    rep->SetHighlightMode(highlight == 1 ? 1 : 0, 0);
    any = 1;
  }
  return any;
}

KIV3DBoundingSphere NavToolsVisu::GetBoundingSphere(KIV3DRep* root, int& found, int recurse, int selection,
                                                    int hidden, int colour) {
  KIV3DBoundingSphere result;
  if (!root) return result;
  for (KIVRep* child : root->GetChildren()) {
    const bool match = (selection == -1 || SelectionBit(child) == selection) &&
                       (hidden == -1 || HiddenBit(child) != hidden) && (colour == -1 || ColourByte(child) == colour);
    auto* child3 = dynamic_cast<KIV3DRep*>(child);
    if (match) {
      if (!child3) continue;
      result += child3->GetBoundingElement() * GetTransfoMatrice(child3, 0);
      found = 1;
    } else if (recurse == 1 && child3) {
      result += GetBoundingSphere(child3, found, recurse, selection, hidden, colour);
    }
  }
  return result;
}

KIV3DBoundingSphere NavToolsVisu::GetBoundingSphereShow(KIV3DRep* rep, KIVRepPath& path, int& found) {
  KIV3DBoundingSphere result;
  if (!rep) return result;
  path.AddRep(rep);
  if (!rep->GetChildren().empty()) {
    for (KIVRep* child : rep->GetChildren()) {
      auto* child3 = dynamic_cast<KIV3DRep*>(child);
      if (!child3 || HiddenBit(child)) continue;
      int childFound = 0;
      const KIV3DBoundingSphere sphere = GetBoundingSphereShow(child3, path, childFound);
      if (childFound == 1) {
        result += sphere;
        found = 1;
      }
    }
  } else if (!HiddenBit(rep)) {
    const KIV3DBoundingSphere& own = rep->GetBoundingElement();
    if (!own.IsEmpty() && own.GetRadius() > 0.0f) {
      result = own * GetTransfoMatrice(&path, 0, nullptr);
      found = 1;
    }
  }
  path.RemoveRep(rep);
  return result;
}

KIV4x4Matrix NavToolsVisu::GetTransfoMatrice(KIV3DRep* rep, int mode) {
  KIV4x4Matrix own, acc;
  if (!rep) return acc;
  if (auto* bag = dynamic_cast<KIV3DBagRep*>(rep); bag && bag->GetMatrix()) {
    if (mode == 1)
      acc = *bag->GetMatrix();
    else
      own = bag->GetInvertedMatrix();
  }
  if (!rep->GetParents().empty())
    if (auto* parent = dynamic_cast<KIV3DRep*>(rep->GetParents().front())) acc = acc * GetTransfoMatrice(parent, 1);
  return mode == 1 ? acc : own * acc;
}

KIV4x4Matrix NavToolsVisu::GetTransfoMatrice(KIVRepPath* path, int mode, KIVRep* stop) {
  KIV4x4Matrix result;
  if (!path) return result;
  path->InitToLeafRep();
  KIVRep* rep = path->NextFatherRep();
  if (mode == 1) {
    while (rep && rep != stop) rep = path->NextFatherRep();
    if (rep) rep = path->NextFatherRep();
  }
  for (; rep; rep = path->NextFatherRep())
    if (auto* bag = dynamic_cast<KIV3DBagRep*>(rep); bag && bag->GetMatrix()) result = result * *bag->GetMatrix();
  return result;
}

void NavToolsVisu::ViewpointGetOtherView(KIV3DViewpoint* vp, const KIVMathDirectionf& sight,
                                         const KIVMathDirectionf& up, int view, int keepTarget, int notify) {
  if (!vp) return;
  const KIVMathVectorf S = sight, U = up;
  const KIVMathVectorf R = Unit(S ^ U);
  const KIVMathVectorf V = vp->GetSightDirection();
  KIVMathVectorf n, u;
  switch (view) {
    case 0:
      n = Unit((S - R) - U);
      u = (n ^ U) ^ n;
      break;
    case 1: n = S; u = U; break;
    case 2: n = -S; u = U; break;
    case 3: n = R; u = U; break;
    case 4: n = -R; u = U; break;
    case 5: n = -U; u = S; break;
    case 6: n = U; u = -S; break;
    case 7:
      if ((V ^ U).Norm() > 1e-15f) {
        n = Unit(S * (V * S) + R * (V * R));
        u = U;
      } else {
        n = V;
        u = vp->GetUpDirection();
      }
      break;
    default:
      return;
  }
  n = Unit(n);
  const KIVMathVectorf X = Unit(n ^ u);
  if (X.x + X.y + X.z > 0.0f) u = Unit(X ^ n);
  vp->BeginModification();
  if (keepTarget == 1) {
    const float f = vp->GetFocusDistance();
    const KIVMathPointf target = vp->GetOrigin() + V * f;
    vp->SetOrigin(target - n * f);
  }
  vp->SetSightDirection(n);
  vp->SetUpDirection(u);
  vp->EndModification(notify);
}

int NavToolsVisu::SetViewerViewpoint(KIV3DViewer* viewer, KIV3DViewpoint* source, int mode) {
  if (!source) return 0;
  return Apply(viewer, Nav3DViewpointLight(*source), mode);
}

int NavToolsVisu::SetViewerViewpoint(KIV3DViewer* viewer, Nav3DViewpointLight* source, int mode) {
  if (!source) return 0;
  return Apply(viewer, *source, mode);
}

void NavToolsVisu::CopyVPLightToViewpoint3D(Nav3DViewpointLight& record, KIV3DViewpoint& vp) {
  vp.SetAngle(record.angle);
  vp.SetFocusDistance(record.focus);
  vp.SetPosition(record.origin, record.sight, record.up);
}

int NavToolsVisu::IsViewpointDifferent(KIV3DViewpoint* a, KIV3DViewpoint* b) {
  if (!a || !b) return a != b;
  return Differs(Nav3DViewpointLight(*a), *b);
}

int NavToolsVisu::IsViewpointDifferent(Nav3DViewpointLight* a, KIV3DViewpoint* b) {
  if (!a || !b) return 1;
  return Differs(*a, *b);
}
