// The extended viewer's tool states that own host objects: ground, axis, performance
// gauge, dashboard, and the host panels (clipping, lights, stereo, VRML export, capture).
#include <cstdio>
#include <cstdlib>
#include <new>

#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgFile.h"
#include "host/visu/reps/KIV2DDashboardRep.h"
#include "host/visu/reps/KIV3DAxisRep.h"
#include "host/visu/reps/KIV3DGroundTranslator.h"
#include "host/visu/panels/KIV3DLightSourceEditPanel.h"
#include "host/visu/panels/KIVEditPanelPopup.h"
#include "host/visu/reps/KIVGaugeRep.h"
#include "host/visu/reps/KIVGroundRep.h"
#include "host/visu/panels/KIVNavElement.h"
#include "host/visu/scene/KIVRepPath.h"
#include "host/visu/panels/KIVPrintCaptureDialog.h"
#include "host/visu/panels/KIVStereoEditPanel.h"
#include "host/visu/panels/KIVVisibilityPanel.h"
#include "host/visu/panels/KIVWriteVrml.h"
#include "browsing/NavGraphicRepTree.h"
#include "measure/NavDistanceViewerUI.h"
#include "measure/NavAnnotationViewerUI.h"
#include "foundation/NavPaletteViewerSetting.h"
#include "navigation/NavToolsVisu.h"
#include "navigation/NavViewpointManipulate.h"
#include "navigation/NavViewpointManipulatePanel.h"
#include "navigation/NavViewerViewpointEditor.h"
#include "viewer/KIVNavStatisticRender.h"
#include "viewer/NavQualitySpeedEditPanel.h"
#include "viewer/NavReferenceViewUI.h"
#include "viewer/NavViewerExtand.h"

namespace {
// Bit indexes of the tool bar's check buttons.
constexpr int kLightItem = 10, kVisibilityItem = 11, kGroundItem = 12, kPerfoItem = 13, kCaptureItem = 14,
              kVrmlItem = 15, kStereoItem = 18;
}  // namespace

// Subscribers are told who published: they read the state they need back from the viewer.
void NavViewerExtand::Publish(const char* event) { GetCallbackManager()->DispatchCallbacks(event, nullptr, this); }

void NavViewerExtand::ViewerUpdateCB(const char*, void*, KIVNotification*, void*, long id) {
  if (id != 0 && id == mGaugeUpdateCB && mGauge) {
    float durations[3];
    GetLastUpdateDuration(durations);
    mGauge->SetDuration(durations);
  } else if (id != 0 && id == mGroundCB) {
    if (mGround) {
      mGround->SetVertical(GetVertical());
      // A ground not placed by hand stands under the scene's lowest point, not under its sphere.
      if (float low = 0.0f; KIVGroundRep::LowestHeight(mOfficialRoot, GetVertical(), low)) mGround->SetBottomHeight(low);
    }
    if (mDashboard) mDashboard->SetVerticalAndNorth(GetVertical(), GetNorth());
  } else if (id != 0 && id == mDashboardResizeCB && mDashboard) {
    int w = 1, h = 1;
    GetGraphicSize(&w, &h);
    mDashboard->SetGraphicSize(w, h);
  } else if (id != 0 && id == mDashboardViewpointCB && mDashboard) {
    mDashboard->SetViewpoint(*GetMain3DViewpoint());
    if (mNavigationEditor) {
      KIVMathVectorf translation(1, 0, 0), rotation(1, 0, 0);
      mNavigationEditor->GetSpeeds(rotation, translation);
      mDashboard->SetSpeeds(translation, rotation);
    }
  }
}

