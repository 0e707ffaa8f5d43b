// Bounding spheres and viewer picks on the plant as a scene tree: the whole scene cold
// (every leaf from its vertices, then every bag), the same after one model moved, the
// vertex-array sphere, the shown-leaves sphere, and viewer picks (one pixel and a
// 64 x 64 rectangle grid).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
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

// This thread's processor time: on a shared machine, time spent waiting for a core would
// only add noise to the ratio.
double ThreadMilliseconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return 1e3 * static_cast<double>(ts.tv_sec) + 1e-6 * static_cast<double>(ts.tv_nsec);
}

// What a whole-scene bound costs at the least once every leaf changed: one pass over every
// model's vertices carried to world, one box and the sphere around it.
float OnePassWorldSphere(const PlantScene& plant) {
  float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
  for (int i = 0; i < plant.GetModelCount(); ++i) {
    const PlantScene::Model& m = plant.GetModel(i);
    const float* v = m.vertices.data();
    float a[12];  // rows d1, d2, d3, origin (row vectors)
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 3; ++c) a[3 * r + c] = m.matrix.Get(r, c);
    for (int k = 0; k < plant.GetVertexCount(); ++k) {
      const float x = v[3 * k], y = v[3 * k + 1], z = v[3 * k + 2];
      for (int c = 0; c < 3; ++c) {
        const float w = x * a[c] + y * a[3 + c] + z * a[6 + c] + a[9 + c];
        lo[c] = std::min(lo[c], w), hi[c] = std::max(hi[c], w);
      }
    }
  }
  const float dx = hi[0] - lo[0], dy = hi[1] - lo[1], dz = hi[2] - lo[2];
  return 0.5f * std::sqrt(dx * dx + dy * dy + dz * dz);
}

// Every leaf told that its geometry changed, then the root's sphere; the ratio is to the
// one-pass loop above, timed beside it.
void BM_SceneSphereCold(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  auto cold = [&f] {
    for (KIV3DCustomRep* leaf : f.tree.leaves) leaf->GeometryModified();
    return f.tree.root->GetBoundingElement().GetRadius();
  };
  for (auto _ : state) benchmark::DoNotOptimize(cold());
  double ours = 1e300, pass = 1e300;
  for (int round = 0; round < 5; ++round) {
    double start = ThreadMilliseconds();
    benchmark::DoNotOptimize(cold());
    ours = std::min(ours, ThreadMilliseconds() - start);
    start = ThreadMilliseconds();
    benchmark::DoNotOptimize(OnePassWorldSphere(*f.plant));
    pass = std::min(pass, ThreadMilliseconds() - start);
  }
  // The two halves apart: marking every leaf, then the bound.
  {
    double mark = 1e300, comp = 1e300;
    for (int round = 0; round < 5; ++round) {
      double t0 = ThreadMilliseconds();
      for (KIV3DCustomRep* leaf : f.tree.leaves) leaf->GeometryModified();
      double t1 = ThreadMilliseconds();
      benchmark::DoNotOptimize(f.tree.root->GetBoundingElement().GetRadius());
      double t2 = ThreadMilliseconds();
      mark = std::min(mark, t1 - t0), comp = std::min(comp, t2 - t1);
    }
    state.counters["mark_ms"] = mark;
    state.counters["bound_ms"] = comp;
    // The bags' share: every bag placed again, no leaf changed.
    double bags = 1e300;
    for (int round = 0; round < 5; ++round) {
      for (KIV3DBagRep* bag : f.tree.bags) {
        const KIV4x4Matrix m = *bag->GetMatrix();
        bag->SetMatrix(m);
      }
      double t1 = ThreadMilliseconds();
      benchmark::DoNotOptimize(f.tree.root->GetBoundingElement().GetRadius());
      bags = std::min(bags, ThreadMilliseconds() - t1);
    }
    state.counters["bags_ms"] = bags;
  }
  state.counters["one_pass_ms"] = pass;
  state.counters["ratio_vs_one_pass"] = ours / pass;
  state.counters["radius"] = f.tree.root->GetBoundingElement().GetRadius();
  state.counters["group_style_radius"] = GroupStyleBound(f.tree.root).GetRadius();
}
BENCHMARK(BM_SceneSphereCold)->Args({10000, 1000})->Args({100000, 100})->Unit(benchmark::kMillisecond);

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
