// The extended viewer's tool bar, its special navigations and navigation styles, and the
// dispatch of every widget and panel notification (ActionPanelCB).
#include <cstdio>
#include <memory>
#include <new>

#include "foundation/NavMenuGeneric.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgToolBar.h"
#include "host/visu/interact/KIVContextNotification.h"
#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/interact/KIVManipulator.h"
#include "host/visu/interact/KIVViewpointIndicator.h"
#include "mover/NavSelectManipulator.h"
#include "navigation/NavViewerViewpointEditor.h"
#include "viewer/NavViewerExtand.h"

namespace {

enum ItemKind { kCombo, kRadio, kPush, kCheck };

struct ToolItem {
  const char* tag;
  ItemKind kind;
  const char* title;
  const char* icon;
};

// Bit i of a tool bar mask is item i.
constexpr ToolItem kItems[NavViewerExtand::kToolBarItemCount] = {
    {"NavigationStyle", kCombo, nullptr, nullptr},
    {"SelectViewer", kRadio, "Select", "cbpick"},
    {"LookAt", kRadio, "Look at", "cblookat"},
    {"Zoom", kRadio, "Zoom", "cbzoom"},
    {"Rotate", kRadio, "Rotate", "cbaround"},
    {"Translate", kRadio, "Translate", "cbtrans"},
    {"TurnHead", kRadio, "Turn head", "cbtilt"},
    {"Previous", kPush, "Previous View", "cbundo"},
    {"Next", kPush, "Next View", "cbredo"},
    {"Reframe", kPush, "Reframe", "cbrefram"},
    {"Light", kCheck, "Light", "cblight"},
    {"Visibility", kCheck, "Clipping", "cbclip"},
    {"Ground", kCheck, "Ground", "cbground"},
    {"Perfo", kCheck, "Performane", "cbperfo"},
    {"PrintCapture", kCheck, "Capture", "cbprint"},
    {"ExportVRML", kCheck, "Save VRML", "save"},
    {"Distance", kCheck, "Distance", "cbdistan"},
    {"Annotation", kCheck, "Annotation", "cbtext"},
    {"Stereo", kCheck, "Stereo", "cbupdatp"},
    {"QualitySpeed", kCheck, "Quality", "cbopen"},
    {"Reference", kCheck, "Reference", "cbrotobj"},
};

constexpr int kPrevious = 7, kNext = 8, kReframe = 9;
constexpr int kFirstCheck = 10;

// Special navigation modes 2 to 6 and the editor modes that carry them.
constexpr KIVBasic3DViewpointEditorMode kSpecialEditorModes[5] = {KIVBasic3DModeLookAt, KIVBasic3DModeZoom,
                                                                  KIVBasic3DModeRotate, KIVBasic3DModeTranslate,
                                                                  KIVBasic3DModeTurnHead};

int Checked(const KIVDialog* item) {
  if (auto* b = dynamic_cast<const KIVDlgCheckButton*>(item)) return b->GetState() == KIVDialog::StateSet;
  if (auto* c = dynamic_cast<const KIVDlgCheckItem*>(item)) return c->GetState() == KIVDialog::StateSet;
  if (auto* r = dynamic_cast<const KIVDlgRadioButton*>(item)) return r->GetState() == KIVDialog::StateSet;
  return 0;
}

// Rows of the annotation context menu: a colour sub-menu, a separator and two deletions.
TableauMenu kColourRows[6] = {
    {4, 3, "ColorRedItem", "Red", 0, 0, nullptr, 0, 1},       {5, 3, "ColorGreenItem", "Green", 0, 0, nullptr, 0, 1},
    {6, 3, "ColorYellowItem", "Yellow", 0, 0, nullptr, 0, 1}, {7, 3, "ColorBlueItem", "Blue", 0, 0, nullptr, 0, 1},
    {8, 3, "ColorBlackItem", "Black", 0, 0, nullptr, 0, 1},   {9, 3, "ColorWhiteItem", "White", 0, 0, nullptr, 0, 1}};
TableauMenu* kColourTable[6] = {&kColourRows[0], &kColourRows[1], &kColourRows[2],
                                &kColourRows[3], &kColourRows[4], &kColourRows[5]};
TableauMenu kAnnotationRows[4] = {
    {-1, 6, "AnotationColorItem", "Change Color", 0, 0, kColourTable, 6, 1},
    {-1, 5, "Separator", "", 0, 0, nullptr, 0, 1},
    {2, 3, "AnotationDeleteItem", "Delete Anotation", 0, 0, nullptr, 0, 1},
    {3, 3, "AnotationDeleteAllItem", "Delete All Anotation", 0, 0, nullptr, 0, 1}};
TableauMenu* kAnnotationTable[4] = {&kAnnotationRows[0], &kAnnotationRows[1], &kAnnotationRows[2],
                                    &kAnnotationRows[3]};

// Colour index of options 4 (red) to 9 (white).
constexpr unsigned char kAnnotationColours[6] = {248, 247, 245, 246, 250, 249};

}  // namespace

