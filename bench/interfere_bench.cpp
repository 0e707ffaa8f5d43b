// Interference on the synthetic plant packed 1.5 apart, so that neighbours clash: our
// engine through KIVSiInInterfereModel beside FCL used directly (a BVHModel<OBBRSS> per
// geometry, DynamicAABBTreeCollisionManager as broad phase), on the same models.
//   Distance/Pair:    minimal distance of one neighbouring pair, trees built
//   Collide/Pair:     collision test of a neighbouring pair (one that clashes, one that does not)
//   SelfClash/Cold:   every clashing couple of the plant, from nothing (trees, broad phase)
//   OneAgainstRest:   one model against all the others, trees built
// The 10,000-model plant (10M triangles) is heavy: run pieces with --benchmark_filter.

#include <benchmark/benchmark.h>

#include <fcl/fcl.h>

#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <vector>

#include "bench/PlantScene.h"
#include "bench/PlantTree.h"
#include "host/interfere/KIVFclInterfereEngine.h"
#include "host/visu/interfere/KIVSiInInterfereModel.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIVRepPath.h"

namespace {

using Model = KIVSiInInterfereModel;
constexpr float kSpacing = 1.5f;
constexpr int kTriangles = 1000;

struct Plant {
  std::unique_ptr<PlantScene> scene;
  PlantTree tree;
  std::vector<std::unique_ptr<KIVRepPath>> pathsA, pathsB;  // root, bag, leaf per model, twice
  std::vector<KIVRepPath*> listA, listB;
  std::shared_ptr<KIVFclInterfereEngine> engine = std::make_shared<KIVFclInterfereEngine>();
  // FCL, built on demand per model.
  std::vector<std::shared_ptr<fcl::BVHModel<fcl::OBBRSSd>>> fclModels;
  std::vector<std::unique_ptr<fcl::CollisionObjectd>> fclObjects;
  ~Plant() {
    if (tree.root) tree.root->Destroy();
  }
};

Plant& GetPlant(int models) {
  static std::map<int, std::unique_ptr<Plant>> plants;
  std::unique_ptr<Plant>& p = plants[models];
  if (!p) {
    p = std::make_unique<Plant>();
    p->scene = std::make_unique<PlantScene>(models, kTriangles, 7, kSpacing);
    p->tree = BuildPlantTree(*p->scene);
    for (int i = 0; i < models; ++i)
      for (auto* list : {&p->pathsA, &p->pathsB}) {
        list->push_back(std::make_unique<KIVRepPath>());
        list->back()->AddRep(p->tree.root);
        list->back()->AddRep(p->tree.bags[i]);
        list->back()->AddRep(p->tree.leaves[i]);
      }
    for (int i = 0; i < models; ++i) p->listA.push_back(p->pathsA[i].get()), p->listB.push_back(p->pathsB[i].get());
    p->fclModels.resize(models);
    p->fclObjects.resize(models);
  }
  Model::SetEngine(p->engine);
  return *p;
}

fcl::Transform3d FclPlace(const KIV4x4Matrix& m) {
  fcl::Transform3d t = fcl::Transform3d::Identity();
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) t.linear()(i, j) = m.Get(j, i);  // row-vector matrices
    t.translation()[i] = m.Get(3, i);
  }
  return t;
}

fcl::CollisionObjectd& FclObject(Plant& p, int i) {
  if (!p.fclObjects[i]) {
    const PlantScene::Model& m = p.scene->GetModel(i);
    std::vector<fcl::Vector3d> v;
    for (size_t k = 0; k < m.vertices.size(); k += 3) v.emplace_back(m.vertices[k], m.vertices[k + 1], m.vertices[k + 2]);
    std::vector<fcl::Triangle> t;
    const std::vector<int>& idx = p.scene->GetIndices();
    for (size_t k = 0; k < idx.size(); k += 3) t.emplace_back(idx[k], idx[k + 1], idx[k + 2]);
    auto model = std::make_shared<fcl::BVHModel<fcl::OBBRSSd>>();
    model->beginModel();
    model->addSubModel(v, t);
    model->endModel();
    p.fclModels[i] = model;
    p.fclObjects[i] = std::make_unique<fcl::CollisionObjectd>(model, FclPlace(m.matrix));
    p.fclObjects[i]->computeAABB();
  }
  return *p.fclObjects[i];
}

bool FclClash(fcl::CollisionObjectd& a, fcl::CollisionObjectd& b, int contacts) {
  fcl::CollisionRequestd request(contacts, contacts > 1);
  fcl::CollisionResultd result;
  fcl::collide(&a, &b, request, result);
  return result.isCollision();
}

double FclDistance(fcl::CollisionObjectd& a, fcl::CollisionObjectd& b) {
  fcl::DistanceRequestd request(true);
  fcl::DistanceResultd result;
  fcl::distance(&a, &b, request, result);
  return result.min_distance;
}

