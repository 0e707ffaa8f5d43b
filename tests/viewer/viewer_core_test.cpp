#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/interact/KIVIndicator.h"
#include "mover/NavSelectManipulator.h"
#include "viewer/NavViewerExtand.h"
#include "tests/support/TestBox.h"

namespace {

struct ForegroundCounter {
  explicit ForegroundCounter(NavViewerExtand& v) : viewer(v) {
    id = listener.AddCallback(&viewer, NavViewerExtand::VIEWER_FOREGROUND_CHANGE(),
                              KIVEventCallback([this](const char*, void*, KIVNotification*, void*, KIVCallback) {
                                ++count;
                              }),
                              nullptr);
  }
  NavViewerExtand& viewer;
  KIVEventSubscriber listener;
  KIVCallback id;
  int count = 0;
};

TEST(ViewerCore, RegistryGrowsByDoublingAndForgetsDestroyedViewers) {
  const int before = NavViewerExtand::snbInstanceReferenced;
  std::vector<std::unique_ptr<NavViewerExtand>> viewers;
  for (int i = before; i < 51; ++i)
    viewers.push_back(std::make_unique<NavViewerExtand>(nullptr, KIVString("v"), 0, 0, 100, 100));
  EXPECT_EQ(NavViewerExtand::snbInstanceReferenced, 51);
  EXPECT_GE(NavViewerExtand::snbInstanceReferencedMax, 100);
  NavViewerExtand* middle = viewers[10].get();
  EXPECT_EQ(NavViewerExtand::ReferenceInstance(middle, 1), 1);
  // Toggling twice removes and re-adds at the end; asking never changes anything.
  EXPECT_EQ(NavViewerExtand::ReferenceInstance(middle, 0), 1);
  EXPECT_EQ(NavViewerExtand::ReferenceInstance(middle, 1), 0);
  EXPECT_EQ(NavViewerExtand::ReferenceInstance(middle, 0), 1);
  EXPECT_EQ(NavViewerExtand::saInstanceReferenced[NavViewerExtand::snbInstanceReferenced - 1], middle);

  EXPECT_EQ(NavViewerExtand::SetLockUpdateAllViewer(5), 51);
  EXPECT_EQ(middle->LockDraw(-1), 1);
  middle->Draw();
  EXPECT_EQ(middle->GetDrawCount(), 0);
  NavViewerExtand::SetLockUpdateAllViewer(0);
  NavViewerExtand::UpdateAllViewer();
  EXPECT_EQ(middle->GetDrawCount(), 1);

  NavViewerExtand::SetColorMap(40, 1.0f, 0.5f, 0.0f);
  float rgb[3];
  viewers[3]->GetColor(40, rgb);
  EXPECT_FLOAT_EQ(rgb[1], 0.5f);
  // A new viewer starts with the first one's colours.
  NavViewerExtand late(nullptr, KIVString("late"), 0, 0, 10, 10);
  late.GetColor(40, rgb);
  EXPECT_FLOAT_EQ(rgb[1], 0.5f);

  viewers.clear();
  EXPECT_EQ(NavViewerExtand::snbInstanceReferenced, before + 1);
  EXPECT_EQ(NavViewerExtand::ReferenceInstance(middle, 1), 0);
}

TEST(ViewerCore, RootsAndTheirOptions) {
  NavViewerExtand plain(nullptr, KIVString("plain"), 0, 0, 100, 100);
  // Its own defaults: level of detail and "Mesh" (host view mode 1), gravity up or down.
  EXPECT_EQ(plain.GetCurrentSetting().qualitySpeed.modeBits, 9);
  EXPECT_EQ(plain.ViewMode(1), 1);
  EXPECT_EQ(plain.ViewMode(2), 0);
  EXPECT_EQ(plain.GetMain3DViewpoint()->GetGravity(), 2);
  EXPECT_EQ(plain.GetCurrentSetting().navigationStyle, 7);
  auto* master = plain.GetRootRep(13);
  ASSERT_NE(master, nullptr);
  ASSERT_EQ(master->GetChildren().size(), 3u);
  EXPECT_EQ(master->GetChildren()[0], plain.GetRootRep(14));
  EXPECT_EQ(master->GetChildren()[1], plain.GetRootRep(15));
  EXPECT_EQ(master->GetChildren()[2], plain.GetOcclusionBag());
  EXPECT_EQ(plain.GetRootRep(16), nullptr);
  EXPECT_EQ(plain.GetRootRep(12), nullptr);
  KIV3DCustomRep* note = Box(KIVMathPointf(), 1.0f);
  plain.AddRep(note, 16);  // no annotation root without option 32
  EXPECT_TRUE(note->GetParents().empty());
  plain.AddRep(note, 15);
  EXPECT_EQ(note->GetParents().size(), 1u);  // destroyed with the roots

  NavViewerExtand full(nullptr, KIVString("full"), 8 | 16 | 32, 0, 100, 100);
  ASSERT_NE(full.GetRootRep(16), nullptr);
  EXPECT_EQ(full.GetRootRep(13)->GetChildren().back(), full.GetRootRep(16));
  for (int kind : {14, 15, 16}) ASSERT_NE(full.GetSelectGraphicManager(kind), nullptr) << kind;
  EXPECT_EQ(full.GetSelectGraphicManager(14)->GetRep(), full.GetRootRep(14));
  EXPECT_EQ(full.GetContextualMenu()->GetTitle(), KIVUnicodeString("Option"));

  // Erasing annotations deletes those that no one else holds.
  KIV3DCustomRep* mine = Box(KIVMathPointf(), 1.0f);
  KIV3DCustomRep* shared = Box(KIVMathPointf(), 1.0f);
  KIV3DBagRep keeper;
  keeper.AddChild(shared);
  full.AddRep(mine, 16);
  full.AddRep(shared, 16);
  full.EraseAnnotationBag();
  EXPECT_TRUE(full.GetRootRep(16)->GetChildren().empty());
  EXPECT_EQ(shared->GetParents().size(), 1u);
  keeper.RemoveChild(shared);
  delete shared;
}

TEST(ViewerCore, PendingViewpointWaitsForTheWindow) {
  auto* window = new KIVDlgDialog(nullptr, "ViewerWindow");
  auto* viewer = new NavViewerExtand(window, KIVString("viewer"), 0, 0, 200, 100);
  KIV3DViewpoint wanted;
  wanted.SetPosition(KIVMathPointf(5, -50, 3), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  wanted.SetAngle(40.0f);
  viewer->SetViewpoint(&wanted, 0);
  ASSERT_NE(viewer->GetPendingViewpoint(), nullptr);
  EXPECT_EQ(viewer->GetPendingViewpoint()->origin, KIVMathPointf(5, -50, 3));
  EXPECT_EQ(viewer->GetDrawCount(), 0);  // the window is hidden: nothing drawn yet

  // Someone moves the main viewpoint behind the viewer's back; the window's creation
  // applies what was asked for.
  viewer->GetMain3DViewpoint()->SetPosition(KIVMathPointf(0, 0, 0), KIVMathDirectionf(1, 0, 0),
                                            KIVMathDirectionf(0, 0, 1));
  window->SetVisibility(2);
  KIVApplication::MainApplication()->ProcessDeferred();
  EXPECT_EQ(viewer->GetPendingViewpoint(), nullptr);
  EXPECT_EQ(viewer->GetMain3DViewpoint()->GetOrigin(), KIVMathPointf(5, -50, 3));
  EXPECT_FLOAT_EQ(viewer->GetMain3DViewpoint()->GetAngle(), 40.0f);
  EXPECT_EQ(viewer->GetDrawCount(), 1);
  delete window;  // takes the viewer along
}

TEST(ViewerCore, SetViewpointModesAndReframe) {
  NavViewerExtand viewer(nullptr, KIVString("v"), 0, 0, 200, 100);
  KIV3DViewpoint* main = viewer.GetMain3DViewpoint();
  KIVEventSubscriber listener;
  int modified = 0;
  listener.AddCallback(main, KIVViewpoint::VIEWPOINT_MODIFIED,
                       KIVEventCallback([&](const char*, void*, KIVNotification*, void*, KIVCallback) { ++modified; }),
                       nullptr);
  KIV3DViewpoint same;
  same.SetPosition(main->GetOrigin(), main->GetSightDirection(), main->GetUpDirection());
  same.SetAngle(main->GetAngle());
  same.SetFocusDistance(main->GetFocusDistance());
  viewer.SetViewpoint(&same, 1);
  EXPECT_EQ(viewer.GetDrawCount(), 0);  // equal: nothing, not even a redraw
  viewer.SetViewpoint(&same, 0);
  EXPECT_EQ(viewer.GetDrawCount(), 1);
  EXPECT_EQ(modified, 0);  // mode 0 keeps the subscribers out of it
  same.SetPosition(KIVMathPointf(1, 2, 3), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  viewer.SetViewpoint(&same, 1);
  EXPECT_EQ(modified, 1);
  EXPECT_EQ(main->GetOrigin(), KIVMathPointf(1, 2, 3));

  // Reframe(-1) without a tool bar takes the master root, so the tempory rep counts.
  viewer.AddRep(Box(KIVMathPointf(0, 0, 0), 1.0f), 14);
  viewer.AddRep(Box(KIVMathPointf(100, 0, 0), 1.0f), 15);
  viewer.Reframe(-1);
  const KIVMathPointf eye = main->GetOrigin();
  const KIVMathPointf target = eye + main->GetSightDirection() * main->GetFocusDistance();
  EXPECT_NEAR(target.x, 50.0f, 1.0f);
  viewer.Reframe(14);
  const KIVMathPointf target14 = main->GetOrigin() + main->GetSightDirection() * main->GetFocusDistance();
  EXPECT_NEAR(target14.x, 0.0f, 0.5f);
  const int draws = viewer.GetDrawCount();
  viewer.Reframe(17);  // other kinds change nothing
  EXPECT_EQ(viewer.GetDrawCount(), draws);
}

TEST(ViewerCore, IndicatorStackKeepsOneOfEachWithTheLastOnTop) {
  NavViewerExtand viewer(nullptr, KIVString("v"), 0, 0, 100, 100);
  ForegroundCounter events(viewer);
  KIVIndicator a, b, c;
  viewer.SetForegroundIndicator(&a);
  viewer.SetForegroundIndicator(&b);
  viewer.SetForegroundIndicator(&a);  // moves to the top, once
  EXPECT_EQ(viewer.GetForegroundIndicatorCount(), 2);
  EXPECT_EQ(viewer.IsForegroundIndicatorReferenced(&a), 1);
  EXPECT_EQ(viewer.GetForegroundIndicator(), &a);
  EXPECT_EQ(events.count, 3);
  viewer.UnsetForegroundIndicator(&b);  // below the top: silent
  EXPECT_EQ(events.count, 3);
  EXPECT_EQ(viewer.GetForegroundIndicator(), &a);
  viewer.UnsetForegroundIndicator(&c);  // not there: ignored
  viewer.UnsetForegroundIndicator(&a);
  EXPECT_EQ(viewer.GetForegroundIndicator(), nullptr);
  EXPECT_EQ(events.count, 4);

  std::vector<std::unique_ptr<KIVIndicator>> many;
  for (int i = 0; i < 25; ++i) {
    many.push_back(std::make_unique<KIVIndicator>());
    viewer.SetForegroundIndicator(many.back().get());
  }
  EXPECT_EQ(viewer.GetForegroundIndicatorCount(), 25);
  EXPECT_EQ(viewer.GetForegroundIndicatorCapacity(), 40);
  const int before = events.count;
  viewer.ResetAllForegroundIndicator();
  EXPECT_EQ(viewer.GetForegroundIndicatorCount(), 0);
  EXPECT_EQ(viewer.GetForegroundIndicator(), nullptr);
  EXPECT_EQ(events.count, before + 1);
}

TEST(ViewerCore, OcclusionDrawingClonesOnlyWhatIsSeen) {
  NavViewerExtand viewer(nullptr, KIVString("v"), 0, 0, 200, 200);
  // A wall in front and a box hidden behind it, plus one off to the side.
  viewer.AddRep(Box(KIVMathPointf(0, 0, 0), 10.0f), 14);
  viewer.AddRep(Box(KIVMathPointf(0, 40, 0), 2.0f), 14);
  viewer.AddRep(Box(KIVMathPointf(30, 0, 0), 2.0f), 14);
  KIV3DViewpoint* main = viewer.GetMain3DViewpoint();
  main->SetPosition(KIVMathPointf(0, -100, 0), KIVMathDirectionf(0, 1, 0), KIVMathDirectionf(0, 0, 1));
  main->SetAngle(45.0f);
  viewer.SetQualityModes(viewer.GetQualityModes() | NavViewerExtand::kQualityOcclusion);
  testing::internal::CaptureStdout();
  viewer.Draw();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out.rfind("nb Objet visible:  2 / System : ", 0), 0u) << out;
  EXPECT_EQ(viewer.GetLastVisibleCount(), 2);
  EXPECT_EQ(viewer.GetOcclusionBag()->GetChildren().size(), 2u);
  EXPECT_EQ(viewer.GetRootRep(14)->GetShowMode(), 1);  // only the clones show
  // The next frame starts again from nothing.
  testing::internal::CaptureStdout();
  viewer.Draw();
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(viewer.GetOcclusionBag()->GetChildren().size(), 2u);
}

}  // namespace

TEST(ViewerCore, AnswersItsClassAsTheHostViewer) {
  NavViewerExtand viewer(nullptr, KIVString("m"), 0, 0, 100, 100);
  EXPECT_EQ(viewer.GetMetaObject(), KIV3DViewer::MetaObject());
  EXPECT_STREQ(viewer.IsA(), KIV3DViewer::ClassName());
  EXPECT_EQ(viewer.IsAKindOf("KIVViewer"), 1);
  EXPECT_EQ(viewer.IsAKindOf("NavViewerExtand"), 0);
}
