// One drag step of an object mover on the plant (10 million triangles split among 1k, 10k
// or 100k models), through a headless viewer's real input path: the manipulator follows a
// mouse move (the viewer picks under the pointer on the way, as it does for every move of
// a drag), the model's bag takes the manipulator's position, then the next pick at another
// pixel and the scene's bounding sphere. The step should stay under 0.1 ms whatever the
// scene's size; the phases are reported apart so that a size-dependent one shows.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "bench/PlantScene.h"
#include "bench/PlantTree.h"
#include "host/core/KIVCommand.h"
#include "host/visu/interact/KIV3DManipulator.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPath.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/view/KIV3DViewer.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr long kSceneTriangles = 10000000;

struct Fixture {
  int models = 0;
  std::unique_ptr<PlantScene> plant;
  PlantTree tree;
  std::unique_ptr<KIV3DViewer> viewer;
  KIVCommand father;  // the mover
  std::unique_ptr<KIV3DManipulator> manipulator;
  KIV3DBagRep* bag = nullptr;  // the dragged model's
  int pressX = 0, pressY = 0;
  ~Fixture() {
    if (viewer && manipulator && manipulator->GetCurrentStyle() != KIV3DManipulator::NoManipulation)
      viewer->UserMouseRelease(pressX, pressY, KIVMouseEvent::ButtonLeft, 0);
    manipulator.reset();
    if (viewer) viewer->GetMain3DViewpoint()->RemoveRep(tree.root);
    viewer.reset();
    if (tree.root) tree.root->Destroy();
  }
};

// The first model under the pixels spiralling out from the centre of the picture.
KIV3DCustomRep* ModelNearCentre(Fixture& f, KIVPickPathList& paths) {
  for (int r = 0; r < 200; ++r)
    for (int k = 0; k < 8 * std::max(r, 1); ++k) {
      const double a = 2.0 * 3.141592653589793 * k / (8 * std::max(r, 1));
      const int x = kWidth / 2 + static_cast<int>(std::lround(r * std::cos(a)));
      const int y = kHeight / 2 + static_cast<int>(std::lround(r * std::sin(a)));
      if (!f.viewer->Pick(x, y, paths)) continue;
      auto* leaf = dynamic_cast<KIV3DCustomRep*>(paths.GetPath(0)->GetReps().back());
      if (!leaf) continue;
      f.pressX = x, f.pressY = y;
      return leaf;
    }
  return nullptr;
}

// One plant at a time (10 million triangles each), built when the model count changes:
// building it, and the lazy first picks, are not what the step costs. Released by main
// before the host's own statics go.
std::unique_ptr<Fixture> gFixture;

Fixture* Plant(int models) {
  if (gFixture && gFixture->models == models) return gFixture.get();
  gFixture.reset();
  gFixture = std::make_unique<Fixture>();
  Fixture& g = *gFixture;
  g.models = models;
  g.plant = std::make_unique<PlantScene>(models, static_cast<int>(kSceneTriangles / models), 7);
  g.tree = BuildPlantTree(*g.plant);
  g.viewer = std::make_unique<KIV3DViewer>(kWidth, kHeight);
  KIV3DViewpoint* vp = g.viewer->GetMain3DViewpoint();
  AimAtPlant(*vp, *g.plant);
  vp->AddRep(g.tree.root);
  KIVPickPathList paths;
  KIV3DCustomRep* leaf = ModelNearCentre(g, paths);
  if (!leaf) return nullptr;
  const auto it = std::find(g.tree.leaves.begin(), g.tree.leaves.end(), leaf);
  g.bag = g.tree.bags[static_cast<size_t>(it - g.tree.leaves.begin())];
  // The mover's handle: the model dragged on the ground plane, its frame the bag's.
  g.manipulator = std::make_unique<KIV3DManipulator>(&g.father, "mover", leaf, KIV3DManipulator::TranslateInPlane,
                                                     KIV3DManipulator::TranslateInPlane);
  g.manipulator->InhibAutomaticActivation();
  g.manipulator->SetTranslationPlane(KIVMathVectorf(0, 0, 1));
  g.manipulator->SetPosition(*g.bag->GetMatrix());
  g.viewer->UserMousePress(g.pressX, g.pressY, KIVMouseEvent::ButtonLeft, 0);
  return &g;
}

double Microseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

void BM_MoverDragStep(benchmark::State& state) {
  Fixture* f = Plant(static_cast<int>(state.range(0)));
  if (!f || f->manipulator->GetCurrentStyle() == KIV3DManipulator::NoManipulation) {
    state.SkipWithError("no model under the centre of the picture");
    return;
  }
  // The pointer circles the press point; the other picks cycle through pixels drawn at
  // random once, each picked before timing so that every model they meet has its
  // triangle hierarchy (built lazily on a model's first hit, a cost of the first pick
  // only).
  constexpr int kSteps = 32, kOthers = 64;
  int dx[kSteps], dy[kSteps];
  for (int k = 0; k < kSteps; ++k) {
    dx[k] = static_cast<int>(std::lround(12.0 * std::cos(2.0 * 3.141592653589793 * k / kSteps)));
    dy[k] = static_cast<int>(std::lround(12.0 * std::sin(2.0 * 3.141592653589793 * k / kSteps)));
  }
  std::mt19937 rng(3);
  int ox[kOthers], oy[kOthers];
  for (int k = 0; k < kOthers; ++k) ox[k] = static_cast<int>(rng() % kWidth), oy[k] = static_cast<int>(rng() % kHeight);
  KIVPickPathList paths;
  KIV3DBagRep* root = f->tree.root;
  double move = 0, matrix = 0, pick = 0, bound = 0;
  int hits = 0, k = 0;
  // Warm: the first moves refit what the drag touches.
  for (int w = 0; w < kOthers; ++w, ++k) {
    f->viewer->UserMouseMove(f->pressX + dx[k % kSteps], f->pressY + dy[k % kSteps], KIVMouseEvent::ButtonLeft, 0);
    f->bag->SetMatrix(f->manipulator->GetPosition());
    f->viewer->Pick(ox[k % kOthers], oy[k % kOthers], paths);
    benchmark::DoNotOptimize(root->GetBoundingElement().GetRadius());
  }
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    f->viewer->UserMouseMove(f->pressX + dx[k % kSteps], f->pressY + dy[k % kSteps], KIVMouseEvent::ButtonLeft, 0);
    ++k;
    const auto t1 = std::chrono::steady_clock::now();
    f->bag->SetMatrix(f->manipulator->GetPosition());
    const auto t2 = std::chrono::steady_clock::now();
    hits += f->viewer->Pick(ox[k % kOthers], oy[k % kOthers], paths);
    const auto t3 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(root->GetBoundingElement().GetRadius());
    const auto t4 = std::chrono::steady_clock::now();
    move += Microseconds(t1 - t0), matrix += Microseconds(t2 - t1), pick += Microseconds(t3 - t2),
        bound += Microseconds(t4 - t3);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["us_per_step"] = (move + matrix + pick + bound) / n;
  state.counters["move_us"] = move / n;
  state.counters["setmatrix_us"] = matrix / n;
  state.counters["pick_us"] = pick / n;
  state.counters["bound_us"] = bound / n;
  state.counters["hit_rate"] = hits / n;
  state.counters["triangles_per_model"] = static_cast<double>(f->plant->GetTrianglesPerModel());
}
BENCHMARK(BM_MoverDragStep)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  gFixture.reset();
  benchmark::Shutdown();
  return 0;
}
