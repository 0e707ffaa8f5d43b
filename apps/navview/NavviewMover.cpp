#include "apps/navview/NavviewMover.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "apps/navview/NavviewSession.h"
#include "apps/navview/NavviewWords.h"
#include "foundation/NavRepChangeNotification.h"
#include "foundation/NavRepMoveNotification.h"
#include "host/visu/interact/KIVActivateNotification.h"
#include "host/visu/interact/KIVContextNotification.h"
#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/interact/KIVViewerEvent.h"
#include "host/visu/math/KIVMathAxis.h"
#include "host/visu/math/KIVMathTransformation.h"
#include "host/visu/pick/KIVPickPath.h"
#include "mover/NavMovorObject.h"
#include "mover/NavMovorPanel.h"
#include "mover/NavSelectManipulator.h"
#include "viewer/NavViewerExtand.h"

using NavviewWords::ToFloat;
using NavviewWords::Refuse;

namespace {
std::string Point(const KIVMathPointf& p) {
  char text[96];
  std::snprintf(text, sizeof text, "(%.3g %.3g %.3g)", p.x, p.y, p.z);
  return text;
}
}  // namespace

NavviewMover::NavviewMover(NavviewSession& session) : KIVCommand(nullptr, "NavviewMover"), mSession(session) {
  NavViewerExtand& viewer = mSession.GetViewer();
  if (NavSelectManipulator* select = viewer.GetSelectGraphicManager(NavViewerExtand::kOfficialRoot)) {
    mCallbacks[0] =
        viewer.AddAnalyseNotificationCB(select, nullptr, KIVManipulator::GetKIVActivate(),
                                        [this](KIVCommand* s, KIVNotification* n, void* d) { ClickCB(s, n, d); }, nullptr);
    mCallbacks[1] =
        viewer.AddAnalyseNotificationCB(select, nullptr, KIVManipulator::GetKIVContext(),
                                        [this](KIVCommand* s, KIVNotification* n, void* d) { ClickCB(s, n, d); }, nullptr);
  }
}

NavviewMover::~NavviewMover() {
  NavViewerExtand& viewer = mSession.GetViewer();
  for (int i = 0; i < 2; ++i)
    if (mCallbacks[i]) viewer.RemoveAnalyseNotificationCB(mCallbacks[i]);
  Remove();
}

KIVRep* NavviewMover::Find(const std::string& name) const {
  const NavviewScene& scene = mSession.GetScene();
  for (KIVRep* rep : scene.GetReps()) {
    const char* own = scene.GetName(rep);
    if (own && name == own && rep != scene.GetRoot()) return rep;
  }
  return nullptr;
}

KIVRep* NavviewMover::ModelOf(KIVRepPath* path) const {
  if (!path) return nullptr;
  path->InitToLeafRep();
  for (KIVRep* rep = path->NextFatherRep(); rep; rep = path->NextFatherRep())
    if (mSession.GetScene().IsModel(rep)) return rep;
  return nullptr;
}

KIVRep* NavviewMover::Selected() const {
  if (mClicked) return mClicked;
  const NavviewScene& scene = mSession.GetScene();
  std::vector<KIVRep*> stack{scene.GetRoot()};
  std::unordered_set<const KIVRep*> seen;
  while (!stack.empty()) {
    KIVRep* rep = stack.back();
    stack.pop_back();
    if (!seen.insert(rep).second) continue;
    if (scene.IsModel(rep) && rep->GetHighlightMode()) return rep;
    for (KIVRep* child : rep->GetChildren()) stack.push_back(child);
  }
  return nullptr;
}

std::string NavviewMover::Name() const {
  const char* name = mModel ? mSession.GetScene().GetName(mModel) : nullptr;
  return name && *name ? name : "(unnamed)";
}

// A left click selects the model under it (and only it); a right click remembers it for
// the view's menu.
void NavviewMover::ClickCB(KIVCommand*, KIVNotification* notification, void*) {
  auto* select = mSession.GetViewer().GetSelectGraphicManager(NavViewerExtand::kOfficialRoot);
  KIVRep* model = select ? ModelOf(select->GetPickPath()) : nullptr;
  mClicked = model;
  if (!model || !dynamic_cast<KIVActivateNotification*>(notification)) return;
  for (KIVRep* rep : mSession.GetScene().GetReps())
    if (rep->GetHighlightMode() && rep != model) rep->SetHighlightMode(0, 1);
  model->SetHighlightMode(1, 1);
}