int NavViewerExtand::SetGroundState(int on) {
  bool changed = false;
  if (on == 1) {
    if (mGround) SetGroundState(0);
    KIVRepPath path;
    int found = 0;
    const KIV3DBoundingSphere sphere = NavToolsVisu::GetBoundingSphereShow(mOfficialRoot, path, found);
    const float radius = found == 1 && sphere.GetRadius() > 0.0f ? sphere.GetRadius() : 10.0f;
    if (!mGroundOrigin) {
      mGroundOrigin = new KIVMathPointf(found == 1 ? sphere.GetCenter() : KIVMathPointf(0, 0, 0));
      mGround = new KIVGroundRep(*mGroundOrigin, GetVertical(), radius, 1, 0, 0, 0, 1);
      // Where a person expects it: under the scene's lowest point, not under its sphere.
      if (float low = 0.0f; KIVGroundRep::LowestHeight(mOfficialRoot, GetVertical(), low)) mGround->SetBottomHeight(low);
    } else {
      mGround = new KIVGroundRep(*mGroundOrigin, GetVertical(), radius, 1, 1, 0, 0, 1);
    }
    KIVGraphicAttributeSet attributes = mGround->GetGraphicAttributeSet();
    attributes.SetColorIndex(253);
    mGround->SetGraphicAttributeSet(attributes);
    mGroundTranslator = new KIV3DGroundTranslator(this, "GroundManipulator", mGround);
    mCurrentSetting.groundState = 1;
    AddRep(mGround, kTemporyRoot);
    SetToolCheck(kGroundItem, 1);
    changed = true;
  } else if (on == 0 && mGround) {
    mCurrentSetting.groundState = 0;
    *mGroundOrigin = mGroundTranslator->GetNewOrigin();
    mGroundTranslator->RemoveRepFurtive(this);
    RemoveRep(mGround, kTemporyRoot);
    SetToolCheck(kGroundItem, 0);
    delete mGroundTranslator;
    mGroundTranslator = nullptr;
    delete mGround;
    mGround = nullptr;
    changed = true;
  }
  if (changed) {
    Publish(NAVIGATION_GROUND_STATE());
    Draw();
  }
  return mGround ? 1 : 0;
}

int NavViewerExtand::SetAxisState(int on) {
  bool changed = false;
  if (on == 1 && !mAxis) {
    mAxis = new KIV3DAxisRep(KIV4x4Matrix(), 30.0f, 5.0f);
    KIVGraphicAttributeSet attributes = mAxis->GetGraphicAttributeSet();
    attributes.SetColorIndex(249);
    mAxis->SetGraphicAttributeSet(attributes);
    AddRep(mAxis, kTemporyRoot);
    changed = true;
  } else if (on == 0 && mAxis) {
    RemoveRep(mAxis, kTemporyRoot);
    delete mAxis;
    mAxis = nullptr;
    changed = true;
  }
  if (changed) {
    Publish(NAVIGATION_AXIS_STATE());
    Draw();
  }
  return mAxis ? 1 : 0;
}

int NavViewerExtand::SetPerfoState(int on) {
  bool changed = false;
  if (on == 1 && !mGauge) {
    mGauge = new KIVGaugeRep;
    AddRepOverlay(mGauge);
    if (!mGaugeUpdateCB)
      mGaugeUpdateCB = AddCallback(this, KIVViewer::VIEWER_UPDATE, &NavViewerExtand::ViewerUpdateCB, nullptr);
    float durations[3];
    GetLastUpdateDuration(durations);
    mGauge->SetDuration(durations);
    KIVNavStatisticRender render(KIVSupport(100, 100));
    mMasterRoot->DrawShading(render, 1);
    std::printf(" --- Number of Triangles : %d\n", render.GetSceneSize());
    std::fflush(stdout);
    SetToolCheck(kPerfoItem, 1);
    changed = true;
  } else if (on == 0 && mGauge) {
    SetToolCheck(kPerfoItem, 0);
    RemoveRepOverlay(mGauge);
    delete mGauge;
    mGauge = nullptr;
    if (mGaugeUpdateCB) RemoveCallback(this, mGaugeUpdateCB);
    mGaugeUpdateCB = 0;
    changed = true;
  }
  if (changed) {
    Draw();
    Publish(NAVIGATION_PERFO_STATE());
  }
  return mGauge ? 1 : 0;
}

