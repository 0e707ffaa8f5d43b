#include "apps/navview/NavviewBrowser.h"

#include <algorithm>
#include <map>
#include <unordered_set>

#include "apps/navview/NavviewSession.h"
#include "apps/navview/NavviewWords.h"
#include "browsing/NavGraphicRepTree.h"
#include "browsing/NavSimpleGraph.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"
#include "viewer/NavViewerExtand.h"

using NavviewWords::Refuse;

namespace {
using Rec = KIVNavArbreElement;
}  // namespace

NavGraphicRepTree* NavviewBrowser::GetBrowser() const { return mSession.GetViewer().GetGraphicRepTree(); }

std::string NavviewBrowser::NameOf(const KIVRep* rep) const {
  const char* name = mSession.GetScene().GetName(rep);
  return name ? name : "";
}

std::string NavviewBrowser::Command(const std::vector<std::string>& w, bool& failed) {
  if (w.empty()) return Refuse(failed);
  const std::vector<std::string> rest(w.begin() + 1, w.end());
  if (w[0] == "open" && rest.empty()) return Open();
  if (w[0] == "close" && rest.empty()) {
    mSession.GetViewer().SetGraphicRepTreeState(0);
    return "browser closed";
  }
  if (w[0] == "select") return Select(rest, failed);
  if (w[0] == "clash" && rest.empty()) return Clash(failed);
  if (w[0] == "identify" && !rest.empty()) return Identify(rest, failed);
  return Refuse(failed);
}

std::string NavviewBrowser::Open() {
  NavViewerExtand& viewer = mSession.GetViewer();
  viewer.SetGraphicRepTreeState(1);
  NavGraphicRepTree* tree = GetBrowser();
  if (!tree) return "the browser could not be opened";
  tree->AffichePanel(1);
  std::size_t nodes = 0;
  std::vector<Rec*> stack{tree->GetRoot()};
  while (!stack.empty()) {
    Rec* r = stack.back();
    stack.pop_back();
    if (!r) continue;
    if (r->object) ++nodes;
    for (int i = 0; i < r->childCount; ++i) stack.push_back(r->children[i]);
  }
  return "browser open: " + std::to_string(nodes) + " nodes";
}

std::vector<KIVRep*> NavviewBrowser::Models(const std::vector<std::string>& words, std::string& why) const {
  const NavviewScene& scene = mSession.GetScene();
  std::map<std::string, KIVRep*> byName;
  std::vector<KIVRep*> stack{scene.GetRoot()};
  std::unordered_set<const KIVRep*> seen;
  while (!stack.empty()) {
    KIVRep* rep = stack.back();
    stack.pop_back();
    if (!rep || !seen.insert(rep).second) continue;
    if (rep != scene.GetRoot())
      if (const char* name = scene.GetName(rep); name && *name) byName.emplace(name, rep);
    for (KIVRep* child : rep->GetChildren()) stack.push_back(child);
  }
  std::vector<KIVRep*> found;
  for (std::size_t i = 0; i < words.size();) {
    std::size_t taken = 0;
    for (std::size_t n = words.size() - i; n >= 1 && !taken; --n) {
      std::string name;
      for (std::size_t k = 0; k < n; ++k) name += (k ? " " : "") + words[i + k];
      if (auto it = byName.find(name); it != byName.end()) found.push_back(it->second), taken = n;
    }
    if (!taken) {
      why = "nothing is named '" + words[i] + "...' (list shows the models' names)";
      return {};
    }
    i += taken;
  }
  return found;
}

void NavviewBrowser::Reveal(NavGraphicRepTree* tree, KIVNavArbreElement* record) const {
  std::vector<Rec*> above;
  for (Rec* r = tree->GetParentNode(record); r; r = tree->GetParentNode(r)) above.push_back(r);
  bool changed = false;
  for (auto it = above.rbegin(); it != above.rend(); ++it)
    if (tree->getGraph()->UpdateExtendNode(*it, 1, 1)) changed = true;
  if (changed) {
    tree->getGraph()->UpdateGraph(0, nullptr, 1, 0);
    tree->UpdateColor(tree->GetRoot());
  }
}

std::string NavviewBrowser::Select(const std::vector<std::string>& names, bool& failed) {
  NavGraphicRepTree* tree = GetBrowser();
  if (!tree) return Refuse(failed, "the browser is not open (browser open)");
  std::string why;
  const std::vector<KIVRep*> models = names.empty() ? std::vector<KIVRep*>{} : Models(names, why);
  if (!why.empty()) return Refuse(failed, why);
  std::vector<Rec*> records;
  for (KIVRep* rep : models)
    for (Rec* r : tree->GetInstances(rep)) records.push_back(r);
  if (!models.empty() && records.empty()) return Refuse(failed, "not in the browser's tree (browser open rebuilds it)");
  for (Rec* r : records)
    if (!r->graphNode) Reveal(tree, r);
  // Those revealed got new graph nodes: the selection goes on the records as they are now.
  tree->getGraph()->SelectNoeudGraph(records.data(), static_cast<int>(records.size()), 0);
  tree->getGraph()->GetGraphViewer()->redraw();
  tree->UpdateSelection(1);
  const bool clash = tree->GetClashButton()->GetSensitivity() == KIVDialog::SensitivityOn;
  return "selected " + std::to_string(tree->GetSelectedNodeCount()) + " nodes; Compute Clash " +
         (clash ? "on" : "off");
}

std::string NavviewBrowser::Clash(bool& failed) {
  NavGraphicRepTree* tree = GetBrowser();
  if (!tree) return Refuse(failed, "the browser is not open (browser open)");
  if (tree->GetClashButton()->GetSensitivity() != KIVDialog::SensitivityOn)
    return Refuse(failed, "select two nodes or more first (browser select NAME...)");
  tree->GetClashButton()->UserActivate();
  std::string coloured;
  const int n = tree->getGraph()->getSelectionNumber();
  int count = 0;
  for (int i = 0; i < n; ++i) {
    Rec* r = tree->getGraph()->getSelection()[i];
    if (!r->graphNode || r->graphNode->getColor() == NavGraphicRepTree::kShownColor ||
        r->graphNode->getColor() == NavGraphicRepTree::kHiddenColor)
      continue;
    ++count;
    if (count <= 20)
      coloured += (count > 1 ? ", " : "") + NameOf(static_cast<KIVRep*>(r->object)) + " (" +
                  std::to_string(r->graphNode->getColor()) + ")";
  }
  if (count == 0) return "no clash among the selected nodes";
  return std::to_string(count) + " nodes coloured: " + coloured + (count > 20 ? ", ..." : "");
}

std::string NavviewBrowser::Identify(const std::vector<std::string>& name, bool& failed) {
  NavGraphicRepTree* tree = GetBrowser();
  if (!tree) return Refuse(failed, "the browser is not open (browser open)");
  std::string why;
  const std::vector<KIVRep*> models = Models(name, why);
  if (models.size() != 1) return Refuse(failed, why.empty() ? "name one model" : why);
  const std::vector<Rec*> all = tree->GetInstances(models[0]);
  if (all.empty()) return Refuse(failed, "not in the browser's tree (browser open rebuilds it)");
  tree->SetCurrentNode(all.front());
  tree->ActiveMenuOption(NavGraphicRepTree::kOptIdentify);
  return "identified " + NameOf(models[0]);
}
