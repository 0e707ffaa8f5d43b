#include <gtest/gtest.h>

#include "recorder.h"

namespace {

using Lines = std::vector<std::string>;

void Deferred() { KIVApplication::MainApplication()->ProcessDeferred(); }

TEST(DialogTree, LookupChildSearchesDepthFirstInCreationOrder) {
  KIVDlgDialog window(nullptr, "Window");
  auto* frame = new KIVDlgFrame(&window, "Frame");
  auto* deep = new KIVDlgLabel(frame, "Twin");
  auto* shallow = new KIVDlgLabel(&window, "Twin");
  auto* unnamed = new KIVDlgLabel(&window, nullptr);
  EXPECT_EQ(window.LookupChild("Twin"), deep);  // the frame comes first, and its subtree with it
  EXPECT_EQ(window.LookupChild("Twin", 0), shallow);
  EXPECT_EQ(window.LookupChild("Frame", 0), frame);
  EXPECT_EQ(window.LookupChild(nullptr), nullptr);
  EXPECT_EQ(window.LookupChild("Nobody"), nullptr);
  EXPECT_EQ(window.LookupChild(""), unnamed);  // a null tag is the empty tag
  EXPECT_EQ(deep->GetDialogParent(), frame);
  EXPECT_EQ(window.GetDialogChildren(), (std::vector<KIVDialog*>{frame, shallow, unnamed}));
}

TEST(DialogTree, DestructionTakesTheSubtreeAndLeavesTheParent) {
  KIVDlgDialog window(nullptr, "Window");
  auto* frame = new KIVDlgFrame(&window, "Frame");
  auto* tabs = new KIVDlgTabContainer(frame, "Tabs");
  auto* page = new KIVDlgTabPage(tabs, "Page");
  new KIVDlgSpinner(page, "Spin");
  auto* keep = new KIVDlgLabel(&window, "Keep");
  page->RequestDelayedDestruction();  // queued, then deleted with its parent first
  frame->RequestDelayedDestruction();
  EXPECT_EQ(window.GetDialogChildren().size(), 2u);
  Deferred();
  EXPECT_EQ(window.GetDialogChildren(), (std::vector<KIVDialog*>{keep}));
  delete keep;  // direct deletion is safe too
  EXPECT_TRUE(window.GetDialogChildren().empty());
}

TEST(DialogTree, NotificationsClimbTheCommandTreeAndFollowSetFather) {
  Recorder top, other;
  KIVDlgDialog window(nullptr, "Window");
  window.SetFather(&top);
  auto* frame = new KIVDlgFrame(&window, "Frame");
  auto* button = new KIVDlgPushButton(frame, "Go");
  EXPECT_EQ(button->GetFather(), frame);  // the constructor sets both trees to the parent
  top.AddAnalyseNotificationCB(button, KIVDlgPushBActivateNotification::ClassName(), &Recorder::AnalyseCB, nullptr);
  other.Listen(KIVDlgPushBActivateNotification::ClassName());
  button->UserActivate();  // frame and window have no callback: it reaches top
  EXPECT_EQ(top.Take(), (Lines{"Go:KIVDlgPushBActivateNotification"}));
  button->SetFather(&other);  // only the command moves
  button->UserActivate();
  EXPECT_EQ(button->GetDialogParent(), frame);
  EXPECT_TRUE(top.got.empty());
  EXPECT_EQ(other.Take(), (Lines{"Go:KIVDlgPushBActivateNotification"}));
  button->SetFather(nullptr);
  EXPECT_EQ(button->UserActivate(), 1);  // sent to nobody
}

TEST(DialogTree, EveryKindAnswersItsClassAndItsBases) {
  KIVDlgDialog window(nullptr, "Window");
  auto* bar = new KIVDlgBarMenu(&window, "Bar");
  const std::vector<std::pair<KIVDialog*, const char*>> kinds = {
      {&window, "KIVDlgWindow"},
      {new KIVDlgNotify(&window, "n"), "KIVDlgWindow"},
      {new KIVDlgFile(&window, "f"), "KIVDlgWindow"},
      {new KIVDlgFrame(&window, "fr"), "KIVDlgControl"},
      {new KIVDlgLabel(&window, "l"), "KIVDlgControl"},
      {new KIVDlgPushButton(&window, "p"), "KIVDlgControl"},
      {new KIVDlgCheckButton(&window, "c"), "KIVDlgControl"},
      {new KIVDlgRadioButton(&window, "r"), "KIVDlgControl"},
      {new KIVDlgCombo(&window, "co"), "KIVDlgControl"},
      {new KIVDlgSpinner(&window, "s"), "KIVDlgValueControl"},
      {new KIVDlgSlider(&window, "sl"), "KIVDlgValueControl"},
      {new KIVDlgEditor(&window, "e"), "KIVDlgControl"},
      {new KIVDlgMultiList(&window, "m"), "KIVDlgControl"},
      {new KIVDlgTabContainer(&window, "t"), "KIVDlgControl"},
      {new KIVDlgTabPage(&window, "tp"), "KIVDlgControl"},
      {new KIVDlgToolBar(&window, "tb"), "KIVDlgControl"},
      {bar, "KIVDlgMenu"},
      {new KIVDlgContextualMenu(&window, "cm"), "KIVDlgMenu"},
      {new KIVDlgSubMenu(bar, "sm"), "KIVDlgMenu"},
      {new KIVDlgCheckItem(bar, "ci"), "KIVDlgMenuItem"},
      {new KIVDlgPushItem(bar, "pi"), "KIVDlgMenuItem"},
      {new KIVDlgRadioItem(bar, "ri"), "KIVDlgMenuItem"},
      {new KIVDlgSeparatorItem(bar, "si"), "KIVDlgMenuItem"}};
  for (auto& [d, base] : kinds) {
    EXPECT_TRUE(d->IsAKindOf(base) && d->IsAKindOf("KIVDialog") && d->IsAKindOf("KIVCommand")) << d->IsA();
    EXPECT_EQ(d->IsAKindOf("KIVDlgWindow"), std::string(base) == "KIVDlgWindow") << d->IsA();
  }
  EXPECT_STREQ(kinds[9].first->IsA(), "KIVDlgSpinner");
  KIVDlgPushButton a(nullptr, "a"), b(nullptr, "b");
  EXPECT_NE(a.GetPushBActivateNotification(), b.GetPushBActivateNotification());  // one per object
  EXPECT_STREQ(a.GetPushBActivateNotification()->IsA(), "KIVDlgPushBActivateNotification");
  EXPECT_FALSE(a.GetPushBActivateNotification()->IsAKindOf(KIVDlgPushBRepetitiveNotification::ClassName()));
}

TEST(DialogTree, PlainPropertiesRefuseBadValues) {
  KIVDlgLabel label(nullptr, "Label", 0x40);
  EXPECT_EQ(label.GetStyle(), 0x40);
  label.SetSensitivity(0);
  EXPECT_EQ(label.GetSensitivity(), 8);
  EXPECT_EQ(label.SetRectDimensions(10, 20, -1, 5), 0);
  EXPECT_EQ(label.SetRectDimensions(10, 20, 30, 40), 1);
  int x, y, w, h;
  label.GetRectDimensions(x, y, w, h);
  EXPECT_EQ((std::vector<int>{x, y, w, h}), (std::vector<int>{10, 20, 30, 40}));
  int row = -7, column, rowSpan, columnSpan, attach;
  EXPECT_EQ(label.GetGridConstraints(row, column, rowSpan, columnSpan, attach), 0);
  EXPECT_EQ(row, -7);
  EXPECT_EQ(label.SetGridConstraints(0, 1, 0), 0);
  EXPECT_EQ(label.SetGridConstraints(2, 1, 1, 3, KIVDialog::AttachLeft | KIVDialog::AttachRight), 1);
  EXPECT_EQ(label.GetGridConstraints(row, column, rowSpan, columnSpan, attach), 1);
  EXPECT_EQ((std::vector<int>{row, column, rowSpan, columnSpan, attach}), (std::vector<int>{2, 1, 1, 3, 3}));
  label.SetIconName(nullptr);
  EXPECT_TRUE(label.GetIconName().IsEmpty());
  KIVDlgNotify notice(nullptr, "Notice");
  EXPECT_EQ(notice.SetNotifyType(7), 0);
  EXPECT_EQ(notice.GetNotifyType(), KIVDlgNotify::NotifyInformation);
}

TEST(DialogTree, CreateNotificationComesWhenTheWindowFirstShows) {
  Recorder owner;
  owner.Listen(KIVDlgCreateNotification::ClassName());
  auto* window = new KIVDlgDialog(nullptr, "Window");
  window->SetFather(&owner);
  auto* frame = new KIVDlgFrame(window, "Frame");
  auto* hidden = new KIVDlgLabel(frame, "Hidden");
  hidden->SetVisibility(4);
  Deferred();
  EXPECT_TRUE(owner.got.empty());  // the window is hidden
  window->SetVisibility(2);
  EXPECT_EQ(owner.Take(), (Lines{"Window:KIVDlgCreateNotification", "Frame:KIVDlgCreateNotification"}));
  new KIVDlgLabel(frame, "Late");  // created in a shown window: realized at the next cycle
  EXPECT_TRUE(owner.got.empty());
  Deferred();
  hidden->SetVisibility(2);
  window->SetVisibility(4);
  window->SetVisibility(2);  // once only
  EXPECT_EQ(owner.Take(), (Lines{"Late:KIVDlgCreateNotification", "Hidden:KIVDlgCreateNotification"}));
  EXPECT_TRUE(hidden->IsRealized());
  window->RequestDelayedDestruction();
  Deferred();
}

}  // namespace
