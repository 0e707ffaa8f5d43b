// The viewer's input routing (User… operations).
//
// A gesture runs from a press to the next release. At the press the viewer picks, then
// hands the gesture to the foreground indicator when there is one (it gets everything);
// otherwise the manipulator of the picked object is preactivated and, unless it edits
// drags itself (GetDragMode() 1), the viewpoint editor navigates; the background
// indicator gets the gestures that nobody else took. A move becomes a drag once it is
// more than 3 pixels from the press: only drags reach the editor's Manipulate, and a
// release without a drag is a click (Activate, or Context for the right button). The
// right button reaches the editor only once it drags, so that a right click stays a
// contextual menu.
//
// Every call out may delete or replace the indicators, the editor, the manipulator or
// the viewer itself: each one is re-read and checked against its life token after every
// call, and the routing stops as soon as the viewer is gone.
#include <chrono>
#include <cstdlib>
#include <memory>

#include "host/core/KIVCallbackManager.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/visu/interact/KIVIndicator.h"
#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/scene/KIVRep.h"
#include "host/visu/view/KIVViewer.h"
#include "host/visu/interact/KIVViewerEvent.h"
#include "host/visu/interact/KIVViewpointEditor.h"

namespace {

constexpr int kDragThreshold = 3;

// The first rep from the picked leaf upwards that has a manipulator.
KIVManipulator* ManipulatorOf(const KIVPickPath* path) {
  if (!path) return nullptr;
  for (int i = path->GetSize() - 1; i >= 0; --i)
    if (KIVRep* rep = path->GetRep(i))
      if (KIVManipulator* m = rep->GetManipulator()) return m;
  return nullptr;
}

// A pointer read before a call, and whether it still holds after it: a command set during
// the call is new (and alive); the same one is alive only while its token is.
struct Watched {
  KIVCommand* command = nullptr;
  std::weak_ptr<int> life;
  explicit Watched(KIVCommand* c) : command(c), life(c ? c->GetLifeToken() : std::weak_ptr<int>()) {}
  KIVCommand* Check(KIVCommand* now) const {
    if (!now) return nullptr;
    if (now != command) return now;
    return life.expired() ? nullptr : now;
  }
};

template <class T>
T* As(KIVCommand* c) {
  return static_cast<T*>(c);
}

bool IsRightClickButtons(int buttons) {
  return (buttons & KIVMouseEvent::ButtonRight) &&
         !(buttons & (KIVMouseEvent::ButtonLeft | KIVMouseEvent::ButtonMiddle));
}

}  // namespace

long long KIVViewer::InputClockNow() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

unsigned long KIVViewer::InputTime() const {
  return static_cast<unsigned long>((InputClockNow() - mInputClockOrigin + 1) & 0xffffffffLL);
}

void KIVViewer::SetViewpointEditor(KIVViewpointEditor* editor) {
  mEditor = editor;
  if (editor) editor->SetViewer(this);
}

void KIVViewer::UserMousePress(int x, int y, int buttons, int modifiers) {
  RouteButtonPress(KIVMouseEvent::Press, x, y, buttons, modifiers);
}

