#pragma once
// A message box of which only one is shown at a time. Kind bits: 0x1 information only
// (one "Close" button), 0x2 watch cancel, 0x4 destroyed (delayed) when hidden.

#include <memory>

#include "foundation/NavAskHelpNotification.h"
#include "foundation/NavPanelShowNotification.h"
#include "host/dialog/KIVDlgNotify.h"

class NavMessagePanel : public KIVDlgNotify {
 public:
  static constexpr int kInformation = 0x1, kWatchCancel = 0x2, kDestroyWhenHidden = 0x4;

  /// A null tag gives "InformationWindow".
  NavMessagePanel(KIVCommand* father, KIVDialog* parent, const char* tag, int kind, int help, unsigned long style);
  ~NavMessagePanel() override;

  /// Double blanks are reduced to one; with show the shown panel is hidden first and this
  /// one shown afterwards.
  void SetText(const KIVUnicodeString& text, int show);
  /// An empty title is ignored.
  void SetTitle(const KIVUnicodeString& title);
  /// Shows (refused for an information panel while the display switch is 0, unless
  /// forced) or hides (only the shown panel). Returns 1 when it acted.
  int AffichePanel(int show, int force);
  /// The display switch; -1 only asks. 0 hides the shown panel.
  static int SetDisplay(int display);
  /// -1 none yet, 1 OK, 0 another button.
  int GetConfirmeAction() const { return mConfirm; }
  void BoutonCB(KIVCommand* sender, KIVNotification* notification, void* data);
  NavPanelShowNotification* GetWindShowNotification() { return &mShow; }
  NavAskHelpNotification* GetAskHelpNotification() { return mAskHelp.get(); }

  static int slDisplayMessage;
  static NavMessagePanel* xNavLastMessageShow;

 private:
  KIVCommand* mFatherCommand;
  std::unique_ptr<KIVCommand> mRelay;  // receives the panel's own buttons
  int mKind;
  int mHelp;
  int mConfirm = -1;
  NavPanelShowNotification mShow;
  std::unique_ptr<NavAskHelpNotification> mAskHelp;
};
