#pragma once
// The plant in an extended viewer of a shown window, drawn by a GL render on the
// benchmark's headless context and aimed at the whole plant: what the drag, follower and
// quality benchmarks drive as a person would.
#include <memory>

#include "bench/HeadlessContext.h"
#include "bench/PlantScene.h"
#include "bench/PlantTree.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/gl/KIVGLRender.h"
#include "viewer/NavViewerExtand.h"

struct ViewerPlant {
  std::unique_ptr<PlantScene> plant;
  PlantTree tree;
  KIVDlgDialog* window = nullptr;  // owns the viewer
  NavViewerExtand* viewer = nullptr;
  std::unique_ptr<KIVGLRender> render;

  /// Builds it all with the viewer's options; false without a context.
  static bool Build(ViewerPlant& p, int models, int triangles, int options) {
    if (!HeadlessContext()) return false;
    p.plant = std::make_unique<PlantScene>(models, triangles, 7);
    p.tree = BuildPlantTree(*p.plant);
    p.window = new KIVDlgDialog(nullptr, "BenchWindow", 0x4000);
    p.viewer = new NavViewerExtand(p.window, KIVString("bench"), options, 0, 1280, 720);
    p.viewer->AddRep(p.tree.root, NavViewerExtand::kOfficialRoot);
    p.window->SetVisibility(2);
    KIVApplication::MainApplication()->ProcessDeferred();  // the window exists: the editor is made
    AimAtPlant(*p.viewer->GetMain3DViewpoint(), *p.plant);
    p.render = std::make_unique<KIVGLRender>(p.viewer->GetSupport(), HeadlessContext());
    p.viewer->SetRender(p.render.get());
    return true;
  }
};
