#include "viewer/NavViewerExtand.h"

#include <sys/times.h>
#include <unistd.h>

#include <cfloat>
#include <cstdio>
#include <iostream>
#include <new>
#include <algorithm>
#include <vector>

#include "foundation/NavMenuGeneric.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgToolBar.h"
#include "host/dialog/KIVDlgWindow.h"
#include "foundation/NavPaletteViewerSetting.h"
#include "host/visu/reps/KIV2DDashboardRep.h"
#include "host/visu/view/KIVLightSourceSet.h"
#include "host/visu/math/KIVMathAxis.h"
#include "host/visu/math/KIVMathTransformation.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "measure/NavDistanceViewerUI.h"
#include "mover/NavSelectManipulator.h"
#include "navigation/NavToolsVisu.h"
#include "navigation/NavViewerViewpointEditor.h"
#include "viewer/NavInterfaceInfoRep.h"
#include "viewer/NavQualitySpeedEditPanel.h"
#include "viewer/NavReferenceViewUI.h"

#define NAV_VIEWER_EVENT(EVENT) \
  const char* NavViewerExtand::EVENT() { return NavViewerExtand##EVENT##Evt::ClassName(); }
NAV_VIEWER_EVENT(VIEWER_SETTING_MODIFIED)
NAV_VIEWER_EVENT(VIEWER_FOREGROUND_CHANGE)
NAV_VIEWER_EVENT(NAVIGATION_GLOBAL_MODE_CHANGE)
NAV_VIEWER_EVENT(NAVIGATION_SPECIAL_MODE_CHANGE)
NAV_VIEWER_EVENT(NAVIGATION_TOOLS_BARRE_STATE)
NAV_VIEWER_EVENT(NAVIGATION_GROUND_STATE)
NAV_VIEWER_EVENT(NAVIGATION_PERFO_STATE)
NAV_VIEWER_EVENT(NAVIGATION_AXIS_STATE)
NAV_VIEWER_EVENT(NAVIGATION_DASHBOARD_STATE)
NAV_VIEWER_EVENT(NAVIGATION_LIGHT_STATE)
NAV_VIEWER_EVENT(NAVIGATION_STEREO_STATE)
NAV_VIEWER_EVENT(NAVIGATION_CLIP_STATE)
NAV_VIEWER_EVENT(NAVIGATION_QUALITY_STATE)
NAV_VIEWER_EVENT(NAVIGATION_REP_TREE_STATE)
NAV_VIEWER_EVENT(NAVIGATION_REFERENCE_STATE)
NAV_VIEWER_EVENT(NAVIGATION_SAVE_VRML_STATE)
NAV_VIEWER_EVENT(NAVIGATION_CAPTURE_STATE)
NAV_VIEWER_EVENT(NAVIGATION_DISTANCE_STATE)
NAV_VIEWER_EVENT(NAVIGATION_ANNOTATION_STATE)
NAV_VIEWER_EVENT(NAVIGATION_PALETTE_STATE)
NAV_VIEWER_EVENT(NAVIGATION_EXTERNAL_STATE)
#undef NAV_VIEWER_EVENT

NavViewerExtand** NavViewerExtand::saInstanceReferenced = nullptr;
int NavViewerExtand::snbInstanceReferenced = 0;
int NavViewerExtand::snbInstanceReferencedMax = 50;

namespace {
const char* const kListError = "ERROR - NavViewerExtand: Enable to allocate List";

// Quality mode bits 2 to 64 and the host view modes they stand for.
constexpr int kQualityViewBits[6] = {2, 4, 8, 16, 32, 64};
constexpr int kHostViewModes[6] = {2, 8, 1, 4, 16, 32};

template <class T>
T* NewArray(int count) {
  return new (std::nothrow) T[count > 0 ? count : 1]();
}
}  // namespace

NavViewerExtand::NavViewerExtand(KIVDialog* parent, const KIVString& name, int options, unsigned long style,
                                 const int width, const int height)
    : KIV3DViewer(parent, name.CastToCharPtr(), static_cast<int>(style), width, height),
      mParentDialog(parent),
      mOptions(options) {
  // The create notification goes to the father command: listen there for our own.
  KIVCommand* father = GetFather();
  if (father)
    mCreateCB = father->AddAnalyseNotificationCB(this, GetCreateNotification(), nullptr,
                                                 [this](KIVCommand* s, KIVNotification* n, void* d) {
                                                   CreateViewerCB(s, n, d);
                                                 },
                                                 nullptr);
  // The viewer's own defaults over the record's undefined ones.
  NavReferenceViewSetting& reference = mCurrentSetting.referenceView;
  reference.backgroundRed = reference.backgroundGreen = reference.backgroundBlue = 0.0f;
  reference.collisionDistance = 0.0f;
  reference.referencePlane = 1;
  reference.gravity = 2;
  reference.collisionCheck = 0;
  NavQualitySpeedSetting& quality = mCurrentSetting.qualitySpeed;
  quality.modeBits = 9;
  quality.staticSag = 1.0f;
  quality.dynamicSag = 4.0f;
  quality.staticPixelCulling = 0.5f;
  quality.dynamicPixelCulling = 12.0f;
  mCurrentSetting.navigationStyle = 7;
  mPendingViewpoint = new Nav3DViewpointLight;
  SetPreselectModeOff();
  GetMain3DViewpoint()->SetGravity(2);

  mForeground2D = new KIV2DViewpoint;
  mForeground2D->SetMode(1);
  AddForeGroundViewpoint(mForeground2D);

  KIV3DViewpoint* main = GetMain3DViewpoint();
  if (mOptions & (kOptionHistory | kOptionQuality)) {
    mAnimationStartedCB = AddCallback(main, KIVViewpoint::VIEWPOINT_ANIMATION_STARTED,
                                      &NavViewerExtand::ViewpointChangedCB, nullptr);
    mAnimationStoppedCB = AddCallback(main, KIVViewpoint::VIEWPOINT_ANIMATION_STOPED,
                                      &NavViewerExtand::ViewpointChangedCB, nullptr);
  }
  if (mOptions & kOptionHistory) {
    mModifiedCB = AddCallback(main, KIVViewpoint::VIEWPOINT_MODIFIED, &NavViewerExtand::ViewpointChangedCB, nullptr);
    mHistoryCapacity = 50;
  }

  mIndicators = NewArray<KIVIndicator*>(10);
  if (mIndicators) {
    mIndicatorCapacity = 10;
  } else {
    std::cerr << kListError << std::endl;
    mIndicatorCapacity = 0;
  }

  if (!saInstanceReferenced) {
    saInstanceReferenced = NewArray<NavViewerExtand*>(snbInstanceReferencedMax);
    if (!saInstanceReferenced) {
      std::cerr << kListError << std::endl;
      snbInstanceReferencedMax = 0;
    }
  }
  ReferenceInstance(this, 0);

  mMasterRoot = new KIV3DBagRep;
  KIVViewer::GetViewpoint()->AddRep(mMasterRoot);
  mOfficialRoot = new KIV3DBagRep;
  mTemporyRoot = new KIV3DBagRep;
  mOcclusionBag = new KIV3DBagRep;
  mMasterRoot->AddChild(mOfficialRoot);
  mMasterRoot->AddChild(mTemporyRoot);
  mMasterRoot->AddChild(mOcclusionBag);
  // What tools put in the tempory root (handles, feedback) shows over the scene.
  AddRepOnTop(mTemporyRoot);
  mTwoDRoot = new KIV2DBagRep;
  // Overlays are never culled: the 2D root bounds everything.
  mTwoDRoot->SetBoundingBox(-FLT_MAX, -FLT_MAX, FLT_MAX, FLT_MAX);
  mForeground2D->AddRep(mTwoDRoot);

  if (mOptions & kOptionAnnotation) {
    mAnnotationRoot = new KIV3DBagRep;
    mMasterRoot->AddChild(mAnnotationRoot);
    mSelectAnnotation = new NavSelectManipulator(this, mAnnotationRoot);
    mContextCB = AddAnalyseNotificationCB(mSelectAnnotation, KIVManipulator::GetKIVContext(),
                                          &NavViewerExtand::ActionPanelCB, nullptr);
    mContextMenu = new NavMenuGeneric(this, nullptr, "ContextMenuAnotation", -1, nullptr, 0);
    mMenuCB = AddAnalyseNotificationCB(mContextMenu, mContextMenu->GetActionMenuNotification(),
                                       &NavViewerExtand::ActionPanelCB, nullptr);
    mContextMenu->SetRacineMenu(GetContextualMenu());
    GetContextualMenu()->SetTitle(KIVUnicodeString("Option"));
  }
  if (mOptions & kOptionSelectOfficial) mSelectOfficial = new NavSelectManipulator(this, mOfficialRoot);
  if (mOptions & kOptionSelectTempory) mSelectTempory = new NavSelectManipulator(this, mTemporyRoot);

  if (snbInstanceReferenced > 1) {
    NavViewerExtand* first = saInstanceReferenced[0];
    float rgb[3];
    for (int i = 0; i < 255; ++i)
      if (first->GetKIVColormap().GetColor(i, rgb)) GetKIVColormap().SetColor(i, rgb[0], rgb[1], rgb[2]);
    SetInterfaceInfoRep(first->GetInterfaceInfoRep(), 0);
  }

  int& modes = quality.modeBits;
  for (int i = 0; i < 6; ++i) KIVViewer::SetViewMode(kHostViewModes[i], (modes & kQualityViewBits[i]) != 0);
  for (int i = 0; i < 6; ++i)
    if ((modes & kQualityViewBits[i]) && !ViewMode(kHostViewModes[i])) modes &= ~kQualityViewBits[i];

  EnableSpaceFocus(1);
}

NavViewerExtand::~NavViewerExtand() {
  SetDashboardState(0);
  SetGroundState(0);
  SetPerfoState(0);
  SetClippingEditorState(0);
  SetLightEditorState(0);
  SetStereoEditorState(0);
  SetQualityLodEditorState(0);
  SetGraphicRepTreeState(0);
  SetReferenceEditorState(0);
  SetExportToVRMLFile(0);
  SetCaptureEditorState(0);
  SetDistanceEditorState(0);
  SetAnnotationEditorState(0);
  SetAxisState(0);
  SetSpecialNavigation(mSpecialMode, 0, -1);
  SetToolsBarreState(0, -1);
  SetAnimationViewpointState(0, static_cast<NavViewpointAnimation*>(nullptr));
  SetNavigationPaletteState(0);
  SetViewpointExternalState(0);
  if (mNavigationEditor) {
    if (GetViewpointEditor() == mNavigationEditor) SetViewpointEditor(nullptr);
    delete mNavigationEditor;
    mNavigationEditor = nullptr;
  }
  delete mSelectTempory;
  delete mSelectOfficial;
  if (mSelectAnnotation) {
    RemoveAnalyseNotificationCB(mContextCB);
    delete mSelectAnnotation;
    RemoveAnalyseNotificationCB(mMenuCB);
    delete mContextMenu;
  }
  delete[] mIndicators;
  mIndicators = nullptr;
  mIndicatorCount = mIndicatorCapacity = 0;
  KIVViewer::SetForegroundIndicator(nullptr);
  KIVViewer::GetViewpoint()->RemoveRep(mMasterRoot);
  RemoveRepOnTop(mTemporyRoot);
  mMasterRoot->Destroy();
  mForeground2D->RemoveRep(mTwoDRoot);
  delete mTwoDRoot;
  RemoveForeGroundViewpoint(mForeground2D);
  delete mForeground2D;
  KIV3DViewpoint* main = GetMain3DViewpoint();
  if (mModifiedCB) RemoveCallback(main, mModifiedCB);
  if (mAnimationStartedCB) RemoveCallback(main, mAnimationStartedCB);
  if (mAnimationStoppedCB) RemoveCallback(main, mAnimationStoppedCB);
  if (mGroundCB) RemoveCallback(this, mGroundCB);
  if (mCreateCB && GetFather()) GetFather()->RemoveAnalyseNotificationCB(mCreateCB);
  if (SetSpecialNavigation(-1, -1, -1)) SetSpecialNavigation(SetSpecialNavigation(-1, -1, -1), 0, -1);
  ReferenceInstance(this, 0);
  delete mPendingViewpoint;
  delete mPendingSetting;
  delete mGroundOrigin;
  for (Nav3DViewpointLight*& entry : mHistory) {
    delete entry;
    entry = nullptr;
  }
}

int NavViewerExtand::ReferenceInstance(NavViewerExtand* viewer, int mode) {
  int found = -1;
  for (int i = 0; i < snbInstanceReferenced && found < 0; ++i)
    if (saInstanceReferenced[i] == viewer) found = i;
  if (mode == 1) return found >= 0 ? 1 : 0;
  if (found >= 0) {
    for (int i = found; i + 1 < snbInstanceReferenced; ++i) saInstanceReferenced[i] = saInstanceReferenced[i + 1];
    --snbInstanceReferenced;
    return 1;
  }
  if (snbInstanceReferenced >= snbInstanceReferencedMax) {
    const int capacity = snbInstanceReferencedMax > 0 ? 2 * snbInstanceReferencedMax : 50;
    NavViewerExtand** grown = NewArray<NavViewerExtand*>(capacity);
    if (!grown) {
      std::cerr << kListError << std::endl;
    } else {
      for (int i = 0; i < snbInstanceReferenced; ++i) grown[i] = saInstanceReferenced[i];
      delete[] saInstanceReferenced;
      saInstanceReferenced = grown;
      snbInstanceReferencedMax = capacity;
    }
  }
  if (snbInstanceReferenced < snbInstanceReferencedMax && saInstanceReferenced) {
    saInstanceReferenced[snbInstanceReferenced++] = viewer;
    return 1;
  }
  return 0;
}

int NavViewerExtand::SetLockUpdateAllViewer(int lock) {
  for (int i = 0; i < snbInstanceReferenced; ++i) saInstanceReferenced[i]->LockDraw(lock != 0 ? 1 : 0);
  return snbInstanceReferenced;
}

void NavViewerExtand::UpdateAllViewer() {
  // A draw may create or close viewers: walk a copy.
  std::vector<NavViewerExtand*> all(saInstanceReferenced, saInstanceReferenced + snbInstanceReferenced);
  for (NavViewerExtand* v : all)
    if (ReferenceInstance(v, 1)) v->Draw();
}

void NavViewerExtand::SetColorMap(const int index, const float r, const float g, const float b) {
  for (int i = 0; i < snbInstanceReferenced; ++i) saInstanceReferenced[i]->GetKIVColormap().SetColor(index, r, g, b);
}

void NavViewerExtand::GlobalUpdateDiffered(KIVCommand* viewer, int, void*) {
  auto* v = static_cast<NavViewerExtand*>(viewer);
  if (!ReferenceInstance(v, 1)) {
    KIVApplication::MainApplication()->RemoveSubscribe(2, viewer);
    return;
  }
  v->SetAnimationViewpointState(0);
}

int NavViewerExtand::LockDraw(int lock) {
  if (lock != -1 && lock != mDrawLock) mDrawLock = lock;
  return mDrawLock;
}

void NavViewerExtand::Draw() {
  if (mDrawLock != 0) return;
  // The window that holds the viewer: a hidden one is not drawn.
  KIVDialog* window = mParentDialog;
  for (KIVDialog* d = mParentDialog; d; d = d->GetDialogParent())
    if (d->IsAKindOf(KIVDlgWindow::ClassName())) {
      window = d;
      break;
    }
  if (window && window->GetVisibility() != KIVDialog::VisibilityShown) return;
  if (GetQualityModes() == -1 || !(GetQualityModes() & kQualityOcclusion)) {
    KIV3DViewer::Draw();
    return;
  }
  DrawOcclusion();
  KIV3DViewer::Draw();
}

void NavViewerExtand::DrawOcclusion() {
  int w = 0, h = 0;
  GetGraphicSize(&w, &h);
  const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
  struct tms before {};
  times(&before);
  ClearOcclusion();
  KIVPickPathList picked;
  const int cx = static_cast<int>(0.5 * w), cy = static_cast<int>(0.5 * h);
  const int hx = static_cast<int>(0.5 * w), hy = static_cast<int>(0.5 * h);
  PickNoOutside(cx - hx, cy - hy, cx + hx, cy + hy, picked);
  mOfficialRoot->SetShowMode(1, 0);
  std::vector<KIVRepPath*> kept;
  kept.reserve(picked.GetSize());
  for (int i = 0; i < picked.GetSize(); ++i) {
    KIVPickPath* path = picked.GetPath(i);
    if (path->GetViewpoint() != GetMain3DViewpoint()) continue;
    path->InitToTopRep();
    path->NextChildRep();
    if (path->NextChildRep() == mOfficialRoot) kept.push_back(path);
  }
  if (!kept.empty())
    NavToolsVisu::CloneBasicRep(mOcclusionBag, 0, 0, kept.data(), static_cast<int>(kept.size()), 0, nullptr);
  mLastVisible = static_cast<int>(kept.size());
  struct tms after {};
  times(&after);
  std::printf("nb Objet visible:  %d / System : %f s / User : %f s\n\n", mLastVisible,
              static_cast<double>(after.tms_stime - before.tms_stime) / ticks,
              static_cast<double>(after.tms_utime - before.tms_utime) / ticks);
}

void NavViewerExtand::AddRep(KIVRep* rep, int kind) {
  if (!rep) return;
  switch (kind) {
    case kOfficialRoot: mOfficialRoot->AddChild(rep); break;
    case kTemporyRoot: mTemporyRoot->AddChild(rep); break;
    case kAnnotationRoot:
      if (mAnnotationRoot) mAnnotationRoot->AddChild(rep);
      break;
    case kTwoDRoot: mTwoDRoot->AddChild(rep); break;
    default: break;
  }
}

void NavViewerExtand::RemoveRep(KIVRep* rep, int kind) {
  if (!rep) return;
  switch (kind) {
    case kOfficialRoot: mOfficialRoot->RemoveChild(rep); break;
    case kTemporyRoot: mTemporyRoot->RemoveChild(rep); break;
    case kAnnotationRoot:
      if (mAnnotationRoot) mAnnotationRoot->RemoveChild(rep);
      break;
    case kTwoDRoot: mTwoDRoot->RemoveChild(rep); break;
    default: break;
  }
}

KIVRep* NavViewerExtand::GetRootRep(int kind) const {
  switch (kind) {
    case kMasterRoot: return mMasterRoot;
    case kOfficialRoot: return mOfficialRoot;
    case kTemporyRoot: return mTemporyRoot;
    case kAnnotationRoot: return mAnnotationRoot;
    case kTwoDRoot: return mTwoDRoot;
    default: return nullptr;
  }
}

void NavViewerExtand::EraseAnnotationBag() {
  if (!(mOptions & kOptionAnnotation) || !mAnnotationRoot) return;
  while (!mAnnotationRoot->GetChildren().empty()) {
    KIVRep* child = mAnnotationRoot->GetChildren().front();
    mAnnotationRoot->RemoveChild(child);
    if (child->GetParents().empty()) delete child;
  }
}

NavSelectManipulator* NavViewerExtand::GetSelectGraphicManager(int kind) const {
  switch (kind) {
    case kOfficialRoot: return mSelectOfficial;
    case kTemporyRoot: return mSelectTempory;
    case kAnnotationRoot: return mSelectAnnotation;
    default: return nullptr;
  }
}

void NavViewerExtand::Reframe(int kind) {
  if (kind == -1) {
    kind = kMasterRoot;
    if (auto* item = dynamic_cast<KIVDlgCheckItem*>(GetReframeOfficialItem()))
      if (item->GetState() == KIVDialog::StateSet) kind = kOfficialRoot;
  }
  if (kind == kMasterRoot || kind == kOfficialRoot || kind == kTemporyRoot) {
    KIV3DViewpoint* main = GetMain3DViewpoint();
    main->BeginModification();
    NavToolsVisu::ViewpointReframeOnShow(this, main, static_cast<KIV3DRep*>(GetRootRep(kind)));
    main->EndModification(1);
    Draw();
  }
  if (mPendingViewpoint) *mPendingViewpoint = *GetMain3DViewpoint();
}

void NavViewerExtand::SetViewpoint(KIV3DViewpoint* viewpoint, int mode) {
  if (!viewpoint) return;
  if (mode != 0 && (mViewpointReentrance || NavToolsVisu::IsViewpointDifferent(viewpoint, GetMain3DViewpoint()) != 1))
    return;
  ApplyViewpoint(Nav3DViewpointLight(*viewpoint), mode);
}

void NavViewerExtand::SetViewpoint(Nav3DViewpointLight* record, int mode) {
  if (!record) return;
  if (mode != 0 && (mViewpointReentrance || NavToolsVisu::IsViewpointDifferent(record, GetMain3DViewpoint()) != 1))
    return;
  ApplyViewpoint(*record, mode);
}

void NavViewerExtand::ApplyViewpoint(const Nav3DViewpointLight& v, int mode) {
  KIV3DViewpoint* main = GetMain3DViewpoint();
  main->BeginModification();
  main->SetAngle(v.angle);
  main->SetFocusDistance(v.focus);
  main->SetPosition(v.origin, v.sight, v.up);
  if (mPendingViewpoint) *mPendingViewpoint = *main;
  if (mode == 1) {
    mViewpointReentrance = 1;
    main->EndModification(1);
    mViewpointReentrance = 0;
  } else {
    main->EndModification(0);
  }
  Draw();
}

void NavViewerExtand::SetInterfaceInfoRep(NavInterfaceInfoRep* info, int all) {
  mInterfaceInfo = info;
  if (all == 1)
    for (int i = 0; i < snbInstanceReferenced; ++i) saInstanceReferenced[i]->mInterfaceInfo = info;
}

void NavViewerExtand::PublishForeground() {
  if (!mIndicatorEventSuppression) Publish(VIEWER_FOREGROUND_CHANGE());
}

void NavViewerExtand::UpdateNavigationButtons(KIVIndicator* top) {
  // Button index of each special navigation mode: 2 look at … 6 turn head.
  int checked = -1;
  if (top && top == mSpecialIndicator && mSpecialMode >= 2 && mSpecialMode <= 6) checked = mSpecialMode - 1;
  if (!top) checked = 0;
  for (int i = 0; i < 6; ++i)
    if (auto* b = dynamic_cast<KIVDlgRadioButton*>(GetToolBarItem(1 + i)))
      b->SetState(i == checked ? KIVDialog::StateSet : KIVDialog::StateCleared, 0);
}

int NavViewerExtand::IsForegroundIndicatorReferenced(KIVIndicator* indicator) const {
  for (int i = 0; i < mIndicatorCount; ++i)
    if (mIndicators[i] == indicator) return i;
  return -1;
}

void NavViewerExtand::SetForegroundIndicator(KIVIndicator* indicator) {
  if (!indicator) return;
  const int suppression = mIndicatorEventSuppression;
  mIndicatorEventSuppression = 1;
  UnsetForegroundIndicator(indicator);
  mIndicatorEventSuppression = suppression;
  if (mIndicatorCount >= mIndicatorCapacity) {
    const int capacity = mIndicatorCapacity > 0 ? 2 * mIndicatorCapacity : 10;
    KIVIndicator** grown = NewArray<KIVIndicator*>(capacity);
    if (!grown) {
      std::cerr << kListError << std::endl;
    } else {
      for (int i = 0; i < mIndicatorCount; ++i) grown[i] = mIndicators[i];
      delete[] mIndicators;
      mIndicators = grown;
      mIndicatorCapacity = capacity;
    }
  }
  if (mIndicatorCount < mIndicatorCapacity) mIndicators[mIndicatorCount++] = indicator;
  KIV3DViewer::SetForegroundIndicator(indicator);
  UpdateNavigationButtons(indicator);
  PublishForeground();
}

void NavViewerExtand::UnsetForegroundIndicator(KIVIndicator* indicator) {
  const int at = indicator ? IsForegroundIndicatorReferenced(indicator) : -1;
  if (at < 0) return;
  const bool top = at == mIndicatorCount - 1;
  for (int i = at; i + 1 < mIndicatorCount; ++i) mIndicators[i] = mIndicators[i + 1];
  --mIndicatorCount;
  if (!top) return;
  KIVIndicator* now = mIndicatorCount > 0 ? mIndicators[mIndicatorCount - 1] : nullptr;
  KIV3DViewer::SetForegroundIndicator(now);
  UpdateNavigationButtons(now);
  PublishForeground();
}

void NavViewerExtand::ResetAllForegroundIndicator() {
  mIndicatorEventSuppression = 1;
  SetSpecialNavigation(SetSpecialNavigation(-1, -1, -1), 0, -1);
  // Unset whatever is the viewer's indicator until none is left; one not in the stack is
  // simply dropped.
  while (KIVIndicator* current = KIV3DViewer::GetForegroundIndicator()) {
    if (IsForegroundIndicatorReferenced(current) >= 0)
      UnsetForegroundIndicator(current);
    else
      KIV3DViewer::SetForegroundIndicator(mIndicatorCount > 0 ? mIndicators[mIndicatorCount - 1] : nullptr);
  }
  mIndicatorEventSuppression = 0;
  PublishForeground();
}

void NavViewerExtand::CreateViewerCB(KIVCommand*, KIVNotification*, void*) {
  if (mCreateCB && GetFather()) GetFather()->RemoveAnalyseNotificationCB(mCreateCB);
  mCreateCB = 0;
  if ((mOptions & kOptionEditor) && !mNavigationEditor) {
    mNavigationEditor = new NavViewerViewpointEditor("GlobalViewpointEditor", *GetMain3DViewpoint(),
                                                     KIVBasic3DModeExamine, this);
    SetViewpointEditor(mNavigationEditor);
  }
  mGroundCB = AddCallback(this, KIV3DViewer::NAVIGATION_GROUND_CHANGE, &NavViewerExtand::ViewerUpdateCB, nullptr);
  if (mPendingViewpoint) {
    Nav3DViewpointLight* pending = mPendingViewpoint;
    SetViewpoint(pending, 0);
    mPendingViewpoint = nullptr;
    delete pending;
  }
  if (mPendingSetting) {
    NavViewerSetting* pending = mPendingSetting;
    mPendingSetting = nullptr;
    SetCurrentSetting(*pending);
    delete pending;
  }
}

void NavViewerExtand::ViewpointChangedCB(const char*, void*, KIVNotification*, void*, long id) {
  KIV3DViewpoint* main = GetMain3DViewpoint();
  const bool history = (mOptions & kOptionHistory) != 0;
  if (id != 0 && id == mAnimationStartedCB) {
    if (++mMovingCounter == 1) {
      ComputeCulling();
      // Positions passed during an animation are not recorded.
      if (history && mModifiedCB && !mDashboard) {
        RemoveCallback(main, mModifiedCB);
        mModifiedCB = 0;
      }
      // The scene may have changed since the dashboard was made: its height reads from it.
      if (mDashboard) mDashboard->SetBoundingSphere(GetGlobalBoundingSphere());
    }
  } else if (id != 0 && id == mAnimationStoppedCB) {
    if (mMovingCounter > 0 && --mMovingCounter == 0) {
      ComputeCulling();
      if (history) {
        SaveViewpointPosition();
        if (!mModifiedCB)
          mModifiedCB =
              AddCallback(main, KIVViewpoint::VIEWPOINT_MODIFIED, &NavViewerExtand::ViewpointChangedCB, nullptr);
      }
    }
  } else if (id != 0 && id == mModifiedCB) {
    if (history && mMovingCounter == 0 && !mHistoryRestoring) SaveViewpointPosition();
  }
}

void NavViewerExtand::ClearOcclusion() {
  // One change for the whole bag, in linear time: it is emptied on every occlusion frame.
  std::vector<KIVRep*> children = mOcclusionBag->GetChildren();
  std::sort(children.begin(), children.end());
  children.erase(std::unique(children.begin(), children.end()), children.end());
  // A child may go with a bag destroyed before it: its life token says so.
  std::vector<std::weak_ptr<int>> lives;
  for (KIVRep* child : children) lives.push_back(child->GetLifeToken());
  mOcclusionBag->RemoveAllChildren();
  for (std::size_t i = 0; i < children.size(); ++i) {
    KIVRep* child = children[i];
    if (lives[i].expired() || !child->GetParents().empty()) continue;
    if (child->IsAKindOf(KIV3DBagRep::ClassName()))
      static_cast<KIV3DBagRep*>(child)->Destroy();
    else
      delete child;
  }
  mOfficialRoot->SetShowMode(0, 0);
}

void NavViewerExtand::PublishSettingModified(int action) {
  mLastSettingAction = action;
  Publish(VIEWER_SETTING_MODIFIED());
  mLastSettingAction = -1;
}

void NavViewerExtand::SetCurrentSetting(const NavQualitySpeedSetting& s, void* origin) {
  NavQualitySpeedSetting& mine = mCurrentSetting.qualitySpeed;
  if (mine.modeBits < 0) mine.modeBits = 0;
  bool changed = false;
  if (mOptions & kOptionQuality) {
    if (s.modeBits != -1) {
      if (s.modeBits & 1) {
        mine.modeBits |= 1;
      } else if (mine.modeBits & 1) {
        mine.modeBits &= ~1;
        GetSupport().SetSagPrecision(0.0f);
        GetSupport().SetCullingPrecision(0.0f);
      }
      if (!(s.modeBits & kQualityOcclusion)) {
        changed = true;
        if (mine.modeBits & kQualityOcclusion) {
          mine.modeBits &= ~kQualityOcclusion;
          ClearOcclusion();
        }
      } else {
        mine.modeBits |= kQualityOcclusion;
        changed = true;
      }
    }
    const float given[4] = {s.staticSag, s.dynamicSag, s.staticPixelCulling, s.dynamicPixelCulling};
    float* kept[4] = {&mine.staticSag, &mine.dynamicSag, &mine.staticPixelCulling, &mine.dynamicPixelCulling};
    for (int i = 0; i < 4; ++i)
      if (given[i] != -1.0f && given[i] != *kept[i]) {
        *kept[i] = given[i];
        changed = true;
      }
  }
  if (s.modeBits != -1) {
    for (int i = 0; i < 6; ++i) SetViewMode(kHostViewModes[i], (s.modeBits & kQualityViewBits[i]) ? 1 : 0);
    int rebuilt = mine.modeBits & (1 | kQualityOcclusion);
    for (int i = 0; i < 6; ++i)
      if (ViewMode(kHostViewModes[i])) rebuilt |= kQualityViewBits[i];
    mine.modeBits = rebuilt;
    changed = true;
  }
  if (!(mine.modeBits & 1))
    Draw();
  else
    ComputeCulling();
  if (changed) {
    // The panel is corrected only when the host refused a view mode that it asked for.
    const bool fromPanel = mQualityPanel && origin == mQualityPanel;
    if (mQualityPanel && (!fromPanel || (s.modeBits != -1 && mine.modeBits != s.modeBits)))
      mQualityPanel->SetCurrentSetting(mine);
    PublishSettingModified(16);
  }
}

void NavViewerExtand::SetCurrentSetting(const NavReferenceViewSetting& s, void* origin) {
  NavReferenceViewSetting& mine = mCurrentSetting.referenceView;
  bool changed = false;
  KIV3DViewpoint* main = GetMain3DViewpoint();
  if (s.referencePlane != 0 && s.referencePlane != mine.referencePlane) {
    mine.referencePlane = s.referencePlane;
    const int plane = s.referencePlane;
    const bool flip = (plane & 16) != 0;
    KIVMathDirectionf first(1, 0, 0), second(1, 0, 0);
    if (plane & 1) {
      first = flip ? KIVMathDirectionf(0, 0, -1) : KIVMathDirectionf(0, 0, 1);
      second = flip ? KIVMathDirectionf(1, 0, 0) : KIVMathDirectionf(-1, 0, 0);
    } else if (plane & 2) {
      first = flip ? KIVMathDirectionf(0, -1, 0) : KIVMathDirectionf(0, 1, 0);
      second = flip ? KIVMathDirectionf(0, 0, 1) : KIVMathDirectionf(0, 0, -1);
    } else if (plane & 8) {
      first = flip ? KIVMathDirectionf(-1, 0, 0) : KIVMathDirectionf(1, 0, 0);
      second = flip ? KIVMathDirectionf(0, 1, 0) : KIVMathDirectionf(0, -1, 0);
    }
    // The ground change may move the camera: put it back where it was.
    const Nav3DViewpointLight kept(*main);
    SetGround(first, second);
    main->BeginModification();
    main->SetAngle(kept.angle);
    main->SetFocusDistance(kept.focus);
    main->SetPosition(kept.origin, kept.sight, kept.up);
    main->EndModification(0);
  }
  if (s.gravity != -1 && s.gravity != mine.gravity) {
    mine.gravity = s.gravity;
    changed = true;
    main->SetGravity(s.gravity);
  }
  if (s.backgroundRed != -1.0f && s.backgroundGreen != -1.0f && s.backgroundBlue != -1.0f) {
    mine.backgroundRed = s.backgroundRed;
    mine.backgroundGreen = s.backgroundGreen;
    mine.backgroundBlue = s.backgroundBlue;
    changed = true;
    SetBackgroundColor(s.backgroundRed, s.backgroundGreen, s.backgroundBlue);
  }
  NavViewerViewpointEditor* editor = mNavigationEditor;
  if (s.collisionCheck != -1 && editor) {
    mine.collisionCheck = s.collisionCheck;
    changed = true;
    editor->SetCollisionState(s.collisionCheck);
  }
  if (s.collisionDistance != -1.0f && editor) {
    changed = true;
    const float least = 2.1f * main->GetSize();
    if (least > s.collisionDistance) {
      editor->SetCollisionDistanceValue(least);
      if (mReferencePanel) {
        NavReferenceViewSetting raised;
        raised.collisionDistance = least;
        mReferencePanel->SetCurrentSetting(raised);
      }
      mine.collisionDistance = least;
    } else {
      mine.collisionDistance = s.collisionDistance;
    }
  }
  if (changed) {
    if (mReferencePanel && origin != mReferencePanel) mReferencePanel->SetCurrentSetting(mine);
    PublishSettingModified(4);
    Draw();
  }
}

void NavViewerExtand::GetCurrentSetting(NavViewerSetting& s, int mask) {
  if (mPendingViewpoint) {
    s.sectionMask = 0;
    if (mPendingSetting) s = *mPendingSetting;
    return;
  }
  auto wanted = [mask](int bit) { return mask == -1 || (mask & bit) != 0; };
  KIV3DViewpoint* main = GetMain3DViewpoint();
  if (wanted(NavViewerSetting::kReferenceView)) s.referenceView = mCurrentSetting.referenceView;
  if (wanted(NavViewerSetting::kQualitySpeed)) s.qualitySpeed = mCurrentSetting.qualitySpeed;
  if (wanted(NavViewerSetting::kStates)) {
    s.dashboardState = SetDashboardState(-1);
    s.perfoState = SetPerfoState(-1);
    s.axisState = SetAxisState(-1);
    s.groundState = SetGroundState(-1);
  }
  if (wanted(NavViewerSetting::kFogClipping)) {
    s.fog = IsFogOn() ? 1 : 0;
    s.clippingMode = main->GetClippingMode();
    main->GetClippingValue(s.clippingNear, s.clippingFar);
  }
  if (wanted(NavViewerSetting::kLights)) {
    const KIVLightSourceSet& lights = GetModelWindowSL();
    s.lights.lightCount = lights.GetLightSourceCount();
    for (int i = 0; i < 3; ++i) {
      s.lights.firstDirection[i] = lights.GetDirection(0)[i];
      s.lights.secondDirection[i] = lights.GetDirection(1)[i];
    }
    s.texture = GetTexture();
    s.ambientLight = GetGlobalAmbientLight();
  }
  if (wanted(NavViewerSetting::kStereo)) {
    int mode = -1;
    float value = -1.0f;
    if (IsStereoActivate(&mode, &value)) {
      s.stereoMode = mode;
      s.stereoValue = value;
    } else {
      s.stereoMode = -1;
    }
  }
  if (wanted(NavViewerSetting::kDistance) && (mOwnSections & NavViewerSetting::kDistance))
    s.distance = mCurrentSetting.distance;
  if (wanted(NavViewerSetting::kPalette) && mCurrentSetting.palette) {
    if (s.palette)
      *s.palette = *mCurrentSetting.palette;
    else
      s.palette = new (std::nothrow) NavPaletteViewerSetting(*mCurrentSetting.palette);
  }
  if (mOptions & kOptionEditor) s.navigationStyle = mCurrentSetting.navigationStyle;
  s.sectionMask = mask == -1 ? 63 | mOwnSections : mask;
}

void NavViewerExtand::SetCurrentSetting(const NavViewerSetting& s) {
  if (mPendingViewpoint) {
    if (mPendingSetting)
      *mPendingSetting = s;
    else
      mPendingSetting = new (std::nothrow) NavViewerSetting(s);
    return;
  }
  if (s.sectionMask == -1) return;
  const int m = s.sectionMask;
  KIV3DViewpoint* main = GetMain3DViewpoint();
  if (m & NavViewerSetting::kReferenceView) SetCurrentSetting(s.referenceView, nullptr);
  if ((m & NavViewerSetting::kQualitySpeed) && (mOptions & kOptionQuality)) SetCurrentSetting(s.qualitySpeed, this);
  if (m & NavViewerSetting::kStates) {
    SetDashboardState(s.dashboardState);
    SetPerfoState(s.perfoState);
    SetAxisState(s.axisState);
    SetGroundState(s.groundState);
  }
  if (m & NavViewerSetting::kFogClipping) {
    SetFogMode(s.fog == 1 ? 1 : 0);
    main->SetClippingMode(s.clippingMode);
    main->SetClippingValue(s.clippingNear, s.clippingFar);
  }
  if (m & NavViewerSetting::kLights) {
    const float a = s.ambientLight;
    SetGlobalAmbientLight(a, a, a);
    const KIVMathDirectionf first(s.lights.firstDirection), second(s.lights.secondDirection);
    if (s.lights.lightCount == 1) SetModelWindowSL(KIVLightSourceSet(first));
    if (s.lights.lightCount == 2) SetModelWindowSL(KIVLightSourceSet(first, second));
    if (s.texture) SetTexture(s.texture);
  }
  if (m & NavViewerSetting::kStereo) {
    if (s.stereoMode != -1)
      ActivateStereoMode(s.stereoMode, s.stereoValue);
    else if (IsStereoActivate())
      DeactivateStereoMode();
  }
  if ((m & NavViewerSetting::kPalette) && s.palette) {
    mOwnSections |= NavViewerSetting::kPalette;
    if (mCurrentSetting.palette)
      *mCurrentSetting.palette = *s.palette;
    else
      mCurrentSetting.palette = new (std::nothrow) NavPaletteViewerSetting(*s.palette);
  }
  if ((m & NavViewerSetting::kDistance) && !(mOwnSections & NavViewerSetting::kDistance)) {
    mOwnSections |= NavViewerSetting::kDistance;
    mCurrentSetting.distance = s.distance;
    if (mDistanceTool) mDistanceTool->SetCurrentSetting(mCurrentSetting.distance);
  }
  if ((mOptions & kOptionEditor) && s.navigationStyle != -1) SetNavigationStyle(s.navigationStyle);
  Draw();
}

void NavViewerExtand::ComputeCulling() {
  const NavQualitySpeedSetting& quality = mCurrentSetting.qualitySpeed;
  if (quality.modeBits < 0 || !(quality.modeBits & 1)) return;
  KIVSupport& support = GetSupport();
  if (mMovingCounter != 0) {
    support.SetSagPrecision(quality.dynamicSag);
    support.SetCullingPrecision(static_cast<float>(static_cast<int>(quality.dynamicPixelCulling)));
  } else {
    support.SetSagPrecision(quality.staticSag);
    support.SetCullingPrecision(static_cast<float>(static_cast<int>(quality.staticPixelCulling)));
  }
  Draw();
}

void NavViewerExtand::SaveViewpointPosition() {
  if (mHistoryCapacity <= 0) return;
  KIV3DViewpoint* main = GetMain3DViewpoint();
  if (mHistoryPosition != -1 && NavToolsVisu::IsViewpointDifferent(mHistory[mHistoryNewest], main) != 1) return;
  ++mHistoryPosition;
  mHistoryNewest = mHistoryPosition % mHistoryCapacity;
  Nav3DViewpointLight*& entry = mHistory[mHistoryNewest];
  if (!entry)
    entry = new (std::nothrow) Nav3DViewpointLight(main->GetOrigin(), main->GetSightDirection(), main->GetUpDirection(),
                                                   main->GetAngle(), main->GetFocusDistance());
  else
    entry->SetValue(main->GetOrigin(), main->GetSightDirection(), main->GetUpDirection(), main->GetAngle(),
                    main->GetFocusDistance());
  if (!entry) {  // out of memory: forget the step rather than keep a hole in the ring
    --mHistoryPosition;
    mHistoryNewest = mHistoryPosition < 0 ? -1 : mHistoryPosition % mHistoryCapacity;
    return;
  }
  mHistoryForward = 0;
  UpdateHistoryButtons();
}

int NavViewerExtand::IsUndoRedoPossible(int previous) const {
  if (!(mOptions & kOptionHistory) || mHistoryCapacity <= 0) return 0;
  if (previous == 1)
    return mHistoryPosition > 0 &&
                   (mHistoryForward == 0 || (mHistoryPosition - 1) % mHistoryCapacity != mHistoryNewest)
               ? 1
               : 0;
  if (previous == 0) return mHistoryForward > 0 ? 1 : 0;
  return 0;
}

int NavViewerExtand::UndoRedoChangePosition(int previous) {
  const int possible = IsUndoRedoPossible(previous == 1 ? 1 : 0);
  if (possible) {
    if (previous == 1) {
      --mHistoryPosition;
      ++mHistoryForward;
    } else {
      ++mHistoryPosition;
      --mHistoryForward;
    }
    mHistoryRestoring = 1;
    SetViewpoint(mHistory[mHistoryPosition % mHistoryCapacity], 1);
    mHistoryRestoring = 0;
  }
  UpdateHistoryButtons();
  return possible;
}

void NavViewerExtand::UpdateHistoryButtons() {
  if (KIVDialog* previous = GetToolBarItem(kPreviousItem))
    previous->SetSensitivity(IsUndoRedoPossible(1) ? KIVDialog::SensitivityOn : KIVDialog::SensitivityOff);
  if (KIVDialog* next = GetToolBarItem(kNextItem))
    next->SetSensitivity(IsUndoRedoPossible(0) ? KIVDialog::SensitivityOn : KIVDialog::SensitivityOff);
}


// Tool states: each tool arrives with its own object; until then a state cannot be
// switched on and answers 0.

int NavViewerExtand::SetAnimationViewpointState(int on, NavViewpointAnimation* animation) {
  if (!mAnimation && on == 1) {
    mAnimation = animation ? new (std::nothrow) NavViewpointAnimation(*animation) : new (std::nothrow) NavViewpointAnimation;
    if (mAnimation && !animation) {
      mAnimation->kind = 20;
      mAnimation->direction = 1;
      mAnimation->stepsPerTurn = 50;
      mAnimation->axis = 1;
    }
    if (mAnimation) {
      GetMain3DViewpoint()->BeginAnimation(this);
      AnimationViewpoint();
    }
  } else if (mAnimation && on == 0) {
    KIVApplication::MainApplication()->RemoveSubscribe(2, this);
    GetMain3DViewpoint()->EndAnimation(this);
    delete mAnimation;
    mAnimation = nullptr;
  } else if (mAnimation && on == 1 && animation) {
    *mAnimation = *animation;
  }
  return mAnimation ? 1 : 0;
}

void NavViewerExtand::SetAnimationViewpointState(int step) {
  if (step == 1) {
    KIVApplication::MainApplication()->Subscribe(2, this, nullptr, &NavViewerExtand::GlobalUpdateDiffered);
  } else if (step == 0) {
    KIVApplication::MainApplication()->RemoveSubscribe(2, this);
    AnimationViewpoint();
  }
}

void NavViewerExtand::AnimationViewpoint() {
  if (!mAnimation) return;
  // A record with no usable step count would turn by infinity: fall back to the default.
  const int steps = mAnimation->stepsPerTurn > 0 ? mAnimation->stepsPerTurn : 50;
  double angle = 2.0 * 3.14159265358979323846 / static_cast<double>(steps);
  if (mAnimation->direction == 0) angle = -angle;
  KIV3DViewpoint* main = GetMain3DViewpoint();
  const KIVMathDirectionf sight = main->GetSightDirection(), up = main->GetUpDirection();
  KIVMathVectorf vector, axis;
  if (mAnimation->kind == 18) {
    vector = KIVMathVectorf(up.x, up.y, up.z);
    axis = KIVMathVectorf(sight.x, sight.y, sight.z);
  } else {
    vector = KIVMathVectorf(sight.x, sight.y, sight.z);
    if (mAnimation->axis == 1) {
      axis = KIVMathVectorf(up.x, up.y, up.z);
    } else {
      const KIVMathDirectionf right = main->GetRightDirection();
      axis = KIVMathVectorf(right.x, right.y, right.z);
    }
  }
  const KIVMathPointf origin = main->GetOrigin();
  const KIVMathTransformation rotation(KIVMathAxis(KIVMathPoint(origin), KIVMathDirection(axis)), angle);
  const KIVMathVectorf turned = rotation.Apply(vector);
  const KIVMathDirectionf unit(turned.x, turned.y, turned.z);
  main->BeginModification();
  if (mAnimation->kind == 20) {
    const float f = main->GetFocusDistance();
    const KIVMathPointf target = origin + sight * f;
    main->SetOrigin(target - unit * f);
  }
  if (mAnimation->kind == 18)
    main->SetUpDirection(unit);
  else
    main->SetSightDirection(unit);
  main->EndModification(1);
  Draw();
  SetAnimationViewpointState(1);
}
