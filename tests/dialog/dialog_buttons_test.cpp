#include <gtest/gtest.h>

#include "recorder.h"

namespace {

using Lines = std::vector<std::string>;

TEST(DialogButtons, RadioGroupStaysExclusiveAndNotifiesClearedThenChecked) {
  Recorder panel;
  auto* window = new KIVDlgDialog(nullptr, "Window");
  window->SetFather(&panel);
  auto* frame = new KIVDlgFrame(window, "Frame");
  auto* a = new KIVDlgRadioButton(frame, "A");
  auto* b = new KIVDlgRadioButton(frame, "B");
  auto* check = new KIVDlgCheckButton(frame, "Check");
  auto* other = new KIVDlgRadioButton(window, "Other");  // another parent, another group
  other->SetState(0x40000, 0);
  panel.Listen(KIVDlgRadBModifyNotification::ClassName());
  panel.Listen(KIVDlgChkBModifyNotification::ClassName());
  a->SetState(0x40000, 0);
  b->SetState(0x40000, 0);
  EXPECT_TRUE(panel.got.empty());  // notify = 0: silent, even for the cleared sibling
  EXPECT_EQ(a->GetState(), 0x80000);
  EXPECT_EQ(a->UserSetState(0x40000), 1);
  EXPECT_EQ(panel.Take(), (Lines{"B:KIVDlgRadBModifyNotification", "A:KIVDlgRadBModifyNotification"}));
  EXPECT_EQ(b->GetState(), 0x80000);
  EXPECT_EQ(other->GetState(), 0x40000);
  EXPECT_EQ(a->UserSetState(0x40000), 0);  // already chosen
  EXPECT_EQ(a->UserSetState(0x80000), 0);  // a person cannot clear a radio button
  EXPECT_EQ(a->SetState(0x12345), 0);
  EXPECT_EQ(a->GetState(), 0x40000);
  EXPECT_TRUE(panel.got.empty());
  EXPECT_EQ(check->UserSetState(0x40000), 1);
  EXPECT_EQ(check->UserSetState(0x40000), 0);
  EXPECT_EQ(panel.Take(), (Lines{"Check:KIVDlgChkBModifyNotification"}));
  window->RequestDelayedDestruction();
  KIVApplication::MainApplication()->ProcessDeferred();
}

TEST(DialogButtons, RadioItemsGroupPerMenuAndACallbackMayDeleteTheGroup) {
  Recorder owner;
  auto* menu = new KIVDlgContextualMenu(nullptr, "Menu");
  auto* sub = new KIVDlgSubMenu(menu, "Sub");
  auto* x = new KIVDlgRadioItem(menu, "X");
  auto* y = new KIVDlgRadioItem(menu, "Y");
  auto* z = new KIVDlgRadioItem(sub, "Z");
  for (KIVDialog* d : {static_cast<KIVDialog*>(x), static_cast<KIVDialog*>(y), static_cast<KIVDialog*>(z)})
    d->SetFather(&owner);
  owner.Listen(KIVDlgRadIModifyNotification::ClassName());
  EXPECT_EQ(x->UserSetState(0x40000), 1);  // a hidden contextual menu still reaches its items
  EXPECT_EQ(z->UserSetState(0x40000), 1);
  EXPECT_EQ(x->GetState(), 0x40000);
  EXPECT_EQ(owner.Take(), (Lines{"X:KIVDlgRadIModifyNotification", "Z:KIVDlgRadIModifyNotification"}));
  // The cleared item's callback destroys the whole menu: the chosen item stops cleanly.
  owner.AddAnalyseNotificationCB(x, x->GetRadIModifyNotification(), nullptr,
                                 [menu](KIVCommand*, KIVNotification*, void*) { delete menu; }, nullptr);
  EXPECT_EQ(y->UserSetState(0x40000), 0);
}

TEST(DialogButtons, UserActionsNeedTheObjectShownAndItsContainersSensitive) {
  Recorder panel;
  KIVDlgDialog window(nullptr, "Window");
  window.SetFather(&panel);
  auto* frame = new KIVDlgFrame(&window, "Frame");
  auto* push = new KIVDlgPushButton(frame, "Push");
  panel.Listen(KIVDlgPushBActivateNotification::ClassName());
  panel.Listen(KIVDlgPushBRepetitiveNotification::ClassName());
  EXPECT_EQ(push->UserActivate(), 1);  // the window need not be shown yet
  push->SetSensitivity(16);
  EXPECT_EQ(push->UserActivate(), 0);
  push->SetSensitivity(8);
  frame->SetSensitivity(16);
  EXPECT_EQ(push->IsUsable(), 0);
  EXPECT_EQ(push->UserRepeat(), 0);
  frame->SetSensitivity(8);
  push->SetVisibility(4);
  EXPECT_EQ(push->UserActivate(), 0);
  push->SetVisibility(3);  // not a visibility: ignored
  EXPECT_EQ(push->GetVisibility(), 4);
  push->SetVisibility(2);
  EXPECT_EQ(push->UserRepeat(), 1);
  EXPECT_EQ(panel.Take(), (Lines{"Push:KIVDlgPushBActivateNotification", "Push:KIVDlgPushBRepetitiveNotification"}));
}

TEST(DialogButtons, WindowButtonsReachTheOwnerAndCloseHides) {
  Recorder panel;
  KIVDlgDialog window(nullptr, "Window");
  window.SetFather(&panel);
  EXPECT_EQ(window.GetVisibility(), 4);  // windows start hidden
  EXPECT_EQ(window.UserOK(), 0);
  window.SetVisibility(2);
  panel.AddAnalyseNotificationCB(&window, static_cast<KIVNotification*>(window.GetDiaOKNotification()),
                                 &Recorder::AnalyseCB, nullptr);
  panel.Listen(KIVDlgWindCloseNotification::ClassName());
  panel.Listen(KIVDlgDiaAPPLYNotification::ClassName());
  EXPECT_EQ(window.UserOK(), 1);
  EXPECT_EQ(window.UserApply(), 1);
  EXPECT_EQ(window.UserClose(), 1);
  EXPECT_EQ(window.GetVisibility(), 4);
  EXPECT_EQ(window.UserOK(), 0);
  EXPECT_EQ(panel.Take(), (Lines{"Window:KIVDlgDiaOKNotification", "Window:KIVDlgDiaAPPLYNotification",
                                 "Window:KIVDlgWindCloseNotification"}));
  // A receiver that destroys the window from its close callback: nothing touches it after.
  auto* doomed = new KIVDlgNotify(nullptr, "Doomed");
  doomed->SetFather(&panel);
  doomed->SetVisibility(2);
  panel.AddAnalyseNotificationCB(doomed, doomed->GetWindCloseNotification(), nullptr,
                                 [doomed](KIVCommand*, KIVNotification*, void*) { delete doomed; }, nullptr);
  EXPECT_EQ(doomed->UserClose(), 1);
}

TEST(DialogButtons, FileDialogChoiceSetsSelectionAndDirectoryThenSendsOK) {
  Recorder owner;
  KIVDlgFile file(nullptr, "Files");
  file.SetFather(&owner);
  owner.Listen(KIVDlgDiaOKNotification::ClassName());
  file.SetVisibility(2);
  EXPECT_EQ(file.UserSelectFile(""), 0);
  EXPECT_EQ(file.UserSelectFile("/tmp/scenes/a.wrl"), 1);
  EXPECT_EQ(file.GetSelection(), KIVUnicodeString("/tmp/scenes/a.wrl"));
  EXPECT_EQ(file.GetDirectory(), KIVUnicodeString("/tmp/scenes"));
  EXPECT_EQ(owner.Take(), (Lines{"Files:KIVDlgDiaOKNotification"}));
}

}  // namespace
