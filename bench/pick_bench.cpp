// Picking on the synthetic plant: aimed rays, building every model's hierarchy, the
// first pick on a fresh scene (lazy builds included) and refitting after one move.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "bench/PlantScene.h"
#include "host/visu/pick/KIVSceneBVH.h"
#include "host/visu/pick/KIVTriangleBVH.h"

namespace {

void Populate(const PlantScene& plant, KIVSceneBVH& scene) {
  scene.SetGeometryBuilder([&plant](int g, KIVTriangleBVH& bvh) {
    const PlantScene::Model& m = plant.GetModel(g);
    bvh.Build(m.vertices.data(), plant.GetVertexCount(), plant.GetIndices().data(), plant.GetTrianglesPerModel());
  });
  for (int i = 0; i < plant.GetModelCount(); ++i) {
    const PlantScene::Model& m = plant.GetModel(i);
    scene.AddInstance(i, m.localMin, m.localMax, m.matrix);
  }
}

struct Fixture {
  std::unique_ptr<PlantScene> plant;
  KIVSceneBVH scene;
  std::vector<KIVRay> rays;
  double hitRate = 0.0;
};

// One plant per size for the whole run: generating and lazily building them is not what
// these benchmarks time.
Fixture& Plant(int models, int triangles) {
  static std::map<std::pair<int, int>, std::unique_ptr<Fixture>> fixtures;
  std::unique_ptr<Fixture>& f = fixtures[{models, triangles}];
  if (!f) {
    f = std::make_unique<Fixture>();
    f->plant = std::make_unique<PlantScene>(models, triangles, 7);
    Populate(*f->plant, f->scene);
    f->rays = f->plant->AimedRays(4096, 11);
    int hits = 0;
    for (const KIVRay& r : f->rays) {
      KIVSceneBVH::Hit h;
      hits += f->scene.Intersect(r, h);
    }
    f->hitRate = static_cast<double>(hits) / f->rays.size();
  }
  return *f;
}

void BM_AimedRay(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  size_t k = 0;
  for (auto _ : state) {
    KIVSceneBVH::Hit h;
    benchmark::DoNotOptimize(f.scene.Intersect(f.rays[k], h));
    benchmark::DoNotOptimize(h);
    k = (k + 1) % f.rays.size();
  }
  state.counters["hit_rate"] = f.hitRate;
  state.counters["built_geometries"] = f.scene.GetBuiltGeometryCount();
}
BENCHMARK(BM_AimedRay)->Args({10000, 1000})->Args({100000, 100})->Unit(benchmark::kMicrosecond);

void BM_BuildEveryModel(benchmark::State& state) {
  const PlantScene& plant = *Plant(10000, 1000).plant;
  const int* indices = plant.GetIndices().data();
  for (auto _ : state) {
    std::vector<KIVTriangleBVH> bvhs(plant.GetModelCount());
    for (int i = 0; i < plant.GetModelCount(); ++i)
      bvhs[i].Build(plant.GetModel(i).vertices.data(), plant.GetVertexCount(), indices,
                    plant.GetTrianglesPerModel());
    benchmark::DoNotOptimize(bvhs.data());
    state.PauseTiming();
    bvhs.clear();  // freeing is not building
    state.ResumeTiming();
  }
  state.counters["triangles"] = static_cast<double>(plant.GetModelCount()) * plant.GetTrianglesPerModel();
}
BENCHMARK(BM_BuildEveryModel)->Unit(benchmark::kMillisecond)->Iterations(3);

// From a scene whose instances were just added: the first Intersect rebuilds the top
// level and builds the hierarchies of the instances the ray reaches.
void BM_FirstPick(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  size_t k = 0;
  int built = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto scene = std::make_unique<KIVSceneBVH>();
    Populate(*f.plant, *scene);
    state.ResumeTiming();
    KIVSceneBVH::Hit h;
    benchmark::DoNotOptimize(scene->Intersect(f.rays[k], h));
    state.PauseTiming();
    built = scene->GetBuiltGeometryCount();
    scene.reset();
    k = (k + 1) % f.rays.size();
    state.ResumeTiming();
  }
  state.counters["built_geometries"] = built;
}
BENCHMARK(BM_FirstPick)->Args({10000, 1000})->Args({100000, 100})->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_TopLevelRebuild(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) f.scene.Rebuild();
}
BENCHMARK(BM_TopLevelRebuild)->Args({10000, 1000})->Args({100000, 100})->Unit(benchmark::kMillisecond);

// One model moves back and forth; the refit is what the next pick would pay.
void BM_RefitOneMoved(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  const int moved = f.plant->GetModelCount() / 3;
  const KIV4x4Matrix home = f.plant->GetModel(moved).matrix;
  const KIV4x4Matrix away = home * KIV4x4Matrix(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0),
                                                KIVMathVectorf(0, 0, 1), KIVMathPointf(30.0f, -20.0f, 5.0f));
  bool out = false;
  for (auto _ : state) {
    out = !out;
    f.scene.SetMatrix(moved, out ? away : home);
    f.scene.Refit();
  }
  f.scene.SetMatrix(moved, home);
  f.scene.Refit();
}
BENCHMARK(BM_RefitOneMoved)->Args({10000, 1000})->Args({100000, 100})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
