#include "host/visu/view/KIV3DViewer.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DRep.h"
#include "host/visu/pick/KIVPickPathList.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DViewer, KIVViewer)

const char* const KIV3DViewer::NAVIGATION_GROUND_CHANGE = "NAVIGATION_GROUND_CHANGE";

void KIV3DViewer::SetVertical(const KIVMathDirectionf& vertical) {
  mVertical = vertical;
  RequestRedraw();
  GetCallbackManager()->DispatchCallbacks(NAVIGATION_GROUND_CHANGE, nullptr, nullptr);
}

void KIV3DViewer::SetGround(const KIVMathDirectionf& vertical, const KIVMathDirectionf& north) {
  mVertical = vertical;
  mNorth = north;
  RequestRedraw();
  GetCallbackManager()->DispatchCallbacks(NAVIGATION_GROUND_CHANGE, nullptr, nullptr);
}

void KIV3DViewer::SetGround(int on, float height) {
  if (!std::isfinite(height)) return;
  mGround = on ? 1 : 0;
  mGroundHeight = height;
  RequestRedraw();
  GetCallbackManager()->DispatchCallbacks(NAVIGATION_GROUND_CHANGE, nullptr, nullptr);
}

KIV3DViewer::KIV3DViewer(KIVDialog* parent, const char* tag, int style, int width, int height)
    : KIVViewer(parent, tag, style, width, height), mMain(new KIV3DViewpoint) {
  AddViewpoint(mMain.get());
}

KIV3DViewer::~KIV3DViewer() {
  Retire();
  RemoveViewpoint(mMain.get());
}

int KIV3DViewer::SetFog(int on, float start, float end) {
  if (!(start >= 0.0f && start < end)) return 0;
  mFog = on ? 1 : 0;
  mFogStart = start;
  mFogEnd = end;
  RequestRedraw();
  return 1;
}

int KIV3DViewer::GetFog(float* start, float* end) const {
  if (start) *start = mFogStart;
  if (end) *end = mFogEnd;
  return mFog;
}

int KIV3DViewer::SetStereo(int on, float eyeDistance) {
  if (!(eyeDistance > 0.0f) || !std::isfinite(eyeDistance)) return 0;
  mStereo = on ? 1 : 0;
  mEyeDistance = eyeDistance;
  RequestRedraw();
  return 1;
}

int KIV3DViewer::GetStereo(float* eyeDistance) const {
  if (eyeDistance) *eyeDistance = mEyeDistance;
  return mStereo;
}

void KIV3DViewer::SetModelWindowSL(const KIVLightSourceSet& lights) {
  mLightSet = lights;
  mLights = lights.GetLightSourceCount();
  RequestRedraw();
}

int KIV3DViewer::SetGlobalAmbientLight(float r, float g, float b) {
  if (!std::isfinite(r) || !std::isfinite(g) || !std::isfinite(b)) return 0;
  mAmbient[0] = std::clamp(r, 0.0f, 1.0f);
  mAmbient[1] = std::clamp(g, 0.0f, 1.0f);
  mAmbient[2] = std::clamp(b, 0.0f, 1.0f);
  RequestRedraw();
  return 1;
}

void KIV3DViewer::GetGlobalAmbientLight(float* rgb) const {
  if (rgb) std::copy(mAmbient, mAmbient + 3, rgb);
}

int KIV3DViewer::ActivateStereoMode(int mode, float value) {
  if (mode < StereoAnaglyph || mode > StereoSideBySide) return 0;
  if (!SetStereo(1, value)) return 0;
  mStereoMode = mode;
  RequestRedraw();
  return 1;
}

int KIV3DViewer::IsStereoActivate(int* mode, float* value) const {
  if (mode) *mode = mStereoMode;
  if (value) *value = mEyeDistance;
  return mStereo;
}

void KIV3DViewer::SetTexture(KIVGraphicMaterial* texture) {
  mTexture = texture;
  RequestRedraw();
}

int KIV3DViewer::AddRepOverlay(KIVRep* rep) {
  if (!rep || std::find(mOverlays.begin(), mOverlays.end(), rep) != mOverlays.end()) return 0;
  mOverlays.push_back(rep);
  RequestRedraw();
  return 1;
}

int KIV3DViewer::RemoveRepOverlay(KIVRep* rep) {
  auto it = std::find(mOverlays.begin(), mOverlays.end(), rep);
  if (it == mOverlays.end()) return 0;
  mOverlays.erase(it);
  RequestRedraw();
  return 1;
}

bool KIV3DViewer::DrawsRep(const KIVRep* rep) const {
  return KIVViewer::DrawsRep(rep) || std::find(mOverlays.begin(), mOverlays.end(), rep) != mOverlays.end() ||
         std::find(mOnTop.begin(), mOnTop.end(), rep) != mOnTop.end();
}

