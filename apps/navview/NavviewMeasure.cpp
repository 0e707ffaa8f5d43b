#include "apps/navview/NavviewMeasure.h"

#include <cstdio>
#include <map>
#include <unordered_set>

#include "apps/navview/NavviewSession.h"
#include "apps/navview/NavviewWords.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgEditor.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/interfere/KIVInterfereEngine.h"
#include "host/visu/interfere/KIVSiInInterfereModel.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "host/visu/scene/KIVRepPath.h"
#include "measure/KIVNavMarker3DGageRep.h"
#include "measure/NavAnnotationViewerUI.h"
#include "measure/NavDistanceViewerUI.h"
#include "viewer/NavViewerExtand.h"

using NavviewWords::ToFloat;
using NavviewWords::Refuse;
using NavviewWords::ToInt;

namespace {
std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", v);
  return text;
}

std::string Point(const KIVMathPointf& p) {
  char text[112];
  std::snprintf(text, sizeof text, "(%.4g %.4g %.4g)", p.x, p.y, p.z);
  return text;
}

// A click of the left button, as the mouse gives it.
void Click(NavViewerExtand& viewer, int x, int y) {
  viewer.UserMousePress(x, y, KIVMouseEvent::ButtonLeft, 0);
  viewer.UserMouseRelease(x, y, KIVMouseEvent::ButtonLeft, 0);
}
}  // namespace

std::string NavviewMeasure::NameOf(const KIVRep* rep) const {
  const char* name = mSession.GetScene().GetName(rep);
  return name && *name ? name : "(unnamed)";
}

KIVRepPath* NavviewMeasure::PathTo(KIVRep* rep) const {
  NavViewerExtand& viewer = mSession.GetViewer();
  std::vector<KIVRep*> chain;
  for (KIVRep* r = rep; r; r = r->GetParents().empty() ? nullptr : r->GetParents().front()) chain.push_back(r);
  auto* path = new KIVRepPath(viewer.GetMain3DViewpoint());
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) path->AddRep(*it);
  return path;
}

std::vector<KIVRep*> NavviewMeasure::Models(const std::vector<std::string>& words, std::string& why) const {
  const NavviewScene& scene = mSession.GetScene();
  std::map<std::string, KIVRep*> byName;
  std::vector<KIVRep*> all;
  std::vector<KIVRep*> stack{scene.GetRoot()};
  std::unordered_set<const KIVRep*> seen;
  while (!stack.empty()) {
    KIVRep* rep = stack.back();
    stack.pop_back();
    if (!seen.insert(rep).second) continue;
    if (scene.IsModel(rep)) {
      all.push_back(rep);
      byName.emplace(NameOf(rep), rep);
    }
    for (KIVRep* child : rep->GetChildren()) stack.push_back(child);
  }
  if (words.size() == 1 && words[0] == "all") return all;
  std::vector<KIVRep*> found;
  for (size_t i = 0; i < words.size();) {
    size_t taken = 0;
    for (size_t n = words.size() - i; n >= 1 && !taken; --n) {
      std::string name;
      for (size_t k = 0; k < n; ++k) name += (k ? " " : "") + words[i + k];
      if (auto it = byName.find(name); it != byName.end()) found.push_back(it->second), taken = n;
    }
    if (!taken) {
      why = "no model is named '" + words[i] + "...' (list shows the models' names)";
      return {};
    }
    i += taken;
  }
  return found;
}

std::string NavviewMeasure::Distance(const std::vector<std::string>& w, bool& failed) {
  if (w.size() >= 2 && w[0] == "min") {
    std::string why;
    const std::vector<KIVRep*> models = Models(std::vector<std::string>(w.begin() + 1, w.end()), why);
    if (models.size() != 2) return Refuse(failed, why.empty() ? "name two models" : why);
    return Minimal(NameOf(models[0]), NameOf(models[1]), failed);
  }
  int c[4];
  if (w.size() != 4 || !ToInt(w[0], c[0]) || !ToInt(w[1], c[1]) || !ToInt(w[2], c[2]) || !ToInt(w[3], c[3]))
    return Refuse(failed);
  return Picked(c[0], c[1], c[2], c[3], failed);
}