void KIVViewer::RouteButtonPress(int kind, int x, int y, int buttons, int modifiers) {
  const std::weak_ptr<int> self = GetLifeToken();
  const Watched foreground(mForegroundIndicator), editorAtEntry(mEditor), background(mBackgroundIndicator);
  KIVMouseEvent mouse(kind, x, y, buttons, modifiers, InputTime());

  if (mGestureOn) {
    // Another button joined the gesture: the editor restarts with the new chord.
    mPressButtons |= buttons;
    auto* editor = As<KIVViewpointEditor>(mGestureEditor.Get());
    if (!editor || editor != editorAtEntry.Check(mEditor)) return;
    KIVMouseEvent end(KIVMouseEvent::Release, x, y, mPressButtons, modifiers, mouse.GetTime());
    KIVViewerEvent endEvent(this, &end, nullptr);
    editor->EndManipulate(&endEvent);
    if (self.expired()) return;
    editor = As<KIVViewpointEditor>(mGestureEditor.Get());
    if (!editor || editor != editorAtEntry.Check(mEditor)) return;
    KIVMouseEvent chord(kind, x, y, mPressButtons, modifiers, mouse.GetTime());
    KIVViewerEvent chordEvent(this, &chord, nullptr);
    editor->BeginManipulate(&chordEvent);
    return;
  }

  KIVPickPathList paths;
  Pick(x, y, paths);
  if (self.expired()) return;
  KIVViewerEvent event(this, &mouse, paths.GetPath(0));
  mGestureOn = 1;
  mGestureDragged = 0;
  mGestureEditorPending = 0;
  mPressX = x, mPressY = y, mPressButtons = buttons, mPressModifiers = modifiers;
  mGestureForeground.Set(nullptr);
  mGestureManipulator.Set(nullptr);
  mGestureEditor.Set(nullptr);
  mGestureBackground.Set(nullptr);

  if (auto* indicator = As<KIVIndicator>(foreground.Check(mForegroundIndicator))) {
    mGestureForeground.Set(indicator);
    indicator->BeginManipulate(&event);
    return;
  }

  int navigates = 1;
  if (KIVManipulator* manipulator = ManipulatorOf(event.GetPickPath())) {
    mGestureManipulator.Set(manipulator);
    manipulator->Preactivate(&event, manipulator);
    if (self.expired()) return;
    auto* still = As<KIVManipulator>(mGestureManipulator.Get());
    if (still && still->GetDragMode() == 1) navigates = 0;
  }
  if (navigates) {
    if (auto* editor = As<KIVViewpointEditor>(editorAtEntry.Check(mEditor))) {
      mGestureEditor.Set(editor);
      if (IsRightClickButtons(buttons)) {
        mGestureEditorPending = 1;
      } else {
        editor->BeginManipulate(&event);
        if (self.expired()) return;
      }
    }
  }
  if (!mGestureManipulator.command && !mGestureEditor.command) {
    if (auto* indicator = As<KIVIndicator>(background.Check(mBackgroundIndicator))) {
      mGestureBackground.Set(indicator);
      indicator->BeginManipulate(&event);
    }
  }
}

void KIVViewer::UserMouseMove(int x, int y, int buttons, int modifiers) {
  const std::weak_ptr<int> self = GetLifeToken();
  const Watched foreground(mForegroundIndicator), editorAtEntry(mEditor), background(mBackgroundIndicator);
  KIVMouseEvent mouse(KIVMouseEvent::Move, x, y, buttons, modifiers, InputTime());
  KIVPickPathList paths;
  // A drag that the viewpoint editor owns needs no pick (the editor picks what it needs
  // itself), and a navigation should not pay one on every mouse move.
  auto* dragged = As<KIVManipulator>(mGestureManipulator.Get());
  const bool editorOwns = mGestureOn && buttons != 0 && !mGestureForeground.command &&
                          !(dragged && dragged->GetDragMode() == 1) && mGestureEditor.command;
  if (!editorOwns) Pick(x, y, paths);
  if (self.expired()) return;
  KIVViewerEvent event(this, &mouse, paths.GetPath(0));

  if (!mGestureOn || buttons == 0) {
    // Hovering: the foreground indicator, else the manipulator under the pointer, else
    // the background indicator.
    if (auto* indicator = As<KIVIndicator>(foreground.Check(mForegroundIndicator))) {
      indicator->Move(&event);
      return;
    }
    if (KIVManipulator* manipulator = ManipulatorOf(event.GetPickPath())) {
      manipulator->Move(&event, manipulator);
      return;
    }
    if (auto* indicator = As<KIVIndicator>(background.Check(mBackgroundIndicator))) indicator->Move(&event);
    return;
  }

  if (!mGestureDragged && (std::abs(x - mPressX) > kDragThreshold || std::abs(y - mPressY) > kDragThreshold))
    mGestureDragged = 1;

  if (mGestureForeground.command) {
    auto* indicator = As<KIVIndicator>(mGestureForeground.Get());
    // An indicator set during the gesture did not see its press: it waits for the next.
    if (indicator && indicator == foreground.Check(mForegroundIndicator)) indicator->Manipulate(&event);
    return;
  }
  if (auto* manipulator = As<KIVManipulator>(mGestureManipulator.Get())) {
    if (manipulator->GetDragMode() == 1) {
      manipulator->Edit(&event, manipulator);
      return;
    }
  }
  if (mGestureEditor.command) {
    auto* editor = As<KIVViewpointEditor>(mGestureEditor.Get());
    if (!editor || editor != editorAtEntry.Check(mEditor) || !mGestureDragged) return;
    if (mGestureEditorPending) {
      // The right button drags: the editor begins where the button went down.
      mGestureEditorPending = 0;
      KIVMouseEvent press(KIVMouseEvent::Press, mPressX, mPressY, mPressButtons, mPressModifiers, mouse.GetTime());
      KIVViewerEvent pressEvent(this, &press, nullptr);
      editor->BeginManipulate(&pressEvent);
      if (self.expired()) return;
      editor = As<KIVViewpointEditor>(mGestureEditor.Get());
      if (!editor || editor != editorAtEntry.Check(mEditor)) return;
    }
    editor->Manipulate(&event);
    return;
  }
  if (auto* indicator = As<KIVIndicator>(mGestureBackground.Get()))
    if (indicator == background.Check(mBackgroundIndicator)) indicator->Manipulate(&event);
}