int NavViewerExtand::SetDashboardState(int on) {
  bool changed = false;
  if (on == 1 && !mDashboard) {
    mDashboard = new KIV2DDashboardRep;
    int w = 1, h = 1;
    GetGraphicSize(&w, &h);
    mDashboard->SetGraphicSize(w, h);
    mDashboard->SetVerticalAndNorth(GetVertical(), GetNorth());
    mDashboard->SetBoundingSphere(GetGlobalBoundingSphere());
    mDashboard->SetViewpoint(*GetMain3DViewpoint());
    KIVMathVectorf translation(1, 0, 0), rotation(1, 0, 0);
    if (mNavigationEditor) mNavigationEditor->GetSpeeds(rotation, translation);
    mDashboard->SetSpeeds(translation, rotation);
    AddRepOverlay(mDashboard);
    mDashboardResizeCB = AddCallback(this, KIVViewer::GRAPHICWINDOW_RESIZE, &NavViewerExtand::ViewerUpdateCB, nullptr);
    mDashboardViewpointCB = AddCallback(GetMain3DViewpoint(), KIVViewpoint::VIEWPOINT_MODIFIED,
                                        &NavViewerExtand::ViewerUpdateCB, nullptr);
    changed = true;
  } else if (on == 0 && mDashboard) {
    RemoveRepOverlay(mDashboard);
    RemoveCallback(this, mDashboardResizeCB);
    RemoveCallback(GetMain3DViewpoint(), mDashboardViewpointCB);
    mDashboardResizeCB = mDashboardViewpointCB = 0;
    delete mDashboard;
    mDashboard = nullptr;
    changed = true;
  }
  if (changed) {
    Publish(NAVIGATION_DASHBOARD_STATE());
    Draw();
  }
  return mDashboard ? 1 : 0;
}

// Panels: switched off from their own callback, they go after it returns.
template <class T>
static void DropPanel(T*& panel, int closing) {
  if (!panel) return;
  if (closing)
    panel->RequestDelayedDestruction();
  else
    delete panel;
  panel = nullptr;
}

int NavViewerExtand::SetClippingEditorState(int on) {
  if (on == 1 && !mVisibilityPanel) {
    mVisibilityPanel = new KIVVisibilityPanel(this, "VisibilitySettings", this);
    mVisibilityPanel->SetTitle(KIVUnicodeString("Visibility settings"));
    mPanelCBs[0] = AddAnalyseNotificationCB(mVisibilityPanel, mVisibilityPanel->GetWindCloseNotification(),
                                            &NavViewerExtand::ActionPanelCB, nullptr);
    mPanelCBs[1] = AddAnalyseNotificationCB(mVisibilityPanel, mVisibilityPanel->GetDiaOKNotification(),
                                            &NavViewerExtand::ActionPanelCB, nullptr);
    mPanelCBs[2] = AddAnalyseNotificationCB(mVisibilityPanel, mVisibilityPanel->GetDiaCANCELNotification(),
                                            &NavViewerExtand::ActionPanelCB, nullptr);
    mVisibilityPanel->SetVisibility(2);
    SetToolCheck(kVisibilityItem, 1);
    Publish(NAVIGATION_CLIP_STATE());
  } else if (on == 0 && mVisibilityPanel) {
    for (int i = 0; i < 3; ++i) RemoveAnalyseNotificationCB(mPanelCBs[i]);
    if (!mPanelClosing) mVisibilityPanel->CANCEL();
    DropPanel(mVisibilityPanel, mPanelClosing);
    SetToolCheck(kVisibilityItem, 0);
    PublishSettingModified(1);
    if (mNavigationEditor) {
      const float least = 2.1f * GetMain3DViewpoint()->GetSize();
      if (least > mNavigationEditor->SetCollisionDistanceValue(-1.0f)) {
        mNavigationEditor->SetCollisionDistanceValue(least);
        mCurrentSetting.referenceView.collisionDistance = least;
        if (mReferencePanel) {
          NavReferenceViewSetting raised;
          raised.collisionDistance = least;
          mReferencePanel->SetCurrentSetting(raised);
        }
      }
    }
    Publish(NAVIGATION_CLIP_STATE());
  }
  return mVisibilityPanel ? 1 : 0;
}

