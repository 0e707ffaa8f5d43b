#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgToolBar.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "navigation/NavViewerViewpointEditor.h"
#include "viewer/NavViewerExtand.h"
#include "tests/support/TestBox.h"
#include "tests/viewer/ShownViewer.h"

namespace {

constexpr int kAll = 1 | 2 | 4 | 8 | 16 | 32;

using Shown = ShownViewer;

}  // namespace

TEST(ToolBar, BuildsTheItemsTheOptionsAllow) {
  const char* tags[21] = {"NavigationStyle", "SelectViewer", "LookAt", "Zoom", "Rotate", "Translate", "TurnHead",
                          "Previous", "Next", "Reframe", "Light", "Visibility", "Ground", "Perfo", "PrintCapture",
                          "ExportVRML", "Distance", "Annotation", "Stereo", "QualitySpeed", "Reference"};
  Shown full(kAll);
  EventCounter heard(*full.viewer, NavViewerExtand::NAVIGATION_TOOLS_BARRE_STATE());
  ASSERT_EQ(full.viewer->SetToolsBarreState(1, -1), 1);
  EXPECT_EQ(full.viewer->SetToolsBarreState(1, -1), 1);
  EXPECT_EQ(heard.count, 1);
  for (int i = 0; i < 21; ++i) {
    KIVDialog* item = full.viewer->GetToolBarItem(i);
    ASSERT_NE(item, nullptr) << tags[i];
    EXPECT_EQ(std::string(item->GetTag().str()), tags[i]);
    EXPECT_EQ(full.viewer->GetToolBar()->LookupChild(tags[i]), item);
  }
  EXPECT_EQ(full.viewer->GetToolBarItem(13)->GetTitle(), KIVUnicodeString("Performane"));
  EXPECT_EQ(std::string(full.viewer->GetToolBarItem(15)->GetIconName().str()), "save");
  auto* combo = dynamic_cast<KIVDlgCombo*>(full.viewer->GetToolBarItem(0));
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->GetLineCount(), 3);
  EXPECT_EQ(combo->GetSelect(), 0);  // examine
  EXPECT_EQ(static_cast<KIVDlgRadioButton*>(full.viewer->GetToolBarItem(1))->GetState(), KIVDialog::StateSet);
  // Nothing recorded yet: no step back or forth.
  EXPECT_EQ(full.viewer->GetToolBarItem(7)->GetSensitivity(), KIVDialog::SensitivityOff);

  Shown bare(0);
  bare.viewer->SetToolsBarreState(1, -1);
  EXPECT_EQ(bare.viewer->GetToolBarItem(0), nullptr);
  EXPECT_EQ(bare.viewer->GetToolBarItem(7), nullptr);
  EXPECT_EQ(bare.viewer->GetToolBarItem(8), nullptr);
  EXPECT_NE(bare.viewer->GetToolBarItem(9), nullptr);

  full.viewer->SetToolsBarreState(0, 0);
  EXPECT_EQ(full.viewer->GetToolBar(), nullptr);
  EXPECT_EQ(full.viewer->GetToolBarItem(3), nullptr);
  EXPECT_EQ(heard.count, 2);
  full.viewer->SetToolsBarreState(0, 0);  // twice: nothing
  EXPECT_EQ(heard.count, 2);
}