void KIVViewer::UserMouseRelease(int x, int y, int buttons, int modifiers) {
  if (!mGestureOn) return;
  const std::weak_ptr<int> self = GetLifeToken();
  const Watched foreground(mForegroundIndicator), editorAtEntry(mEditor), background(mBackgroundIndicator);
  KIVMouseEvent mouse(KIVMouseEvent::Release, x, y, buttons, modifiers, InputTime());
  KIVPickPathList paths;
  Pick(x, y, paths);
  if (self.expired()) return;
  KIVViewerEvent event(this, &mouse, paths.GetPath(0));

  // The gesture is over before anyone hears of it, so that a callback may start another.
  mGestureOn = 0;
  if (!mGestureDragged && (std::abs(x - mPressX) > kDragThreshold || std::abs(y - mPressY) > kDragThreshold))
    mGestureDragged = 1;
  const int click = !mGestureDragged;
  const int rightClick = click && IsRightClickButtons(mPressButtons);
  const InputTarget fg = mGestureForeground, manip = mGestureManipulator, ed = mGestureEditor,
                    bg = mGestureBackground;
  const int editorBegun = ed.command && !mGestureEditorPending;
  mGestureForeground.Set(nullptr);
  mGestureManipulator.Set(nullptr);
  mGestureEditor.Set(nullptr);
  mGestureBackground.Set(nullptr);

  if (fg.command) {
    auto* indicator = As<KIVIndicator>(fg.Get());
    if (!indicator || indicator != foreground.Check(mForegroundIndicator)) return;
    indicator->EndManipulate(&event);
    if (self.expired() || !rightClick) return;
    indicator = As<KIVIndicator>(fg.Get());
    if (!indicator || indicator != foreground.Check(mForegroundIndicator)) return;
    KIVDlgContextualMenu* menu = ShowContextualMenuAt(x, y);
    if (auto* again = As<KIVIndicator>(fg.Get())) again->Context(&event, menu);
    return;
  }

  if (editorBegun) {
    if (auto* editor = As<KIVViewpointEditor>(ed.Get()))
      if (editor == editorAtEntry.Check(mEditor)) {
        editor->EndManipulate(&event);
        if (self.expired()) return;
      }
  }

  if (auto* manipulator = As<KIVManipulator>(manip.Get())) {
    if (manipulator->GetDragMode() == 1) {
      manipulator->EndEdit(&event, manipulator);
      if (self.expired()) return;
      manipulator = As<KIVManipulator>(manip.Get());
    }
    if (manipulator && click) {
      if (rightClick) {
        // Shown first, as for indicators, so that the manipulator fills a menu on screen.
        KIVDlgContextualMenu* menu = ShowContextualMenuAt(x, y);
        GetCallbackManager()->DispatchCallbacks(VIEWER_CONTEXT_MENU, nullptr, this);
        if (self.expired()) return;
        manipulator = As<KIVManipulator>(manip.Get());
        if (manipulator) manipulator->Context(&event, menu);
      } else {
        manipulator->Activate(&event, manipulator);
      }
    }
    return;
  }
  if (manip.command) return;  // its manipulator went away during the gesture

  if (rightClick) {
    ShowContextualMenuAt(x, y);
    GetCallbackManager()->DispatchCallbacks(VIEWER_CONTEXT_MENU, nullptr, this);
    return;
  }
  if (auto* indicator = As<KIVIndicator>(bg.Get()))
    if (indicator == background.Check(mBackgroundIndicator)) indicator->EndManipulate(&event);
}

KIVDlgContextualMenu* KIVViewer::ShowContextualMenuAt(int x, int y) {
  KIVDlgContextualMenu* menu = GetContextualMenu();
  int mx, my, mw, mh;
  menu->GetRectDimensions(mx, my, mw, mh);
  menu->SetRectDimensions(x, y, mw, mh);
  menu->SetVisibility(KIVDialog::VisibilityShown);
  return menu;
}

