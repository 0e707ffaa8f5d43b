// The measuring grid: steps and sizes, snapping, the density that follows the zoom,
// graduations and caption in both modes, picked coordinates, its menu and its window.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/view/KIV3DViewer.h"
#include "primitives/KIVSiLaGrid.h"
#include "primitives/KIVSiLaGridCoordRep.h"
#include "primitives/KIVSiLaGridGP.h"
#include "primitives/KIVSiLaGridRep.h"
#include "primitives/KIVSiLaTextGP.h"

namespace {

// A 1000 × 1000 grid of steps 10 in the world's XY plane at height 5, seen from above.
struct GridScene : ::testing::Test {
  KIV3DViewer viewer{800, 600};
  KIVSiLaGridRep* grid = new KIVSiLaGridRep(10.0f, 10.0f, 1000.0f, 1000.0f);
  void SetUp() override {
    grid->SetPosition(KIVMathPointf(0, 0, 5), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(1, 0, 0));
    viewer.GetMain3DViewpoint()->AddRep(grid);
    LookFrom(800.0f);
  }
  void TearDown() override {
    viewer.GetMain3DViewpoint()->RemoveRep(grid);
    grid->Destroy();
  }
  void LookFrom(float height) {
    viewer.GetMain3DViewpoint()->SetPosition(KIVMathPointf(0, 0, height), KIVMathVectorf(0, 0, -1),
                                             KIVMathVectorf(0, 1, 0));
    viewer.Draw();
  }
};

TEST_F(GridScene, LinesThinOutWhenZoomingOutAndTheCentreLineStays) {
  EXPECT_EQ(grid->GetGP()->GetPlaneCode(), 3);
  const int near = grid->GetGP()->GetDrawnLineCount();
  LookFrom(8000.0f);
  const int far = grid->GetGP()->GetDrawnLineCount();
  EXPECT_GT(near, far);
  EXPECT_GE(far, 4 + 2) << "the border and the two centre lines always";
  // The labels of the centre lines carry the axis' name in absolute mode.
  const std::vector<std::string>& labels = grid->GetGP()->GetDrawnLabels();
  EXPECT_NE(std::find(labels.begin(), labels.end(), "Y= 0.0"), labels.end());
  EXPECT_NE(std::find(labels.begin(), labels.end(), "X= 0.0"), labels.end());
  EXPECT_EQ(grid->GetGP()->GetCaption(), "Absolute. Z= 5.0");
  // Close up, every step in view is drawn, and only what is in view: from 25 above the
  // grid (45° wide, 4:3) the view spans about ±10 across and ±14 along, steps 10.
  LookFrom(30.0f);
  EXPECT_EQ(grid->GetGP()->GetDrawnLineCount(), 4 + 3 + 3);
  grid->SetCoordMode(1);
  viewer.Draw();
  EXPECT_EQ(grid->GetGP()->GetCaption(), "Relative.");
  grid->SetStyle(1);
  viewer.Draw();
  EXPECT_EQ(grid->GetGP()->GetDrawnLineCount(), 4);
  EXPECT_EQ(grid->GetGP()->GetDrawnCrossCount(), 3 * 3);
}

TEST_F(GridScene, ATiltedGridShowsOnlyTheCaptionInAbsoluteMode) {
  grid->SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(0, 1, 1), KIVMathDirectionf(1, 0, 0));
  viewer.Draw();
  EXPECT_EQ(grid->GetGP()->GetPlaneCode(), 0);
  EXPECT_TRUE(grid->GetGP()->GetDrawnLabels().empty());
  EXPECT_EQ(grid->GetGP()->GetCaption(), "Absolute.");
}

TEST_F(GridScene, PicksSnapToTheNearestNodeTiesTowardZero) {
  // Local y is world y, local z is world x; steps 10.
  auto node = [this](float x, float y) { return grid->GetIntersection(KIVMathPointf(x, y, 5)); };
  EXPECT_EQ(node(0, 5.0f), KIVMathPointf(0, 0, 0));
  EXPECT_EQ(node(0, 5.1f), KIVMathPointf(0, 10, 0));
  EXPECT_EQ(node(0, -5.1f), KIVMathPointf(0, -10, 0));
  EXPECT_EQ(node(-26.0f, 34.0f), KIVMathPointf(0, 30, -30));
  // Markers show the node: its world position, or the local one in relative mode.
  grid->SetCoordinates(KIVMathPointf(-26, 34, 7));
  ASSERT_NE(grid->GetTheCoordinates(), nullptr);
  auto* marker = static_cast<KIVSiLaGridCoordRep*>(grid->GetTheCoordinates()->GetChildren()[0]);
  EXPECT_EQ(marker->GetValues(), KIVMathPointf(-30, 30, 5));
  EXPECT_EQ(marker->GetText()->GetLine(0), "X=-30.00");
  grid->SetCoordMode(1);
  EXPECT_EQ(marker->GetValues(), KIVMathPointf(0, 30, -30));
  grid->SetFurtivesCoordinates(KIVMathPointf(1, 1, 5));
  ASSERT_NE(grid->GetFurtive(), nullptr);
  grid->SetFurtivesCoordinates(KIVMathPointf(12, 1, 5));
  EXPECT_EQ(grid->GetFurtive()->GetCreationPoint(), KIVMathPointf(0, 0, 10));
  grid->CleanCoordinates();
  EXPECT_EQ(grid->GetTheCoordinates(), nullptr);
  EXPECT_EQ(grid->GetFurtive(), nullptr);
}