int NavViewerExtand::SetLightEditorState(int on) {
  if (on == 1 && !mLightPopup) {
    mLightPopup = new KIVEditPanelPopup(this, "PopupEditor");
    mLightPanel = new KIV3DLightSourceEditPanel(mLightPopup, "LightSourceSettings", this);
    mLightPopup->SetTitle(KIVUnicodeString("Light Source Editor"));
    mLightPopupCB = AddCallback(mLightPopup, KIVEditPanelPopup::EDIT_PANEL_POPUP_DESTROYED,
                                &NavViewerExtand::PanelCloseCB, nullptr);
    mLightPopup->SetVisibility(2);
    SetToolCheck(kLightItem, 1);
    Publish(NAVIGATION_LIGHT_STATE());
  } else if (on == 0 && mLightPopup) {
    RemoveCallback(mLightPopup, mLightPopupCB);
    mLightPopupCB = 0;
    mLightPanel = nullptr;  // a child of the popup
    DropPanel(mLightPopup, mPanelClosing);
    SetToolCheck(kLightItem, 0);
    PublishSettingModified(2);
    Publish(NAVIGATION_LIGHT_STATE());
  }
  return mLightPopup ? 1 : 0;
}

void NavViewerExtand::PanelCloseCB(const char*, void*, KIVNotification*, void*, long) {
  ++mPanelClosing;
  SetLightEditorState(0);
  --mPanelClosing;
}

int NavViewerExtand::SetStereoEditorState(int on) {
  if (on == 1 && !mStereoPanel) {
    mStereoPanel = new KIVStereoEditPanel(this, "Stereo", this);
    mStereoPanel->SetTitle(KIVUnicodeString("Stereo Settings"));
    mPanelCBs[3] = AddAnalyseNotificationCB(mStereoPanel, mStereoPanel->GetDiaOKNotification(),
                                            &NavViewerExtand::ActionPanelCB, nullptr);
    mPanelCBs[4] = AddAnalyseNotificationCB(mStereoPanel, mStereoPanel->GetDiaCANCELNotification(),
                                            &NavViewerExtand::ActionPanelCB, nullptr);
    mPanelCBs[5] = AddAnalyseNotificationCB(mStereoPanel, mStereoPanel->GetWindCloseNotification(),
                                            &NavViewerExtand::ActionPanelCB, nullptr);
    mStereoPanel->SetVisibility(2);
    SetToolCheck(kStereoItem, 1);
    Publish(NAVIGATION_STEREO_STATE());
  } else if (on == 0 && mStereoPanel) {
    for (int i = 3; i < 6; ++i) RemoveAnalyseNotificationCB(mPanelCBs[i]);
    DropPanel(mStereoPanel, mPanelClosing);
    SetToolCheck(kStereoItem, 0);
    PublishSettingModified(8);
    Publish(NAVIGATION_STEREO_STATE());
  }
  return mStereoPanel ? 1 : 0;
}

int NavViewerExtand::SetExportToVRMLFile(int on) {
  if (on == 1 && !mVrmlDialog) {
    mVrmlDialog = new KIVDlgFile(this, "FileChooserViewer", 0);
    mVrmlDialog->SetTitle(KIVUnicodeString("Export VRML File"));
    KIVUnicodeString directory = mVrmlDirectory;
    if (directory.GetLengthInChar() == 0) directory = KIVNavElement::GetDefaultDirectory();
    mVrmlDialog->SetDirectory(directory);
    mVrmlDialog->SetFilter(KIVUnicodeString("*.wrl"));
    mPanelCBs[6] = AddAnalyseNotificationCB(mVrmlDialog, mVrmlDialog->GetDiaOKNotification(),
                                            &NavViewerExtand::ActionPanelCB, nullptr);
    mPanelCBs[7] = AddAnalyseNotificationCB(mVrmlDialog, mVrmlDialog->GetDiaCANCELNotification(),
                                            &NavViewerExtand::ActionPanelCB, nullptr);
    mPanelCBs[8] = AddAnalyseNotificationCB(mVrmlDialog, mVrmlDialog->GetWindCloseNotification(),
                                            &NavViewerExtand::ActionPanelCB, nullptr);
    mVrmlDialog->SetVisibility(2);
    SetToolCheck(kVrmlItem, 1);
    Publish(NAVIGATION_SAVE_VRML_STATE());
  } else if (on == 0 && mVrmlDialog) {
    for (int i = 6; i < 9; ++i) RemoveAnalyseNotificationCB(mPanelCBs[i]);
    DropPanel(mVrmlDialog, mPanelClosing);
    SetToolCheck(kVrmlItem, 0);
    Publish(NAVIGATION_SAVE_VRML_STATE());
  }
  return mVrmlDialog ? 1 : 0;
}

