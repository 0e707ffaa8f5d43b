#include "apps/navview/NavviewGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "apps/navview/NavviewSession.h"
#include "apps/navview/NavviewWords.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "primitives/KIVSiLaGrid.h"
#include "primitives/KIVSiLaGridRep.h"
#include "viewer/NavViewerExtand.h"

namespace {
// The lowest point of the scene's leaves' spheres, carried by the matrices above them.
void Lowest(const KIVRep* rep, const KIV4x4Matrix& matrix, float& low) {
  if (const auto* leaf = dynamic_cast<const KIV3DCustomRep*>(rep)) {
    const KIV3DBoundingSphere s = leaf->GetBoundingElement() * matrix;
    if (!s.IsEmpty() && !s.IsInfinite()) low = std::min(low, s.GetCenter().z - s.GetRadius());
    return;
  }
  KIV4x4Matrix inner = matrix;
  if (const auto* bag = dynamic_cast<const KIV3DBagRep*>(rep))
    if (bag->GetMatrix()) inner = *bag->GetMatrix() * matrix;
  for (const KIVRep* child : rep->GetChildren()) Lowest(child, inner, low);
}
}  // namespace

NavviewGrid::~NavviewGrid() {
  if (!mGrid) return;
  if (auto* root = dynamic_cast<KIV3DBagRep*>(mSession.GetViewer().GetRootRep(NavViewerExtand::kAnnotationRoot)))
    root->RemoveChild(mGrid->GetGridRep());
  delete mGrid;
}

// A square grid twice the scene's sphere wide, with round steps about a tenth of it.
void NavviewGrid::Place() {
  NavViewerExtand& viewer = mSession.GetViewer();
  auto* scene = dynamic_cast<KIV3DRep*>(viewer.GetRootRep(NavViewerExtand::kOfficialRoot));
  auto* root = dynamic_cast<KIV3DBagRep*>(viewer.GetRootRep(NavViewerExtand::kAnnotationRoot));
  if (!scene || !root) return;
  KIV3DBoundingSphere sphere = scene->GetBoundingElement();
  if (sphere.IsEmpty() || sphere.IsInfinite()) sphere = KIV3DBoundingSphere(KIVMathPointf(0, 0, 0), 10.0f);
  const float radius = std::max(sphere.GetRadius(), 1e-3f);
  const float step = std::pow(10.0f, std::floor(std::log10(radius / 5.0f)));
  const float size = 2.0f * step * std::ceil(radius / step);
  if (!mGrid) {
    mGrid = new KIVSiLaGrid(&mSession.GetWindow(), size, size, step, step);
    root->AddChild(mGrid->GetGridRep());
  }
  KIVSiLaGridRep* rep = mGrid->GetGridRep();
  rep->SetSizeGrid(size, size);
  rep->SetStepsGrid(step, step);
  // Centred on a node of round coordinates, so that the graduations read round values.
  const KIVMathPointf centre = sphere.GetCenter();
  const KIVMathPointf c(step * std::round(centre.x / step), step * std::round(centre.y / step),
                        step * std::round(centre.z / step));
  // The grid's colour (index 19) light on navview's dark background.
  viewer.GetKIVColormap().SetColor(19, 0.72f, 0.78f, 0.86f);
  if (mPlane == "xy") {
    float low = std::numeric_limits<float>::max();
    Lowest(scene, KIV4x4Matrix(), low);
    if (low == std::numeric_limits<float>::max()) low = c.z - radius;
    // The local y and z of the grid run along the world's y and x: its normal is z.
    rep->SetPosition(KIVMathPointf(c.x, c.y, low), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(1, 0, 0));
  } else if (mPlane == "yz") {
    rep->SetPosition(c, KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  } else {
    rep->SetPosition(c, KIVMathDirectionf(1, 0, 0), KIVMathDirectionf(0, 0, 1));
  }
}

std::string NavviewGrid::Command(const std::vector<std::string>& w, bool& failed) {
  auto bad = [&failed]() {
    failed = true;
    return std::string();
  };
  if (w.empty()) return bad();
  if (w[0] == "on" && w.size() == 1) {
    Place();
    return mGrid ? "ok" : (failed = true, std::string("no scene to place a grid in"));
  }
  if (w[0] == "off" && w.size() == 1) {
    if (mGrid) {
      if (auto* root =
              dynamic_cast<KIV3DBagRep*>(mSession.GetViewer().GetRootRep(NavViewerExtand::kAnnotationRoot)))
        root->RemoveChild(mGrid->GetGridRep());
      delete mGrid;
      mGrid = nullptr;
    }
    return "ok";
  }
  if (w[0] == "plane" && w.size() == 2 && (w[1] == "xy" || w[1] == "yz" || w[1] == "xz")) {
    mPlane = w[1];
    Place();
    return "ok";
  }
  if (!mGrid) return (failed = true, std::string("no grid: grid on first"));
  KIVSiLaGridRep* rep = mGrid->GetGridRep();
  if (w[0] == "style" && w.size() == 2 && (w[1] == "lines" || w[1] == "crosses")) {
    rep->SetStyle(w[1] == "crosses");
    return "ok";
  }
  if (w[0] == "steps" && w.size() == 3) {
    float y = 0, z = 0;
    if (!NavviewWords::ToFloat(w[1], y) || !NavviewWords::ToFloat(w[2], z)) return bad();
    return rep->SetStepsGrid(y, z) ? "ok" : (failed = true, std::string("steps must be positive"));
  }
  if (w[0] == "coords" && w.size() == 2 && (w[1] == "on" || w[1] == "off")) {
    mGrid->ActivateFurtiveCoord(w[1] == "on");
    return "ok";
  }
  if (w[0] == "mode" && w.size() == 2 && (w[1] == "absolute" || w[1] == "relative")) {
    rep->SetCoordMode(w[1] == "relative");
    return "ok";
  }
  if (w[0] == "clean" && w.size() == 1) {
    rep->CleanCoordinates();
    return "ok";
  }
  return bad();
}