KIV3DBoundingSphere KIV3DViewer::GetGlobalBoundingSphere() const {
  KIV3DBoundingSphere sphere;
  for (const KIVRep* rep : mMain->GetReps()) {
    if (rep->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Hidden)) continue;
    if (auto* r3 = dynamic_cast<const KIV3DRep*>(rep)) sphere += r3->GetBoundingElement();
  }
  return sphere;
}

KIVRay KIV3DViewer::ComputeRay(float x, float y) const {
  int w = 1, h = 1;
  GetGraphicSize(&w, &h);
  const float ty = std::tan(0.5f * mMain->GetAngle() * 0.017453292f);
  const float tx = ty * static_cast<float>(w) / static_cast<float>(h);
  const float px = (2.0f * (x + 0.5f) / static_cast<float>(w) - 1.0f) * tx;
  const float py = (1.0f - 2.0f * (y + 0.5f) / static_cast<float>(h)) * ty;
  const KIVMathDirectionf s = mMain->GetSightDirection(), u = mMain->GetUpDirection(), r = mMain->GetRightDirection();
  KIVMathVectorf d = s * 1.0f + r * px + u * py;
  d = d * (1.0f / std::sqrt(d * d));
  return KIVRay(mMain->GetOrigin(), d);
}

int KIV3DViewer::SetPickTolerance(int pixels) {
  if (pixels < 0 || pixels > 100) return 0;
  mPickTolerance = pixels;
  return 1;
}

int KIV3DViewer::AddRepOnTop(KIVRep* rep) {
  if (!rep || std::find(mOnTop.begin(), mOnTop.end(), rep) != mOnTop.end()) return 0;
  mOnTop.push_back(rep);
  RequestRedraw();
  return 1;
}

int KIV3DViewer::RemoveRepOnTop(KIVRep* rep) {
  auto it = std::find(mOnTop.begin(), mOnTop.end(), rep);
  if (it == mOnTop.end()) return 0;
  mOnTop.erase(it);
  RequestRedraw();
  return 1;
}

// What is drawn over the scene is grabbed before it: a handle shows in front of the model
// it stands in. Its path still starts at the top, through what holds it.
int KIV3DViewer::Pick(int x, int y, KIVPickPathList& paths) {
  paths.Clear();
  if (!mOnTop.empty() && PickAmong(mOnTopPickScene, mOnTop, x, y, paths)) {
    const KIVPickPath* hit = paths.GetPath(0);
    std::vector<KIVRep*> above;
    for (const KIVRep* r = hit->GetTopRep(); r && !r->GetParents().empty(); r = r->GetParents().front())
      above.insert(above.begin(), r->GetParents().front());
    if (above.empty()) return 1;
    auto* full = new KIVPickPath(mMain.get());
    for (KIVRep* rep : above) full->AddRep(rep);
    for (KIVRep* rep : hit->GetReps()) full->AddRep(rep);
    full->SetGlobalIntersection(hit->GetGlobalIntersection());
    full->SetDistance(hit->GetDistance());
    full->SetTriangle(hit->GetTriangle());
    paths.Clear();
    paths.AddPath(full);
    return 1;
  }
  return PickAmong(mPickScene, mMain->GetReps(), x, y, paths);
}

int KIV3DViewer::PickAmong(KIVPickScene& scene, const std::vector<KIVRep*>& roots, int x, int y,
                           KIVPickPathList& paths) {
  scene.SetRoots(roots);
  const KIVRay ray = ComputeRay(static_cast<float>(x), static_cast<float>(y));
  KIVPickScene::Result surface;
  const int onSurface = scene.Intersect(ray, surface);

  KIVPickScene::Result thin;
  int onThin = 0;
  if (scene.GetThinOccurrenceCount() > 0) {
    KIVThinPick::Camera camera;
    GetGraphicSize(&camera.width, &camera.height);
    camera.eye = mMain->GetOrigin();
    camera.sight = mMain->GetSightDirection();
    camera.up = mMain->GetUpDirection();
    camera.right = mMain->GetRightDirection();
    camera.tanY = std::tan(0.5f * mMain->GetAngle() * 0.017453292f);
    camera.tanX = camera.tanY * static_cast<float>(camera.width) / static_cast<float>(std::max(camera.height, 1));
    onThin = scene.IntersectThin(camera, static_cast<float>(x), static_cast<float>(y),
                                      static_cast<float>(mPickTolerance), ray, thin);
  }
  if (!onSurface && !onThin) return 0;
  // A line or point drawn on a face lies at the face's depth: it wins unless the face is
  // clearly in front. A transparent face never hides what is seen through it.
  bool seeThrough = false;
  for (const KIVRep* rep : surface.path)
    seeThrough = seeThrough || rep->GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Transparent);
  const bool faceInFront = onSurface && !seeThrough && surface.t < thin.t - 1e-3f * thin.t;
  const KIVPickScene::Result& result = onThin && !faceInFront ? thin : surface;
  auto* path = new KIVPickPath(mMain.get());
  for (KIVRep* rep : result.path) path->AddRep(rep);
  path->SetGlobalIntersection(result.point);
  path->SetDistance(result.t);
  path->SetTriangle(result.triangle);
  paths.AddPath(path);
  return 1;
}