// Through the tool's own buttons: "First Point", a click, "Second Point", a click.
std::string NavviewMeasure::Picked(int x1, int y1, int x2, int y2, bool& failed) {
  NavViewerExtand& viewer = mSession.GetViewer();
  viewer.SetDistanceEditorState(1);
  NavDistanceViewerUI* tool = viewer.GetDistanceTool();
  if (!tool) return Refuse(failed, "the distance tool could not be opened");
  const int xs[2] = {x1, x2}, ys[2] = {y1, y2};
  for (int which = 1; which <= 2; ++which) {
    KIVPickPathList paths;
    if (!viewer.Pick(xs[which - 1], ys[which - 1], paths))
      return Refuse(failed, "nothing at " + std::to_string(xs[which - 1]) + " " + std::to_string(ys[which - 1]));
    tool->GetPointButton(which)->UserSetState(KIVDialog::StateSet);
    Click(viewer, xs[which - 1], ys[which - 1]);
    if (!(tool->GetPickedFlags() & which)) return Refuse(failed, "the tool took no point");
  }
  KIVNavMarker3DGageRep* gauge = tool->GetGaugeRep();
  const KIVMathPointf p1 = gauge->GetCoordonnePoint(1), p2 = gauge->GetCoordonnePoint(2);
  return "distance " + Number(p1.DistanceTo(p2)) + " from " + Point(p1) + " to " + Point(p2);
}

std::string NavviewMeasure::Minimal(const std::string& first, const std::string& second, bool& failed) {
  std::string why;
  const std::vector<KIVRep*> a = Models({first}, why), b = Models({second}, why);
  if (a.size() != 1 || b.size() != 1) return Refuse(failed, why);
  if (!KIVSiInInterfereModel::GetEngine()) return Refuse(failed, "no interference engine in this build");
  KIVRepPath* pa = PathTo(a[0]);
  KIVRepPath* pb = PathTo(b[0]);
  KIVSiInInterfereModel model;
  const int query = model.AddSpec(&pa, 1, &pb, 1, KIVSiInInterfereModel::kSurface,
                                 KIVSiInInterfereModel::kMinimalDistance, 0.0);
  double distance = 0.0;
  int count = 0;
  KIV3DBagRep** bags = nullptr;
  model.Compute();
  model.GetResult(query, &distance, &count, &bags, 0);
  KIVMathPointf points[2];
  int found = 0;
  if (count > 0 && bags && bags[0]) {
    for (KIVRep* child : bags[0]->GetChildren())
      if (auto* point = dynamic_cast<KIV3DPointRep*>(child); point && found < 2) points[found++] = point->GetPoint();
  }
  for (int i = 0; i < count; ++i)
    if (bags[i]) bags[i]->Destroy();
  delete[] bags;
  delete pa;
  delete pb;
  if (count < 1) return Refuse(failed, "no distance between " + first + " and " + second);
  // Shown as the distance tool shows it: its gauge between the two nearest points.
  NavViewerExtand& viewer = mSession.GetViewer();
  viewer.SetDistanceEditorState(1);
  if (NavDistanceViewerUI* tool = viewer.GetDistanceTool(); tool && found == 2) {
    tool->SetPointCoordonne(points[0], 1, 0);
    tool->SetPointCoordonne(points[1], 2, 1);
    viewer.Draw();
  }
  std::string text = "minimal distance " + Number(distance) + " between " + first + " and " + second;
  if (found == 2) text += ", from " + Point(points[0]) + " to " + Point(points[1]);
  return text;
}

