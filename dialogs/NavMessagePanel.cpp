#include "dialogs/NavMessagePanel.h"

int NavMessagePanel::slDisplayMessage = 1;
NavMessagePanel* NavMessagePanel::xNavLastMessageShow = nullptr;

namespace {
int NoticeStyle(int kind, int help, unsigned long style) {
  unsigned long s = (kind & NavMessagePanel::kInformation) ? 0x4042000ul : 0x2040200ul;
  if (help) s |= 0x1000ul;
  return static_cast<int>(s | style);
}
}  // namespace

NavMessagePanel::NavMessagePanel(KIVCommand* father, KIVDialog* parent, const char* tag, int kind, int help,
                                 unsigned long style)
    : KIVDlgNotify(parent, tag ? tag : "InformationWindow", NoticeStyle(kind, help, style)),
      mFatherCommand(father),
      mRelay(std::make_unique<KIVCommand>(father, "NavMessagePanelRelay")),
      mKind(kind),
      mHelp(help ? 1 : 0) {
  KIVDlgNotify::SetTitle(KIVUnicodeString("Message Window"));
  if (kind & kInformation) {
    SetOKTitle(KIVUnicodeString("Close"));
  } else {
    SetOKTitle(KIVUnicodeString("Ok"));
    SetCancelTitle(KIVUnicodeString("Cancel"));
  }
  if (mHelp) mAskHelp = std::make_unique<NavAskHelpNotification>();
  SetFather(mRelay.get());
  mRelay->AddAnalyseNotificationCB(
      this, nullptr, nullptr, [this](KIVCommand* s, KIVNotification* n, void* d) { BoutonCB(s, n, d); }, nullptr);
}

NavMessagePanel::~NavMessagePanel() {
  Retire();
  if (xNavLastMessageShow == this) xNavLastMessageShow = nullptr;
  SetFather(nullptr);
}

void NavMessagePanel::SetText(const KIVUnicodeString& text, int show) {
  KIVUnicodeString reduced = text;
  while (reduced.ReplaceSubString(KIVUnicodeString("  "), KIVUnicodeString(" "), 1) > 0) {
  }
  if (show && xNavLastMessageShow) xNavLastMessageShow->AffichePanel(0, 1);
  KIVDlgNotify::SetText(reduced);
  if (show) AffichePanel(1, 0);
}

void NavMessagePanel::SetTitle(const KIVUnicodeString& title) {
  if (!title.IsEmpty()) KIVDlgNotify::SetTitle(title);
}

int NavMessagePanel::AffichePanel(int show, int force) {
  if (show) {
    if ((mKind & kInformation) && slDisplayMessage == 0 && !force) return 0;
    if (GetVisibility() == VisibilityShown && xNavLastMessageShow == this) return 1;
    if (xNavLastMessageShow && xNavLastMessageShow != this) xNavLastMessageShow->AffichePanel(0, 1);
    mConfirm = -1;
    xNavLastMessageShow = this;
    SetVisibility(VisibilityShown);
    if (mFatherCommand) SendNotification(mFatherCommand, &mShow);
    return 1;
  }
  if (xNavLastMessageShow != this) return 0;
  xNavLastMessageShow = nullptr;
  SetVisibility(VisibilityHidden);
  if (mFatherCommand) SendNotification(mFatherCommand, GetWindCloseNotification());
  if (mKind & kDestroyWhenHidden) RequestDelayedDestruction();
  return 1;
}

int NavMessagePanel::SetDisplay(int display) {
  if (display == -1) return slDisplayMessage;
  slDisplayMessage = display ? 1 : 0;
  if (!slDisplayMessage && xNavLastMessageShow) xNavLastMessageShow->AffichePanel(0, 1);
  return slDisplayMessage;
}

void NavMessagePanel::BoutonCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (sender != this) return;
  if (notification == GetDiaHELPNotification()) {
    if (mAskHelp && mFatherCommand) SendNotification(mFatherCommand, mAskHelp.get());
    return;
  }
  if (notification == GetDiaOKNotification()) mConfirm = 1;
  else if (notification == GetDiaCANCELNotification() || notification == GetWindCloseNotification()) mConfirm = 0;
  else return;
  AffichePanel(0, 1);
}
