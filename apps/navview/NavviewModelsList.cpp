#include "apps/navview/NavviewModelsList.h"

#include <algorithm>
#include <cctype>
#include <new>
#include <sstream>

#include "apps/navview/NavviewScene.h"
#include "apps/navview/NavviewSession.h"
#include "dialogs/NavListGeneric.h"
#include "dialogs/NavMultiListTxt.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgMultiList.h"
#include "host/dialog/KIVDlgNotify.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "viewer/NavViewerExtand.h"

NavviewModelsList::NavviewModelsList(NavviewSession& session)
    : KIVCommand(nullptr, "NavviewModelsList"), mSession(session) {}

NavviewModelsList::~NavviewModelsList() {
  RemoveSubscriberCallbacks(&mSession.GetViewer());
  if (mWindow) delete mWindow;  // the list goes with it
}

std::string NavviewModelsList::TypeOf(const std::string& name) {
  std::istringstream words(name);
  std::string word;
  while (words >> word)
    if (std::none_of(word.begin(), word.end(), [](unsigned char c) { return std::isdigit(c); })) return word;
  return "Model";
}

std::vector<KIVRep*> NavviewModelsList::Models() const { return mSession.GetScene().GetModels(); }

void NavviewModelsList::Build() {
  mWindow = new KIVDlgDialog(nullptr, "NavviewModelsWindow", KIVDlgWindow::StyleNoButtons);
  mWindow->SetTitle(KIVUnicodeString("Models"));
  mWindow->SetRectDimensions(0, 0, 520, 560);
  mList = new NavListGeneric(this, mWindow, "Models", 1, kListStyle);
  mList->SetGridConstraints(0, 0, 1, 1, KIVDialog::AttachLeft | KIVDialog::AttachRight | KIVDialog::AttachTop |
                                            KIVDialog::AttachBottom);
  AddAnalyseNotificationCB(mList, mList->SelectChangeNotification(), &NavviewModelsList::SelectionCB, nullptr);
  AddCallback(&mSession.GetViewer(), KIVViewer::VIEWER_UPDATE, &NavviewModelsList::ViewerUpdateCB, nullptr);
}

void NavviewModelsList::Show() {
  if (!mWindow) Build();
  Refill();
  mWindow->SetVisibility(KIVDialog::VisibilityShown);
}

void NavviewModelsList::Refill() {
  if (!mList) return;
  const std::vector<KIVRep*> models = Models();
  mList->InactiveUpdate();
  mList->ClearObject(-1);
  for (KIVRep* model : models) {
    const char* own = mSession.GetScene().GetName(model);
    const std::string name = own && *own ? own : "(unnamed)";
    const std::string type = TypeOf(name);
    auto at = std::find(mTypes.begin(), mTypes.end(), type);
    const int id = static_cast<int>(at - mTypes.begin());
    if (at == mTypes.end()) {
      mTypes.push_back(type);
      NavListType t;
      t.id = id;
      t.name = type;
      t.titles = {"Name", "Type", "Triangles"};
      t.widths = {28, 10, 10};
      t.editorKinds = {0x2, 0x2, 0x2};
      mList->AddTypeObject(t, 0, 0);
    }
    auto* texts = new (std::nothrow) KIVUnicodeString[3]{KIVUnicodeString(name), KIVUnicodeString(type),
                                                          KIVUnicodeString(std::to_string(NavviewScene::CountTriangles(model)))};
    if (!texts) break;
    mList->AddObject(model, texts, id, -1, model->GetHighlightMode() ? 1 : 0, 0, 1, 3);
  }
  mModelCount = static_cast<int>(models.size());
  mList->ActiveUpdate();
  mList->UpdateDisplayListDiffered();  // what the script reads next is up to date
}

void NavviewModelsList::SelectionCB(KIVCommand*, KIVNotification*, void*) {
  if (mSyncing) return;
  ++mSyncing;
  for (int i = 0; i < mList->GetObjectCount(); ++i) {
    NavListObject* o = mList->GetObjectAt(i);
    auto* rep = static_cast<KIVRep*>(o->object);
    if (rep->GetHighlightMode() != o->selected) rep->SetHighlightMode(o->selected, 1);
  }
  mSession.GetViewer().RequestRedraw();
  --mSyncing;
}