int NavViewerExtand::ExportVrml(const char* path) {
  const float scale = KIVNavElement::GetSessionUnit() / 1000.0f;
  if (scale != 1.0f) {
    KIV4x4Matrix scaling;
    scaling.Set(0, 0, scale);
    scaling.Set(1, 1, scale);
    scaling.Set(2, 2, scale);
    mOfficialRoot->SetMatrix(scaling);
  }
  KIVRep* root = mOfficialRoot;
  const int written = KIVWriteVrml::Write(&root, 1, this, path, 1);
  mOfficialRoot->SetMatrix(static_cast<const KIV4x4Matrix*>(nullptr));
  return written;
}

int NavViewerExtand::SetCaptureEditorState(int on) {
  if (on == 1 && !mCaptureDialog) {
    mCaptureDialog = new KIVPrintCaptureDialog(this, "Capture", this);
    mPanelCBs[9] = AddAnalyseNotificationCB(mCaptureDialog, mCaptureDialog->GetWindCloseNotification(),
                                            &NavViewerExtand::ActionPanelCB, nullptr);
    mCaptureDialog->SetVisibility(2);
    SetToolCheck(kCaptureItem, 1);
    Publish(NAVIGATION_CAPTURE_STATE());
  } else if (on == 0 && mCaptureDialog) {
    RemoveAnalyseNotificationCB(mPanelCBs[9]);
    DropPanel(mCaptureDialog, mPanelClosing);
    SetToolCheck(kCaptureItem, 0);
    Publish(NAVIGATION_CAPTURE_STATE());
  }
  return mCaptureDialog ? 1 : 0;
}

int NavViewerExtand::SetAnnotationEditorState(int on) {
  constexpr int kAnnotationItem = 17;
  if (on == 1 && !mAnnotationTool) {
    mAnnotationTool = new NavAnnotationViewerUI(this);
    AddAnalyseNotificationCB(mAnnotationTool, mAnnotationTool->GetWindCloseNotification(),
                             &NavViewerExtand::ActionPanelCB, nullptr);
    mAnnotationTool->SetVisibility(2ul);
    SetToolCheck(kAnnotationItem, 1);
    Publish(NAVIGATION_ANNOTATION_STATE());
  } else if (on == 0 && mAnnotationTool) {
    RemoveAnalyseNotificationCB(mAnnotationTool, mAnnotationTool->GetWindCloseNotification(), nullptr);
    DropPanel(mAnnotationTool, mPanelClosing);
    SetToolCheck(kAnnotationItem, 0);
    Publish(NAVIGATION_ANNOTATION_STATE());
  }
  return mAnnotationTool ? 1 : 0;
}

// The distance tool keeps its gauge settings while open; the viewer keeps them in between.
int NavViewerExtand::SetDistanceEditorState(int on) {
  constexpr int kDistanceItem = 16;
  if (on == 1 && !mDistanceTool) {
    mDistanceTool = new NavDistanceViewerUI(this);
    AddAnalyseNotificationCB(mDistanceTool, mDistanceTool->GetWindCloseNotification(), &NavViewerExtand::ActionPanelCB,
                             nullptr);
    mDistanceTool->SetCurrentSetting(mCurrentSetting.distance);
    mDistanceTool->SetVisibility(2ul);
    SetToolCheck(kDistanceItem, 1);
    Publish(NAVIGATION_DISTANCE_STATE());
  } else if (on == 0 && mDistanceTool) {
    RemoveAnalyseNotificationCB(mDistanceTool, mDistanceTool->GetWindCloseNotification(), nullptr);
    mDistanceTool->GetCurrentSetting(mCurrentSetting.distance);
    DropPanel(mDistanceTool, mPanelClosing);
    SetToolCheck(kDistanceItem, 0);
    Publish(NAVIGATION_DISTANCE_STATE());
  }
  return mDistanceTool ? 1 : 0;
}

