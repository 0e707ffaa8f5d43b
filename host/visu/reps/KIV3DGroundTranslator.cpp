#include "host/visu/reps/KIV3DGroundTranslator.h"

#include <cmath>

#include "host/visu/scene/KIV3DCustomRep.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DMarkerGP.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/reps/KIVGroundRep.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/pick/KIVPickPath.h"
#include "host/visu/interact/KIVViewerEvent.h"

KIV_IMPLEMENT_METAOBJECT(KIV3DGroundTranslator, KIV3DManipulator)

KIV3DGroundTranslator::KIV3DGroundTranslator(KIV3DViewer* viewer, const char* name, KIVGroundRep* ground)
    // The base is given no rep: the ground may be deleted first, and attachment is checked
    // here against its life token.
    : KIV3DManipulator(viewer, name, nullptr, TranslateAlongDirection, TranslateAlongDirection), mGround(ground) {
  InhibAutomaticActivation();
  if (ground) {
    mGroundLife = ground->GetLifeToken();
    mOrigin = ground->GetOrigin();
    ground->SetManipulator(this);
    ground->SetPickable(1);
  }
}

KIV3DGroundTranslator::~KIV3DGroundTranslator() {
  RemoveRepFurtive(nullptr);
  if (KIVGroundRep* ground = GetGround(); ground && ground->GetManipulator() == this) {
    ground->SetManipulator(nullptr);
    ground->SetPickable(0);
  }
}

KIVGroundRep* KIV3DGroundTranslator::GetGround() const { return mGroundLife.expired() ? nullptr : mGround; }

KIVMathPointf KIV3DGroundTranslator::GetNewOrigin() const {
  const KIVGroundRep* ground = GetGround();
  return ground ? ground->GetOrigin() : mOrigin;
}

float KIV3DGroundTranslator::HeightForPixels(const KIV3DViewer& viewer, float distance, float pixels) {
  int w = 1, h = 1;
  viewer.GetGraphicSize(&w, &h);
  const float halfAngle = 0.5f * viewer.GetMain3DViewpoint()->GetAngle() * 0.017453292f;
  return pixels * 2.0f * distance * std::tan(halfAngle) / static_cast<float>(h);
}

int KIV3DGroundTranslator::Preactivate(KIVNotification* event, KIVManipulator* from) {
  auto* viewerEvent = dynamic_cast<KIVViewerEvent*>(event);
  auto* viewer = viewerEvent ? dynamic_cast<KIV3DViewer*>(viewerEvent->GetViewer()) : nullptr;
  const KIVMouseEvent* mouse = GetMouseEvent(event);
  KIVGroundRep* ground = GetGround();
  mDrag = viewer && mouse && ground ? 1 : 0;
  if (mDrag) {
    mPressY = mouse->GetY();
    mStartOrigin = ground->GetOrigin();
    const KIVMathPointf eye = viewer->GetMain3DViewpoint()->GetOrigin();
    KIVMathPointf grabbed = mStartOrigin;
    if (viewerEvent->GetPickPath()) grabbed = viewerEvent->GetPickPath()->GetGlobalIntersection();
    mDistance = eye.DistanceTo(grabbed);
    if (!(mDistance > 0.0f) || !std::isfinite(mDistance)) mDistance = viewer->GetMain3DViewpoint()->GetFocusDistance();
  }
  // The base records the press for its notifications; its own drag is not used.
  return KIV3DManipulator::Preactivate(event, from);
}

int KIV3DGroundTranslator::Edit(KIVNotification* event, KIVManipulator* from) {
  auto* viewerEvent = dynamic_cast<KIVViewerEvent*>(event);
  auto* viewer = viewerEvent ? dynamic_cast<KIV3DViewer*>(viewerEvent->GetViewer()) : nullptr;
  const KIVMouseEvent* mouse = GetMouseEvent(event);
  KIVGroundRep* ground = GetGround();
  if (mDrag && viewer && mouse && ground) {
    // Up on screen (y decreasing) raises the ground.
    const float height = HeightForPixels(*viewer, mDistance, static_cast<float>(mPressY - mouse->GetY()));
    const KIVMathPointf origin = mStartOrigin + ground->GetVertical() * height;
    ground->SetOrigin(origin);
    mOrigin = origin;
    KIVMathVectorf d1, d2, d3;
    KIVMathPointf o;
    GetPosition().GetComponents(d1, d2, d3, o);
    SetPosition(KIV4x4Matrix(d1, d2, d3, origin));
    ShowFurtive(viewer, mStartOrigin, origin);
  }
  return KIVManipulator::Edit(event, from);
}

int KIV3DGroundTranslator::EndEdit(KIVNotification* event, KIVManipulator* from) {
  mDrag = 0;
  RemoveRepFurtive(nullptr);
  return KIV3DManipulator::EndEdit(event, from);
}

int KIV3DGroundTranslator::Activate(KIVNotification* event, KIVManipulator* from) {
  mDrag = 0;
  RemoveRepFurtive(nullptr);
  return KIV3DManipulator::Activate(event, from);  // the automatic high-light is inhibited
}

void KIV3DGroundTranslator::ShowFurtive(KIV3DViewer* viewer, const KIVMathPointf& from, const KIVMathPointf& to) {
  if (mFurtive && viewer != mFurtiveViewer) RemoveRepFurtive(nullptr);
  if (!mFurtive) {
    mFurtive = std::make_unique<KIV3DCustomRep>();
    KIVGraphicAttributeSet attributes;
    attributes.SetRGBA(255, 200, 0, 255);
    attributes.SetFlag(KIVGraphicAttributeSet::NotPickable, 1);
    mFurtive->SetGraphicAttributeSet(attributes);
    mFurtive->AddGP(new KIV3DLineGP);
    mFurtive->AddGP(new KIV3DMarkerGP(nullptr, 0, KIV3DMarkerGP::Cross, 9.0f));
    mFurtiveViewer = viewer;
    mFurtiveViewerLife = viewer->GetLifeToken();
    viewer->GetMain3DViewpoint()->AddRep(mFurtive.get());
  }
  const float segment[6] = {from.x, from.y, from.z, to.x, to.y, to.z};
  static_cast<KIV3DLineGP*>(mFurtive->GetGP(0))->SetPoints(segment, 6);
  static_cast<KIV3DMarkerGP*>(mFurtive->GetGP(1))->SetPoints(segment, 6);
  mFurtive->GeometryModified();
}

void KIV3DGroundTranslator::RemoveRepFurtive(KIV3DViewer* viewer) {
  if (!mFurtive) return;
  if (viewer && viewer != mFurtiveViewer) return;  // shown in another viewer
  if (mFurtiveViewer && !mFurtiveViewerLife.expired()) mFurtiveViewer->GetMain3DViewpoint()->RemoveRep(mFurtive.get());
  mFurtive.reset();
  mFurtiveViewer = nullptr;
}