std::string NavviewMover::Attach(KIVRep* model, bool& failed) {
  auto* bag = dynamic_cast<KIV3DBagRep*>(model);
  if (!bag) return Refuse(failed, "only a model or a group can be moved");
  if (bag == mModel && mMover) {
    mMover->SetMovorShow(1);
    return "mover on " + Name();
  }
  Remove();
  mModel = bag;
  mStart = bag->GetMatrix() ? *bag->GetMatrix() : KIV4x4Matrix();
  mAbove = KIV3DBagRep::GetPlacementAbove(bag);
  int ok = 0;
  mAboveInverse = mAbove.Inverse(&ok);
  if (!ok) {
    mModel = nullptr;
    return Refuse(failed, "the model's parents are flattened (a singular matrix): it cannot be moved");
  }
  KIV3DBoundingSphere sphere = bag->GetBoundingElement() * mAbove;
  if (sphere.IsEmpty() || sphere.IsInfinite()) sphere = KIV3DBoundingSphere(KIVMathPointf(0, 0, 0), 1.0f);
  // A trihedral at the model's centre reaching out of it.
  const float size = std::max(1.2f * sphere.GetRadius(), 1.0f);
  float sizes[3] = {size, size, size};
  KIV4x4Matrix frame(KIVMathVectorf(1, 0, 0), KIVMathVectorf(0, 1, 0), KIVMathVectorf(0, 0, 1), sphere.GetCenter());
  KIVUnicodeString name(Name().c_str());
  mMover = new NavMovorObject(this, name, &mSession.GetViewer(), frame, sizes, 0, 1, 0, NavMovorObject::kTrihedral, 1);
  mCallbacks[2] = AddAnalyseNotificationCB(mMover, nullptr, nullptr,
                                           [this](KIVCommand* s, KIVNotification* n, void* d) { MovedCB(s, n, d); },
                                           nullptr);
  mMover->SetMovorActif(1);
  mMover->SetLogiqueRotationPointNext();  // turns about its origin, wherever it goes
  mSession.GetViewer().Draw();
  return "mover on " + Name() + " at " + Point(sphere.GetCenter());
}

void NavviewMover::Remove() {
  if (!mMover) return;
  RemoveAnalyseNotificationCB(mCallbacks[2]);
  mCallbacks[2] = 0;
  delete mMover;
  mMover = nullptr;
  mModel = nullptr;
  mSession.GetViewer().Draw();
}

void NavviewMover::MovedCB(KIVCommand*, KIVNotification* notification, void*) {
  if (notification && (notification->IsAKindOf(NavRepMoveNotification::ClassName()) ||
                       notification->IsAKindOf(NavRepChangeNotification::ClassName())))
    Apply();
}

// The mover's motion happens in the world; the model's own matrix gets it between its
// first placement and its parents'.
void NavviewMover::Apply() {
  if (!mMover || !mModel) return;
  mModel->SetMatrix(mStart * mAbove * mMover->GetTransfoMatrice() * mAboveInverse);
}

std::string NavviewMover::Move(const std::vector<std::string>& w, bool& failed) {
  if (w.size() == 1 && w[0] == "off") {
    if (!mMover) return "no mover";
    const std::string name = Name();
    Remove();
    return "mover removed from " + name;
  }
  // The last three words are a displacement when they all read as numbers.
  float d[3];
  const bool displacement = w.size() >= 3 && ToFloat(w[w.size() - 3], d[0]) && ToFloat(w[w.size() - 2], d[1]) &&
                            ToFloat(w[w.size() - 1], d[2]);
  std::string name;
  for (size_t i = 0; i < w.size() - (displacement ? 3 : 0); ++i) name += (i ? " " : "") + w[i];
  KIVRep* model = nullptr;
  if (!name.empty()) {
    model = Find(name);
    if (!model) return Refuse(failed, "nothing is named '" + name + "' (list shows the models' names)");
  } else if (!(displacement && mMover)) {
    model = Selected();
    if (!model) return Refuse(failed, "select a model first (click it, or select NAME)");
  }
  std::string said;
  if (model) said = Attach(model, failed);
  if (failed || !displacement) return said;
  KIVMathPointf to = mMover->GetMovorOrigine() + KIVMathVectorf(d[0], d[1], d[2]);
  mMover->SetMovorOrigine(to, 1, 1);
  return "moved " + Name() + " to " + Point(mMover->GetMovorOrigine());
}

