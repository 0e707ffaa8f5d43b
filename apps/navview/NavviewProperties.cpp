#include "apps/navview/NavviewProperties.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <unordered_set>

#include "apps/navview/NavviewModelsList.h"
#include "apps/navview/NavviewScene.h"
#include "apps/navview/NavviewSession.h"
#include "apps/navview/NavviewWords.h"
#include "browsing/NavPropertiesViewer.h"
#include "host/dialog/KIVDlgMultiList.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"

namespace {

std::string Point(const float p[3]) {
  char text[96];
  std::snprintf(text, sizeof text, "%.2f %.2f %.2f", static_cast<double>(p[0]), static_cast<double>(p[1]),
                static_cast<double>(p[2]));
  return text;
}
}  // namespace

NavviewProperties::NavviewProperties(NavviewSession& session) : mSession(session) {}

NavviewProperties::~NavviewProperties() { delete mViewer; }

bool NavviewProperties::WorldBox(KIVRep* model, std::string& min, std::string& max) {
  if (!model) return false;
  float lo[3], hi[3];
  for (int i = 0; i < 3; ++i) {
    lo[i] = std::numeric_limits<float>::max();
    hi[i] = -std::numeric_limits<float>::max();
  }
  bool any = false;
  // Down the model's tree, each rep with the placement that carries it into the scene.
  struct Item {
    KIVRep* rep;
    KIV4x4Matrix placement;
  };
  std::vector<Item> stack{{model, KIV3DBagRep::GetPlacementAbove(model)}};
  std::unordered_set<const KIVRep*> seen;
  while (!stack.empty()) {
    Item item = stack.back();
    stack.pop_back();
    if (auto* bag = dynamic_cast<KIV3DBagRep*>(item.rep)) {
      const KIV4x4Matrix placement = bag->GetMatrix() ? *bag->GetMatrix() * item.placement : item.placement;
      for (KIVRep* child : bag->GetChildren()) stack.push_back({child, placement});
    } else if (auto* leaf = dynamic_cast<KIV3DCustomRep*>(item.rep)) {
      KIVMathPointf a, b;
      if (!leaf->GetLocalBox(a, b)) continue;
      for (int corner = 0; corner < 8; ++corner) {
        const KIVMathPointf p = item.placement.TransformPoint(
            KIVMathPointf(corner & 1 ? b.x : a.x, corner & 2 ? b.y : a.y, corner & 4 ? b.z : a.z));
        const float c[3] = {p.x, p.y, p.z};
        for (int i = 0; i < 3; ++i) {
          lo[i] = std::min(lo[i], c[i]);
          hi[i] = std::max(hi[i], c[i]);
        }
      }
      any = true;
    }
  }
  if (!any) return false;
  min = Point(lo);
  max = Point(hi);
  return true;
}

void NavviewProperties::Fill() {
  delete mViewer;
  mViewer = new NavPropertiesViewer(nullptr, "NavviewPropertiesWindow", "Properties");
  mViewer->SetRectDimensions(0, 0, 900, 420);
  NavviewScene& scene = mSession.GetScene();
  const std::vector<KIVRep*> models = scene.GetModels();
  KIVUnicodeString names[6];
  for (int c = 0; c < 6; ++c) names[c] = KIVUnicodeString(kColumns[c]);
  for (KIVRep* model : models) {
    const int object = mViewer->AddObject();
    if (object < 0) break;
    const char* own = scene.GetName(model);
    const std::string name = own && *own ? own : "(unnamed)";
    const char* file = scene.GetSource(model);
    std::string min = "-", max = "-";
    WorldBox(model, min, max);
    const std::string values[6] = {name,         NavviewModelsList::TypeOf(name), file ? file : "(built-in)", min,
                                   max,          std::to_string(NavviewScene::CountTriangles(model))};
    for (int c = 0; c < 6; ++c) {
      KIVUnicodeString value(values[c]);
      mViewer->AddProperty(object, &names[c], &value, 0);
    }
  }
  mFilledVersion = KIVRep::GetSceneVersion();
}

void NavviewProperties::Show() {
  const bool fresh = !mViewer || mFilledVersion != KIVRep::GetSceneVersion();
  if (fresh) Fill();
  mViewer->SetVisibility(2);
  // Widths that show a whole box corner; the export aligns on them too.
  static constexpr int kWidths[6] = {24, 10, 12, 26, 26, 10};
  if (fresh)
    for (int c = 0; c < 6; ++c) mViewer->GetList()->SetColumnTextWidth(c, kWidths[c]);
}

std::string NavviewProperties::Command(const std::vector<std::string>& words, bool& failed) {
  if (words.empty()) {
    Show();
    return std::to_string(mViewer->GetNumberOfObject()) + " models";
  }
  if (words.size() != 2 || words[0] != "save") return NavviewWords::Refuse(failed);
  Show();
  if (mViewer->Export(KIVUnicodeString(words[1])) != 0)
    return NavviewWords::Refuse(failed, "cannot write '" + words[1] + "'");
  return std::to_string(mViewer->GetNumberOfObject()) + " models saved to " + words[1];
}