// Neighbours along a grid row (model i and i + 1), the first that FCL finds clashing or
// apart, as asked.
int NeighbourPair(Plant& p, bool clashing) {
  for (int i = 0; i + 1 < p.scene->GetModelCount(); ++i)
    if (FclClash(FclObject(p, i), FclObject(p, i + 1), 1) == clashing) return i;
  return 0;
}

double OurDistance(Plant& p, int i, int j) {
  Model model;
  const int query = model.AddSpec(&p.listA[i], 1, &p.listB[j], 1, 0, Model::kMinimalDistance, 0.0);
  model.Compute();
  double d = -1.0;
  int count = 0;
  KIV3DBagRep** bags = nullptr;
  model.GetResult(query, &d, &count, &bags, 0);
  for (int k = 0; k < count; ++k) bags[k]->Destroy();
  delete[] bags;
  return d;
}

// computeSeconds, when given: the time of Compute alone (the rest makes the result bags).
int OurClashes(KIVRepPath** a, int na, KIVRepPath** b, int nb, double* computeSeconds = nullptr) {
  Model model;
  const int query = model.AddSpec(a, na, b, nb, 0, Model::kClash, 0.0);
  const auto start = std::chrono::steady_clock::now();
  model.Compute();
  if (computeSeconds) *computeSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int count = 0;
  KIVRepPath **pa = nullptr, **pb = nullptr;
  int* kinds = nullptr;
  KIV3DBagRep** bags = nullptr;
  model.GetResult(query, &count, &pa, &pb, &kinds, &bags, 0);
  for (int k = 0; k < count; ++k) bags[k]->Destroy();
  delete[] pa;
  delete[] pb;
  delete[] kinds;
  delete[] bags;
  return count;
}

// ------------------------------------------------------------------ one pair

void Distance_Pair_Ours(benchmark::State& state) {
  Plant& p = GetPlant(100);
  const int i = NeighbourPair(p, false);
  const double fcl = FclDistance(FclObject(p, i), FclObject(p, i + 1));
  double d = OurDistance(p, i, i + 1);  // trees built
  for (auto _ : state) {
    d = OurDistance(p, i, i + 1);
    benchmark::ClobberMemory();
  }
  state.counters["distance"] = d;
  state.counters["rel_diff_vs_fcl"] = std::abs(d - fcl) / fcl;
  // The same over every neighbouring couple along the rows of the small plant.
  double worst = 0.0;
  for (int k = 0; k + 1 < p.scene->GetModelCount(); ++k) {
    const double theirs = FclDistance(FclObject(p, k), FclObject(p, k + 1)), ours = OurDistance(p, k, k + 1);
    worst = std::max(worst, theirs > 0.0 ? std::abs(ours - theirs) / theirs : std::abs(ours));
  }
  state.counters["worst_rel_diff_99_pairs"] = worst;
}
BENCHMARK(Distance_Pair_Ours)->Unit(benchmark::kMicrosecond);

void Distance_Pair_Fcl(benchmark::State& state) {
  Plant& p = GetPlant(100);
  const int i = NeighbourPair(p, false);
  fcl::CollisionObjectd &a = FclObject(p, i), &b = FclObject(p, i + 1);
  double d = 0.0;
  for (auto _ : state) {
    d = FclDistance(a, b);
    benchmark::ClobberMemory();
  }
  state.counters["distance"] = d;
}
BENCHMARK(Distance_Pair_Fcl)->Unit(benchmark::kMicrosecond);

// Arg: 1 for a clashing pair, 0 for one apart.
void Collide_Pair_Ours(benchmark::State& state) {
  Plant& p = GetPlant(100);
  const int i = NeighbourPair(p, state.range(0) != 0);
  int n = OurClashes(&p.listA[i], 1, &p.listB[i + 1], 1);
  for (auto _ : state) {
    n = OurClashes(&p.listA[i], 1, &p.listB[i + 1], 1);
    benchmark::DoNotOptimize(n);
  }
  state.counters["clash"] = n;
}
BENCHMARK(Collide_Pair_Ours)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// The same clashing pair as a yes-or-no test: the first crossing only.
void Collide_Pair_Ours_FirstCrossing(benchmark::State& state) {
  Plant& p = GetPlant(100);
  const int i = NeighbourPair(p, true);
  p.engine->SetClashCurves(false);
  int n = OurClashes(&p.listA[i], 1, &p.listB[i + 1], 1);
  for (auto _ : state) {
    n = OurClashes(&p.listA[i], 1, &p.listB[i + 1], 1);
    benchmark::DoNotOptimize(n);
  }
  p.engine->SetClashCurves(true);
  state.counters["clash"] = n;
}
BENCHMARK(Collide_Pair_Ours_FirstCrossing)->Unit(benchmark::kMicrosecond);