std::string NavviewMover::Rotate(const std::vector<std::string>& w, bool& failed) {
  float degrees = 0.0f;
  if (w.size() < 2 || !ToFloat(w.back(), degrees)) return Refuse(failed);
  const std::string& axisName = w[w.size() - 2];
  if (axisName != "x" && axisName != "y" && axisName != "z") return Refuse(failed);
  std::string name;
  for (size_t i = 0; i + 2 < w.size(); ++i) name += (i ? " " : "") + w[i];
  if (!name.empty()) {
    KIVRep* model = Find(name);
    if (!model) return Refuse(failed, "nothing is named '" + name + "' (list shows the models' names)");
    Attach(model, failed);
    if (failed) return Refuse(failed, "only a model or a group can be moved");
  } else if (!mMover) {
    KIVRep* model = Selected();
    if (!model) return Refuse(failed, "select a model first (click it, or select NAME)");
    Attach(model, failed);
    if (failed) return Refuse(failed, "only a model or a group can be moved");
  }
  // About the world axis through the mover's rotation centre.
  KIVMathPointf centre;
  KIVMathDirectionf unused;
  mMover->GetRotationAxis(centre, unused);
  const KIVMathDirection axis(axisName == "x" ? 1 : 0, axisName == "y" ? 1 : 0, axisName == "z" ? 1 : 0);
  const KIVMathTransformation turn(KIVMathAxis(KIVMathPoint(centre), axis), degrees * 3.14159265358979323846 / 180.0);
  KIVMathPointf o = turn.Apply(mMover->GetMovorOrigine());
  KIVMathDirectionf d1 = turn.Apply(KIVMathVectorf(mMover->GetDirection(0)));
  KIVMathDirectionf d2 = turn.Apply(KIVMathVectorf(mMover->GetDirection(1)));
  KIVMathDirectionf d3 = turn.Apply(KIVMathVectorf(mMover->GetDirection(2)));
  mMover->SetStatusMovor(o, d1, d2, d3, 1, 1, 1, 1, 1);
  return "turned " + Name() + " by " + w.back() + " degrees about " + axisName;
}

std::string NavviewMover::Undo(bool redo, bool& failed) {
  if (!mMover) return Refuse(failed, "no mover: nothing to undo");
  if (!(redo ? mMover->RedoChangePosition(1) : mMover->UndoChangePosition(1)))
    return Refuse(failed, redo ? "nothing to redo" : "nothing to undo");
  return std::string(redo ? "redone: " : "undone: ") + Name() + " at " + Point(mMover->GetMovorOrigine());
}

std::string NavviewMover::Palette(const std::vector<std::string>& w, bool& failed) {
  if (w.size() != 1 || (w[0] != "on" && w[0] != "off")) return Refuse(failed);
  NavMovorPanel* palette = NavMovorObject::sxNavMovorPanel;
  if (!palette) return Refuse(failed, "no mover yet: move a model first");
  palette->AffichePanel(w[0] == "on" ? 1 : 0);
  return w[0] == "on" ? "palette shown" : "palette hidden";
}

int NavviewMover::Key(int key, int modifiers) {
  if (!mMover) return 0;
  bool failed = false;
  if (key == KIVKeyEvent::KeyEscape && modifiers == 0) {
    Remove();
    return 1;
  }
  if (modifiers == KIVMouseEvent::ModControl && (key == 'z' || key == 'Z')) {
    Undo(false, failed);
    return 1;
  }
  if (modifiers == KIVMouseEvent::ModControl && (key == 'y' || key == 'Y')) {
    Undo(true, failed);
    return 1;
  }
  return 0;
}
