// Frames of the plant drawn by the OpenGL back end at 1280 × 720, waiting for the GPU in
// every iteration (glFinish), so that the time is the whole frame: traversal, culling,
// submission and rasterisation. Still frames use the support's culling precision; moving
// frames raise it as a viewer does during navigation.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench/PlantScene.h"
#include "bench/PlantTree.h"
#include "host/gl/KIVGLContext.h"
#include "host/gl/KIVGLRender.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "viewer/NavViewerExtand.h"

namespace {

KIVGLContext* Context() {
  static std::string reason;
  static std::unique_ptr<KIVGLContext> context = KIVGLContext::CreateHeadless(&reason);
  if (!context) std::fprintf(stderr, "no headless OpenGL: %s\n", reason.c_str());
  return context.get();
}

struct Fixture {
  std::unique_ptr<PlantScene> plant;
  PlantTree tree;
  std::unique_ptr<KIV3DViewer> viewer;
  std::unique_ptr<KIVGLRender> render;
};

Fixture* Plant(int models, int triangles) {
  // The context first, so that it outlives the renders of the fixtures.
  if (!Context()) return nullptr;
  static std::map<std::pair<int, int>, std::unique_ptr<Fixture>> fixtures;
  std::unique_ptr<Fixture>& f = fixtures[{models, triangles}];
  if (!f) {
    f = std::make_unique<Fixture>();
    f->plant = std::make_unique<PlantScene>(models, triangles, 7);
    f->tree = BuildPlantTree(*f->plant);
    f->viewer = std::make_unique<KIV3DViewer>(1280, 720);
    KIV3DViewpoint* vp = f->viewer->GetMain3DViewpoint();
    AimAtPlant(*vp, *f->plant);
    vp->AddRep(f->tree.root);
    f->render = std::make_unique<KIVGLRender>(f->viewer->GetSupport(), Context());
    f->viewer->SetRender(f->render.get());
  }
  return f.get();
}

// Arguments: models, triangles per model, culling precision in pixels.
void BM_GLFrame(benchmark::State& state) {
  Fixture* f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  if (!f) {
    state.SkipWithError("no headless OpenGL");
    return;
  }
  KIVSupport& support = f->viewer->GetSupport();
  const float saved = support.GetCullingPrecision();
  support.SetCullingPrecision(static_cast<float>(state.range(2)));
  // The first frame uploads the buffers; the loop measures frames from the cache.
  f->viewer->Draw();
  f->render->Finish();
  double gpu = 0.0;
  for (auto _ : state) {
    f->viewer->Draw();
    f->render->Finish();
    gpu += f->render->GetLastFrameStats().gpuSeconds;
  }
  const KIVGLRender::FrameStats& stats = f->render->GetLastFrameStats();
  state.counters["triangles"] = static_cast<double>(stats.triangles);
  state.counters["primitives"] = stats.primitives;
  state.counters["gpu_ms"] = state.iterations() ? 1e3 * gpu / static_cast<double>(state.iterations()) : 0.0;
  state.counters["cpu_ms"] = 1e3 * stats.cpuSeconds;
  support.SetCullingPrecision(saved);
}
BENCHMARK(BM_GLFrame)
    ->ArgNames({"models", "tris", "cull_px"})
    ->Args({10000, 1000, 1})
    ->Args({10000, 1000, 2})
    ->Args({10000, 1000, 4})
    ->Args({1000, 1000, 1})
    ->Args({1000, 1000, 4})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The extended viewer's occlusion drawing against its plain drawing, both through OpenGL:
// arguments occlusion (0 or 1). The statistics line of every occlusion frame goes to
// /dev/null so that it stays off the report.
void BM_GLOcclusion(benchmark::State& state) {
  if (!Context()) {
    state.SkipWithError("no headless OpenGL");
    return;
  }
  static std::unique_ptr<PlantScene> plant;
  static PlantTree tree;
  static std::unique_ptr<NavViewerExtand> viewer;
  static std::unique_ptr<KIVGLRender> render;
  if (!viewer) {
    plant = std::make_unique<PlantScene>(10000, 1000, 7);
    tree = BuildPlantTree(*plant);
    viewer = std::make_unique<NavViewerExtand>(nullptr, KIVString("bench"), 4, 0, 1280, 720);
    AimAtPlant(*viewer->GetMain3DViewpoint(), *plant);
    viewer->AddRep(tree.root, NavViewerExtand::kOfficialRoot);
    render = std::make_unique<KIVGLRender>(viewer->GetSupport(), Context());
    viewer->SetRender(render.get());
  }
  const bool occlusion = state.range(0) != 0;
  const int modes = viewer->GetQualityModes() & ~NavViewerExtand::kQualityOcclusion;
  viewer->SetQualityModes(occlusion ? modes | NavViewerExtand::kQualityOcclusion : modes);
  viewer->GetSupport().SetCullingPrecision(1.0f);
  std::fflush(stdout);
  const int saved = dup(1), sink = open("/dev/null", O_WRONLY);
  if (sink >= 0) dup2(sink, 1);
  viewer->Draw();
  render->Finish();
  for (auto _ : state) {
    viewer->Draw();
    render->Finish();
  }
  std::fflush(stdout);
  if (saved >= 0) dup2(saved, 1), close(saved);
  if (sink >= 0) close(sink);
  state.counters["triangles"] = static_cast<double>(render->GetLastFrameStats().triangles);
  state.counters["visible"] = occlusion ? viewer->GetLastVisibleCount() : 0;
  viewer->SetQualityModes(modes);
  viewer->GetRootRep(NavViewerExtand::kOfficialRoot)->SetShowMode(0, 0);
}
BENCHMARK(BM_GLOcclusion)->ArgNames({"occlusion"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A left drag in the examine style against still frames, through the extended viewer as a
// window drives it: each iteration is one mouse move (the editor turns the camera) and the
// frame it calls for. Arguments: models, triangles per model, dragging (0 or 1). The still
// frames are drawn at the precisions a drag uses, so the ratio is the cost of the input.
// dragging 2 times the mouse moves alone, with no frame: what input costs by itself.
void BM_GLDrag(benchmark::State& state) {
  if (!Context()) {
    state.SkipWithError("no headless OpenGL");
    return;
  }
  struct Drag {
    std::unique_ptr<PlantScene> plant;
    PlantTree tree;
    KIVDlgDialog* window = nullptr;  // owns the viewer
    NavViewerExtand* viewer = nullptr;
    std::unique_ptr<KIVGLRender> render;
  };
  static std::map<std::pair<int, int>, std::unique_ptr<Drag>> drags;
  const int models = static_cast<int>(state.range(0)), triangles = static_cast<int>(state.range(1));
  std::unique_ptr<Drag>& d = drags[{models, triangles}];
  if (!d) {
    d = std::make_unique<Drag>();
    d->plant = std::make_unique<PlantScene>(models, triangles, 7);
    d->tree = BuildPlantTree(*d->plant);
    d->window = new KIVDlgDialog(nullptr, "BenchWindow", 0x4000);
    d->viewer = new NavViewerExtand(d->window, KIVString("bench"),
                                    NavViewerExtand::kOptionEditor | NavViewerExtand::kOptionQuality |
                                        NavViewerExtand::kOptionSelectOfficial,
                                    0, 1280, 720);
    d->viewer->AddRep(d->tree.root, NavViewerExtand::kOfficialRoot);
    d->window->SetVisibility(2);
    KIVApplication::MainApplication()->ProcessDeferred();  // the window exists: the editor is made
    AimAtPlant(*d->viewer->GetMain3DViewpoint(), *d->plant);
    d->render = std::make_unique<KIVGLRender>(d->viewer->GetSupport(), Context());
    d->viewer->SetRender(d->render.get());
  }
  NavViewerExtand& viewer = *d->viewer;
  const bool dragging = state.range(2) != 0, draw = state.range(2) != 2;
  const int cx = 640, cy = 360, button = static_cast<int>(state.range(3));
  viewer.UserMousePress(cx, cy, button, 0);
  viewer.UserMouseMove(cx + 6, cy, button, 0);  // past the drag threshold
  viewer.Draw();
  d->render->Finish();
  int step = 0;
  for (auto _ : state) {
    if (dragging) {
      // Small moves to and fro, so that the view stays on the plant.
      const int dx = (step++ / 20) % 2 ? -1 : 1;
      viewer.UserMouseMove(cx + 6 + (step % 20) * dx, cy, button, 0);
    }
    if (draw) {
      viewer.Draw();
      d->render->Finish();
    }
  }
  viewer.UserMouseRelease(cx + 6, cy, button, 0);
  state.counters["triangles"] = static_cast<double>(d->render->GetLastFrameStats().triangles);
  state.counters["cull_px"] = viewer.GetSupport().GetCullingPrecision();
}
BENCHMARK(BM_GLDrag)
    ->ArgNames({"models", "tris", "drag", "button"})
    ->ArgsProduct({{2816}, {34}, {0, 1, 2}, {1}})
    ->ArgsProduct({{2816, 10000}, {34}, {2}, {1, 2, 4}})
    ->ArgsProduct({{10000}, {1000}, {0, 1, 2}, {1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