// ---- Tool bar -------------------------------------------------------------------------

void NavViewerExtand::ForgetToolItems() {
  for (KIVCallback id : mToolItemCBs) RemoveAnalyseNotificationCB(id);
  mToolItemCBs.clear();
  for (KIVDialog*& item : mToolItems) item = nullptr;
  for (std::weak_ptr<int>& life : mToolItemLife) life.reset();
  for (KIVDialog*& item : mOneShotItems) item = nullptr;
  mReframeOfficialItem = nullptr;
}

KIVDialog* NavViewerExtand::GetReframeOfficialItem() const {
  return GetToolBarItem(kReframe) ? mReframeOfficialItem : nullptr;
}

void NavViewerExtand::BuildToolsBarreIcone(KIVDlgFrame* parent, int items) {
  if (!parent) {
    ForgetToolItems();
    return;
  }
  BuildToolItems(parent, items, true);
}

void NavViewerExtand::BuildToolsBarreIcone(KIVDlgToolBar* parent, int items) {
  if (!parent) {
    ForgetToolItems();
    return;
  }
  BuildToolItems(parent, items, false);
}

void NavViewerExtand::BuildToolItems(KIVDialog* parent, int items, bool layout) {
  ForgetToolItems();
  if (!(mOptions & kOptionEditor)) items &= ~0x1;
  if (!(mOptions & kOptionHistory)) items &= ~(1 << kPrevious | 1 << kNext);
  // Four groups, each in its own frame: style, navigations, views, tools.
  const int groups[4][2] = {{0, 0}, {1, 6}, {7, 9}, {10, 20}};
  int column = 0;
  for (const auto& group : groups) {
    int wanted = 0;
    for (int i = group[0]; i <= group[1]; ++i) wanted |= items & (1 << i);
    if (!wanted) continue;
    auto* frame = new KIVDlgFrame(parent, "NoReferenceTag", 0);
    if (layout) frame->SetGridConstraints(0, column++, 1, 1, KIVDialog::AttachTop | KIVDialog::AttachBottom);
    int cell = 0;
    for (int i = group[0]; i <= group[1]; ++i) {
      if (!(items & (1 << i))) continue;
      const ToolItem& row = kItems[i];
      KIVDialog* item = nullptr;
      switch (row.kind) {
        case kCombo: {
          auto* combo = new KIVDlgCombo(frame, row.tag, 0x200000);
          combo->SetLine(KIVUnicodeString("Examine"));
          combo->SetLine(KIVUnicodeString("Walk"));
          combo->SetLine(KIVUnicodeString("Fly"));
          mToolItemCBs.push_back(
              AddAnalyseNotificationCB(combo, combo->GetCmbSelectNotification(), &NavViewerExtand::ActionPanelCB, nullptr));
          item = combo;
          break;
        }
        case kRadio: {
          auto* radio = new KIVDlgRadioButton(frame, row.tag, 0);
          mToolItemCBs.push_back(
              AddAnalyseNotificationCB(radio, radio->GetRadBModifyNotification(), &NavViewerExtand::ActionPanelCB, nullptr));
          if (i >= 2) {  // the special navigations carry their lock option
            auto* menu = new KIVDlgContextualMenu(radio, "NoReferencedTag", 0);
            menu->SetTitle(KIVUnicodeString("Option"));
            auto* lock = new KIVDlgCheckItem(menu, "OneShotOption", 0);
            lock->SetTitle(KIVUnicodeString("Lock Option"));
            lock->SetState(KIVDialog::StateCleared, 0);
            mOneShotItems[i - 2] = lock;
          }
          item = radio;
          break;
        }
        case kPush: {
          auto* push = new KIVDlgPushButton(frame, row.tag, 0);
          mToolItemCBs.push_back(AddAnalyseNotificationCB(push, push->GetPushBActivateNotification(),
                                                          &NavViewerExtand::ActionPanelCB, nullptr));
          if (i == kReframe) {
            auto* menu = new KIVDlgContextualMenu(push, "NoReferencedTag", 0);
            menu->SetTitle(KIVUnicodeString("Option"));
            auto* official = new KIVDlgCheckItem(menu, "ReframeOfficialOption", 0);
            official->SetTitle(KIVUnicodeString("Only Official"));
            official->SetState(KIVDialog::StateSet, 0);
            mReframeOfficialItem = official;
          }
          item = push;
          break;
        }
        case kCheck: {
          auto* check = new KIVDlgCheckButton(frame, row.tag, 0);
          mToolItemCBs.push_back(
              AddAnalyseNotificationCB(check, check->GetChkBModifyNotification(), &NavViewerExtand::ActionPanelCB, nullptr));
          item = check;
          break;
        }
      }
      // The viewer receives the item's notifications wherever the host put the item (a
      // tool bar of its own window, say): the dialog parent stays, only the command moves.
      item->SetFather(this);
      if (row.title) item->SetTitle(KIVUnicodeString(row.title));
      if (row.icon) item->SetIconName(row.icon);
      if (layout) item->SetGridConstraints(0, cell, 1, 1, KIVDialog::AttachLeft | KIVDialog::AttachRight);
      ++cell;
      mToolItems[i] = item;
      mToolItemLife[i] = item->GetLifeToken();
    }
  }
  // Initial states: the style, the navigation in use, the history, the tools that are on.
  UpdateStyleCombo();
  if (auto* select = dynamic_cast<KIVDlgRadioButton*>(mToolItems[1]))
    if (!GetForegroundIndicator()) select->SetState(KIVDialog::StateSet, 0);
  for (int mode = 2; mode <= 6; ++mode)
    if (auto* radio = dynamic_cast<KIVDlgRadioButton*>(mToolItems[mode]))
      if (mSpecialMode == mode) radio->SetState(KIVDialog::StateSet, 0);
  UpdateHistoryButtons();
  for (int index = kFirstCheck; index < kToolBarItemCount; ++index)
    if (mToolItems[index]) SetToolCheck(index, ToolState(index, -1));
}

