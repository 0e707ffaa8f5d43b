#include "host/visu/view/KIVViewer.h"

#include <algorithm>
#include <chrono>

#include "host/core/KIVCallbackManager.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/scene/KIVRep.h"
#include "host/visu/view/KIVViewpoint.h"

KIV_IMPLEMENT_METAOBJECT(KIVViewer, KIVDialog)

const char* const KIVViewer::VIEWER_UPDATE = "VIEWER_UPDATE";
const char* const KIVViewer::VIEWER_CONTEXT_MENU = "VIEWER_CONTEXT_MENU";
const char* const KIVViewer::GRAPHICWINDOW_RESIZE = "GRAPHICWINDOW_RESIZE";

namespace {
double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

KIVViewer::KIVViewer(KIVDialog* parent, const char* tag, int style, int width, int height)
    : KIVDialog(parent, tag, style), mSupport(width, height) {}

KIVViewer::~KIVViewer() { Retire(); }

void KIVViewer::GetGraphicSize(int* width, int* height) const {
  if (width) *width = mSupport.GetWidth();
  if (height) *height = mSupport.GetHeight();
}

void KIVViewer::SetGraphicSize(int width, int height) {
  mSupport.SetSize(width, height);
  RequestRedraw();
}

void KIVViewer::RequestRedraw() {
  if (mRedrawPending) return;
  mRedrawPending = 1;
  if (mRedrawHook) mRedrawHook();
}

bool KIVViewer::Shows(const KIVRep* rep) const {
  if (!rep) return true;
  // Up the parents, breadth first, against the viewpoints' reps; a shared sub-tree may be
  // reached twice, which only costs time, so the walk is bounded.
  std::vector<const KIVRep*> pending{rep};
  for (std::size_t i = 0; i < pending.size(); ++i) {
    if (i > 4096) return true;
    const KIVRep* r = pending[i];
    if (DrawsRep(r)) return true;
    for (const KIVRep* parent : r->GetParents()) pending.push_back(parent);
  }
  return false;
}

bool KIVViewer::DrawsRep(const KIVRep* rep) const {
  for (const std::vector<KIVViewpoint*>* list : {&mViewpoints, &mForeground})
    for (const KIVViewpoint* viewpoint : *list)
      for (const KIVRep* shown : viewpoint->GetReps())
        if (shown == rep) return true;
  return false;
}

void KIVViewer::PictureWatch::PictureChanged(const void* source, int kind) {
  if (viewer.mRedrawPending) return;
  if (kind == KIVPictureChange::Viewpoint) {
    for (const std::vector<KIVViewpoint*>* list : {&viewer.mViewpoints, &viewer.mForeground})
      for (const KIVViewpoint* viewpoint : *list)
        if (viewpoint == source) return viewer.RequestRedraw();
    return;
  }
  if (!viewer.mPublishingUpdate && viewer.Shows(static_cast<const KIVRep*>(source))) viewer.RequestRedraw();
}

int KIVViewer::AddViewpoint(KIVViewpoint* viewpoint) {
  if (!viewpoint || std::find(mViewpoints.begin(), mViewpoints.end(), viewpoint) != mViewpoints.end()) return 0;
  mViewpoints.push_back(viewpoint);
  RequestRedraw();
  return 1;
}

int KIVViewer::RemoveViewpoint(KIVViewpoint* viewpoint) {
  auto it = std::find(mViewpoints.begin(), mViewpoints.end(), viewpoint);
  if (it == mViewpoints.end()) return 0;
  mViewpoints.erase(it);
  RequestRedraw();
  return 1;
}

KIVViewpoint* KIVViewer::GetViewpoint(int i) const {
  return i >= 0 && i < GetViewpointCount() ? mViewpoints[i] : nullptr;
}

int KIVViewer::SetViewMode(int mode, int on) {
  if (mode <= 0 || mode > 32 || (mode & (mode - 1)) != 0) return 0;
  // A back end that cannot draw a mode refuses to turn it on.
  if (on && mRender && !mRender->AcceptsViewMode(mode)) return 0;
  mViewMode = on ? mViewMode | mode : mViewMode & ~mode;
  RequestRedraw();
  return 1;
}

KIVDlgContextualMenu* KIVViewer::GetContextualMenu() {
  if (!mContextMenu) mContextMenu = new KIVDlgContextualMenu(this, "ViewerContextualMenu");
  return mContextMenu;
}

int KIVViewer::AddForeGroundViewpoint(KIVViewpoint* viewpoint) {
  if (!viewpoint || std::find(mForeground.begin(), mForeground.end(), viewpoint) != mForeground.end()) return 0;
  mForeground.push_back(viewpoint);
  RequestRedraw();
  return 1;
}

int KIVViewer::RemoveForeGroundViewpoint(KIVViewpoint* viewpoint) {
  auto it = std::find(mForeground.begin(), mForeground.end(), viewpoint);
  if (it == mForeground.end()) return 0;
  mForeground.erase(it);
  RequestRedraw();
  return 1;
}

void KIVViewer::SetBackgroundColor(float r, float g, float b) {
  mBackground[0] = std::clamp(r, 0.0f, 1.0f);
  mBackground[1] = std::clamp(g, 0.0f, 1.0f);
  mBackground[2] = std::clamp(b, 0.0f, 1.0f);
  RequestRedraw();
}

void KIVViewer::GetBackgroundColor(float* rgb) const {
  if (rgb) std::copy(mBackground, mBackground + 3, rgb);
}

KIVRender* KIVViewer::GetRender() {
  if (mRender) return mRender;
  if (!mBaseRender) mBaseRender = std::make_unique<KIVRender>(mSupport);
  mBaseRender->SetSupport(mSupport);  // it follows size and precision changes
  return mBaseRender.get();
}

void KIVViewer::GetLastUpdateDuration(float* durations) const {
  if (durations) std::copy(mDurations, mDurations + 3, durations);
}

void KIVViewer::Draw() {
  const double start = Now();
  KIVRender* render = GetRender();
  render->SetViewModeBits(mViewMode);
  render->ResetCounts();
  // What changes while drawing is the frame's own doing, not a reason to draw again.
  KIVPictureChange::BeginDraw();
  render->BeginFrame(*this);
  for (KIVViewpoint* viewpoint : mViewpoints) DrawViewpoint(*viewpoint, *render);
  render->EndFrame(*this);
  KIVPictureChange::EndDraw();
  const double end = Now();
  mDurations[0] = static_cast<float>(end - start);
  mDurations[1] = mDurations[0];
  mDurations[2] = mLastEnd < 0.0 ? 0.0f : static_cast<float>(start - mLastEnd);
  mLastEnd = end;
  ++mDrawCount;
  mRedrawPending = 0;
  // Subscribers that show the frame's figures (a frame-time gauge) change reps of this
  // viewer: that is the frame's doing too, or a still scene would never stop drawing. A
  // viewpoint moved from here (the next step of an animation) does ask for a frame.
  mPublishingUpdate = 1;
  GenerateUpdateEvent();
  mPublishingUpdate = 0;
}

void KIVViewer::DrawViewpoint(KIVViewpoint& viewpoint, KIVRender& render) {
  for (KIVRep* rep : viewpoint.GetReps()) render.Traverse(*rep);
}

void KIVViewer::GenerateUpdateEvent() { GetCallbackManager()->DispatchCallbacks(VIEWER_UPDATE, nullptr, nullptr); }

int KIVViewer::Pick(int, int, KIVPickPathList& paths) {
  paths.Clear();
  return 0;
}
