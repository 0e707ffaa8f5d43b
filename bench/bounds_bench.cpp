// Bounding spheres and viewer picks on the plant as a scene tree: the whole scene cold
// (every leaf from its vertices, then every bag), the same after one model moved, the
// vertex-array sphere, the shown-leaves sphere, and viewer picks (one pixel and a
// 64 x 64 rectangle grid).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <vector>

#include "bench/PlantScene.h"
#include "bench/PlantTree.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/scene/KIVRepPath.h"
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
    AimAtPlant(*vp, *f->plant);
    vp->AddRep(f->tree.root);
  }
  return *f;
}

// The bound a scene-graph group computes in OpenSceneGraph, applied down the same tree:
// the centre of the box around the children's spheres, the radius reaching the farthest
// of them. The figure that the union tree's radius is compared with.
KIV3DBoundingSphere GroupStyleBound(const KIVRep* rep) {
  const auto* bag = dynamic_cast<const KIV3DBagRep*>(rep);
  if (!bag) return static_cast<const KIV3DRep*>(rep)->GetBoundingElement();
  std::vector<KIV3DBoundingSphere> spheres;
  float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
  for (const KIVRep* child : bag->GetChildren()) {
    KIV3DBoundingSphere s = GroupStyleBound(child);
    if (s.IsEmpty()) continue;
    const float c[3] = {s.GetCenter().x, s.GetCenter().y, s.GetCenter().z};
    for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], c[a] - s.GetRadius()), hi[a] = std::max(hi[a], c[a] + s.GetRadius());
    spheres.push_back(s);
  }
  if (spheres.empty()) return {};
  const KIVMathPointf centre(0.5f * (lo[0] + hi[0]), 0.5f * (lo[1] + hi[1]), 0.5f * (lo[2] + hi[2]));
  float radius = 0.0f;
  for (const KIV3DBoundingSphere& s : spheres) radius = std::max(radius, (s.GetCenter() - centre).Norm() + s.GetRadius());
  KIV3DBoundingSphere result(centre, radius);
  if (bag->GetMatrix()) result *= *bag->GetMatrix();
  return result;
}

void BM_SceneSphereCold(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    for (KIV3DCustomRep* leaf : f.tree.leaves) leaf->GeometryModified();
    benchmark::DoNotOptimize(f.tree.root->GetBoundingElement().GetRadius());
  }
  state.counters["radius"] = f.tree.root->GetBoundingElement().GetRadius();
  state.counters["group_style_radius"] = GroupStyleBound(f.tree.root).GetRadius();
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
