// One drag step of an object mover on the plant (10 million triangles split among 1k, 10k
// or 100k models), through a headless extended viewer's real input path: a mouse move over
// the mover's plane handle (the viewer picks under the pointer on the way, as it does for
// every move of a drag), the mover following its manipulator and telling its parent, which
// gives the model's bag the mover's motion; then the next pick at another pixel and the
// scene's bounding sphere. The step should stay under 0.1 ms whatever the scene's size; the
// phases are reported apart so that a size-dependent one shows.

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
#include "foundation/NavRepMoveNotification.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "mover/NavMovorObject.h"
#include "navigation/Nav3DManipulator.h"
#include "mover/NavMovorPanel.h"
#include "viewer/NavViewerExtand.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr long kSceneTriangles = 10000000;

// The mover's parent: the model follows the mover's motion, as an application's does.
struct MoverParent : KIVCommand {
  MoverParent() : KIVCommand(nullptr, "parent") {
    AddAnalyseNotificationCB(nullptr, nullptr, NavRepMoveNotification::ClassName(),
                             [this](KIVCommand*, KIVNotification*, void*) {
                               if (mover && bag) bag->SetMatrix(start * mover->GetTransfoMatrice());
                             },
                             nullptr);
  }
  NavMovorObject* mover = nullptr;
  KIV3DBagRep* bag = nullptr;
  KIV4x4Matrix start;
};

struct Fixture {
  int models = 0;
  std::unique_ptr<PlantScene> plant;
  PlantTree tree;
  std::unique_ptr<NavViewerExtand> viewer;  // drawing locked
  MoverParent parent;
  std::unique_ptr<NavMovorObject> mover;
  KIV3DBagRep* bag = nullptr;  // the dragged model's
  int pressX = 0, pressY = 0;
  ~Fixture() {
    if (viewer && mover) viewer->UserMouseRelease(pressX, pressY, KIVMouseEvent::ButtonLeft, 0);
    mover.reset();
    delete NavMovorObject::sxNavMovorPanel;
    if (viewer) viewer->RemoveRep(tree.root, NavViewerExtand::kOfficialRoot);
    viewer.reset();
    if (tree.root) tree.root->Destroy();
  }
};

// The pixel of a world point.
void Project(const KIV3DViewpoint& vp, const KIVMathPointf& p, int& x, int& y) {
  const float ty = std::tan(0.5f * vp.GetAngle() * 0.017453292f), tx = ty * kWidth / kHeight;
  const KIVMathVectorf rel = p - vp.GetOrigin();
  const float z = rel * vp.GetSightDirection();
  x = static_cast<int>(std::lround(0.5f * kWidth * (1.0f + rel * vp.GetRightDirection() / (z * tx)) - 0.5f));
  y = static_cast<int>(std::lround(0.5f * kHeight * (1.0f - rel * vp.GetUpDirection() / (z * ty)) - 0.5f));
}

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
  g.viewer = std::make_unique<NavViewerExtand>(nullptr, KIVString("bench"), 0, 0, kWidth, kHeight);
  KIV3DViewpoint* vp = g.viewer->GetMain3DViewpoint();
  AimAtPlant(*vp, *g.plant);
  g.viewer->AddRep(g.tree.root, NavViewerExtand::kOfficialRoot);
  g.viewer->LockDraw(1);  // frames are measured by the drawing benchmarks, not here
  KIVPickPathList paths;
  KIV3DCustomRep* leaf = ModelNearCentre(g, paths);
  if (!leaf) return nullptr;
  const auto it = std::find(g.tree.leaves.begin(), g.tree.leaves.end(), leaf);
  g.bag = g.tree.bags[static_cast<size_t>(it - g.tree.leaves.begin())];
  // A trihedral at the model's centre; the drag holds its ground-plane handle.
  const KIV3DBoundingSphere sphere = g.bag->GetBoundingElement();
  float sizes[3];
  sizes[0] = sizes[1] = sizes[2] = std::max(1.2f * sphere.GetRadius(), 1.0f);
  KIV4x4Matrix frame(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1), sphere.GetCenter());
  KIVUnicodeString name("model");
  g.mover = std::make_unique<NavMovorObject>(&g.parent, name, g.viewer.get(), frame, sizes, 0, 1, 0,
                                             NavMovorObject::kTrihedral, 1);
  g.parent.mover = g.mover.get();
  g.parent.bag = g.bag;
  g.parent.start = g.bag->GetMatrix() ? *g.bag->GetMatrix() : KIV4x4Matrix();
  // Close enough to the model that its handles are apart on screen, as one works.
  const KIVMathPointf centre = sphere.GetCenter();
  const KIVMathPointf eye = centre + KIVMathVectorf(1.5f, -2.0f, 3.0f) * sizes[0];
  vp->SetPosition(eye, KIVMathDirectionf(centre - eye), KIVMathDirectionf(0, 0, 1));
  Project(*vp, g.mover->GetPointManipulate(g.mover->GetManipulator(7)), g.pressX, g.pressY);
  g.viewer->UserMousePress(g.pressX, g.pressY, KIVMouseEvent::ButtonLeft, 0);
  return &g;
}

double Microseconds(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

void BM_MoverDragStep(benchmark::State& state) {
  Fixture* f = Plant(static_cast<int>(state.range(0)));
  bool held = false;
  for (int m = 0; f && m < f->mover->GetManipulatorCount(); ++m)
    held = held || f->mover->GetManipulator(m)->GetCurrentStyle() != KIV3DManipulator::NoManipulation;
  if (!held) {
    state.SkipWithError("no mover handle under the press");
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
  double move = 0, pick = 0, bound = 0;
  int hits = 0, k = 0;
  // Warm: the first moves refit what the drag touches.
  for (int w = 0; w < kOthers; ++w, ++k) {
    f->viewer->UserMouseMove(f->pressX + dx[k % kSteps], f->pressY + dy[k % kSteps], KIVMouseEvent::ButtonLeft, 0);
    f->viewer->Pick(ox[k % kOthers], oy[k % kOthers], paths);
    benchmark::DoNotOptimize(root->GetBoundingElement().GetRadius());
  }
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    f->viewer->UserMouseMove(f->pressX + dx[k % kSteps], f->pressY + dy[k % kSteps], KIVMouseEvent::ButtonLeft, 0);
    ++k;
    const auto t2 = std::chrono::steady_clock::now();  // the mover and the model moved
    hits += f->viewer->Pick(ox[k % kOthers], oy[k % kOthers], paths);
    const auto t3 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(root->GetBoundingElement().GetRadius());
    const auto t4 = std::chrono::steady_clock::now();
    move += Microseconds(t2 - t0), pick += Microseconds(t3 - t2),
        bound += Microseconds(t4 - t3);
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["us_per_step"] = (move + pick + bound) / n;
  state.counters["history"] = f->mover->GetHistoryIndex();  // 0: no entry during a drag
  state.counters["move_us"] = move / n;
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
