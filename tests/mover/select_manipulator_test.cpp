#include <gtest/gtest.h>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/interact/KIVActivateNotification.h"
#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPath.h"
#include "host/visu/interact/KIVViewerEvent.h"
#include "mover/NavSelectManipulator.h"

namespace {

struct Scene {
  Scene() {
    root.AddChild(&part);
    part.AddChild(&leaf);
    path.AddRep(&root);
    path.AddRep(&part);
    path.AddRep(&leaf);
  }
  ~Scene() {
    part.RemoveChild(&leaf);
    root.RemoveChild(&part);
  }
  KIV3DBagRep root, part;
  KIV3DCustomRep leaf;
  KIVPickPath path;
};

TEST(SelectManipulator, RecordsThePickAndKeysOfTheSameMouseEvent) {
  Scene scene;
  KIVCommand owner(nullptr, "owner");
  NavSelectManipulator select(&owner, &scene.root);
  EXPECT_EQ(scene.root.GetManipulator(), &select);
  int activations = 0;
  owner.AddAnalyseNotificationCB(&select, nullptr, KIVManipulator::GetKIVActivate(),
                                 [&](KIVCommand*, KIVNotification*, void*) { ++activations; }, nullptr);
  KIVMouseEvent click(KIVMouseEvent::Release, 10, 20, KIVMouseEvent::ButtonLeft, 4 | 1);
  KIVViewerEvent event(nullptr, &click, &scene.path);
  EXPECT_EQ(select.Activate(&event, nullptr), 1);
  EXPECT_EQ(activations, 1);
  // A copy, so that it outlives the event.
  ASSERT_NE(select.GetPickPath(), nullptr);
  EXPECT_EQ(select.GetPickPath()->GetLeafRep(), scene.path.GetLeafRep());
  EXPECT_EQ(select.GetPickPath()->GetSize(), scene.path.GetSize());
  EXPECT_EQ(select.GetRepPickedFather(), &scene.part);
  EXPECT_EQ(select.GetKeyboardControl(), 1);
  EXPECT_EQ(select.GetKeyboardShift(), 1);

  // A key reaching it is not a mouse event: ignored, the last pick stays.
  KIVKeyEvent key('a');
  KIVViewerEvent keyEvent(nullptr, &key, nullptr);
  EXPECT_EQ(select.Activate(&keyEvent, nullptr), 1);
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(select.GetPickPath()->GetLeafRep(), scene.path.GetLeafRep());

  // Disabled: clicks do nothing and record nothing.
  EXPECT_EQ(select.UpdateManipulateRepOn(0), 0);
  EXPECT_EQ(select.UpdateManipulateRepOn(-1), 0);
  KIVMouseEvent plain(KIVMouseEvent::Release, 1, 1, KIVMouseEvent::ButtonLeft, 0);
  KIVViewerEvent other(nullptr, &plain, nullptr);
  EXPECT_EQ(select.Activate(&other, nullptr), 1);
  EXPECT_EQ(activations, 1);
  EXPECT_EQ(select.GetKeyboardControl(), 1);
  EXPECT_EQ(select.UpdateManipulateRepOn(1), 1);
  select.Move(&other, nullptr);
  EXPECT_EQ(select.GetPickPath(), nullptr);
  EXPECT_EQ(select.GetRepPickedFather(), nullptr);
  EXPECT_EQ(select.GetKeyboardControl(), 0);
}

}  // namespace
