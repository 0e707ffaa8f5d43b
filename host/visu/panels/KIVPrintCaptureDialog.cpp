#include "host/visu/panels/KIVPrintCaptureDialog.h"

#include <cmath>

#include "host/dialog/KIVDlgEditor.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/panels/KIVNavElement.h"
#include "host/visu/view/KIVViewer.h"

KIV_IMPLEMENT_METAOBJECT(KIVPrintCaptureDialog, KIVDlgDialog)

namespace {
KIVDlgSpinner* Size(KIVDialog* parent, const char* tag, const char* title, int row, int value) {
  auto* label = new KIVDlgLabel(parent, nullptr);
  label->SetTitle(title);
  label->SetGridConstraints(row, 0, 1, 1, KIVDialog::AttachLeft);
  auto* spinner = new KIVDlgSpinner(parent, tag);
  spinner->SetRange(1.0f, static_cast<float>(KIVPrintCaptureDialog::kMaxSize), KIVPrintCaptureDialog::kMaxSize - 1.0f);
  spinner->SetFormat("%.0f");
  spinner->SetCurrentValue(static_cast<float>(value), 0);
  spinner->SetGridConstraints(row, 1, 1, 1, KIVDialog::AttachLeft | KIVDialog::AttachRight);
  return spinner;
}
}  // namespace

KIVPrintCaptureDialog::CaptureHandler& KIVPrintCaptureDialog::Handler() {
  static CaptureHandler handler;
  return handler;
}

void KIVPrintCaptureDialog::SetCaptureHandler(CaptureHandler handler) { Handler() = std::move(handler); }

int KIVPrintCaptureDialog::HasCaptureHandler() { return Handler() ? 1 : 0; }

KIVPrintCaptureDialog::KIVPrintCaptureDialog(KIVDialog* parent, const char* tag, KIVViewer* viewer)
    : KIVDlgDialog(parent, tag), mViewer(viewer) {
  SetTitle("Capture");
  int w = 640, h = 480;
  if (viewer) {
    mViewerLife = viewer->GetLifeToken();
    viewer->GetGraphicSize(&w, &h);
  }
  auto* fileLabel = new KIVDlgLabel(this, nullptr);
  fileLabel->SetTitle("File");
  fileLabel->SetGridConstraints(0, 0, 1, 1, AttachLeft);
  mFile = new KIVDlgEditor(this, FileTag);
  KIVUnicodeString path = KIVNavElement::GetDefaultDirectory();
  if (!path.IsEmpty() && path.GetUtf8().back() != '/') path += "/";
  mFile->SetText(path + "capture.png", 0);
  mFile->SetVisibleTextWidth(40);
  mFile->SetGridConstraints(0, 1, 1, 1, AttachLeft | AttachRight);
  mWidth = Size(this, WidthTag, "Width", 1, w);
  mHeight = Size(this, HeightTag, "Height", 2, h);
  mButton = new KIVDlgPushButton(this, CaptureTag);
  mButton->SetTitle("Capture");
  mButton->SetGridConstraints(3, 0, 1, 2, AttachLeft | AttachRight);
  mStatus = new KIVDlgLabel(this, StatusTag);
  mStatus->SetGridConstraints(4, 0, 1, 2, AttachLeft | AttachRight);
  AddAnalyseNotificationCB(mButton, mButton->GetPushBActivateNotification(), nullptr,
                           [this](KIVCommand*, KIVNotification*, void*) { Capture(); }, nullptr);
}

KIVPrintCaptureDialog::~KIVPrintCaptureDialog() { Retire(); }

KIVViewer* KIVPrintCaptureDialog::Viewer() const { return mViewerLife.expired() ? nullptr : mViewer; }

const KIVUnicodeString& KIVPrintCaptureDialog::GetStatus() const { return mStatus->GetTitle(); }

void KIVPrintCaptureDialog::SetStatus(const std::string& text) { mStatus->SetTitle(KIVUnicodeString(text)); }

int KIVPrintCaptureDialog::Capture() {
  KIVViewer* viewer = Viewer();
  if (!viewer) {
    SetStatus("No viewer to capture");
    return 0;
  }
  if (!Handler()) {
    SetStatus("Capture needs an OpenGL back end");
    return 0;
  }
  KIVUnicodeString file = mFile->GetText();
  file.Strip();
  if (file.IsEmpty()) {
    SetStatus("No file name");
    return 0;
  }
  const std::string path = file.GetUtf8();
  const int w = static_cast<int>(std::lround(mWidth->GetCurrentValue()));
  const int h = static_cast<int>(std::lround(mHeight->GetCurrentValue()));
  const std::weak_ptr<int> life = GetLifeToken();
  std::string error;
  const CaptureHandler handler = Handler();  // the handler may replace itself
  const int ok = handler(*viewer, path, w, h, &error) ? 1 : 0;
  if (life.expired()) return ok;
  if (ok)
    SetStatus("Wrote " + path);
  else
    SetStatus(error.empty() ? "Capture of " + path + " failed" : error);
  return ok;
}