int NavViewerExtand::ToolState(int index, int on) {
  switch (index) {
    case 10: return SetLightEditorState(on);
    case 11: return SetClippingEditorState(on);
    case 12: return SetGroundState(on);
    case 13: return SetPerfoState(on);
    case 14: return SetCaptureEditorState(on);
    case 15: return SetExportToVRMLFile(on);
    case 16: return SetDistanceEditorState(on);
    case 17: return SetAnnotationEditorState(on);
    case 18: return SetStereoEditorState(on);
    case 19: return SetQualityLodEditorState(on);
    case 20: return SetReferenceEditorState(on);
    default: return 0;
  }
}

void NavViewerExtand::SetToolCheck(int index, int on) {
  if (auto* check = dynamic_cast<KIVDlgCheckButton*>(GetToolBarItem(index)))
    check->SetState(on ? KIVDialog::StateSet : KIVDialog::StateCleared, 0);
}

void NavViewerExtand::UpdateStyleCombo() {
  auto* combo = dynamic_cast<KIVDlgCombo*>(GetToolBarItem(0));
  if (!combo) return;
  const int style = SetNavigationStyle(-1);
  if (style >= 7 && style <= 9) combo->SetSelect(style - 7, 0);
}

int NavViewerExtand::SetToolsBarreState(int on, int items) {
  if (on == 1 && !mToolBar) {
    mToolBar = new KIVDlgDialog(this, "ViewerToolsBarre", 0x104000);
    mToolBarCloseCB = AddAnalyseNotificationCB(mToolBar, mToolBar->GetWindCloseNotification(),
                                               &NavViewerExtand::ActionPanelCB, nullptr);
    auto* frame = new KIVDlgFrame(mToolBar, "NoReferenceTag", 0x104000);
    BuildToolsBarreIcone(frame, items == -1 ? kToolBarAllItems : items);
    mToolBar->SetVisibility(2);
    Publish(NAVIGATION_TOOLS_BARRE_STATE());
  } else if (on == 0 && mToolBar) {
    RemoveAnalyseNotificationCB(mToolBarCloseCB);
    mToolBarCloseCB = 0;
    BuildToolsBarreIcone(static_cast<KIVDlgFrame*>(nullptr), 0);
    KIVDlgDialog* window = mToolBar;
    mToolBar = nullptr;
    if (mPanelClosing)
      window->RequestDelayedDestruction();
    else
      delete window;
    Publish(NAVIGATION_TOOLS_BARRE_STATE());
  }
  return mToolBar ? 1 : 0;
}

