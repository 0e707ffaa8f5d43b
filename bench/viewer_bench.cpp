// The extended viewer on the plant: cloning 10,000 picked paths into a bag, and a frame
// drawn plainly against one drawn with occlusion drawing (visible objects found by a
// rectangle pick and cloned, the rest hidden). The base render traverses and culls without
// a back end, so the frame times here are the scene-graph side of a frame.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include "bench/PlantScene.h"
#include "viewer/KIVNavStatisticRender.h"
#include "bench/PlantTree.h"
#include "host/visu/scene/KIVRepPath.h"
#include "navigation/NavToolsVisu.h"
#include "primitives/KIVSiLaGridGP.h"
#include "primitives/KIVSiLaGridRep.h"
#include "viewer/NavViewerExtand.h"

namespace {

struct Fixture {
  std::unique_ptr<PlantScene> plant;
  PlantTree tree;
  std::unique_ptr<NavViewerExtand> viewer;
  std::vector<std::unique_ptr<KIVRepPath>> paths;
};

Fixture& Plant(int models, int triangles) {
  static std::map<std::pair<int, int>, std::unique_ptr<Fixture>> fixtures;
  std::unique_ptr<Fixture>& f = fixtures[{models, triangles}];
  if (!f) {
    f = std::make_unique<Fixture>();
    f->plant = std::make_unique<PlantScene>(models, triangles, 7);
    f->tree = BuildPlantTree(*f->plant);
    f->viewer = std::make_unique<NavViewerExtand>(nullptr, KIVString("bench"), 0, 0, 1280, 720);
    KIV3DViewpoint* vp = f->viewer->GetMain3DViewpoint();
    AimAtPlant(*vp, *f->plant);
    f->viewer->AddRep(f->tree.root, 14);
    for (size_t i = 0; i < f->tree.leaves.size(); ++i) {
      auto path = std::make_unique<KIVRepPath>(vp);
      for (KIVRep* rep : {f->viewer->GetRootRep(13), f->viewer->GetRootRep(14), static_cast<KIVRep*>(f->tree.root),
                          static_cast<KIVRep*>(f->tree.bags[i]), static_cast<KIVRep*>(f->tree.leaves[i])})
        path->AddRep(rep);
      f->paths.push_back(std::move(path));
    }
  }
  return *f;
}

void BM_CloneBasicRep(benchmark::State& state) {
  Fixture& f = Plant(10000, 100);
  const int count = static_cast<int>(state.range(0));
  std::vector<KIVRepPath*> paths;
  for (int i = 0; i < count; ++i) paths.push_back(f.paths[i % f.paths.size()].get());
  KIV3DBagRep* bag = new KIV3DBagRep;
  for (auto _ : state) NavToolsVisu::CloneBasicRep(bag, 1, 1, paths.data(), count, 0, nullptr);
  state.counters["clones"] = static_cast<double>(bag->GetChildren().size());
  bag->Destroy();
}
BENCHMARK(BM_CloneBasicRep)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_Frame(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const bool occlusion = state.range(2) != 0;
  NavViewerExtand& v = *f.viewer;
  const int modes = v.GetQualityModes() & ~NavViewerExtand::kQualityOcclusion;
  v.SetQualityModes(occlusion ? modes | NavViewerExtand::kQualityOcclusion : modes);
  // The statistics line goes to standard output every frame: keep it off the report.
  std::fflush(stdout);
  const int saved = dup(1), sink = open("/dev/null", O_WRONLY);
  if (sink >= 0) dup2(sink, 1);
  for (auto _ : state) v.Draw();
  std::fflush(stdout);
  if (saved >= 0) dup2(saved, 1);
  if (sink >= 0) close(sink);
  if (saved >= 0) close(saved);
  state.counters["visible"] = occlusion ? v.GetLastVisibleCount() : 0;
  v.SetQualityModes(modes);
  v.GetRootRep(14)->SetShowMode(0, 0);
}
BENCHMARK(BM_Frame)->Args({10000, 1000, 0})->Args({10000, 1000, 1})->Unit(benchmark::kMillisecond);

// The performance read-out: every triangle of the master root, nothing culled.
void BM_StatisticRender(benchmark::State& state) {
  Fixture& f = Plant(10000, 1000);
  int triangles = 0;
  for (auto _ : state) {
    KIVNavStatisticRender render(KIVSupport(100, 100));
    static_cast<KIV3DRep*>(f.viewer->GetRootRep(13))->DrawShading(render, 1);
    triangles = render.GetSceneSize();
  }
  state.counters["triangles"] = triangles;
}
BENCHMARK(BM_StatisticRender)->Unit(benchmark::kMillisecond);

}  // namespace

// The measuring grid's own cost per frame: a grid of 10,000 × 10,000 steps (the size of
// the 10M-triangle plant's floor) drawn alone, so that the figure is the grid's: seen
// whole from afar, from mid-way and close up. Argument: the eye's height in steps.
void BM_GridFrame(benchmark::State& state) {
  KIV3DViewer viewer(1280, 720);
  auto* grid = new KIVSiLaGridRep(1.0f, 1.0f, 10000.0f, 10000.0f);
  grid->SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(1, 0, 0));
  viewer.GetMain3DViewpoint()->AddRep(grid);
  const float height = static_cast<float>(state.range(0));
  viewer.GetMain3DViewpoint()->SetPosition(KIVMathPointf(0, -0.5f * height, height), KIVMathVectorf(0, 0.5f, -1),
                                           KIVMathVectorf(0, 1, 0));
  viewer.Draw();
  for (auto _ : state) viewer.Draw();
  state.counters["lines"] = grid->GetGP()->GetDrawnLineCount();
  state.counters["labels"] = static_cast<double>(grid->GetGP()->GetDrawnLabels().size());
  viewer.GetMain3DViewpoint()->RemoveRep(grid);
  grid->Destroy();
}
BENCHMARK(BM_GridFrame)->ArgName("eye_height")->Arg(12000)->Arg(1000)->Arg(50)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
