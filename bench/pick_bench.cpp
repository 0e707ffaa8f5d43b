// Picking on the synthetic plant: aimed rays and camera rays (with Embree's two-level
// scene traced on the same rays when it is installed, and the ratio of the two), building
// every model's hierarchy, the first pick on a fresh scene (lazy builds included) and
// refitting after one move.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <map>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "bench/PlantScene.h"
#include "host/visu/pick/KIVSceneBVH.h"
#include "host/visu/pick/KIVTriangleBVH.h"
#ifdef NAVTOOLS_HAVE_EMBREE
#include "bench/EmbreePlant.h"
#endif

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
  std::vector<KIVRay> rays;        // aimed at model centres
  std::vector<KIVRay> cameraRays;  // through random pixels of the plant's view
  double hitRate = 0.0, cameraHitRate = 0.0;
#ifdef NAVTOOLS_HAVE_EMBREE
  std::unique_ptr<EmbreePlant> embree;
#endif
};

// Rays from the eye through random pixels of an 800 x 600 picture of the plant's view, as
// a viewer's pick makes them.
std::vector<KIVRay> CameraRays(const PlantScene& plant, int count, std::uint32_t seed) {
  KIVMathVectorf forward = plant.GetTarget() - plant.GetEye();
  forward.Normalize();
  KIVMathVectorf right = forward ^ plant.GetUp();
  right.Normalize();
  const KIVMathVectorf up = right ^ forward;
  const int width = 800, height = 600;
  const float half = std::tan(0.5f * plant.GetFieldOfView());
  std::mt19937 rng(seed);
  std::vector<KIVRay> rays;
  for (int k = 0; k < count; ++k) {
    const float px = static_cast<float>(rng() % width) + 0.5f, py = static_cast<float>(rng() % height) + 0.5f;
    const float x = (2.0f * px / width - 1.0f) * half * width / height, y = (1.0f - 2.0f * py / height) * half;
    KIVMathVectorf d = forward + right * x + up * y;
    d.Normalize();
    rays.emplace_back(plant.GetEye(), d);
  }
  return rays;
}

double HitRate(KIVSceneBVH& scene, const std::vector<KIVRay>& rays) {
  int hits = 0;
  for (const KIVRay& r : rays) {
    KIVSceneBVH::Hit h;
    hits += scene.Intersect(r, h);
  }
  return static_cast<double>(hits) / rays.size();
}

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
    f->cameraRays = CameraRays(*f->plant, 4096, 13);
    f->hitRate = HitRate(f->scene, f->rays);
    f->cameraHitRate = HitRate(f->scene, f->cameraRays);
  }
  return *f;
}

#ifdef NAVTOOLS_HAVE_EMBREE
EmbreePlant& Embree(Fixture& f) {
  if (!f.embree) f.embree = std::make_unique<EmbreePlant>(*f.plant);
  return *f.embree;
}

// This thread's processor time in nanoseconds: on a shared machine, time spent waiting
// for a core would only add noise to the ratio.
double ThreadNanoseconds() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return 1e9 * static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec);
}

// Both on the same rays, in alternating rounds so that neither gets a quieter machine;
// within a round each traces the rays twice and the second pass counts, so that each is
// timed with its own data in the caches. The best round of each, as a ratio. Also how
// often the two agree on the model hit.
void CompareWithEmbree(benchmark::State& state, Fixture& f, const std::vector<KIVRay>& rays) {
  EmbreePlant& embree = Embree(f);
  double ours = 1e300, theirs = 1e300;
  int sink = 0;
  for (int round = 0; round < 7; ++round) {
    for (int pass = 0; pass < 2; ++pass) {
      const double start = ThreadNanoseconds();
      for (const KIVRay& r : rays) {
        KIVSceneBVH::Hit h;
        sink += f.scene.Intersect(r, h);
      }
      if (pass) ours = std::min(ours, ThreadNanoseconds() - start);
    }
    for (int pass = 0; pass < 2; ++pass) {
      const double start = ThreadNanoseconds();
      for (const KIVRay& r : rays) {
        EmbreePlant::Hit h;
        sink += embree.Intersect(r, h);
      }
      if (pass) theirs = std::min(theirs, ThreadNanoseconds() - start);
    }
  }
  benchmark::DoNotOptimize(sink);
  int agree = 0;
  for (const KIVRay& r : rays) {
    KIVSceneBVH::Hit a;
    EmbreePlant::Hit b;
    const int ga = f.scene.Intersect(r, a), gb = embree.Intersect(r, b);
    agree += ga == gb && (!ga || a.instance == b.instance || std::fabs(a.t - b.t) <= 1e-4f * a.t);
  }
  state.counters["ours_ns"] = ours / rays.size();
  state.counters["embree_ns"] = theirs / rays.size();
  state.counters["ratio_vs_embree"] = ours / theirs;
  state.counters["agree"] = static_cast<double>(agree) / rays.size();
}

void TraceEmbree(benchmark::State& state, Fixture& f, const std::vector<KIVRay>& rays) {
  EmbreePlant& embree = Embree(f);
  size_t k = 0;
  for (auto _ : state) {
    EmbreePlant::Hit h;
    benchmark::DoNotOptimize(embree.Intersect(rays[k], h));
    benchmark::DoNotOptimize(h);
    k = (k + 1) % rays.size();
  }
}
#endif

void Trace(benchmark::State& state, Fixture& f, const std::vector<KIVRay>& rays) {
  size_t k = 0;
  for (auto _ : state) {
    KIVSceneBVH::Hit h;
    benchmark::DoNotOptimize(f.scene.Intersect(rays[k], h));
    benchmark::DoNotOptimize(h);
    k = (k + 1) % rays.size();
  }
#ifdef NAVTOOLS_HAVE_EMBREE
  CompareWithEmbree(state, f, rays);
#endif
}

void BM_AimedRay(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  Trace(state, f, f.rays);
  state.counters["hit_rate"] = f.hitRate;
  state.counters["built_geometries"] = f.scene.GetBuiltGeometryCount();
}
BENCHMARK(BM_AimedRay)->Args({10000, 1000})->Args({100000, 100})->Unit(benchmark::kMicrosecond);

void BM_CameraRay(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  Trace(state, f, f.cameraRays);
  state.counters["hit_rate"] = f.cameraHitRate;
}
BENCHMARK(BM_CameraRay)->Args({10000, 1000})->Args({100000, 100})->Unit(benchmark::kMicrosecond);

#ifdef NAVTOOLS_HAVE_EMBREE
void BM_AimedRayEmbree(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  TraceEmbree(state, f, f.rays);
}
BENCHMARK(BM_AimedRayEmbree)->Args({10000, 1000})->Args({100000, 100})->Unit(benchmark::kMicrosecond);

void BM_CameraRayEmbree(benchmark::State& state) {
  Fixture& f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  TraceEmbree(state, f, f.cameraRays);
}
BENCHMARK(BM_CameraRayEmbree)->Args({10000, 1000})->Args({100000, 100})->Unit(benchmark::kMicrosecond);
#endif

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
