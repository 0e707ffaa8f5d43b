#pragma once
// A window on a scene, as a model: its viewpoints, its pixel size, its look (colour map,
// view modes, background) and its drawing, which goes through a render (a back end's, or
// the base render, which decides and counts without drawing). Every Draw publishes
// VIEWER_UPDATE once it is done. A viewer is a dialog object: it sits in a parent dialog,
// and its create notification says that its window exists.
#include <functional>
#include <memory>
#include <vector>
#include "host/dialog/KIVDialog.h"
#include "host/visu/view/KIVColorMap.h"
#include "host/visu/scene/KIVPictureChange.h"
#include "host/visu/view/KIVRender.h"
#include "host/visu/view/KIVSupport.h"
class KIVViewpoint;
class KIVPickPathList;
class KIVIndicator;
class KIVViewpointEditor;
class KIVDlgContextualMenu;
class KIVViewer : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVViewer)
 public:
  static const char* const VIEWER_UPDATE;
  /// Published when a right click outside a foreground indicator has shown the contextual
  /// menu, before the picked object's manipulator adds its own: the owner fills it with
  /// what applies to the whole view (a manipulator may replace that).
  static const char* const VIEWER_CONTEXT_MENU;
  /// Published by UserResize once the new size is in place.
  static const char* const GRAPHICWINDOW_RESIZE;
  /// The graphic size until the window reports its own (sizes below 1 become 1). A null
  /// parent makes a viewer with no window (headless tests, off-screen renders).
  KIVViewer(KIVDialog* parent, const char* tag, int style, int width, int height);
  KIVViewer(int width, int height) : KIVViewer(nullptr, nullptr, 0, width, height) {}
  ~KIVViewer() override;
  /// Width and height in pixels; either pointer may be null.
  void GetGraphicSize(int* width, int* height) const;
  /// The window was resized.
  void SetGraphicSize(int width, int height);
  /// The viewpoints drawn, the main one first; not owned.
  int AddViewpoint(KIVViewpoint* viewpoint);
  int RemoveViewpoint(KIVViewpoint* viewpoint);
  /// The main viewpoint.
  KIVViewpoint* GetViewpoint() const { return mViewpoints.empty() ? nullptr : mViewpoints.front(); }
  KIVViewpoint* GetViewpoint(int i) const;
  int GetViewpointCount() const { return static_cast<int>(mViewpoints.size()); }
  /// The colours addressed by an attribute set's colour index.
  KIVColorMap& GetKIVColormap() { return mColorMap; }
  const KIVColorMap& GetKIVColormap() const { return mColorMap; }
  int SetColor(int index, float r, float g, float b) {
    const int done = mColorMap.SetColor(index, r, g, b);
    if (done) RequestRedraw();
    return done;
  }
  int GetColor(int index, float* rgb) const { return mColorMap.GetColor(index, rgb); }
  /// Viewpoints drawn over the main ones (2D overlays); not owned.
  int AddForeGroundViewpoint(KIVViewpoint* viewpoint);
  int RemoveForeGroundViewpoint(KIVViewpoint* viewpoint);
  const std::vector<KIVViewpoint*>& GetForeGroundViewpoints() const { return mForeground; }

  // Input. The User… operations are what a window does with a person's input, and what
  // headless code calls instead: pixel positions (x right, y down), KIVMouseEvent's
  // button and modifier bits, and a millisecond clock of the viewer's own. A press picks
  // the object under the pointer and hands the input, as a KIVViewerEvent, to the
  // foreground indicator when there is one; otherwise to the manipulator of the picked
  // object (see KIVManipulator) and to the viewpoint editor for drags that navigate;
  // the background indicator sees what nothing else took.
  void UserMousePress(int x, int y, int buttons, int modifiers);
  void UserMouseMove(int x, int y, int buttons, int modifiers);
  void UserMouseRelease(int x, int y, int buttons, int modifiers);
  void UserMouseWheel(int x, int y, int steps, int modifiers);
  void UserMouseDoubleClick(int x, int y, int buttons, int modifiers);
  void UserKey(int key, int modifiers);
  /// A key that no indicator or editor used: the viewer's own shortcuts. 1 when used;
  /// the base has none.
  virtual int KeyNotTaken(int key, int modifiers) {
    (void)key, (void)modifiers;
    return 0;
  }
  /// Sets the graphic size and publishes GRAPHICWINDOW_RESIZE.
  void UserResize(int width, int height);
  /// Indicators and the editor are not owned; null removes them.
  void SetForegroundIndicator(KIVIndicator* indicator) { mForegroundIndicator = indicator; }
  KIVIndicator* GetForegroundIndicator() const { return mForegroundIndicator; }
  void SetBackgroundIndicator(KIVIndicator* indicator) { mBackgroundIndicator = indicator; }
  KIVIndicator* GetBackgroundIndicator() const { return mBackgroundIndicator; }
  /// Also tells the editor which viewer it serves.
  void SetViewpointEditor(KIVViewpointEditor* editor);
  KIVViewpointEditor* GetViewpointEditor() const { return mEditor; }
  /// The menu that a right click pops up, made on first use and owned by the viewer.
  KIVDlgContextualMenu* GetContextualMenu();
  /// Preselection: objects under a still pointer are shown highlighted (on by default).
  void SetPreselectModeOff() { mPreselect = 0; }
  void SetPreselectMode(int on) { mPreselect = on ? 1 : 0; }
  int GetPreselectMode() const { return mPreselect; }
  /// Whether a 3D input device (space mouse) drives the viewer while it has the focus.
  void EnableSpaceFocus(int on) { mSpaceFocus = on ? 1 : 0; }
  int GetSpaceFocus() const { return mSpaceFocus; }
  /// The view modes, one bit each: faces shaded, their edges over them, silhouettes
  /// outlined, textures shown, hidden lines removed (faces in the background colour,
  /// lines in front only), hidden lines shown faintly besides.
  enum ViewModes { Shading = 1, Edges = 2, Outline = 4, Texture = 8, HiddenLine = 16, HiddenDashed = 32 };
  /// All the view mode bits at once.
  void SetViewMode(int mode) {
    mViewMode = mode;
    RequestRedraw();
  }
  int GetViewMode() const { return mViewMode; }
  /// One view mode (a single bit of 1, 2, 4, 8, 16, 32) on or off; other values are
  /// refused (0), and so is turning on a mode that the render cannot draw.
  int SetViewMode(int mode, int on);
  /// 1 while that view mode is on.
  int ViewMode(int mode) const { return (mViewMode & mode) != 0 && mode > 0 ? 1 : 0; }
  void SetBackgroundColor(float r, float g, float b);
  void GetBackgroundColor(float* rgb) const;
  /// The support's precisions govern culling and levels of detail.
  KIVSupport& GetSupport() { return mSupport; }
  const KIVSupport& GetSupport() const { return mSupport; }
  /// A back end's render, not owned; null returns to the base render.
  void SetRender(KIVRender* render) {
    mRender = render;
    RequestRedraw();
  }
  KIVRender* GetRender();
  /// Seconds of the last Draw: whole update, traversal, and the time since the previous
  /// update ended (0 for the first).
  void GetLastUpdateDuration(float* durations) const;
  /// Draws every viewpoint and publishes VIEWER_UPDATE.
  virtual void Draw();
  int GetDrawCount() const { return mDrawCount; }
  /// Something this viewer shows changed: one repaint is scheduled through the redraw hook
  /// unless one already is. Reps, viewpoints and the viewer's own setters call it.
  void RequestRedraw();
  /// 1 from a change until the next Draw.
  int IsRedrawPending() const { return mRedrawPending; }
  /// What a window does to schedule a repaint (Qt: update()); headless, nothing. Called
  /// once per change that finds no repaint pending.
  void SetRedrawHook(std::function<void()> hook) { mRedrawHook = std::move(hook); }
  /// Publishes VIEWER_UPDATE without drawing.
  void GenerateUpdateEvent();
  /// The objects under a pixel (x right, y down from the top-left corner), nearest first.
  /// Returns how many; the base viewer picks nothing.
  virtual int Pick(int x, int y, KIVPickPathList& paths);
 protected:
  /// 1 when the rep is seen through one of the viewer's viewpoints (under one of their
  /// reps); a very deep or wide ancestry counts as seen.
  bool Shows(const KIVRep* rep) const;
  /// 1 when the viewer draws the rep itself (a viewpoint's rep, an overlay).
  virtual bool DrawsRep(const KIVRep* rep) const;
  /// Draws one viewpoint's reps through the render.
  virtual void DrawViewpoint(KIVViewpoint& viewpoint, KIVRender& render);
 private:
  /// Hears every change of the pictures, keeps the ones this viewer shows.
  struct PictureWatch : KIVPictureChange::Listener {
    explicit PictureWatch(KIVViewer& v) : viewer(v) { KIVPictureChange::AddListener(this); }
    PictureWatch(const PictureWatch&) = delete;
    PictureWatch& operator=(const PictureWatch&) = delete;
    ~PictureWatch() { KIVPictureChange::RemoveListener(this); }
    void PictureChanged(const void* source, int kind) override;
    KIVViewer& viewer;
  };
  KIVSupport mSupport;
  int mRedrawPending = 1;  // nothing drawn yet
  int mPublishingUpdate = 0;
  std::function<void()> mRedrawHook;
  PictureWatch mWatch{*this};
  std::vector<KIVViewpoint*> mViewpoints;
  KIVColorMap mColorMap;
  std::vector<KIVViewpoint*> mForeground;
  KIVIndicator* mForegroundIndicator = nullptr;
  KIVIndicator* mBackgroundIndicator = nullptr;
  KIVViewpointEditor* mEditor = nullptr;
  KIVDlgContextualMenu* mContextMenu = nullptr;  // a dialog child: the dialog tree frees it
  int mPreselect = 1;
  int mSpaceFocus = 0;
  int mViewMode = Shading | Texture;
  float mBackground[3] = {0.2f, 0.2f, 0.25f};
  KIVRender* mRender = nullptr;
  std::unique_ptr<KIVRender> mBaseRender;
  float mDurations[3] = {0.0f, 0.0f, 0.0f};
  double mLastEnd = -1.0;
  int mDrawCount = 0;

  // ---- Input routing: state of KIVViewerInput.cpp only -------------------------------
  friend class KIVViewpointEditor;  // times its steps on the viewer's input clock
  /// A command that took part in the gesture under way, and a token that says whether it
  /// still lives: callbacks may delete indicators, editors and manipulators at any time.
  struct InputTarget {
    KIVCommand* command = nullptr;
    std::weak_ptr<int> life;
    void Set(KIVCommand* c) {
      command = c;
      life = c ? c->GetLifeToken() : std::weak_ptr<int>();
    }
    KIVCommand* Get() const { return command && !life.expired() ? command : nullptr; }
  };
  static long long InputClockNow();
  /// Milliseconds since the viewer was made (from 1), wrapping at 32 bits.
  unsigned long InputTime() const;
  void RouteButtonPress(int kind, int x, int y, int buttons, int modifiers);
  /// Shows the contextual menu with its corner at the pixel; returns it.
  KIVDlgContextualMenu* ShowContextualMenuAt(int x, int y);
  long long mInputClockOrigin = InputClockNow();
  int mGestureOn = 0;          // a press was routed and its release is still to come
  int mGestureDragged = 0;     // the pointer went more than 3 pixels from the press
  int mGestureEditorPending = 0;  // right button: the editor begins when a drag begins
  int mPressX = 0, mPressY = 0, mPressButtons = 0, mPressModifiers = 0;
  InputTarget mGestureForeground, mGestureManipulator, mGestureEditor, mGestureBackground;
  // ---- end of input routing state ----------------------------------------------------
};
