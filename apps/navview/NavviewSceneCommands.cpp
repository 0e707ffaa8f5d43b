#include "apps/navview/NavviewSceneCommands.h"

#include <memory>
#include <unordered_set>

#include "apps/navview/NavviewScene.h"
#include "apps/navview/NavviewSession.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/panels/KIVNavElement.h"
#include "host/visu/panels/KIVWriteVrml.h"
#include "viewer/NavViewerExtand.h"

namespace {

void AddWithAncestors(KIVRep* rep, const KIVRep* root, std::unordered_set<const KIVRep*>& into) {
  if (!into.insert(rep).second || rep == root) return;
  for (KIVRep* parent : rep->GetParents()) AddWithAncestors(parent, root, into);
}

void AddWithDescendants(KIVRep* rep, std::unordered_set<const KIVRep*>& into) {
  into.insert(rep);
  for (KIVRep* child : rep->GetChildren()) AddWithDescendants(child, into);
}

std::string Count(size_t n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

}  // namespace

std::vector<KIVRep*> NavviewSceneCommands::Reps() const { return mSession.GetScene().GetReps(); }

std::vector<KIVRep*> NavviewSceneCommands::Find(const std::string& name) const {
  std::vector<KIVRep*> found;
  for (KIVRep* rep : Reps()) {
    const char* own = mSession.GetScene().GetName(rep);
    if (own && name == own && rep != mSession.GetScene().GetRoot()) found.push_back(rep);
  }
  return found;
}

std::string NavviewSceneCommands::NotFound(const std::string& name, bool& failed) const {
  failed = true;
  return "nothing is named '" + name + "' (list shows the models' names)";
}

std::string NavviewSceneCommands::Open(const std::string& path, bool& failed) {
  const int before = mSession.GetScene().GetModelCount();
  std::string error, warning;
  if (!mSession.LoadFile(path, &error, &warning)) {
    failed = true;
    return error;
  }
  mSession.GetViewer().Reframe(NavViewerExtand::kOfficialRoot);
  return "opened " + path + ": " + Count(mSession.GetScene().GetModelCount() - before, "model") +
         (warning.empty() ? "" : " (" + warning + ")");
}

std::string NavviewSceneCommands::List() const {
  const NavviewScene& scene = mSession.GetScene();
  std::string lines;
  int models = 0;
  long long total = 0;
  for (KIVRep* rep : Reps()) {
    if (!scene.IsModel(rep)) continue;
    const long long triangles = NavviewScene::CountTriangles(rep);
    const char* name = scene.GetName(rep);
    lines += "\n  " + std::string(name && *name ? name : "(unnamed)") + "  " + std::to_string(triangles) +
             " triangles";
    if (rep->GetShowMode()) lines += "  hidden";
    if (rep->GetHighlightMode()) lines += "  selected";
    ++models;
    total += triangles;
  }
  return Count(models, "model") + ", " + std::to_string(total) + " triangles" + lines;
}

std::string NavviewSceneCommands::Select(const std::string& name, bool& failed) {
  const std::vector<KIVRep*> found = name.empty() ? std::vector<KIVRep*>() : Find(name);
  if (!name.empty() && found.empty()) return NotFound(name, failed);
  // The selection replaces the last one, whoever made it.
  for (KIVRep* rep : Reps())
    if (rep->GetHighlightMode()) rep->SetHighlightMode(0, 1);
  for (KIVRep* rep : found) rep->SetHighlightMode(1, 1);
  return name.empty() ? "selection cleared" : "selected " + name + (found.size() > 1 ? " (" + Count(found.size(), "rep") + ")" : "");
}

std::string NavviewSceneCommands::Show(const std::string& name, bool show, bool& failed) {
  KIVRep* root = mSession.GetScene().GetRoot();
  if (show && name == "all") {
    for (KIVRep* rep : Reps())
      if (rep->GetShowMode()) rep->SetShowMode(0, 1);
    return "showed all";
  }
  const std::vector<KIVRep*> found = Find(name);
  if (found.empty()) return NotFound(name, failed);
  if (show) {
    // What sits under a hidden group stays hidden: open the way down from the root.
    std::unordered_set<const KIVRep*> way;
    for (KIVRep* rep : found) AddWithAncestors(rep, root, way);
    for (KIVRep* rep : Reps())
      if (way.count(rep) && rep->GetShowMode()) rep->SetShowMode(0, 1);
  } else {
    for (KIVRep* rep : found) rep->SetShowMode(1, 1);
  }
  return std::string(show ? "showed " : "hid ") + name + (found.size() > 1 ? " (" + Count(found.size(), "rep") + ")" : "");
}

std::string NavviewSceneCommands::Isolate(const std::string& name, bool& failed) {
  KIVRep* root = mSession.GetScene().GetRoot();
  const std::vector<KIVRep*> found = Find(name);
  if (found.empty()) return NotFound(name, failed);
  std::unordered_set<const KIVRep*> keep;
  for (KIVRep* rep : found) {
    AddWithAncestors(rep, root, keep);
    AddWithDescendants(rep, keep);
  }
  int hidden = 0;
  for (KIVRep* rep : Reps()) {
    const int mode = keep.count(rep) ? 0 : 1;
    if (mode && mSession.GetScene().IsModel(rep)) ++hidden;
    if (rep->GetShowMode() != mode) rep->SetShowMode(mode, 1);
  }
  return "isolated " + name + ", " + Count(hidden, "other model") + " hidden";
}

std::string NavviewSceneCommands::ExportVrml(const std::string& path, bool& failed) {
  NavViewerExtand& viewer = mSession.GetViewer();
  auto* root = dynamic_cast<KIV3DBagRep*>(viewer.GetRootRep(NavViewerExtand::kOfficialRoot));
  if (!root) {
    failed = true;
    return "cannot write '" + path + "': the viewer has no scene";
  }
  // VRML lengths are metres; the models are in session units (millimetres by default).
  const float scale = KIVNavElement::GetSessionUnit() / 1000.0f;
  std::unique_ptr<KIV4x4Matrix> kept;
  if (root->GetMatrix()) kept = std::make_unique<KIV4x4Matrix>(*root->GetMatrix());
  if (scale != 1.0f) {
    KIV4x4Matrix scaling = kept ? *kept : KIV4x4Matrix();
    KIV4x4Matrix units;
    for (int i = 0; i < 3; ++i) units.Set(i, i, scale);
    root->SetMatrix(units * scaling);
  }
  KIVRep* reps[1] = {root};
  std::string error;
  const int written = KIVWriteVrml::WriteFile(reps, 1, &viewer.GetKIVColormap(), path, &error);
  if (scale != 1.0f) root->SetMatrix(kept.get());
  if (!written) {
    failed = true;
    return error.find(path) == std::string::npos ? "cannot write '" + path + "': " + error : error;
  }
  return "wrote " + path;
}