std::string NavviewMeasure::Clash(const std::vector<std::string>& w, bool& failed) {
  if (w.empty()) return Refuse(failed);
  std::vector<std::string> names = w;
  double clearance = 0.0;
  int kind = KIVSiInInterfereModel::kClash;
  if (names.size() >= 3 && names[names.size() - 2] == "clearance") {
    float d = 0.0f;
    if (!ToFloat(names.back(), d) || !(d >= 0.0f)) return Refuse(failed);
    clearance = d;
    kind = KIVSiInInterfereModel::kClearance;
    names.resize(names.size() - 2);
  }
  std::string why;
  const std::vector<KIVRep*> models = Models(names, why);
  if (models.empty()) return Refuse(failed, why.empty() ? "no model" : why);
  if (!KIVSiInInterfereModel::GetEngine()) return Refuse(failed, "no interference engine in this build");
  // The selection against itself, as the tree browser asks.
  std::vector<KIVRepPath*> a, b;
  for (KIVRep* model : models) a.push_back(PathTo(model)), b.push_back(PathTo(model));
  KIVSiInInterfereModel model;
  const int query = model.AddSpec(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()),
                                 KIVSiInInterfereModel::kSurface, kind, clearance);
  model.Compute();
  int count = 0;
  KIVRepPath **pathsA = nullptr, **pathsB = nullptr;
  int* kinds = nullptr;
  KIV3DBagRep** bags = nullptr;
  model.GetResult(query, &count, &pathsA, &pathsB, &kinds, &bags, 0);
  std::string lines;
  constexpr int kShown = 50;
  for (int i = 0; i < count; ++i) {
    if (i < kShown)
      lines += "\n  " + NameOf(pathsA[i]->GetLeafRep()) + " x " + NameOf(pathsB[i]->GetLeafRep()) +
               (kinds && kinds[i] == KIVSiInInterfereModel::kClearance ? " (clearance)"
                : kinds && kinds[i] == KIVSiInInterfereModel::kContact ? " (contact)"
                                                                       : "");
    if (bags && bags[i]) bags[i]->Destroy();
  }
  if (count > kShown) lines += "\n  ... " + std::to_string(count - kShown) + " more";
  delete[] pathsA;
  delete[] pathsB;
  delete[] kinds;
  delete[] bags;
  for (KIVRepPath* p : a) delete p;
  for (KIVRepPath* p : b) delete p;
  return std::to_string(count) + (count == 1 ? " pair" : " pairs") +
         (kind == KIVSiInInterfereModel::kClearance ? " closer than " + Number(clearance) : " clashing") + lines;
}

// Through the tool: the text in its editor, "Create", then a click where the note goes.
std::string NavviewMeasure::Note(const std::vector<std::string>& w, bool& failed) {
  int x = 0, y = 0;
  if (w.size() < 3 || !ToInt(w[0], x) || !ToInt(w[1], y)) return Refuse(failed);
  std::string text;
  for (size_t i = 2; i < w.size(); ++i) text += (i > 2 ? " " : "") + w[i];
  NavViewerExtand& viewer = mSession.GetViewer();
  if (!viewer.GetRootRep(NavViewerExtand::kAnnotationRoot)) return Refuse(failed, "this viewer keeps no annotations");
  viewer.SetAnnotationEditorState(1);
  NavAnnotationViewerUI* tool = viewer.GetAnnotationTool();
  auto* editor = tool ? dynamic_cast<KIVDlgEditor*>(tool->LookupChild(NavAnnotationViewerUI::Annotation3DEditorTag))
                      : nullptr;
  auto* create = tool ? dynamic_cast<KIVDlgCheckButton*>(tool->LookupChild(NavAnnotationViewerUI::CreateAnnotationTag))
                      : nullptr;
  if (!editor || !create) return Refuse(failed, "the annotation tool could not be opened");
  const size_t before = viewer.GetRootRep(NavViewerExtand::kAnnotationRoot)->GetChildren().size();
  editor->UserSetText(KIVUnicodeString(text.c_str()));
  create->UserSetState(KIVDialog::StateSet);
  Click(viewer, x, y);
  if (viewer.GetRootRep(NavViewerExtand::kAnnotationRoot)->GetChildren().size() == before)
    return Refuse(failed, "nothing at " + std::to_string(x) + " " + std::to_string(y) + " to note");
  return "noted '" + text + "'";
}
