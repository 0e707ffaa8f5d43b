#pragma once
// Captures a viewer's picture to a file: a file name (capture.png in the default
// directory, KIVNavElement::GetDefaultDirectory, to begin with), a width and a height
// (the viewer's size to begin with) and a Capture button; a status line says what came of
// it. The capture itself is the application's: it installs a handler that draws the
// viewer at that size and writes the file (an OpenGL back end's frame capture). Without
// one nothing is written. The close box and the window's buttons reach the father.
#include <functional>
#include <memory>
#include <string>
#include "host/dialog/KIVDlgDialog.h"
class KIVViewer;
class KIVDlgEditor;
class KIVDlgSpinner;
class KIVDlgPushButton;
class KIVDlgLabel;
class KIVPrintCaptureDialog : public KIVDlgDialog {
  KIV_DECLARE_METAOBJECT(KIVPrintCaptureDialog)
 public:
  static constexpr const char* FileTag = "FileName";
  static constexpr const char* WidthTag = "Width";
  static constexpr const char* HeightTag = "Height";
  static constexpr const char* CaptureTag = "Capture";
  static constexpr const char* StatusTag = "Status";
  static constexpr int kMaxSize = 16384;
  /// Draws `viewer` at w × h pixels into the file at `path`; 1 on success, else 0 with a
  /// one-line reason in *error.
  using CaptureHandler = std::function<int(KIVViewer&, const std::string& path, int w, int h, std::string* error)>;
  /// The handler of every capture dialog; an empty one removes it.
  static void SetCaptureHandler(CaptureHandler handler);
  static int HasCaptureHandler();
  /// A null viewer gives a dialog whose Capture always fails.
  KIVPrintCaptureDialog(KIVDialog* parent, const char* tag, KIVViewer* viewer);
  ~KIVPrintCaptureDialog() override;
  /// What the Capture button does: 1 when the handler wrote the file. The status line
  /// says "Wrote <path>", the handler's reason, or why nothing was tried.
  int Capture();
  /// The status line's text.
  const KIVUnicodeString& GetStatus() const;
  KIVDlgEditor* GetFileEditor() const { return mFile; }
  KIVDlgSpinner* GetWidthSpinner() const { return mWidth; }
  KIVDlgSpinner* GetHeightSpinner() const { return mHeight; }
  KIVDlgPushButton* GetCaptureButton() const { return mButton; }
 private:
  KIVViewer* Viewer() const;
  void SetStatus(const std::string& text);
  static CaptureHandler& Handler();
  KIVViewer* mViewer;
  std::weak_ptr<int> mViewerLife;
  KIVDlgEditor* mFile = nullptr;  // dialog children: the dialog deletes them
  KIVDlgSpinner* mWidth = nullptr;
  KIVDlgSpinner* mHeight = nullptr;
  KIVDlgPushButton* mButton = nullptr;
  KIVDlgLabel* mStatus = nullptr;
};