// ---- Navigation styles and special navigations ----------------------------------------

int NavViewerExtand::SetNavigationStyle(int style) {
  if (!(mOptions & kOptionEditor) || !mNavigationEditor) return style;
  if (style == -1) {
    switch (mNavigationEditor->GetMode()) {
      case KIVBasic3DModeExamine: return 7;
      case KIVBasic3DModeWalk: return 8;
      case KIVBasic3DModeFly: return 9;
      default: return -1;
    }
  }
  if (style < 7 || style > 9) return style;
  if (auto* combo = dynamic_cast<KIVDlgCombo*>(GetToolBarItem(0))) combo->SetSelect(style - 7, 0);
  mNavigationEditor->SetMode(static_cast<KIVBasic3DViewpointEditorMode>(KIVBasic3DModeExamine + style - 7));
  mCurrentSetting.navigationStyle = style;
  Publish(NAVIGATION_GLOBAL_MODE_CHANGE());
  return style;
}

int NavViewerExtand::SetSpecialNavigation(int mode, int on, int oneShot) {
  if (mode == -1) return mSpecialMode;
  if (on == 0) {
    if (!mSpecialEditor) return mSpecialMode;
    if (mSpecialEndCB) {
      RemoveAnalyseNotificationCB(mSpecialEndCB);
      mSpecialEndCB = 0;
    }
    KIVIndicator* indicator = mSpecialIndicator;
    NavViewerViewpointEditor* editor = mSpecialEditor;
    mSpecialIndicator = nullptr;
    mSpecialEditor = nullptr;
    mSpecialMode = mSpecialOneShot = -1;
    UnsetForegroundIndicator(indicator);
    if (mInSpecialEnd) {
      // The indicator is still inside its own end of manipulation: free both afterwards.
      indicator->RequestDelayedDestruction();
      editor->RequestDelayedDestruction();
    } else {
      delete indicator;
      delete editor;
    }
    Publish(NAVIGATION_SPECIAL_MODE_CHANGE());
    return mSpecialMode;
  }
  if (on != 1 || mode < 2 || mode > 6) return mSpecialMode;
  if (mode == mSpecialMode) {
    if (oneShot != mSpecialOneShot && (oneShot == 0 || oneShot == 1)) {
      if (oneShot == 1 && !mSpecialEndCB)
        mSpecialEndCB = AddAnalyseNotificationCB(mSpecialIndicator, KIVManipulator::GetKIVEndManipulate(),
                                                 &NavViewerExtand::EndManipulateOnSpecialNavigatorCB, nullptr);
      if (oneShot == 0 && mSpecialEndCB) {
        RemoveAnalyseNotificationCB(mSpecialEndCB);
        mSpecialEndCB = 0;
      }
      mSpecialOneShot = oneShot;
    }
    return mSpecialMode;
  }
  if (mSpecialEditor) SetSpecialNavigation(mSpecialMode, 0, -1);
  KIV3DViewpoint* main = GetMain3DViewpoint();
  mSpecialEditor = new NavViewerViewpointEditor(KIVString("SpecialViewpointEditor"), *main, KIVBasic3DModeExamine,
                                                nullptr);
  mSpecialEditor->SetMode(kSpecialEditorModes[mode - 2]);
  mSpecialMode = mode;
  mSpecialOneShot = oneShot == 1 ? 1 : 0;
  auto* indicator = new KIVViewpointIndicator(this, "OneShotNavigationManipulator", main, mSpecialEditor);
  mSpecialIndicator = indicator;
  if (mSpecialOneShot == 1)
    mSpecialEndCB = AddAnalyseNotificationCB(indicator, KIVManipulator::GetKIVEndManipulate(),
                                             &NavViewerExtand::EndManipulateOnSpecialNavigatorCB, nullptr);
  SetForegroundIndicator(indicator);  // also checks the matching radio button
  Publish(NAVIGATION_SPECIAL_MODE_CHANGE());
  return mSpecialMode;
}