TEST(Grid, StepsAndSizesRefuseWhatCannotBeDrawn) {
  KIVSiLaGridRep rep(0.0f, 5.0f, 200.0f, 300.0f);
  float a = 0, b = 0;
  rep.GetStepsGrid(&a, &b);
  EXPECT_FLOAT_EQ(a, 20.0f);
  EXPECT_FLOAT_EQ(b, 30.0f);
  EXPECT_FALSE(rep.SetStepsGrid(-1.0f, 5.0f));
  EXPECT_FALSE(rep.SetSizeGrid(0.0f, 5.0f));
  EXPECT_FALSE(rep.SetStyle(2));
  EXPECT_FALSE(rep.SetCoordMode(-1));
  rep.GetStepsGrid(&a, &b);
  EXPECT_FLOAT_EQ(a, 20.0f);
  KIVSiLaGrid command(nullptr, 500.0f, 500.0f, 0.0f, 0.00001f);
  command.GetGridRep()->GetStepsGrid(&a, &b);
  EXPECT_FLOAT_EQ(a, 100.0f);
  EXPECT_FLOAT_EQ(b, 100.0f);
  KIVSiLaTextGP text(KIVMathPointf(), 3);
  text.AddText(std::string(200, 'x').c_str());
  text.AddText(nullptr);
  EXPECT_EQ(text.GetLine(0).size(), KIVSiLaTextGP::kCellSize - 1);
  EXPECT_EQ(text.GetLineCount(), 2);
}

TEST(Grid, TheMenuAndTheStepsWindowDriveTheGrid) {
  KIVSiLaGrid grid(nullptr, 1000.0f, 600.0f, 50.0f, 50.0f);
  int changes = 0;
  grid.GetCallbackManager()->AddCallback(
      KIVSiLaGrid::GRID_GRAPHIC_CHANGED(),
      [&changes](const char*, void*, KIVNotification*, void*, KIVCallback) { ++changes; }, nullptr);
  KIVDlgContextualMenu menu(nullptr, "menu");
  grid.GetManipulator()->Context(nullptr, &menu);
  auto* style = dynamic_cast<KIVDlgPushItem*>(menu.LookupChild("Gridstyle"));
  ASSERT_NE(style, nullptr);
  EXPECT_EQ(style->GetTitle().GetUtf8(), "Crosses Style");
  style->UserActivate();
  EXPECT_EQ(grid.GetGridRep()->GetStyle(), 1);
  grid.GetManipulator()->Context(nullptr, &menu);  // made again: one set of items
  EXPECT_EQ(menu.GetDialogChildren().size(), 5u);
  EXPECT_EQ(menu.LookupChild("Gridstyle")->GetTitle().GetUtf8(), "Lines Style");
  static_cast<KIVDlgCheckItem*>(menu.LookupChild("Gridcoord"))->UserSetState(KIVDialog::StateSet);
  EXPECT_EQ(grid.GetCoordinatesShown(), 1);
  static_cast<KIVDlgPushItem*>(menu.LookupChild("Gridcoordmode"))->UserActivate();
  EXPECT_EQ(grid.GetGridRep()->GetCoordMode(), 1);
  EXPECT_GE(changes, 2);

  static_cast<KIVDlgCheckItem*>(menu.LookupChild("Gridsteps"))->UserSetState(KIVDialog::StateSet);
  KIVDlgDialog* window = grid.GetStepsWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->GetTitle().GetUtf8(), "Grid Steps");
  auto* stepY = dynamic_cast<KIVDlgSpinner*>(window->LookupChild("stepY"));
  auto* stepZ = dynamic_cast<KIVDlgSpinner*>(window->LookupChild("stepZ"));
  ASSERT_TRUE(stepY && stepZ);
  float min = 0, max = 0, steps = 0;
  stepZ->GetRange(min, max, steps);
  EXPECT_FLOAT_EQ(min, 11.0f);  // from size1 for both
  EXPECT_FLOAT_EQ(max, 300.0f);
  EXPECT_EQ(stepY->GetValueText().GetUtf8(), "50.0");
  stepY->UserSpin(1);
  float a = 0, b = 0;
  grid.GetGridRep()->GetStepsGrid(&a, &b);
  EXPECT_FLOAT_EQ(a, 100.0f) << "the up arrow doubles";
  stepY->UserSpin(-1);
  grid.GetGridRep()->GetStepsGrid(&a, &b);
  EXPECT_FLOAT_EQ(a, 50.0f) << "the down arrow halves";
  static_cast<KIVDlgPushButton*>(window->LookupChild("Default"))->UserActivate();
  grid.GetGridRep()->GetStepsGrid(&a, &b);
  EXPECT_FLOAT_EQ(b, 100.0f);
  window->UserClose();
  EXPECT_EQ(grid.GetStepsWindow(), nullptr);
}

}  // namespace