// The browser tells the viewer when it closes and when a person asks to identify a rep.
int NavViewerExtand::SetGraphicRepTreeState(int on) {
  if (on == 1 && !mRepTree) {
    mRepTree = new NavGraphicRepTree(this, NavGraphicRepTree::kViewerStyle);
    AddAnalyseNotificationCB(mRepTree, mRepTree->GetWindCloseNotification(), &NavViewerExtand::ActionPanelCB, nullptr);
    AddAnalyseNotificationCB(mRepTree, mRepTree->GetIdentifyNotification(), &NavViewerExtand::ActionPanelCB, nullptr);
    mRepTree->AffichePanel(1);
    Publish(NAVIGATION_REP_TREE_STATE());
  } else if (on == 0 && mRepTree) {
    RemoveAnalyseNotificationCB(mRepTree, mRepTree->GetWindCloseNotification(), nullptr);
    RemoveAnalyseNotificationCB(mRepTree, mRepTree->GetIdentifyNotification(), nullptr);
    DropPanel(mRepTree, mPanelClosing);
    Publish(NAVIGATION_REP_TREE_STATE());
  }
  return mRepTree ? 1 : 0;
}

// The palette keeps its steps and switches in the viewer's record between two openings.
int NavViewerExtand::SetNavigationPaletteState(int on) {
  if (on == 1 && !mPalette) {
    mPalette = new NavViewpointManipulatePanel(this, this, this);
    mPaletteCloseCB = AddAnalyseNotificationCB(mPalette, mPalette->GetWindCloseNotification(),
                                               &NavViewerExtand::ActionPanelCB, nullptr);
    if (mCurrentSetting.palette) mPalette->SetCurrentSetting(*mCurrentSetting.palette);
    if (mExternal) mPalette->SetCurrentManadgeObject(mExternal);
    mPalette->AffichePanel(1);
    Publish(NAVIGATION_PALETTE_STATE());
  } else if (on == 0 && mPalette) {
    RemoveAnalyseNotificationCB(mPaletteCloseCB);
    mPaletteCloseCB = 0;
    NavPaletteViewerSetting setting;
    mPalette->GetCurrentSetting(setting);
    if (mCurrentSetting.palette)
      *mCurrentSetting.palette = setting;
    else
      mCurrentSetting.palette = new (std::nothrow) NavPaletteViewerSetting(setting);
    if (mCurrentSetting.palette) mOwnSections |= NavViewerSetting::kPalette;
    mPalette->SetCurrentManadgeObject(nullptr);
    mPalette->SetVisibility(KIVDialog::VisibilityHidden);
    DropPanel(mPalette, mPanelClosing);
    Publish(NAVIGATION_PALETTE_STATE());
  }
  return mPalette ? 1 : 0;
}

// The quality panel applies on its own Apply and restores on Cancel: closing it only tells.
int NavViewerExtand::SetQualityLodEditorState(int on) {
  constexpr int kQualityItem = 19;
  if (on == 1 && !mQualityPanel) {
    mQualityPanel = new NavQualitySpeedEditPanel(this);
    AddAnalyseNotificationCB(mQualityPanel, mQualityPanel->GetWindCloseNotification(), &NavViewerExtand::ActionPanelCB,
                             nullptr);
    mQualityPanel->SetVisibility(VisibilityShown);
    SetToolCheck(kQualityItem, 1);
    Publish(NAVIGATION_QUALITY_STATE());
  } else if (on == 0 && mQualityPanel) {
    RemoveAnalyseNotificationCB(mQualityPanel, mQualityPanel->GetWindCloseNotification(), nullptr);
    DropPanel(mQualityPanel, mPanelClosing);
    SetToolCheck(kQualityItem, 0);
    PublishSettingModified(16);
    Publish(NAVIGATION_QUALITY_STATE());
  }
  return mQualityPanel ? 1 : 0;
}

