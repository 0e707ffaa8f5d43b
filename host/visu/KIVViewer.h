#pragma once
// A window on a scene, as a model: its viewpoints, its pixel size, its look (colour map,
// view modes, background) and its drawing, which goes through a render (a back end's, or
// the base render, which decides and counts without drawing). Every Draw publishes
// VIEWER_UPDATE once it is done. A viewer is a dialog object: it sits in a parent dialog,
// and its create notification says that its window exists.
#include <memory>
#include <vector>
#include "host/dialog/KIVDialog.h"
#include "host/visu/KIVRender.h"
#include "host/visu/KIVSupport.h"
class KIVViewpoint;
class KIVPickPathList;
class KIVViewer : public KIVDialog {
  KIV_DECLARE_METAOBJECT(KIVViewer)
 public:
  static const char* const VIEWER_UPDATE;
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
  /// 256 colours addressed by an attribute set's colour index, components in [0, 1].
  /// An index outside [0, 255] is refused.
  int SetColor(int index, float r, float g, float b);
  int GetColor(int index, float* rgb) const;
  /// Bits of the drawing style (bit 0 shading, bit 1 edges, bit 2 hidden lines).
  void SetViewMode(int mode) { mViewMode = mode; }
  int GetViewMode() const { return mViewMode; }
  void SetBackgroundColor(float r, float g, float b);
  void GetBackgroundColor(float* rgb) const;
  /// The support's precisions govern culling and levels of detail.
  KIVSupport& GetSupport() { return mSupport; }
  const KIVSupport& GetSupport() const { return mSupport; }
  /// A back end's render, not owned; null returns to the base render.
  void SetRender(KIVRender* render) { mRender = render; }
  KIVRender* GetRender();
  /// Seconds of the last Draw: whole update, traversal, and the time since the previous
  /// update ended (0 for the first).
  void GetLastUpdateDuration(float* durations) const;
  /// Draws every viewpoint and publishes VIEWER_UPDATE.
  virtual void Draw();
  int GetDrawCount() const { return mDrawCount; }
  /// Publishes VIEWER_UPDATE without drawing.
  void GenerateUpdateEvent();
  /// The objects under a pixel (x right, y down from the top-left corner), nearest first.
  /// Returns how many; the base viewer picks nothing.
  virtual int Pick(int x, int y, KIVPickPathList& paths);
 protected:
  /// Draws one viewpoint's reps through the render.
  virtual void DrawViewpoint(KIVViewpoint& viewpoint, KIVRender& render);
 private:
  KIVSupport mSupport;
  std::vector<KIVViewpoint*> mViewpoints;
  float mColors[256][3];
  int mViewMode = 1;
  float mBackground[3] = {0.2f, 0.2f, 0.25f};
  KIVRender* mRender = nullptr;
  std::unique_ptr<KIVRender> mBaseRender;
  float mDurations[3] = {0.0f, 0.0f, 0.0f};
  double mLastEnd = -1.0;
  int mDrawCount = 0;
};
