// Bounding spheres and viewer picks on the plant as a scene tree: the whole scene cold
// (every leaf from its vertices, then every bag), the same after one model moved, the
// vertex-array sphere, the shown-leaves sphere, and viewer picks (one pixel and a
// 64 x 64 rectangle grid).

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <random>
#include <vector>

#include "bench/PlantScene.h"
#include "bench/PlantTree.h"
#include "host/visu/KIV3DViewer.h"
#include "host/visu/KIVPickPathList.h"
#include "host/visu/KIVRepPath.h"
#include "navigation/NavToolsVisu.h"

namespace {

struct Fixture {
  std::unique_ptr<PlantScene> plant;
  PlantTree tree;
  std::unique_ptr<KIV3DViewer> viewer;
};

Fixture& Plant(int models, int triangles) {
  static std::map<std::pair<int, int>, std::unique_ptr<Fixture>> fixtures;
  std::unique_ptr<Fixture>& f = fixtures[{models, triangles}];
  if (!f) {
    f = std::make_unique<Fixture>();
    f->plant = std::make_unique<PlantScene>(models, triangles, 7);
    f->tree = BuildPlantTree(*f->plant);
    f->viewer = std::make_unique<KIV3DViewer>(800, 600);
    KIV3DViewpoint* vp = f->viewer->GetMain3DViewpoint();
    vp->SetPosition(f->plant->GetEye(), f->plant->GetTarget() - f->plant->GetEye(), f->plant->GetUp());
    vp->SetAngle(45.0f);
    vp->AddRep(f->tree.root);
  }
  return *f;
}

void BM_SceneSphereCold(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    for (KIV3DCustomRep* leaf : f.tree.leaves) leaf->GeometryModified();
    benchmark::DoNotOptimize(f.tree.root->GetBoundingElement().GetRadius());
  }
  state.counters["radius"] = f.tree.root->GetBoundingElement().GetRadius();
}
BENCHMARK(BM_SceneSphereCold)->Args({10000, 1000})->Unit(benchmark::kMillisecond);

void BM_SceneSphereAfterMove(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::mt19937 rng(5);
  for (auto _ : state) {
    KIV3DBagRep* bag = f.tree.bags[rng() % f.tree.bags.size()];
    KIV4x4Matrix m = *bag->GetMatrix();
    bag->SetMatrix(m);
    benchmark::DoNotOptimize(f.tree.root->GetBoundingElement().GetRadius());
  }
}
BENCHMARK(BM_SceneSphereAfterMove)->Args({10000, 1000})->Args({100000, 100})->Unit(benchmark::kMicrosecond);

void BM_CreateBoundingSphere(benchmark::State& state) {
  const int vertices = static_cast<int>(state.range(0));
  std::vector<float> v(3 * static_cast<size_t>(vertices));
  std::mt19937 rng(3);
  std::normal_distribution<float> d(0.0f, 10.0f);
  for (float& x : v) x = d(rng);
  for (auto _ : state) {
    float c[3], r;
    NavToolsVisu::CreateBoundingSphere(c, r, v.data(), static_cast<int>(v.size()));
    benchmark::DoNotOptimize(r);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(v.size() * sizeof(float)));
}
BENCHMARK(BM_CreateBoundingSphere)->Arg(10000000)->Unit(benchmark::kMillisecond);

void BM_BoundingSphereShow(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    KIVRepPath path;
    int found = 0;
    benchmark::DoNotOptimize(NavToolsVisu::GetBoundingSphereShow(f.tree.root, path, found).GetRadius());
  }
}
BENCHMARK(BM_BoundingSphereShow)->Args({100000, 100})->Unit(benchmark::kMillisecond);

void BM_ViewerPickPixel(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  std::mt19937 rng(9);
  KIVPickPathList list;
  f.viewer->Pick(400, 300, list);  // lays the scene out and builds what the centre needs
  int hits = 0, picks = 0;
  for (auto _ : state) {
    hits += f.viewer->Pick(static_cast<int>(rng() % 800), static_cast<int>(rng() % 600), list);
    ++picks;
  }
  state.counters["hit_rate"] = static_cast<double>(hits) / picks;
}
BENCHMARK(BM_ViewerPickPixel)->Args({10000, 1000})->Unit(benchmark::kMicrosecond);

void BM_PickNoOutside(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  KIVPickPathList list;
  for (auto _ : state) benchmark::DoNotOptimize(f.viewer->PickNoOutside(200, 150, 600, 450, list));
  state.counters["objects"] = list.GetSize();
}
BENCHMARK(BM_PickNoOutside)->Args({10000, 1000})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
