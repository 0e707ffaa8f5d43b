// How a viewer routes mouse and key input to its indicators, manipulators and editor.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/interact/KIV3DIndicator.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/interact/KIVContextNotification.h"
#include "host/visu/interact/KIVIndicator.h"
#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/interact/KIVViewerEvent.h"
#include "host/visu/interact/KIVViewpointEditor.h"
#include "host/visu/interact/KIVViewpointIndicator.h"
#include "tests/support/TestBox.h"

namespace {

using Log = std::vector<std::string>;
constexpr int L = KIVMouseEvent::ButtonLeft, R = KIVMouseEvent::ButtonRight;

class RecordingIndicator : public KIVIndicator {
 public:
  RecordingIndicator(Log& log, int takesKeys = 1) : mLog(log), mTakesKeys(takesKeys) {}
  void BeginManipulate(KIVNotification*) override { mLog.push_back("fg:begin"); }
  void Manipulate(KIVNotification*) override { mLog.push_back("fg:drag"); }
  void EndManipulate(KIVNotification*) override { mLog.push_back("fg:end"); }
  void Move(KIVNotification*) override { mLog.push_back("fg:move"); }
  int Key(KIVNotification*) override {
    mLog.push_back("fg:key");
    return mTakesKeys;
  }
  int Context(KIVNotification*, KIVDlgContextualMenu* menu) override {
    mLog.push_back(menu && menu->GetVisibility() == 2 ? "fg:context shown" : "fg:context");
    return 1;
  }
  Log& mLog;
  int mTakesKeys;
};

class RecordingManipulator : public KIVManipulator {
 public:
  RecordingManipulator(Log& log, KIVRep* rep, int dragMode) : KIVManipulator(nullptr, "m", rep), mLog(log), mMode(dragMode) {}
  int Preactivate(KIVNotification* e, KIVManipulator* f) override { return Note("m:preactivate", e, f); }
  int Move(KIVNotification* e, KIVManipulator* f) override { return Note("m:move", e, f); }
  int Activate(KIVNotification* e, KIVManipulator* f) override {
    return Note(GetMouseEvent(e)->GetKind() == KIVMouseEvent::DoubleClick ? "m:activate2" : "m:activate", e, f);
  }
  int Edit(KIVNotification* e, KIVManipulator* f) override { return Note("m:edit", e, f); }
  int EndEdit(KIVNotification* e, KIVManipulator* f) override { return Note("m:endedit", e, f); }
  int Context(KIVNotification*, KIVDlgContextualMenu* menu) override {
    mLog.push_back("m:context");
    mMenu = menu;
    return 1;
  }
  int GetDragMode() const override { return mMode; }
  int Note(const char* what, KIVNotification* e, KIVManipulator* from) {
    // Every call gets the viewer event with the pick path of the press's object.
    auto* ve = dynamic_cast<KIVViewerEvent*>(e);
    mLog.push_back(std::string(what) + (ve && from == this ? "" : " (bad event)"));
    return 1;
  }
  Log& mLog;
  int mMode;
  KIVDlgContextualMenu* mMenu = nullptr;
};

class RecordingEditor : public KIVViewpointEditor {
 public:
  explicit RecordingEditor(Log& log) : KIVViewpointEditor("e", nullptr), mLog(log) {}
  void BeginManipulate(KIVNotification*) override { mLog.push_back("e:begin"); }
  void Manipulate(KIVNotification*) override { mLog.push_back("e:drag"); }
  void EndManipulate(KIVNotification*) override { mLog.push_back("e:end"); }
  void Wheel(KIVNotification*) override { mLog.push_back("e:wheel"); }
  int Key(KIVNotification*) override {
    mLog.push_back("e:key");
    return 1;
  }
  Log& mLog;
};

// A box in the middle of a 200 × 150 window; empty space at the corners.
struct Interaction : ::testing::Test {
  KIV3DViewer viewer{200, 150};
  KIV3DBagRep* root = new KIV3DBagRep;
  KIV3DBagRep* part = new KIV3DBagRep;
  Log log;
  RecordingEditor editor{log};
  Interaction() {
    part->AddChild(Box(1.0f));
    root->AddChild(part);
    viewer.GetMain3DViewpoint()->AddRep(root);
    viewer.SetViewpointEditor(&editor);
  }
  ~Interaction() override {
    viewer.GetMain3DViewpoint()->RemoveRep(root);
    root->Destroy();
  }
  void Click(int x, int y, int buttons) {
    viewer.UserMousePress(x, y, buttons, 0);
    viewer.UserMouseRelease(x, y, buttons, 0);
  }
  void Drag(int x, int y, int dx, int buttons) {
    viewer.UserMousePress(x, y, buttons, 0);
    viewer.UserMouseMove(x + dx / 2, y, buttons, 0);
    viewer.UserMouseMove(x + dx, y, buttons, 0);
    viewer.UserMouseRelease(x + dx, y, buttons, 0);
  }
};

TEST_F(Interaction, ForegroundIndicatorTakesEverythingAndPassesRefusedKeys) {
  RecordingManipulator manipulator(log, part, 0);
  RecordingIndicator indicator(log, 0);
  viewer.SetForegroundIndicator(&indicator);
  Drag(100, 75, 20, L);
  viewer.UserMouseMove(100, 75, 0, 0);
  viewer.UserKey('a', 0);
  EXPECT_EQ(log, (Log{"fg:begin", "fg:drag", "fg:drag", "fg:end", "fg:move", "fg:key", "e:key"}));
  log.clear();
  indicator.mTakesKeys = 1;
  viewer.UserKey('a', 0);
  viewer.UserMouseWheel(100, 75, 1, 0);  // the wheel still zooms
  EXPECT_EQ(log, (Log{"fg:key", "e:wheel"}));
  log.clear();
  Click(10, 10, R);
  EXPECT_EQ(log, (Log{"fg:begin", "fg:end", "fg:context shown"}));
}

TEST_F(Interaction, ClickActivatesDragNavigatesHoverMoves) {
  RecordingManipulator manipulator(log, part, 0);
  Click(100, 75, L);
  EXPECT_EQ(log, (Log{"m:preactivate", "e:begin", "e:end", "m:activate"}));
  log.clear();
  // Three pixels are still a click; a drag goes to the editor and activates nothing.
  viewer.UserMousePress(100, 75, L, 0);
  viewer.UserMouseMove(103, 75, L, 0);
  viewer.UserMouseMove(110, 75, L, 0);
  viewer.UserMouseRelease(110, 75, L, 0);
  EXPECT_EQ(log, (Log{"m:preactivate", "e:begin", "e:drag", "e:end"}));
  log.clear();
  viewer.UserMouseMove(100, 75, 0, 0);
  viewer.UserMouseMove(5, 5, 0, 0);  // nothing under the pointer
  EXPECT_EQ(log, (Log{"m:move"}));
  log.clear();
  viewer.UserMouseDoubleClick(100, 75, L, 0);
  EXPECT_EQ(log, (Log{"m:activate2", "e:begin", "e:end"}));
}

TEST_F(Interaction, DragModeOneEditsInsteadOfNavigating) {
  RecordingManipulator manipulator(log, part, 1);
  Drag(100, 75, 20, L);
  EXPECT_EQ(log, (Log{"m:preactivate", "m:edit", "m:edit", "m:endedit"}));
  log.clear();
  Click(100, 75, L);
  EXPECT_EQ(log, (Log{"m:preactivate", "m:endedit", "m:activate"}));
}

TEST_F(Interaction, RightClickGivesTheViewersMenu) {
  RecordingManipulator manipulator(log, part, 0);
  Click(100, 75, R);
  EXPECT_EQ(log, (Log{"m:preactivate", "m:context"}));
  EXPECT_EQ(manipulator.mMenu, viewer.GetContextualMenu());
  // Already shown when the manipulator hears of it, so that its receivers fill it.
  EXPECT_EQ(viewer.GetContextualMenu()->GetVisibility(), 2);
  viewer.GetContextualMenu()->SetVisibility(KIVDialog::VisibilityHidden);
  log.clear();
  Click(10, 10, R);  // over nothing: the viewer pops its menu up, where the pointer is
  EXPECT_EQ(log, Log{});
  EXPECT_EQ(viewer.GetContextualMenu()->GetVisibility(), 2);
  int x, y;
  viewer.GetContextualMenu()->GetRectPosition(x, y);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 10);
  // A right drag navigates, from where the button went down.
  log.clear();
  viewer.GetContextualMenu()->SetVisibility(4);
  Drag(10, 10, 30, R);
  EXPECT_EQ(log, (Log{"e:begin", "e:drag", "e:drag", "e:end"}));
  EXPECT_NE(viewer.GetContextualMenu()->GetVisibility(), 2);
}