void NavViewerExtand::EndManipulateOnSpecialNavigatorCB(KIVCommand*, KIVNotification*, void*) {
  ++mInSpecialEnd;
  SetSpecialNavigation(SetSpecialNavigation(-1, -1, -1), 0, -1);
  --mInSpecialEnd;
}

int NavViewerExtand::KeyNotTaken(int key, int modifiers) {
  if (modifiers != 0) return 0;
  if (key == KIVKeyEvent::KeyEscape) {
    if (mSpecialMode == -1) return 0;
    SetSpecialNavigation(mSpecialMode, 0, -1);
    return 1;
  }
  if (key == 'f') {
    Reframe(-1);
    return 1;
  }
  if (key == KIVKeyEvent::KeyHome) {
    KIV3DViewpoint* main = GetMain3DViewpoint();
    const KIVMathDirectionf vertical = GetVertical(), north = GetNorth();
    const KIVMathDirectionf east(north.y * vertical.z - north.z * vertical.y, north.z * vertical.x - north.x * vertical.z,
                                 north.x * vertical.y - north.y * vertical.x);
    // From the south-east, looking north-west and down at 35°.
    const KIVMathDirectionf sight(north.x - east.x - vertical.x, north.y - east.y - vertical.y,
                                  north.z - east.z - vertical.z);
    main->SetPosition(main->GetOrigin(), sight, vertical);
    Reframe(-1);
    return 1;
  }
  return 0;
}

// ---- Annotation context menu -----------------------------------------------------------

void NavViewerExtand::BuildAnnotationMenu() {
  if (!mContextMenu || !mContextMenu->GetRacineMenu()) return;
  mContextMenu->SupprimeMenu(0);
  // The rows of the last pop-up go at once, so that the menu never shows them twice.
  const std::vector<KIVDialog*> old = mContextMenu->GetRacineMenu()->GetDialogChildren();
  for (KIVDialog* item : old) delete item;
  mContextMenu->BuildMenuRecurcif(mContextMenu->GetRacineMenu(), kAnnotationTable, 4);
}