TEST(ToolBar, ButtonsDriveStylesHistoryAndTools) {
  Shown s(kAll);
  NavViewerExtand& viewer = *s.viewer;
  viewer.SetToolsBarreState(1, -1);
  EventCounter styles(viewer, NavViewerExtand::NAVIGATION_GLOBAL_MODE_CHANGE());
  ASSERT_EQ(static_cast<KIVDlgCombo*>(viewer.GetToolBarItem(0))->UserSelect(1), 1);
  EXPECT_EQ(viewer.GetNavigationEditor()->GetMode(), KIVBasic3DModeWalk);
  EXPECT_EQ(viewer.SetNavigationStyle(-1), 8);
  EXPECT_EQ(styles.count, 1);
  viewer.SetNavigationStyle(9);
  EXPECT_EQ(static_cast<KIVDlgCombo*>(viewer.GetToolBarItem(0))->GetSelect(), 2);
  EXPECT_EQ(viewer.SetNavigationStyle(4), 4);  // not a style: nothing
  EXPECT_EQ(viewer.SetNavigationStyle(-1), 9);

  KIV3DViewpoint* main = viewer.GetMain3DViewpoint();
  for (float x : {0.0f, 20.0f, 40.0f}) {
    main->BeginModification();
    main->SetPosition(KIVMathPointf(x, -50, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
    main->EndModification(1);
  }
  auto* previous = static_cast<KIVDlgPushButton*>(viewer.GetToolBarItem(7));
  auto* next = static_cast<KIVDlgPushButton*>(viewer.GetToolBarItem(8));
  EXPECT_EQ(previous->GetSensitivity(), KIVDialog::SensitivityOn);
  EXPECT_EQ(next->GetSensitivity(), KIVDialog::SensitivityOff);
  ASSERT_EQ(previous->UserActivate(), 1);
  EXPECT_FLOAT_EQ(main->GetOrigin().x, 20.0f);
  EXPECT_EQ(next->GetSensitivity(), KIVDialog::SensitivityOn);
  next->UserActivate();
  EXPECT_FLOAT_EQ(main->GetOrigin().x, 40.0f);

  // The quality panel opens from its button; closed by program, the button follows.
  auto* quality = static_cast<KIVDlgCheckButton*>(viewer.GetToolBarItem(19));
  quality->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(viewer.SetQualityLodEditorState(-1), 1);
  viewer.SetQualityLodEditorState(0);
  EXPECT_EQ(quality->GetState(), KIVDialog::StateCleared);
  // One that has: its button follows it, both ways.
  auto* stereo = static_cast<KIVDlgCheckButton*>(viewer.GetToolBarItem(18));
  stereo->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(viewer.SetStereoEditorState(-1), 1);
  viewer.SetStereoEditorState(0);
  EXPECT_EQ(stereo->GetState(), KIVDialog::StateCleared);
}

TEST(ToolBar, AOneShotZoomEndsWithItsFirstManipulation) {
  Shown s(kAll);
  NavViewerExtand& viewer = *s.viewer;
  viewer.SetToolsBarreState(1, -1);
  EventCounter special(viewer, NavViewerExtand::NAVIGATION_SPECIAL_MODE_CHANGE());
  auto* zoom = static_cast<KIVDlgRadioButton*>(viewer.GetToolBarItem(3));
  auto* select = static_cast<KIVDlgRadioButton*>(viewer.GetToolBarItem(1));
  ASSERT_EQ(zoom->UserSetState(KIVDialog::StateSet), 1);
  EXPECT_EQ(viewer.SetSpecialNavigation(-1, -1, -1), 3);
  EXPECT_EQ(viewer.GetSpecialOneShot(), 1);
  EXPECT_EQ(select->GetState(), KIVDialog::StateCleared);
  EXPECT_EQ(special.count, 1);
  // The same mode again with the other lock choice changes only the subscription.
  EXPECT_EQ(viewer.SetSpecialNavigation(3, 1, 0), 3);
  EXPECT_EQ(viewer.GetSpecialOneShot(), 0);
  EXPECT_EQ(viewer.SetSpecialNavigation(3, 1, 1), 3);
  EXPECT_EQ(special.count, 1);

  const float before = viewer.GetMain3DViewpoint()->GetFocusDistance();
  const KIVMathPointf eye = viewer.GetMain3DViewpoint()->GetOrigin();
  viewer.UserMousePress(100, 100, KIVMouseEvent::ButtonLeft, 0);
  viewer.UserMouseMove(100, 130, KIVMouseEvent::ButtonLeft, 0);
  viewer.UserMouseMove(100, 160, KIVMouseEvent::ButtonLeft, 0);
  viewer.UserMouseRelease(100, 160, KIVMouseEvent::ButtonLeft, 0);
  KIVApplication::MainApplication()->ProcessDeferred();
  EXPECT_FALSE(viewer.GetMain3DViewpoint()->GetOrigin() == eye && viewer.GetMain3DViewpoint()->GetFocusDistance() == before);
  EXPECT_EQ(viewer.SetSpecialNavigation(-1, -1, -1), -1);
  EXPECT_EQ(viewer.GetForegroundIndicator(), nullptr);
  EXPECT_EQ(select->GetState(), KIVDialog::StateSet);
  EXPECT_EQ(zoom->GetState(), KIVDialog::StateCleared);
  EXPECT_EQ(special.count, 2);

  // Locked: it stays after a manipulation until switched off.
  static_cast<KIVDlgCheckItem*>(viewer.GetToolBar()->LookupChild("Rotate")->LookupChild("OneShotOption"))
      ->SetState(KIVDialog::StateSet, 0);
  static_cast<KIVDlgRadioButton*>(viewer.GetToolBarItem(4))->UserSetState(KIVDialog::StateSet);
  viewer.UserMousePress(100, 100, KIVMouseEvent::ButtonLeft, 0);
  viewer.UserMouseMove(140, 100, KIVMouseEvent::ButtonLeft, 0);
  viewer.UserMouseRelease(140, 100, KIVMouseEvent::ButtonLeft, 0);
  EXPECT_EQ(viewer.SetSpecialNavigation(-1, -1, -1), 4);
  select->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(viewer.GetForegroundIndicator(), nullptr);
}

TEST(ToolBar, AnnotationMenuRecoloursAndDeletesThePickedAnnotation) {
  Shown s(kAll);
  NavViewerExtand& viewer = *s.viewer;
  KIV3DCustomRep* note = Box(1.0f);
  viewer.AddRep(note, NavViewerExtand::kAnnotationRoot);
  viewer.GetMain3DViewpoint()->SetPosition(KIVMathPointf(0, -10, 0), KIVMathDirectionf(0, 1, 0),
                                           KIVMathDirectionf(0, 0, 1));
  // A right click on the annotation pops the menu up with the annotation rows.
  viewer.UserMousePress(100, 100, KIVMouseEvent::ButtonRight, 0);
  viewer.UserMouseRelease(100, 100, KIVMouseEvent::ButtonRight, 0);
  KIVDlgContextualMenu* menu = viewer.GetContextualMenu();
  auto* white = dynamic_cast<KIVDlgPushItem*>(menu->LookupChild("ColorWhiteItem"));
  ASSERT_NE(white, nullptr);
  ASSERT_NE(menu->LookupChild("AnotationDeleteItem"), nullptr);
  white->UserActivate();
  EXPECT_EQ(note->GetGraphicAttributeSet().bytes[0], 249);

  viewer.UserMousePress(100, 100, KIVMouseEvent::ButtonRight, 0);
  viewer.UserMouseRelease(100, 100, KIVMouseEvent::ButtonRight, 0);
  auto* red = dynamic_cast<KIVDlgPushItem*>(viewer.GetContextualMenu()->LookupChild("ColorRedItem"));
  ASSERT_NE(red, nullptr);
  red->UserActivate();
  EXPECT_EQ(note->GetGraphicAttributeSet().bytes[0], 248);
  auto* remove = dynamic_cast<KIVDlgPushItem*>(viewer.GetContextualMenu()->LookupChild("AnotationDeleteItem"));
  ASSERT_NE(remove, nullptr);
  remove->UserActivate();  // the annotation is freed with it
  EXPECT_TRUE(viewer.GetRootRep(NavViewerExtand::kAnnotationRoot)->GetChildren().empty());
}

TEST(ToolBar, ShortcutsLeaveSpecialNavigationsAndReframe) {
  Shown s(kAll);
  NavViewerExtand& viewer = *s.viewer;
  KIV3DCustomRep* model = Box(2.0f);
  viewer.AddRep(model, NavViewerExtand::kOfficialRoot);
  KIV3DViewpoint* main = viewer.GetMain3DViewpoint();
  main->SetPosition(KIVMathPointf(300, 0, 0), KIVMathDirectionf(1, 0, 0), KIVMathDirectionf(0, 0, 1));
  viewer.UserKey('f', 0);
  // Reframed: the box's centre is straight ahead and near.
  EXPECT_LT(main->GetOrigin().x, 0.0f);
  EXPECT_NEAR(main->GetTarget().x, 0.0f, 1e-3f);

  viewer.UserKey(KIVKeyEvent::KeyHome, 0);
  const KIVMathDirectionf sight = main->GetSightDirection();
  EXPECT_NEAR(sight.x, -0.57735f, 1e-4f);
  EXPECT_NEAR(sight.y, 0.57735f, 1e-4f);
  EXPECT_NEAR(sight.z, -0.57735f, 1e-4f);
  EXPECT_NEAR(main->GetTarget().y, 0.0f, 1e-3f);

  viewer.SetSpecialNavigation(5, 1, 0);
  ASSERT_EQ(viewer.SetSpecialNavigation(-1, -1, -1), 5);
  viewer.UserKey(KIVKeyEvent::KeyEscape, 0);
  EXPECT_EQ(viewer.SetSpecialNavigation(-1, -1, -1), -1);
  EXPECT_EQ(viewer.GetForegroundIndicator(), nullptr);
  viewer.RemoveRep(model, NavViewerExtand::kOfficialRoot);
  delete model;
}

TEST(ToolBar, ChangingTheStyleEndsAWalkUnderWay) {
  Shown s(kAll);
  NavViewerExtand& viewer = *s.viewer;
  viewer.SetNavigationStyle(8);
  viewer.UserKey(KIVKeyEvent::KeyPageUp, 0);  // walks on by itself
  ASSERT_TRUE(viewer.GetMain3DViewpoint()->IsAnimated());
  viewer.SetNavigationStyle(7);
  EXPECT_FALSE(viewer.GetMain3DViewpoint()->IsAnimated());
  const KIVMathPointf stopped = viewer.GetMain3DViewpoint()->GetOrigin();
  viewer.Draw();
  EXPECT_EQ(viewer.GetMain3DViewpoint()->GetOrigin(), stopped);
}

TEST(ToolBar, ItemsInAHostToolBarStillReachTheViewer) {
  Shown s(kAll);
  NavViewerExtand& viewer = *s.viewer;
  KIV3DCustomRep* model = Box(KIVMathPointf(500, 800, 0), 20);
  viewer.AddRep(model, NavViewerExtand::kOfficialRoot);
  // The host's own row of buttons, beside the viewer in its window, not under it.
  auto* row = new KIVDlgToolBar(s.window, "HostRow");
  viewer.BuildToolsBarreIcone(row, NavViewerExtand::kToolBarAllItems);
  ASSERT_NE(viewer.GetToolBarItem(9), nullptr);
  EXPECT_EQ(viewer.GetToolBarItem(9)->GetDialogParent()->GetDialogParent(), row);

  const KIVMathPointf eye = viewer.GetMain3DViewpoint()->GetOrigin();
  ASSERT_EQ(static_cast<KIVDlgPushButton*>(viewer.GetToolBarItem(9))->UserActivate(), 1);
  EXPECT_FALSE(viewer.GetMain3DViewpoint()->GetOrigin() == eye);  // reframed on the box
  static_cast<KIVDlgRadioButton*>(viewer.GetToolBarItem(3))->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(viewer.SetSpecialNavigation(-1, -1, -1), 3);
  static_cast<KIVDlgRadioButton*>(viewer.GetToolBarItem(1))->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(viewer.SetSpecialNavigation(-1, -1, -1), -1);
  static_cast<KIVDlgCheckButton*>(viewer.GetToolBarItem(18))->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(viewer.SetStereoEditorState(-1), 1);

  // The host may destroy its row without telling the viewer: the items are gone for it too.
  delete row;
  EXPECT_EQ(viewer.GetToolBarItem(18), nullptr);
  EXPECT_EQ(viewer.SetStereoEditorState(0), 0);
  EXPECT_EQ(viewer.SetSpecialNavigation(4, 1, 1), 4);
  viewer.SetSpecialNavigation(4, 0, -1);
  viewer.SaveViewpointPosition();
  viewer.Reframe(-1);
  viewer.BuildToolsBarreIcone(static_cast<KIVDlgToolBar*>(nullptr), 0);
  viewer.RemoveRep(model, NavViewerExtand::kOfficialRoot);
  delete model;
}