// Second arg: contacts asked for (1: stop at the first, as FCL's default; 1000: all, as
// ours collects every crossing).
void Collide_Pair_Fcl(benchmark::State& state) {
  Plant& p = GetPlant(100);
  const int i = NeighbourPair(p, state.range(0) != 0);
  fcl::CollisionObjectd &a = FclObject(p, i), &b = FclObject(p, i + 1);
  bool c = false;
  for (auto _ : state) {
    c = FclClash(a, b, static_cast<int>(state.range(1)));
    benchmark::DoNotOptimize(c);
  }
  state.counters["clash"] = c;
}
BENCHMARK(Collide_Pair_Fcl)->Args({1, 1})->Args({1, 1000})->Args({0, 1})->Unit(benchmark::kMicrosecond);

// ------------------------------------------------------------------ whole plant

void SelfClash_Cold_Ours(benchmark::State& state) {
  Plant& p = GetPlant(static_cast<int>(state.range(0)));
  const int n = p.scene->GetModelCount();
  int clashes = 0;
  double compute = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    p.engine->ClearCache();
    state.ResumeTiming();
    clashes = OurClashes(p.listA.data(), n, p.listB.data(), n, &compute);
  }
  state.counters["clashing_pairs"] = clashes;
  state.counters["compute_s"] = compute;
  state.counters["trees"] = p.engine->GetBuiltTreeCount();
}
BENCHMARK(SelfClash_Cold_Ours)->Arg(1000)->Arg(10000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

struct FclCount {
  int clashes = 0;
};
bool CountClash(fcl::CollisionObjectd* a, fcl::CollisionObjectd* b, void* data) {
  if (FclClash(*a, *b, 1)) ++static_cast<FclCount*>(data)->clashes;
  return false;
}

// FCL from nothing: every tree, the manager, then the clashing couples (timed apart).
void SelfClash_Cold_Fcl(benchmark::State& state) {
  Plant& p = GetPlant(static_cast<int>(state.range(0)));
  const int n = p.scene->GetModelCount();
  double build = 0.0, collide = 0.0;
  FclCount count;
  for (auto _ : state) {
    state.PauseTiming();
    for (auto& o : p.fclObjects) o.reset();
    for (auto& m : p.fclModels) m.reset();
    state.ResumeTiming();
    const auto t0 = std::chrono::steady_clock::now();
    std::vector<fcl::CollisionObjectd*> objects;
    for (int i = 0; i < n; ++i) objects.push_back(&FclObject(p, i));
    fcl::DynamicAABBTreeCollisionManagerd manager;
    manager.registerObjects(objects);
    manager.setup();
    const auto t1 = std::chrono::steady_clock::now();
    count = FclCount();
    manager.collide(&count, CountClash);
    const auto t2 = std::chrono::steady_clock::now();
    build = std::chrono::duration<double>(t1 - t0).count();
    collide = std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["clashing_pairs"] = count.clashes;
  state.counters["trees_s"] = build;
  state.counters["collide_s"] = collide;
}
BENCHMARK(SelfClash_Cold_Fcl)->Arg(1000)->Arg(10000)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

void OneAgainstRest_Ours(benchmark::State& state) {
  Plant& p = GetPlant(static_cast<int>(state.range(0)));
  const int n = p.scene->GetModelCount();
  const int one = n / 2 + static_cast<int>(std::sqrt(static_cast<double>(n))) / 2;  // mid-plant
  std::vector<KIVRepPath*> rest;
  for (int i = 0; i < n; ++i)
    if (i != one) rest.push_back(p.listB[i]);
  // Warm: every tree built, as after a self-clash.
  if (p.engine->GetBuiltTreeCount() < n) OurClashes(p.listA.data(), n, p.listB.data(), n);
  int clashes = 0;
  for (auto _ : state)
    clashes = OurClashes(&p.listA[one], 1, rest.data(), static_cast<int>(rest.size()));
  state.counters["clashing"] = clashes;
}
BENCHMARK(OneAgainstRest_Ours)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void OneAgainstRest_Fcl(benchmark::State& state) {
  Plant& p = GetPlant(static_cast<int>(state.range(0)));
  const int n = p.scene->GetModelCount();
  const int one = n / 2 + static_cast<int>(std::sqrt(static_cast<double>(n))) / 2;
  std::vector<fcl::CollisionObjectd*> objects;
  for (int i = 0; i < n; ++i)
    if (i != one) objects.push_back(&FclObject(p, i));
  fcl::DynamicAABBTreeCollisionManagerd manager;
  manager.registerObjects(objects);
  manager.setup();
  FclCount count;
  for (auto _ : state) {
    count = FclCount();
    manager.collide(&FclObject(p, one), &count, CountClash);
  }
  state.counters["clashing"] = count.clashes;
}
BENCHMARK(OneAgainstRest_Fcl)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