void NavviewModelsList::ViewerUpdateCB(const char*, void*, KIVNotification*, void*, KIVCallback) {
  if (mWindow && mWindow->GetVisibility() == KIVDialog::VisibilityShown) SyncFromViewer();
}

void NavviewModelsList::SyncFromViewer() {
  if (mSyncing || !mList) return;
  if (mSession.GetScene().GetModelCount() != mModelCount) {
    Refill();  // files were opened meanwhile
    return;
  }
  std::vector<void*> on, off;
  for (int i = 0; i < mList->GetObjectCount(); ++i) {
    NavListObject* o = mList->GetObjectAt(i);
    const int lit = static_cast<KIVRep*>(o->object)->GetHighlightMode() ? 1 : 0;
    if (lit != o->selected) (lit ? on : off).push_back(o->object);
  }
  if (on.empty() && off.empty()) return;
  ++mSyncing;
  if (!on.empty()) mList->SetSelectObject(on.data(), static_cast<int>(on.size()), 1, 0, 0);
  if (!off.empty()) mList->SetSelectObject(off.data(), static_cast<int>(off.size()), 0, 0, 0);
  // The first line selected from the viewer comes into view.
  if (!on.empty()) mList->UpdatePositionList(on.front(), 0);
  --mSyncing;
}

std::string NavviewModelsList::Summary() const {
  return std::to_string(mList->GetObjectInCurrentViewCount()) + " of " + std::to_string(mList->GetObjectCount()) +
         " models shown";
}

std::string NavviewModelsList::Command(const std::vector<std::string>& words, bool& failed) {
  Show();
  if (words.empty()) return Summary();
  const std::string& verb = words[0];
  std::string rest;
  for (size_t i = 1; i < words.size(); ++i) rest += (i > 1 ? " " : "") + words[i];
  if (verb == "filter" && !rest.empty()) {
    mList->SetFilter(rest.c_str());
    mList->UpdateDisplayListDiffered();
    return "filter " + std::string(mList->GetFilter()) + ": " + Summary();
  }
  if (verb == "sort" && !rest.empty()) {
    int bits = 0;
    std::string spaced = rest, key;
    std::replace(spaced.begin(), spaced.end(), ',', ' ');
    std::istringstream keys(spaced);
    while (keys >> key) {
      if (key == "alpha") bits |= 0x1;
      else if (key == "tagged") bits |= 0x2;
      else if (key == "selected") bits |= 0x4;
      else if (key == "type") bits |= 0x8;
      else if (key != "none") {
        failed = true;
        return "unknown sort key '" + key + "'; keys: alpha selected tagged type none";
      }
    }
    NavListGenericSetting setting;
    setting.sortBits = bits;
    mList->SetCurrentSetting(setting);
    mList->UpdateDisplayListDiffered();
    void* first = mList->GetObjectOfLine(0);
    const char* name = first ? mSession.GetScene().GetName(static_cast<KIVRep*>(first)) : nullptr;
    return "sorted; first " + std::string(name ? name : "(none)");
  }
  if (verb == "find" && !rest.empty()) {
    const int line = mList->FindObject(KIVUnicodeString(rest), mList->GetFirstDataColumn(), 1, -1);
    if (line < 0) {
      failed = true;
      return mList->GetFindInfoWindow() ? mList->GetFindInfoWindow()->GetText().GetUtf8() : "not found";
    }
    const char* name = mSession.GetScene().GetName(static_cast<KIVRep*>(mList->GetObjectOfLine(line)));
    return "found " + std::string(name ? name : "(unnamed)") + " on line " + std::to_string(line + 1);
  }
  if (verb == "export" && !rest.empty()) {
    NavMultiListTxt* exporter = NavMultiListTxt::CreateMultiTxt(this, mList->GetMultiList(), mWindow);
    if (!exporter) {
      failed = true;
      return "nothing to export";
    }
    const int result = exporter->GenerateTxt(KIVUnicodeString(rest));
    exporter->RequestDelayedDestruction();
    if (result != 0) {
      failed = true;
      return "cannot write " + rest;
    }
    return "exported " + std::to_string(mList->GetMultiList()->GetLineCount()) + " lines to " + rest;
  }
  failed = true;
  return words.size() == 1 && (verb == "filter" || verb == "sort" || verb == "find" || verb == "export")
             ? ""
             : "unexpected '" + verb + "' after list; usage: list " + Usage();
}
