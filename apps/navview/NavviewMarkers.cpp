#include "apps/navview/NavviewMarkers.h"

#include "apps/navview/NavviewSession.h"
#include "apps/navview/NavviewWords.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "measure/KIVNavMarker3DGageRep.h"
#include "measure/KIVNavMarker3DTextRep.h"
#include "viewer/NavViewerExtand.h"

namespace {
bool Point(const std::vector<std::string>& w, size_t at, KIVMathPointf& p) {
  return w.size() >= at + 3 && NavviewWords::ToFloat(w[at], p.x) && NavviewWords::ToFloat(w[at + 1], p.y) &&
         NavviewWords::ToFloat(w[at + 2], p.z);
}

std::string Join(const std::vector<std::string>& w, size_t from) {
  std::string text;
  for (size_t i = from; i < w.size(); ++i) text += (i > from ? " " : "") + w[i];
  return text;
}

bool IsMarker(const KIVRep* rep) {
  return rep->IsAKindOf(KIVNavMarker3DGageRep::ClassName()) || rep->IsAKindOf(KIVNavMarker3DTextRep::ClassName());
}

KIV3DBagRep* Annotations(NavviewSession& session) {
  return dynamic_cast<KIV3DBagRep*>(session.GetViewer().GetRootRep(NavViewerExtand::kAnnotationRoot));
}
}  // namespace

std::string NavviewMarkers::Gauge(const std::vector<std::string>& w, bool& failed) {
  KIVMathPointf a, b;
  float width = 0.0f;
  KIV3DBagRep* root = Annotations(mSession);
  if (!Point(w, 0, a) || !Point(w, 3, b) || (w.size() > 6 && !NavviewWords::ToFloat(w[6], width)) || !root) {
    failed = true;
    return {};
  }
  // Without a width, a rod one hundredth of its length: visible at any scale.
  if (w.size() <= 6) width = 0.01f * (b - a).Norm();
  KIVUnicodeString name(w.size() > 7 ? Join(w, 7) : std::string("gauge"));
  auto* gauge = new KIVNavMarker3DGageRep(name, a, b, width, 1);
  root->AddChild(gauge);
  return gauge->GetLabel().GetUtf8();
}

std::string NavviewMarkers::Label(const std::vector<std::string>& w, bool& failed) {
  KIVMathPointf p;
  KIV3DBagRep* root = Annotations(mSession);
  if (!Point(w, 0, p) || w.size() < 4 || !root) {
    failed = true;
    return {};
  }
  KIVUnicodeString text(Join(w, 3));
  root->AddChild(new KIVNavMarker3DTextRep(text, p));
  return "ok";
}

std::string NavviewMarkers::Markers(const std::vector<std::string>& w, bool& failed) {
  KIV3DBagRep* root = Annotations(mSession);
  if (w.size() != 1 || w[0] != "clear" || !root) {
    failed = true;
    return {};
  }
  int removed = 0;
  for (KIVRep* child : std::vector<KIVRep*>(root->GetChildren()))
    if (IsMarker(child)) {
      root->RemoveChild(child);
      static_cast<KIV3DBagRep*>(child)->Destroy();  // both markers are bags
      ++removed;
    }
  return std::to_string(removed) + " removed";
}

int NavviewMarkers::GetCount() const {
  KIV3DBagRep* root = Annotations(mSession);
  int n = 0;
  if (root)
    for (KIVRep* child : root->GetChildren())
      n += IsMarker(child);
  return n;
}
