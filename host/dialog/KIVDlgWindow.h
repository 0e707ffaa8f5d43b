#pragma once
// Base of the top-level windows: a title bar with a close box and up to four buttons (OK,
// Cancel, Apply, Help). Which buttons exist is the style's business; the model accepts
// any of them. A window starts hidden and shows on its own, whatever its parent does.

#include "host/dialog/KIVDialog.h"

class KIVDlgWindow : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVDlgWindow)
 public:
  /// Style bits of the button row: none at all (tool bars, main windows), or Apply and
  /// Help besides OK and Cancel.
  static constexpr int StyleNoButtons = 0x4000;
  static constexpr int StyleApply = 0x10, StyleHelp = 0x20;

  KIVDlgWindow(KIVDialog* parent, const char* tag, int style = 0);
  ~KIVDlgWindow() override;

  KIVDlgWindCloseNotification* GetWindCloseNotification() const { return &mClose; }
  KIVDlgDiaOKNotification* GetDiaOKNotification() const { return &mOK; }
  KIVDlgDiaCANCELNotification* GetDiaCANCELNotification() const { return &mCancel; }
  KIVDlgDiaAPPLYNotification* GetDiaAPPLYNotification() const { return &mApply; }
  KIVDlgDiaHELPNotification* GetDiaHELPNotification() const { return &mHelp; }

  void SetOKTitle(const KIVUnicodeString& title) { SetButtonTitle(mOKTitle, title); }
  const KIVUnicodeString& GetOKTitle() const { return mOKTitle; }
  void SetCancelTitle(const KIVUnicodeString& title) { SetButtonTitle(mCancelTitle, title); }
  const KIVUnicodeString& GetCancelTitle() const { return mCancelTitle; }
  void SetApplyTitle(const KIVUnicodeString& title) { SetButtonTitle(mApplyTitle, title); }
  const KIVUnicodeString& GetApplyTitle() const { return mApplyTitle; }
  void SetHelpTitle(const KIVUnicodeString& title) { SetButtonTitle(mHelpTitle, title); }
  const KIVUnicodeString& GetHelpTitle() const { return mHelpTitle; }
  /// The button that Enter presses; its meaning is the style's. 0 at creation.
  void SetDefaultButton(int button);
  int GetDefaultButton() const { return mDefaultButton; }

  /// A person presses the close box: the close notification, then the window hides
  /// (unless the receiver destroyed it). 1 when sent, 0 when not usable.
  int UserClose();
  /// A person presses a button: its notification; what follows is the receiver's business.
  int UserOK() { return UserPress(&mOK); }
  int UserCancel() { return UserPress(&mCancel); }
  int UserApply() { return UserPress(&mApply); }
  int UserHelp() { return UserPress(&mHelp); }

 private:
  void SetButtonTitle(KIVUnicodeString& slot, const KIVUnicodeString& title);
  int UserPress(KIVNotification* notification);

  KIVUnicodeString mOKTitle = "OK";
  KIVUnicodeString mCancelTitle = "Cancel";
  KIVUnicodeString mApplyTitle = "Apply";
  KIVUnicodeString mHelpTitle = "Help";
  int mDefaultButton = 0;
  mutable KIVDlgWindCloseNotification mClose;
  mutable KIVDlgDiaOKNotification mOK;
  mutable KIVDlgDiaCANCELNotification mCancel;
  mutable KIVDlgDiaAPPLYNotification mApply;
  mutable KIVDlgDiaHELPNotification mHelp;
};
