#include "apps/navview/NavviewSession.h"

#include "apps/navview/BuiltinPlant.h"
#include "apps/navview/NavviewImport.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgDialog.h"
#include "viewer/NavViewerExtand.h"

namespace {
constexpr int kAllOptions = NavViewerExtand::kOptionHistory | NavViewerExtand::kOptionEditor |
                            NavViewerExtand::kOptionQuality | NavViewerExtand::kOptionSelectOfficial |
                            NavViewerExtand::kOptionSelectTempory | NavViewerExtand::kOptionAnnotation;
}

NavviewSession::NavviewSession(int width, int height) {
  mWindow = new KIVDlgDialog(nullptr, "NavviewWindow", KIVDlgWindow::StyleNoButtons);
  mViewer = new NavViewerExtand(mWindow, KIVString("NavviewViewer"), kAllOptions, 0, width, height);
  mViewer->SetInterfaceInfoRep(&mInfo, 0);
  mViewer->AddRep(mScene.GetRoot(), NavViewerExtand::kOfficialRoot);
}

NavviewSession::~NavviewSession() {
  mGraphics.Stop(*mViewer);
  mViewer->RemoveRep(mScene.GetRoot(), NavViewerExtand::kOfficialRoot);
  mViewer->SetInterfaceInfoRep(nullptr, 0);
  delete mWindow;  // takes the viewer along
  KIVApplication::MainApplication()->ProcessDeferred();
}

int NavviewSession::LoadBuiltin(int unitsPerSide) { return BuiltinPlant::Build(mScene, unitsPerSide); }

int NavviewSession::LoadFile(const std::string& path, std::string* error) {
  return NavviewImport::Load(mScene, path, error);
}

void NavviewSession::Show() {
  mWindow->SetVisibility(2);
  Pump();
  mViewer->SetToolsBarreState(1, -1);
}

void NavviewSession::Pump() { KIVApplication::MainApplication()->ProcessDeferred(); }