void NavViewerExtand::ActOnAnnotation() {
  if (!mSelectAnnotation || !mAnnotationRoot) return;
  KIVPickPath* path = mSelectAnnotation->GetPickPath();
  KIVRep* annotation = nullptr;
  if (path) {
    path->InitToTopRep();
    for (KIVRep* rep = path->NextChildRep(); rep; rep = path->NextChildRep())
      if (rep == mAnnotationRoot) {
        annotation = path->NextChildRep();
        break;
      }
  }
  const int option = mContextMenu->GetLastOptionChoose();
  if (option == 3) {
    EraseAnnotationBag();
  } else if (!annotation) {
    return;
  } else if (option == 2) {
    RemoveRep(annotation, kAnnotationRoot);
    if (annotation->GetParents().empty()) {
      if (auto* bag = dynamic_cast<KIV3DBagRep*>(annotation))
        bag->Destroy();
      else
        delete annotation;
    }
  } else if (option >= 4 && option <= 9) {
    KIVGraphicAttributeSet attributes = annotation->GetGraphicAttributeSet();
    attributes.bytes[0] = kAnnotationColours[option - 4];
    annotation->SetGraphicAttributeSet(attributes);
  } else {
    return;
  }
  Draw();
}

// ---- Dispatch --------------------------------------------------------------------------

void NavViewerExtand::ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!sender) return;
  if (PanelActionCB(sender, notification)) return;
  if (mToolBar && sender == mToolBar) {
    ++mPanelClosing;
    SetToolsBarreState(0, 0);
    --mPanelClosing;
    return;
  }
  // Items that the host has destroyed are never matched.
  KIVDialog* item[kToolBarItemCount];
  for (int i = 0; i < kToolBarItemCount; ++i) item[i] = GetToolBarItem(i);
  if (item[0] && sender == item[0]) {
    const int line = static_cast<KIVDlgCombo*>(item[0])->GetSelect();
    if (line >= 0 && line <= 2) SetNavigationStyle(7 + line);
    return;
  }
  if (item[1] && sender == item[1]) {
    if (Checked(item[1])) ResetAllForegroundIndicator();
    return;
  }
  for (int mode = 2; mode <= 6; ++mode)
    if (item[mode] && sender == item[mode]) {
      if (Checked(item[mode])) {
        const KIVDialog* lock = mOneShotItems[mode - 2];
        SetSpecialNavigation(mode, 1, lock && Checked(lock) ? 0 : 1);
      }
      return;
    }
  if (item[kPrevious] && sender == item[kPrevious]) {
    UndoRedoChangePosition(1);
    return;
  }
  if (item[kNext] && sender == item[kNext]) {
    UndoRedoChangePosition(0);
    return;
  }
  if (item[kReframe] && sender == item[kReframe]) {
    const KIVDialog* official = GetReframeOfficialItem();
    Reframe(official && Checked(official) ? kOfficialRoot : kMasterRoot);
    return;
  }
  for (int index = kFirstCheck; index < kToolBarItemCount; ++index)
    if (item[index] && sender == item[index]) {
      const int wanted = Checked(item[index]);
      const int now = ToolState(index, wanted);
      // A tool that cannot open yet leaves its button as it is.
      if (now != wanted) SetToolCheck(index, now);
      return;
    }
  if (mSelectAnnotation && sender == mSelectAnnotation && notification &&
      notification->IsAKindOf(KIVContextNotification::ClassName())) {
    auto* context = static_cast<KIVContextNotification*>(notification);
    if (context->GetContextualMenu() && context->GetContextualMenu()->GetVisibility() == 2) {
      BuildAnnotationMenu();
      return;
    }
  }
  if (mContextMenu && sender == mContextMenu) {
    ActOnAnnotation();
    return;
  }
}