TEST_F(Interaction, BackgroundIndicatorSeesWhatNobodyTook) {
  RecordingIndicator background(log);
  viewer.SetBackgroundIndicator(&background);
  Click(10, 10, L);
  EXPECT_EQ(log, (Log{"e:begin", "e:end"}));
  log.clear();
  viewer.SetViewpointEditor(nullptr);
  Drag(10, 10, 20, L);
  viewer.UserKey('x', 0);
  EXPECT_EQ(log, (Log{"fg:begin", "fg:drag", "fg:drag", "fg:end", "fg:key"}));
}

// An indicator used once: it removes and deletes itself at its first release, as a
// callback of its end notification would.
class OneShot : public KIVIndicator {
 public:
  OneShot(KIVViewer& viewer, Log& log, int* alive) : mViewer(viewer), mLog(log), mAlive(alive) { *mAlive = 1; }
  ~OneShot() override { *mAlive = 0; }
  void BeginManipulate(KIVNotification*) override { mLog.push_back("once:begin"); }
  void EndManipulate(KIVNotification*) override {
    mLog.push_back("once:end");
    mViewer.SetForegroundIndicator(nullptr);
    delete this;
  }
  KIVViewer& mViewer;
  Log& mLog;
  int* mAlive;
};

TEST_F(Interaction, CallbacksMayDeleteWhatTheyAreCalledOn) {
  int alive = 0;
  viewer.SetForegroundIndicator(new OneShot(viewer, log, &alive));
  Click(10, 10, R);  // a right click would call Context after the end: it must not
  EXPECT_EQ(alive, 0);
  EXPECT_EQ(viewer.GetForegroundIndicator(), nullptr);
  EXPECT_EQ(log, (Log{"once:begin", "once:end"}));
  // The manipulator under a press goes away during the gesture: nothing reaches it.
  log.clear();
  auto* manipulator = new RecordingManipulator(log, part, 1);
  viewer.UserMousePress(100, 75, L, 0);
  delete manipulator;
  viewer.UserMouseMove(120, 75, L, 0);
  viewer.UserMouseRelease(120, 75, L, 0);
  EXPECT_EQ(log, (Log{"m:preactivate"}));
  EXPECT_EQ(part->GetManipulator(), nullptr);
  // A new editor set in the middle of a drag waits for the next press.
  log.clear();
  Log other;
  RecordingEditor second(other);
  viewer.UserMousePress(10, 10, L, 0);
  viewer.SetViewpointEditor(&second);
  viewer.UserMouseMove(40, 10, L, 0);
  viewer.UserMouseRelease(40, 10, L, 0);
  Click(10, 10, L);
  EXPECT_EQ(log, (Log{"e:begin"}));
  EXPECT_EQ(other, (Log{"e:begin", "e:end"}));
}

