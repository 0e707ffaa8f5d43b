// The menu of a right click on the empty view: built anew at each click, every item runs
// navview's own command, and what a tool left in the viewer's menu does not linger.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "apps/navview/NavviewSession.h"
#include "apps/navview/NavviewViewerMenu.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgRadioItem.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "viewer/NavViewerExtand.h"

namespace {

KIVDialog* FindTag(KIVDialog* root, const std::string& tag) {
  for (KIVDialog* child : root->GetDialogChildren()) {
    if (child->GetTag().CastToCharPtr() == tag) return child;
    if (KIVDialog* found = FindTag(child, tag)) return found;
  }
  return nullptr;
}

int CountTag(KIVDialog* root, const std::string& tag) {
  int n = 0;
  for (KIVDialog* child : root->GetDialogChildren()) n += (child->GetTag().CastToCharPtr() == tag) + CountTag(child, tag);
  return n;
}

}  // namespace

TEST(NavviewViewerMenu, ARightClickOnNothingOffersTheViewAndRunsItsCommands) {
  NavviewSession session(320, 200);
  session.LoadBuiltin(1);
  session.Show();
  NavViewerExtand& viewer = session.GetViewer();
  std::vector<std::string> ran;
  NavviewViewerMenu menu(viewer, [&ran](const std::string& command) { ran.push_back(command); });
  KIVDlgContextualMenu* popup = viewer.GetContextualMenu();
  // Something a tool left in the menu.
  new KIVDlgPushItem(popup, "Leftover");

  auto rightClick = [&viewer] {
    viewer.UserMousePress(2, 198, 4, 0);  // the bottom-left corner shows no model
    viewer.UserMouseRelease(2, 198, 4, 0);
  };
  // Looking away from the plant: nothing under the pointer.
  viewer.Reframe(NavViewerExtand::kOfficialRoot);
  KIV3DViewpoint* camera = viewer.GetMain3DViewpoint();
  camera->SetPosition(camera->GetOrigin(), KIVMathDirectionf(-camera->GetSightDirection()), camera->GetUpDirection());
  KIVPickPathList paths;
  ASSERT_EQ(viewer.Pick(2, 198, paths), 0);
  rightClick();
  EXPECT_EQ(popup->GetVisibility(), KIVDialog::VisibilityShown);
  EXPECT_EQ(FindTag(popup, "Leftover"), nullptr);
  ASSERT_NE(FindTag(popup, "ViewReframe"), nullptr);
  ASSERT_NE(FindTag(popup, "ViewTop"), nullptr);  // in the standard views' sub-menu
  auto* ground = dynamic_cast<KIVDlgCheckItem*>(FindTag(popup, "ViewGround"));
  ASSERT_NE(ground, nullptr);
  EXPECT_EQ(ground->GetState(), KIVDialog::StateCleared);
  auto* examine = dynamic_cast<KIVDlgRadioItem*>(FindTag(popup, "ViewExamine"));
  ASSERT_NE(examine, nullptr);
  EXPECT_EQ(examine->GetState(), KIVDialog::StateSet);

  ground->UserSetState(KIVDialog::StateSet);
  dynamic_cast<KIVDlgPushItem*>(FindTag(popup, "ViewTop"))->UserActivate();
  dynamic_cast<KIVDlgRadioItem*>(FindTag(popup, "ViewWalk"))->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(ran, (std::vector<std::string>{"state ground on", "view top", "style walk"}));

  // Built again at the next click, once, with the states of the moment.
  viewer.SetGroundState(1);
  popup->SetVisibility(KIVDialog::VisibilityHidden);
  rightClick();
  EXPECT_EQ(CountTag(popup, "ViewGround"), 1);
  ran.clear();
  dynamic_cast<KIVDlgCheckItem*>(FindTag(popup, "ViewGround"))->UserSetState(KIVDialog::StateCleared);
  EXPECT_EQ(ran, (std::vector<std::string>{"state ground off"}));

  // On a model too, before its manipulator has its say; a deleted item's choice is lost.
  camera->SetPosition(camera->GetOrigin(), KIVMathDirectionf(-camera->GetSightDirection()), camera->GetUpDirection());
  ASSERT_GT(viewer.Pick(160, 100, paths), 0);
  popup->SetVisibility(KIVDialog::VisibilityHidden);
  viewer.UserMousePress(160, 100, 4, 0);
  viewer.UserMouseRelease(160, 100, 4, 0);
  auto* reframe = dynamic_cast<KIVDlgPushItem*>(FindTag(popup, "ViewReframe"));
  ASSERT_NE(reframe, nullptr);
  ran.clear();
  reframe->UserActivate();
  EXPECT_EQ(ran, (std::vector<std::string>{"reframe"}));
}