// All four frames for a viewer that walks and flies (it has a navigation editor); else
// only the reference plane and the background.
int NavViewerExtand::SetReferenceEditorState(int on) {
  constexpr int kReferenceItem = 20;
  if (on == 1 && !mReferencePanel) {
    mReferencePanel = new NavReferenceViewUI(this, (mOptions & kOptionEditor) ? 15 : 5);
    AddAnalyseNotificationCB(mReferencePanel, mReferencePanel->GetWindCloseNotification(),
                             &NavViewerExtand::ActionPanelCB, nullptr);
    mReferencePanel->SetVisibility(VisibilityShown);
    SetToolCheck(kReferenceItem, 1);
    Publish(NAVIGATION_REFERENCE_STATE());
  } else if (on == 0 && mReferencePanel) {
    RemoveAnalyseNotificationCB(mReferencePanel, mReferencePanel->GetWindCloseNotification(), nullptr);
    DropPanel(mReferencePanel, mPanelClosing);
    SetToolCheck(kReferenceItem, 0);
    PublishSettingModified(4);
    Publish(NAVIGATION_REFERENCE_STATE());
  }
  return mReferencePanel ? 1 : 0;
}

int NavViewerExtand::SetViewpointExternalState(int on) {
  if (on == 1 && !mExternal) {
    constexpr int options = NavViewpointManipulate::kOptionListen | NavViewpointManipulate::kOptionLockMenu |
                            NavViewpointManipulate::kOptionAnimateMenu | NavViewpointManipulate::kOptionActivate;
    mExternal = new NavViewpointManipulate(this, nullptr, nullptr, KIVUnicodeString("User View"), options);
    mExternal->SetCameraVP(*GetMain3DViewpoint(), 1);
    mExternal->SetCameraShow(1);
    if (mPalette) mPalette->SetCurrentManadgeObject(mExternal);
    Publish(NAVIGATION_EXTERNAL_STATE());
    Draw();
  } else if (on == 0 && mExternal) {
    NavViewpointManipulate* external = mExternal;
    mExternal = nullptr;
    SetViewpoint(external->GetPointerCameraVP(), 1);
    if (mPalette && mPalette->GetCurrentManadgeObject() == external) mPalette->SetCurrentManadgeObject(nullptr);
    DropPanel(external, mPanelClosing);
    Publish(NAVIGATION_EXTERNAL_STATE());
    Draw();
  }
  return mExternal ? 1 : 0;
}

int NavViewerExtand::PanelActionCB(KIVCommand* sender, KIVNotification* notification) {
  if (!sender) return 0;
  ++mPanelClosing;
  int handled = 1;
  if (mVrmlDialog && sender == mVrmlDialog) {
    // Only an accepted dialog's directory is kept for the next export; a cancelled browse is forgotten.
    if (notification == mVrmlDialog->GetDiaOKNotification()) {
      if (mVrmlDialog->GetSelection().GetLengthInChar() > 0) ExportVrml(mVrmlDialog->GetSelection().CastToCharPtr());
      mVrmlDirectory = mVrmlDialog->GetDirectory();
    }
    SetExportToVRMLFile(0);
  } else if (mVisibilityPanel && sender == mVisibilityPanel) {
    if (!notification || !notification->IsAKindOf(KIVDlgDiaOKNotification::ClassName())) mVisibilityPanel->CANCEL();
    SetClippingEditorState(0);
  } else if (mStereoPanel && sender == mStereoPanel) {
    SetStereoEditorState(0);
  } else if (mCaptureDialog && sender == mCaptureDialog) {
    SetCaptureEditorState(0);
  } else if (mRepTree && sender == mRepTree) {
    if (notification == mRepTree->GetIdentifyNotification()) {
      KIV3DViewpoint* main = GetMain3DViewpoint();
      main->BeginModification();
      // The identified path places the rep as the scene does (its bag stands outside the scene).
      if (KIVRepPath* identified = mRepTree->GetIdentifyRepPath())
        NavToolsVisu::ViewpointReframeOnDefineObjet(this, main, identified, 0);
      main->EndModification(1);
      Draw();
    } else {
      SetGraphicRepTreeState(0);
    }
  } else if (mDistanceTool && sender == mDistanceTool) {
    SetDistanceEditorState(0);
  } else if (mAnnotationTool && sender == mAnnotationTool) {
    SetAnnotationEditorState(0);
  } else if (mQualityPanel && sender == mQualityPanel) {
    SetQualityLodEditorState(0);
  } else if (mReferencePanel && sender == mReferencePanel) {
    SetReferenceEditorState(0);
  } else if (mPalette && sender == mPalette) {
    SetNavigationPaletteState(0);
  } else {
    handled = 0;
  }
  --mPanelClosing;
  return handled;
}