TEST_F(Interaction, ViewpointIndicatorDrivesItsEditorThenNotifies) {
  KIVCommand owner(nullptr, "owner");
  Log other;
  RecordingEditor special(other);
  KIVViewpointIndicator indicator(&owner, "OneShot", viewer.GetMain3DViewpoint(), &special);
  Log notes;
  owner.AddAnalyseNotificationCB(&indicator, nullptr, nullptr,
                                 [&](KIVCommand*, KIVNotification* n, void*) {
                                   notes.push_back(n->IsA());
                                   notes.push_back(other.back());  // the editor acted first
                                 },
                                 nullptr);
  viewer.SetForegroundIndicator(&indicator);
  Drag(10, 10, 20, L);
  EXPECT_EQ(log, Log{});
  EXPECT_EQ(notes, (Log{"KIVBeginManipulateNotification", "e:begin", "KIVManipulateNotification", "e:drag",
                        "KIVManipulateNotification", "e:drag", "KIVEndManipulateNotification", "e:end"}));
}

TEST_F(Interaction, Indicator3DReportsTheRightClickWithTheShownMenu) {
  KIVCommand owner(nullptr, "owner");
  KIV3DIndicator indicator(&owner, "SimpleViewerContext", &viewer);
  KIVDlgContextualMenu* seen = nullptr;
  int shown = 0;
  owner.AddAnalyseNotificationCB(&indicator, nullptr, KIVManipulator::GetKIVContext(),
                                 [&](KIVCommand*, KIVNotification* n, void*) {
                                   seen = static_cast<KIVContextNotification*>(n)->GetContextualMenu();
                                   shown = seen && seen->GetVisibility() == 2;
                                 },
                                 nullptr);
  viewer.SetForegroundIndicator(&indicator);
  Click(100, 75, R);
  EXPECT_EQ(seen, viewer.GetContextualMenu());
  EXPECT_EQ(shown, 1);
}

