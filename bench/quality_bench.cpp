// What the "Quality & Speed" setting buys on the 10M-triangle plant (10,000 models of 1,000
// triangles) drawn by the OpenGL back end at 1280 × 720 in an extended viewer, as its panel
// applies it: still frames and frames of a left drag (the drag counts as a moving view, so
// the moving precisions apply). Each iteration is one frame waited for (glFinish); during
// a drag, one mouse move and its frame. Arguments: setting (0 the viewer's default: sag 1
// and 4, pixels 0.5 and 12; 1 "fast": sag 2 and 10, pixels 1 and 10), dragging (0 or 1),
// view (0 the whole plant, where every model is under 12 pixels; 1 from a quarter of the
// distance, where the near models are large and the far ones small).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "bench/ViewerPlant.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgSlider.h"
#include "viewer/NavQualitySpeedEditPanel.h"

namespace {

KIVGLContext* Context() { return HeadlessContext(); }

ViewerPlant* Scene() {
  static std::unique_ptr<ViewerPlant> p;
  if (!p && Context()) {
    p = std::make_unique<ViewerPlant>();
    ViewerPlant::Build(*p, 10000, 1000, NavViewerExtand::kOptionEditor | NavViewerExtand::kOptionQuality);
  }
  return p.get();
}

// Through the panel, as a person sets it: "User Define", the four sliders, Apply, OK.
void ApplySetting(NavViewerExtand& viewer, int fast) {
  const float values[2][2][2] = {{{1.0f, 4.0f}, {0.5f, 12.0f}}, {{2.0f, 10.0f}, {1.0f, 10.0f}}};
  viewer.SetQualityLodEditorState(1);
  NavQualitySpeedEditPanel* panel = viewer.GetQualityPanel();
  panel->GetRuleButton(NavQualitySpeedEditPanel::RuleUser)->UserSetState(KIVDialog::StateSet);
  for (int p = 0; p < 2; ++p)
    for (int m = 0; m < 2; ++m) panel->GetSlider(p, m)->UserSetValue(values[fast][p][m]);
  panel->UserApply();
  panel->UserOK();
  KIVApplication::MainApplication()->ProcessDeferred();
}

void BM_QualityFrame(benchmark::State& state) {
  ViewerPlant* p = Scene();
  if (!p) {
    state.SkipWithError("no headless OpenGL");
    return;
  }
  NavViewerExtand& viewer = *p->viewer;
  const int fast = static_cast<int>(state.range(0));
  const bool dragging = state.range(1) != 0;
  ApplySetting(viewer, fast);
  KIV3DViewpoint* camera = viewer.GetMain3DViewpoint();
  AimAtPlant(*camera, *p->plant);
  if (state.range(2) == 1) {
    const KIVMathPointf eye = p->plant->GetEye(), target = p->plant->GetTarget();
    camera->SetOrigin(eye + (target - eye) * 0.75f);
    camera->SetFocusDistance(0.25f * eye.DistanceTo(target));
  }
  const int cx = 640, cy = 360;
  if (dragging) {
    viewer.UserMousePress(cx, cy, 1, 0);
    viewer.UserMouseMove(cx + 6, cy, 1, 0);  // past the drag threshold
  }
  viewer.Draw();
  p->render->Finish();
  int step = 0;
  for (auto _ : state) {
    if (dragging) {
      const int dx = (step++ / 20) % 2 ? -1 : 1;  // to and fro, so that the view stays on the plant
      viewer.UserMouseMove(cx + 6 + (step % 20) * dx, cy, 1, 0);
    }
    viewer.Draw();
    p->render->Finish();
  }
  state.counters["triangles"] = static_cast<double>(p->render->GetLastFrameStats().triangles);
  state.counters["culled"] = p->render->GetCulledCount();
  state.counters["models"] = p->render->GetDrawnLeafCount();  // the models left on screen
  state.counters["moving"] = viewer.GetMovingCounter();
  state.counters["sag"] = viewer.GetSupport().GetSagPrecision();
  state.counters["cull_px"] = viewer.GetSupport().GetCullingPrecision();
  if (dragging) viewer.UserMouseRelease(cx + 6, cy, 1, 0);
}
BENCHMARK(BM_QualityFrame)
    ->ArgNames({"fast", "drag", "view"})
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