int KIV3DViewer::PickNoOutside(int x1, int y1, int x2, int y2, KIVPickPathList& paths) {
  paths.Clear();
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  mPickScene.SetRoots(mMain->GetReps());
  constexpr int kGrid = 64;
  const int nx = std::min(kGrid, x2 - x1 + 1), ny = std::min(kGrid, y2 - y1 + 1);
  // Nearest hit per occurrence met by the grid.
  std::map<int, KIVSceneBVH::Hit> seen;
  for (int j = 0; j < ny; ++j)
    for (int i = 0; i < nx; ++i) {
      const float x = nx == 1 ? float(x1) : x1 + (x2 - x1) * float(i) / float(nx - 1);
      const float y = ny == 1 ? float(y1) : y1 + (y2 - y1) * float(j) / float(ny - 1);
      KIVSceneBVH::Hit hit;
      const int occurrence = mPickScene.IntersectOccurrence(ComputeRay(x, y), hit);
      if (occurrence < 0) continue;
      auto [it, fresh] = seen.emplace(occurrence, hit);
      if (!fresh && hit.t < it->second.t) it->second = hit;
    }
  int w = 1, h = 1;
  GetGraphicSize(&w, &h);
  const float ty = std::tan(0.5f * mMain->GetAngle() * 0.017453292f);
  const float tx = ty * static_cast<float>(w) / static_cast<float>(h);
  const KIVMathDirectionf s = mMain->GetSightDirection(), u = mMain->GetUpDirection(), r = mMain->GetRightDirection();
  std::vector<std::pair<float, int>> kept;
  for (const auto& [occurrence, hit] : seen) {
    auto* leaf = dynamic_cast<const KIV3DRep*>(mPickScene.GetOccurrencePath(occurrence).back());
    if (!leaf) continue;
    const KIV3DBoundingSphere world = leaf->GetBoundingElement() * mPickScene.GetOccurrenceMatrix(occurrence);
    const KIVMathVectorf rel = world.GetCenter() - mMain->GetOrigin();
    const float z = rel.x * s.x + rel.y * s.y + rel.z * s.z;
    if (z <= world.GetRadius()) continue;  // around or behind the eye: not wholly inside
    const float cx = 0.5f * w * (1.0f + (rel.x * r.x + rel.y * r.y + rel.z * r.z) / (z * tx)) - 0.5f;
    const float cy = 0.5f * h * (1.0f - (rel.x * u.x + rel.y * u.y + rel.z * u.z) / (z * ty)) - 0.5f;
    const float pr = world.GetRadius() / (z * ty) * 0.5f * h;
    if (cx - pr >= x1 && cx + pr <= x2 && cy - pr >= y1 && cy + pr <= y2) kept.emplace_back(hit.t, occurrence);
  }
  std::sort(kept.begin(), kept.end());
  for (const auto& [t, occurrence] : kept) {
    auto* path = new KIVPickPath(mMain.get());
    for (KIVRep* rep : mPickScene.GetOccurrencePath(occurrence)) path->AddRep(rep);
    const auto& hit = seen[occurrence];
    path->SetGlobalIntersection(hit.point);
    path->SetDistance(hit.t);
    path->SetTriangle(hit.triangle);
    paths.AddPath(path);
  }
  return paths.GetSize();
}

void KIV3DViewer::DrawViewpoint(KIVViewpoint& viewpoint, KIVRender& render) {
  auto* vp3 = dynamic_cast<KIV3DViewpoint*>(&viewpoint);
  render.SetCamera(vp3);
  const bool main = &viewpoint == mMain.get() && !mOnTop.empty();
  if (main) render.SetDeferred(&mOnTop);
  KIVViewer::DrawViewpoint(viewpoint, render);
  render.SetDeferred(nullptr);
  if (main) {
    render.BeginOnTop();
    for (KIVRep* rep : mOnTop)
      if (rep) render.Traverse(*rep, KIV3DBagRep::GetPlacementAbove(rep));
    render.EndOnTop();
  }
  render.SetCamera(nullptr);
}
