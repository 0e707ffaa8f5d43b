#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navtools.h"

namespace {

struct Panel : KIVCommand {
  std::vector<std::string> got;
  void AnalyseCB(KIVCommand* sender, KIVNotification* n, void*) {
    got.push_back(std::string(static_cast<KIVDialog*>(sender)->GetTag().CastToCharPtr()) + ":" + n->IsA());
  }
};

TEST(DialogButtons, RadioGroupStaysExclusiveAndNotifiesClearedThenChecked) {
  Panel panel;
  auto* window = new KIVDlgDialog(nullptr, "Window");
  window->SetFather(&panel);
  auto* frame = new KIVDlgDialog(window, "Frame");
  auto* a = new KIVDlgRadioButton(frame, "A");
  auto* b = new KIVDlgRadioButton(frame, "B");
  auto* check = new KIVDlgCheckButton(frame, "Check");
  panel.AddAnalyseNotificationCB(nullptr, KIVDlgRadBModifyNotification::ClassName(), &Panel::AnalyseCB, nullptr);
  panel.AddAnalyseNotificationCB(nullptr, KIVDlgChkBModifyNotification::ClassName(), &Panel::AnalyseCB, nullptr);
  a->SetState(0x40000, 0);
  EXPECT_TRUE(panel.got.empty());
  EXPECT_EQ(b->UserSetState(0x40000), 1);
  EXPECT_EQ(a->GetState(), 0x80000);
  EXPECT_EQ(panel.got, (std::vector<std::string>{"A:KIVDlgRadBModifyNotification", "B:KIVDlgRadBModifyNotification"}));
  EXPECT_EQ(b->UserSetState(0x40000), 0);   // already chosen
  EXPECT_EQ(b->UserSetState(0x80000), 0);   // a person cannot clear a radio button
  check->SetSensitivity(16);
  EXPECT_EQ(check->UserSetState(0x40000), 0);
  check->SetSensitivity(8);
  EXPECT_EQ(check->UserSetState(0x40000), 1);
  EXPECT_EQ(panel.got.back(), "Check:KIVDlgChkBModifyNotification");
  EXPECT_EQ(window->LookupChild("B"), b);
  EXPECT_EQ(window->LookupChild("B", 0), nullptr);
  window->RequestDelayedDestruction();
  KIVApplication::MainApplication()->ProcessDeferred();  // children go with the window (ASan checks)
}

TEST(DialogButtons, WindowActionsReachTheOwnerAndCloseHides) {
  Panel panel;
  KIVDlgDialog window(nullptr, "Window");
  window.SetFather(&panel);
  KIVDlgPushButton button(&window, "Apply");
  panel.AddAnalyseNotificationCB(&window, static_cast<KIVNotification*>(window.GetDiaOKNotification()), &Panel::AnalyseCB, nullptr);
  panel.AddAnalyseNotificationCB(nullptr, static_cast<KIVNotification*>(window.GetWindCloseNotification()), &Panel::AnalyseCB, nullptr);
  panel.AddAnalyseNotificationCB(&button, KIVDlgPushBActivateNotification::ClassName(), &Panel::AnalyseCB, nullptr);
  EXPECT_EQ(button.UserActivate(), 1);  // goes through the window, which has no callback, to the panel
  EXPECT_EQ(window.UserOK(), 1);
  EXPECT_EQ(window.UserClose(), 1);
  EXPECT_EQ(window.GetVisibility(), 4);
  EXPECT_EQ(window.UserOK(), 0);  // hidden
  EXPECT_EQ(panel.got, (std::vector<std::string>{"Apply:KIVDlgPushBActivateNotification", "Window:KIVDlgDiaOKNotification",
                                                 "Window:KIVDlgWindCloseNotification"}));
}

}  // namespace