TEST_F(Interaction, ResizePublishesTheNewSize) {
  int width = 0, height = 0, calls = 0;
  KIVEventSubscriber subscriber;
  subscriber.AddCallback(&viewer, KIVViewer::GRAPHICWINDOW_RESIZE,
                         KIVEventCallback([&](const char*, void*, KIVNotification*, void*, KIVCallback) {
                           ++calls;
                           viewer.GetGraphicSize(&width, &height);
                         }),
                         nullptr);
  viewer.UserResize(320, 240);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(width, 320);
  EXPECT_EQ(height, 240);
}

TEST_F(Interaction, EventsCarryPositionButtonsAndARisingClock) {
  struct Stamps : KIVViewpointEditor {
    Stamps() : KIVViewpointEditor("s", nullptr) {}
    void BeginManipulate(KIVNotification* n) override { Keep(n); }
    void Manipulate(KIVNotification* n) override { Keep(n); }
    void Keep(KIVNotification* n) {
      auto* ve = static_cast<KIVViewerEvent*>(n);
      auto* me = static_cast<KIVMouseEvent*>(ve->GetDeviceEvent());
      events.push_back({me->GetKind(), me->GetX(), me->GetButtons(), me->GetModifiers(), ve->GetPickPath() != nullptr});
      times.push_back(me->GetTime());
    }
    struct E {
      int kind, x, buttons, modifiers;
      bool picked;
    };
    std::vector<E> events;
    std::vector<unsigned long> times;
  } stamps;
  viewer.SetViewpointEditor(&stamps);
  viewer.UserMousePress(100, 75, L, KIVMouseEvent::ModShift);
  viewer.UserMouseMove(150, 75, L, KIVMouseEvent::ModShift);
  ASSERT_EQ(stamps.events.size(), 2u);
  EXPECT_EQ(stamps.events[0].kind, KIVMouseEvent::Press);
  EXPECT_TRUE(stamps.events[0].picked);   // over the box
  EXPECT_FALSE(stamps.events[1].picked);  // beside it
  EXPECT_EQ(stamps.events[1].x, 150);
  EXPECT_EQ(stamps.events[1].modifiers, KIVMouseEvent::ModShift);
  EXPECT_GE(stamps.times[1], stamps.times[0]);
  EXPECT_GT(stamps.times[0], 0u);
  viewer.UserMouseRelease(150, 75, L, 0);
}

}  // namespace
