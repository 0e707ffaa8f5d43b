// Frames of the plant drawn by the OpenGL back end at 1280 × 720, waiting for the GPU in
// every iteration (glFinish), so that the time is the whole frame: traversal, culling,
// submission and rasterisation. Still frames use the support's culling precision; moving
// frames raise it as a viewer does during navigation.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench/PlantScene.h"
#include "bench/PlantTree.h"
#include "host/gl/KIVGLContext.h"
#include "host/gl/KIVGLRender.h"
#include "host/visu/KIV3DViewer.h"

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
    vp->SetPosition(f->plant->GetEye(), f->plant->GetTarget() - f->plant->GetEye(), f->plant->GetUp());
    vp->SetAngle(45.0f);
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

}  // namespace

BENCHMARK_MAIN();
