// The attribute editor on the plant's models (10,000 by default, 100,000 too): a
// transparency or a colour applied to every model through the editor's widgets (the undo
// step stored, each model and its leaf changed, the owner told), and the undo of such a
// change. The undo should stay under 20 ms at 10,000 models.

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/PlantScene.h"
#include "bench/PlantTree.h"
#include "browsing/NavGraphicAttribut.h"
#include "dialogs/NavSimpleColorChooser.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgRadioButton.h"

namespace {

struct Fixture {
  explicit Fixture(int models) : plant(models, 6) {
    tree = BuildPlantTree(plant);
    editor = new NavGraphicAttribut(&owner, &window, NavGraphicAttribut::kDefaultStyle | NavGraphicAttribut::kUndo);
    std::vector<KIVRep*> reps(tree.bags.begin(), tree.bags.end());
    editor->UpdateAttribut(static_cast<int>(reps.size()), reps.data(), nullptr, NavGraphicAttribut::kModeSetter, 1);
    transparent = dynamic_cast<KIVDlgCheckButton*>(editor->LookupChild(NavGraphicAttribut::SwapTranparencyButtonTag));
  }
  ~Fixture() {
    delete editor;
    tree.root->Destroy();
  }
  void Toggle() {
    const bool set = transparent->GetState() == KIVDialog::StateSet;
    transparent->UserSetState(set ? KIVDialog::StateCleared : KIVDialog::StateSet);
  }
  PlantScene plant;
  PlantTree tree;
  KIVCommand owner{nullptr, "owner"};
  KIVDlgDialog window{nullptr, "window"};
  NavGraphicAttribut* editor = nullptr;
  KIVDlgCheckButton* transparent = nullptr;
};

void BM_ApplyTransparency(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) f.Toggle();
  state.counters["models"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_ApplyTransparency)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ApplyColour(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  f.editor->AfficheColorChooser(1, 0, 0);
  NavSimpleColorChooser* chooser = f.editor->GetColorChooser();
  KIVDlgRadioButton* colours[2] = {dynamic_cast<KIVDlgRadioButton*>(chooser->LookupChild("ColorRedButton")),
                                   dynamic_cast<KIVDlgRadioButton*>(chooser->LookupChild("ColorGreenButton"))};
  int which = 0;
  for (auto _ : state) {
    colours[which]->UserSetState(KIVDialog::StateSet);
    which ^= 1;
  }
  state.counters["models"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_ApplyColour)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Only the undo is timed; the change it undoes is made with the clock stopped.
void BM_UndoAttributeChange(benchmark::State& state) {
  Fixture f(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    f.Toggle();
    if (f.editor->GetUndoIndex() < 0) {
      state.SkipWithError("the change stored no undo step");
      break;
    }
    state.ResumeTiming();
    f.editor->Undo();
  }
  state.counters["models"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_UndoAttributeChange)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