void KIVViewer::UserMouseWheel(int x, int y, int steps, int modifiers) {
  if (steps == 0) return;
  const std::weak_ptr<int> self = GetLifeToken();
  const Watched editorAtEntry(mEditor);
  KIVMouseEvent mouse(KIVMouseEvent::Wheel, x, y, 0, modifiers, InputTime(), steps);
  KIVPickPathList paths;
  Pick(x, y, paths);
  if (self.expired()) return;
  KIVViewerEvent event(this, &mouse, paths.GetPath(0));
  // Indicators have no use for the wheel: it zooms even while a tool holds the mouse.
  if (auto* editor = As<KIVViewpointEditor>(editorAtEntry.Check(mEditor))) editor->Wheel(&event);
}

void KIVViewer::UserMouseDoubleClick(int x, int y, int buttons, int modifiers) {
  const std::weak_ptr<int> self = GetLifeToken();
  // A double click stands on its own (the window reports it after a press and a release);
  // a gesture still open is closed first.
  if (mGestureOn) {
    UserMouseRelease(x, y, mPressButtons, modifiers);
    if (self.expired()) return;
  }
  const Watched foreground(mForegroundIndicator), editorAtEntry(mEditor), background(mBackgroundIndicator);
  KIVMouseEvent mouse(KIVMouseEvent::DoubleClick, x, y, buttons, modifiers, InputTime());
  KIVPickPathList paths;
  Pick(x, y, paths);
  if (self.expired()) return;
  KIVViewerEvent event(this, &mouse, paths.GetPath(0));

  if (auto* indicator = As<KIVIndicator>(foreground.Check(mForegroundIndicator))) {
    const Watched held(indicator);
    indicator->BeginManipulate(&event);
    if (self.expired()) return;
    if (auto* again = As<KIVIndicator>(held.Check(indicator)))
      if (again == foreground.Check(mForegroundIndicator)) again->EndManipulate(&event);
    return;
  }
  int navigates = 1, taken = 0;
  if (KIVManipulator* manipulator = ManipulatorOf(event.GetPickPath())) {
    const Watched held(manipulator);
    taken = 1;
    if (manipulator->GetDragMode() == 1) navigates = 0;
    manipulator->Activate(&event, manipulator);
    if (self.expired()) return;
  }
  if (navigates) {
    if (auto* editor = As<KIVViewpointEditor>(editorAtEntry.Check(mEditor))) {
      taken = 1;
      const Watched held(editor);
      editor->BeginManipulate(&event);
      if (self.expired()) return;
      if (auto* again = As<KIVViewpointEditor>(held.Check(editor)))
        if (again == editorAtEntry.Check(mEditor)) again->EndManipulate(&event);
      if (self.expired()) return;
    }
  }
  if (!taken)
    if (auto* indicator = As<KIVIndicator>(background.Check(mBackgroundIndicator))) {
      const Watched held(indicator);
      indicator->BeginManipulate(&event);
      if (self.expired()) return;
      if (auto* again = As<KIVIndicator>(held.Check(indicator))) again->EndManipulate(&event);
    }
}

void KIVViewer::UserKey(int key, int modifiers) {
  const std::weak_ptr<int> self = GetLifeToken();
  const Watched foreground(mForegroundIndicator), editorAtEntry(mEditor), background(mBackgroundIndicator);
  KIVKeyEvent keyEvent(key, modifiers, InputTime());
  KIVViewerEvent event(this, &keyEvent, nullptr);
  // Keys go down the chain until one uses it.
  if (auto* indicator = As<KIVIndicator>(foreground.Check(mForegroundIndicator))) {
    if (indicator->Key(&event)) return;
    if (self.expired()) return;
  }
  if (auto* editor = As<KIVViewpointEditor>(editorAtEntry.Check(mEditor))) {
    if (editor->Key(&event)) return;
    if (self.expired()) return;
  }
  if (auto* indicator = As<KIVIndicator>(background.Check(mBackgroundIndicator))) {
    if (indicator->Key(&event)) return;
    if (self.expired()) return;
  }
  KeyNotTaken(key, modifiers);
}

void KIVViewer::UserResize(int width, int height) {
  SetGraphicSize(width, height);
  GetCallbackManager()->DispatchCallbacks(GRAPHICWINDOW_RESIZE, nullptr, nullptr);
}
