#include "apps/navview/NavviewSession.h"

#include <filesystem>
#include <system_error>

#include "apps/navview/BuiltinPlant.h"
#include "apps/navview/NavviewImport.h"
#include "foundation/NavQualitySpeedSetting.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgDialog.h"
#include "apps/navview/NavviewViewer.h"
#ifdef NAVVIEW_HAVE_INTERFERE
#include "host/interfere/KIVFclInterfereEngine.h"
#endif

namespace {
constexpr int kAllOptions = NavViewerExtand::kOptionHistory | NavViewerExtand::kOptionEditor |
                            NavViewerExtand::kOptionQuality | NavViewerExtand::kOptionSelectOfficial |
                            NavViewerExtand::kOptionSelectTempory | NavViewerExtand::kOptionAnnotation;
constexpr int kQualityLod = 1, kQualityTexture = 4, kQualityMesh = 8;  // the quality setting's mode bits
}

NavviewSession::NavviewSession(int width, int height) {
#ifdef NAVVIEW_HAVE_INTERFERE
  KIVFclInterfereEngine::Install();  // clashes and distances
#endif
  mWindow = new KIVDlgDialog(nullptr, "NavviewWindow", KIVDlgWindow::StyleNoButtons);
  mViewer = new NavviewViewer(mWindow, KIVString("NavviewViewer"), kAllOptions, 0, width, height);
  mViewer->SetInterfaceInfoRep(&mInfo, 0);
  // Imported models come with their textures: shown from the start.
  NavQualitySpeedSetting quality;
  quality.modeBits = kQualityLod | kQualityTexture | kQualityMesh;
  mViewer->SetCurrentSetting(quality, nullptr);
  mViewer->AddRep(mScene.GetRoot(), NavViewerExtand::kOfficialRoot);
}

NavviewSession::~NavviewSession() {
  mGraphics.Stop(*mViewer);
  mViewer->RemoveRep(mScene.GetRoot(), NavViewerExtand::kOfficialRoot);
  mViewer->SetInterfaceInfoRep(nullptr, 0);
  delete mWindow;  // takes the viewer along
  KIVApplication::MainApplication()->ProcessDeferred();
}

NavViewerExtand& NavviewSession::GetViewer() { return *mViewer; }

int NavviewSession::LoadBuiltin(int unitsPerSide) { return BuiltinPlant::Build(mScene, unitsPerSide); }

int NavviewSession::LoadFile(const std::string& path, std::string* error, std::string* warning) {
  if (warning) warning->clear();
  // Said in navview's words: the importer would call a directory an unknown format and
  // name a missing file a second time in its own reason.
  std::error_code code;
  const auto status = std::filesystem::status(path, code);
  const char* why = status.type() == std::filesystem::file_type::not_found ? "no such file"
                    : std::filesystem::is_directory(status)                ? "is a directory"
                                                                           : nullptr;
  if (why) {
    if (error) *error = "cannot read '" + path + "': " + why;
    return 0;
  }
  return NavviewImport::Load(mScene, path, error, warning);
}

void NavviewSession::Show() {
  mWindow->SetVisibility(2);
  Pump();
  mViewer->SetToolsBarreState(1, -1);
}

void NavviewSession::Pump() { KIVApplication::MainApplication()->ProcessDeferred(); }
