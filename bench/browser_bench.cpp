// The representation tree browser on the plant (10,000 and 100,000 models): opening it
// (the tree built and the graph's first layout), the tree extended down to the models, "Select All" with the selection bag rebuilt, one more node selected while
// 10,000 are (no walk over the graph per selected node), hiding 1,000 selected models
// through the attribute editor, and a clash among 100 selected models.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/PlantScene.h"
#include "bench/PlantTree.h"
#include "browsing/NavGraphicRepTree.h"
#include "browsing/NavSimpleGraph.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/graph/KIVGraphViewer.h"
#include "viewer/NavViewerExtand.h"
#ifdef NAVTOOLS_HAVE_INTERFERE
#include "host/interfere/KIVFclInterfereEngine.h"
#endif

namespace {
using Rec = KIVNavArbreElement;

struct Scene {
  explicit Scene(int models, float spacing = 4.0f) {
    plant = std::make_unique<PlantScene>(models, 12, 1, spacing);
    tree = BuildPlantTree(*plant);
    viewer = std::make_unique<NavViewerExtand>(nullptr, KIVString("bench"), 0, 0, 640, 480);
    viewer->AddRep(tree.root, NavViewerExtand::kOfficialRoot);
    viewer->LockDraw(1);  // frames are measured by the drawing benchmarks
  }
  ~Scene() {
    browser.reset();
    viewer->RemoveRep(tree.root, NavViewerExtand::kOfficialRoot);
    viewer.reset();
    tree.root->Destroy();
  }
  NavGraphicRepTree* Open() {
    browser = std::make_unique<NavGraphicRepTree>(viewer.get(), NavGraphicRepTree::kViewerStyle);
    browser->AffichePanel(1);
    return browser.get();
  }
  // Down to the models' records (official root, plant root, models), as a person opens it.
  void ExtendToModels() {
    Rec* root = browser->GetRoot();
    browser->getGraph()->UpdateExtendNode(root, 2, 0);
    browser->getGraph()->UpdateGraph(1, &root, 1, 0);
  }
  // The records of the models' bags, in the plant's order.
  std::vector<Rec*> ModelRecords(int count) {
    std::vector<Rec*> out;
    for (int i = 0; i < count && i < static_cast<int>(tree.bags.size()); ++i)
      if (const std::vector<Rec*> all = browser->GetInstances(tree.bags[i]); !all.empty()) out.push_back(all.front());
    return out;
  }
  void Select(std::vector<Rec*> records) {
    browser->getGraph()->SelectNoeudGraph(records.data(), static_cast<int>(records.size()), 0);
    browser->UpdateSelection(1);
  }
  std::unique_ptr<PlantScene> plant;
  PlantTree tree;
  std::unique_ptr<NavViewerExtand> viewer;
  std::unique_ptr<NavGraphicRepTree> browser;
};

void BM_OpenBrowser(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    scene.Open();
    benchmark::DoNotOptimize(scene.browser->GetRoot());
    state.PauseTiming();
    scene.browser.reset();
    state.ResumeTiming();
  }
  state.counters["models"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_OpenBrowser)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ExtendToModels(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    scene.Open();
    state.ResumeTiming();
    scene.ExtendToModels();
    benchmark::DoNotOptimize(scene.browser->getGraph()->GetTotalNode());
    state.PauseTiming();
    scene.browser.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ExtendToModels)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_SelectAll(benchmark::State& state) {
  Scene scene(static_cast<int>(state.range(0)));
  scene.Open();
  scene.ExtendToModels();
  for (auto _ : state) {
    scene.browser->ActiveMenuOption(NavGraphicRepTree::kOptSelectAll);
    benchmark::DoNotOptimize(scene.browser->GetSelectionBag());
    state.PauseTiming();
    scene.browser->ActiveMenuOption(NavGraphicRepTree::kOptUnselectAll);  // the next one starts afresh
    state.ResumeTiming();
  }
  scene.browser->ActiveMenuOption(NavGraphicRepTree::kOptSelectAll);
  state.counters["selected"] = scene.browser->GetSelectedNodeCount();
}
BENCHMARK(BM_SelectAll)->Arg(10000)->Unit(benchmark::kMillisecond);

// A person's shift-click on one more node while 10,000 are selected, through the graph.
void BM_SelectionChangeAt10k(benchmark::State& state) {
  Scene scene(10001);
  scene.Open();
  scene.ExtendToModels();
  std::vector<Rec*> records = scene.ModelRecords(10001);
  Rec* extra = records.back();
  records.pop_back();
  scene.Select(records);
  KIVGraphViewer* graph = scene.browser->getGraph()->GetGraphViewer();
  for (auto _ : state) graph->UserSelect(extra->graphNode, 1);  // in, then out again
  state.counters["selected"] = scene.browser->GetSelectedNodeCount();
}
BENCHMARK(BM_SelectionChangeAt10k)->Unit(benchmark::kMillisecond);

// "Show" unchecked in the attribute editor with 1,000 models selected, then checked again.
void BM_Hide1000(benchmark::State& state) {
  Scene scene(10000);
  scene.Open();
  scene.ExtendToModels();
  scene.Select(scene.ModelRecords(1000));
  auto* show = dynamic_cast<KIVDlgCheckButton*>(scene.browser->LookupChild("SwapShowButton"));
  if (!show) {
    state.SkipWithError("no Show button");
    return;
  }
  for (auto _ : state) {
    show->UserSetState(KIVDialog::StateCleared);
    state.PauseTiming();
    show->UserSetState(KIVDialog::StateSet);
    state.ResumeTiming();
  }
  state.counters["hidden"] = 1000;
}
BENCHMARK(BM_Hide1000)->Unit(benchmark::kMillisecond);

#ifdef NAVTOOLS_HAVE_INTERFERE
// Spacing 1.5: neighbouring models cross, so the clash finds pairs to colour.
void BM_Clash100(benchmark::State& state) {
  KIVFclInterfereEngine::Install();
  Scene scene(10000, 1.5f);
  scene.Open();
  scene.ExtendToModels();
  scene.Select(scene.ModelRecords(100));
  int pairs = 0;
  for (auto _ : state) pairs = scene.browser->ComputeClash();
  state.counters["pairs"] = pairs;
}
BENCHMARK(BM_Clash100)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
