#include "measure/NavAnnotationViewerUI.h"

#include <algorithm>
#include <cmath>

#include "dialogs/NavSimpleColorChooser.h"
#include "foundation/NavColorModifyNotification.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgEditor.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/visu/interact/KIV3DIndicator.h"
#include "host/visu/interact/KIVBeginManipulateNotification.h"
#include "host/visu/interact/KIVEndManipulateNotification.h"
#include "host/visu/interact/KIVManipulateNotification.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/interact/KIVViewerEvent.h"
#include "host/visu/pick/KIVPickPathList.h"
#include "host/visu/scene/KIV3DBagRep.h"
#include "host/visu/scene/KIV3DLineRep.h"
#include "host/visu/scene/KIV3DMarkerGP.h"
#include "host/visu/scene/KIV3DPointRep.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "navigation/NavToolsVisu.h"
#include "primitives/KIV3DTextRep.h"
#include "viewer/NavViewerExtand.h"

namespace {
constexpr int kFill = KIVDialog::AttachLeft | KIVDialog::AttachRight | KIVDialog::AttachTop;
// The chooser with its previews, fine sliders and basic colours.
constexpr int kChooserOptions = NavSimpleColorChooser::kPreview | NavSimpleColorChooser::kFineDefine |
                                NavSimpleColorChooser::kBasic;
// The text stands off the anchor by this much, in scene units, along the main diagonal.
const KIVMathVectorf kLeader(1.0f, 1.0f, 1.0f);

// A note owns its marker, line and text: they go with it however it is destroyed (the
// viewer deletes erased annotations as plain reps).
class Note : public KIV3DBagRep {
 public:
  ~Note() override { DestroyChildren(); }
};

bool Checked(const KIVDlgCheckButton* button) { return button && button->GetState() == KIVDialog::StateSet; }

// The input behind one of the indicator's manipulation notifications.
KIVViewerEvent* ViewerEventOf(KIVNotification* n) {
  if (!n) return nullptr;
  if (n->IsAKindOf(KIVBeginManipulateNotification::ClassName()))
    return static_cast<KIVBeginManipulateNotification*>(n)->GetViewerEvent();
  if (n->IsAKindOf(KIVManipulateNotification::ClassName()))
    return static_cast<KIVManipulateNotification*>(n)->GetViewerEvent();
  if (n->IsAKindOf(KIVEndManipulateNotification::ClassName()))
    return static_cast<KIVEndManipulateNotification*>(n)->GetViewerEvent();
  return nullptr;
}

// The note's own look: its colour (out of range: the default 253), shown, type 0, and the
// children drawn in that colour. While it follows the pointer it must not be pickable: a
// pick answers only the nearest object, and that would be the note itself.
void Dress(KIV3DBagRep* note, unsigned int color, int placing) {
  KIVGraphicAttributeSet set = note->GetGraphicAttributeSet();
  set.SetColorIndex(color <= 255 ? static_cast<int>(color) : 253);
  set.SetFlag(KIVGraphicAttributeSet::Hidden, 0);
  set.SetFlag(KIVGraphicAttributeSet::NotPickable, placing);
  set.SetFlag(KIVGraphicAttributeSet::TypeField, 0);
  note->SetGraphicAttributeSet(set);
  note->SetColorInheritanceMode(1);
}

// A note's sphere: on its anchor, as large as the object it was written on (the leaf's
// parent), so that reframing on it shows that object. Its text's sphere is infinite, so
// the bag's own would be useless; this one is set after every change of the children.
void SealBounds(KIV3DBagRep* note, const KIVMathPointf& anchor, KIVPickPath* path) {
  float radius = 0.0f;
  if (path && path->GetSize() >= 2)
    if (auto* parent = dynamic_cast<KIV3DRep*>(path->GetRep(path->GetSize() - 2))) {
      const KIV3DBoundingSphere& sphere = parent->GetBoundingElement();
      if (!sphere.IsEmpty() && !sphere.IsInfinite() && std::isfinite(sphere.GetRadius())) radius = sphere.GetRadius();
    }
  note->SetBoundingElement(KIV3DBoundingSphere(anchor, radius));
}
}  // namespace

template <class W>
W* NavAnnotationViewerUI::Make(const char* tag, const char* title, const char* icon, int row, int column) {
  auto* widget = new W(this, tag, 0);
  if (title) widget->SetTitle(KIVUnicodeString(title));
  if (icon) widget->SetIconName(icon);
  widget->SetGridConstraints(row, column, 1, 1, kFill);
  return widget;
}

void NavAnnotationViewerUI::Listen(KIVCommand* sender, KIVNotification* notification) {
  mWidgetCBs.push_back(AddAnalyseNotificationCB(sender, notification, &NavAnnotationViewerUI::ActionPanelCB, nullptr));
}

void NavAnnotationViewerUI::StopListening(std::vector<KIVCallback>& callbacks) {
  for (KIVCallback id : callbacks) RemoveAnalyseNotificationCB(id);
  callbacks.clear();
}

NavAnnotationViewerUI::NavAnnotationViewerUI(NavViewerExtand* viewer)
    : KIVDlgDialog(viewer, PanelIdTag, 0),
      mViewer(viewer),
      mRelay(std::make_unique<KIVCommand>(viewer, "NavAnnotationUIRelay")) {
  SetTitle(KIVUnicodeString(PanelIdTitle));
  SetOKTitle(KIVUnicodeString(CloseButtonTitle));
  SetCancelTitle(KIVUnicodeString(DeleteAllButtonTitle));

  mCreate = Make<KIVDlgCheckButton>(CreateAnnotationTag, CreateAnnotationTitle, CreateAnnotationIconName, 0, 0);
  mEditor = new KIVDlgEditor(this, Annotation3DEditorTag, 0);
  mEditor->SetGridConstraints(0, 1, 1, 7, kFill);
  mModify = Make<KIVDlgPushButton>(ModifyAnnotationTag, ModifyAnnotationTitle, ModifyAnnotationIconName, 1, 0);
  mPrevious = Make<KIVDlgPushButton>(PreviousButtonTag, PreviousButtonTitle, PreviousButtonIconName, 1, 1);
  mReframe = Make<KIVDlgCheckButton>(ReframeTag, ReframeTitle, ReframeIconName, 1, 2);
  mOptionMenu = new KIVDlgContextualMenu(mReframe, OptionMenuTag, 0);
  mOptionMenu->SetTitle(KIVUnicodeString(OptionMenuTitle));
  mLock = new KIVDlgCheckItem(mOptionMenu, LockOptionItemTag, 0);
  mLock->SetTitle(KIVUnicodeString(LockOptionItemTitle));
  mLock->SetState(StateCleared, 0);
  mDelete = Make<KIVDlgPushButton>(DeleteTag, DeleteTitle, DeleteIconName, 1, 3);
  mNext = Make<KIVDlgPushButton>(NextButtonTag, NextButtonTitle, NextButtonIconName, 1, 4);
  mDeleteAll = Make<KIVDlgPushButton>(DeleteAllTag, DeleteAllTitle, DeleteAllIconName, 1, 5);
  mColorButton = Make<KIVDlgCheckButton>(ColorTag, ColorTitle, ColorIconName, 1, 6);
  mNoShow = Make<KIVDlgCheckButton>(NoShowTag, NoShowTitle, NoShowIconName, 1, 7);

  for (KIVDlgCheckButton* check : {mCreate, mReframe, mColorButton, mNoShow})
    Listen(check, check->GetChkBModifyNotification());
  for (KIVDlgPushButton* push : {mModify, mPrevious, mDelete, mNext, mDeleteAll})
    Listen(push, push->GetPushBActivateNotification());
  // The lock item's father is its menu, whose father is the Reframe button: they pass the
  // notification up to this dialog, which is the first to listen.
  Listen(mLock, mLock->GetChkIModifyNotification());

  mRelay->AddAnalyseNotificationCB(
      this, nullptr, nullptr,
      [this](KIVCommand* sender, KIVNotification* notification, void* data) {
        ActionPanelCB(sender, notification, data);
      },
      nullptr);
  SetFather(mRelay.get());

  if (mViewer) mIndicator = new KIV3DIndicator(this, IndicatorName, mViewer);
}

NavAnnotationViewerUI::~NavAnnotationViewerUI() {
  Retire();  // the chooser, a dialog child, goes here
  mChooser = nullptr;
  StopListening(mChooserCBs);
  StopListening(mIndicatorCBs);
  StopListening(mWidgetCBs);
  if (mViewer) {
    if (mForegroundCB) RemoveCallback(mViewer, mForegroundCB);
    mViewer->UnsetForegroundIndicator(mIndicator);
    DropNewNote();
  }
  delete mIndicator;
  SetFather(nullptr);
}

void NavAnnotationViewerUI::SetVisibility(unsigned long visibility) {
  if (visibility == VisibilityShown) {
    if (mViewer && mIndicator && mIndicatorCBs.empty())
      for (const char* kind : {KIVBeginManipulateNotification::ClassName(), KIVManipulateNotification::ClassName(),
                               KIVEndManipulateNotification::ClassName()})
        mIndicatorCBs.push_back(
            AddAnalyseNotificationCB(mIndicator, kind, &NavAnnotationViewerUI::MouseMoveCB, nullptr));
    if (mViewer && !mForegroundCB)
      mForegroundCB = AddCallback(mViewer, NavViewerExtand::VIEWER_FOREGROUND_CHANGE(),
                                  &NavAnnotationViewerUI::ForegroundIndicatorChangeCB, nullptr);
    // Reframing on each note is what a person walking through them wants at first.
    mLock->SetState(StateSet, 1);
    mReframe->SetState(mLock->GetState(), 0);
    KIV3DBagRep* root = Root();
    mNoShow->SetState(root && root->GetShowMode() ? StateSet : StateCleared, 0);
    mCreate->SetState(mViewer && mIndicator && mViewer->GetForegroundIndicator() == mIndicator ? StateSet
                                                                                                : StateCleared,
                      0);
    KIVDlgDialog::SetVisibility(VisibilityShown);
  } else if (visibility == VisibilityHidden) {
    CloseColorChooser(0);
    mColorButton->SetState(StateCleared, 0);
    KIVDlgDialog::SetVisibility(VisibilityHidden);
    StopListening(mIndicatorCBs);
    if (mViewer) {
      DropNewNote();
      mViewer->UnsetForegroundIndicator(mIndicator);
      if (mForegroundCB) RemoveCallback(mViewer, mForegroundCB);
    }
    mForegroundCB = 0;
    mCreate->SetState(StateCleared, 0);
  }
}

KIV3DBagRep* NavAnnotationViewerUI::Root() const {
  return mViewer ? dynamic_cast<KIV3DBagRep*>(mViewer->GetRootRep(NavViewerExtand::kAnnotationRoot)) : nullptr;
}

int NavAnnotationViewerUI::CheckCurrent() {
  KIV3DBagRep* root = Root();
  int position = -1;
  // Pointers are only compared until the note is found among the root's children.
  if (mCurrent && root && NavToolsVisu::IsRepExist(root, mCurrent, position, 0, 0) == 0) {
    if (mCurrentText && NavToolsVisu::IsRepExist(mCurrent, mCurrentText, position, -1, 0) < 0) mCurrentText = nullptr;
    return 1;
  }
  mCurrent = nullptr;
  mCurrentText = nullptr;
  return 0;
}

KIV3DBagRep* NavAnnotationViewerUI::GetCurrentAnnotation() { return CheckCurrent() ? mCurrent : nullptr; }

KIV3DTextRep* NavAnnotationViewerUI::GetCurrentText() { return CheckCurrent() ? mCurrentText : nullptr; }

std::string NavAnnotationViewerUI::EditorText() const { return mEditor->GetText().GetUtf8(); }

void NavAnnotationViewerUI::Redraw() {
  if (mViewer) mViewer->Draw();
}

// ---- Creation by picking ---------------------------------------------------------------

KIVPickPath* NavAnnotationViewerUI::PickAt(KIVNotification* notification, KIVPickPathList& paths) const {
  KIVViewerEvent* event = ViewerEventOf(notification);
  KIVNotification* device = event ? event->GetDeviceEvent() : nullptr;
  if (!mViewer || !device || !device->IsAKindOf(KIVMouseEvent::ClassName())) return nullptr;
  const auto* mouse = static_cast<KIVMouseEvent*>(device);
  mViewer->Pick(mouse->GetX(), mouse->GetY(), paths);
  KIVViewpoint* main = mViewer->GetMain3DViewpoint();
  for (int i = 0; i < paths.GetSize(); ++i) {
    KIVPickPath* path = paths.GetPath(i);
    if (path->GetViewpoint() != main) continue;
    // The note under the pointer is the one being placed: look through it.
    const std::vector<KIVRep*>& reps = path->GetReps();
    if (mNewBag && std::find(reps.begin(), reps.end(), mNewBag) != reps.end()) continue;
    return path;
  }
  return nullptr;
}

void NavAnnotationViewerUI::PlaceNewNote(const KIVMathPointf& p, const char* text) {
  mNewPoint->SetPoint(p);
  mNewLine->SetPoints(p, p + kLeader);
  mNewText->Modify(p + kLeader, text);
}

void NavAnnotationViewerUI::BeginNote(KIVPickPath* path) {
  KIV3DBagRep* root = Root();
  const std::string text = EditorText();
  if (!path || !root || text.empty()) return;
  DropNewNote();  // a press whose release never came
  const KIVMathPointf p = path->GetGlobalIntersection();
  mNewBag = new Note;
  Dress(mNewBag, mColor, 1);
  mNewPoint = new KIV3DPointRep(p, KIV3DMarkerGP::Triangle);
  mNewLine = new KIV3DLineRep(p, p + kLeader);
  mNewText = new KIV3DTextRep(p + kLeader, text.c_str(), KIV3DAnnotationTextGP::BottomLeft);
  mNewBag->AddChild(mNewPoint);
  mNewBag->AddChild(mNewLine);
  mNewBag->AddChild(mNewText);
  SealBounds(mNewBag, p, path);
  mViewer->AddRep(mNewBag, NavViewerExtand::kAnnotationRoot);
  Redraw();
}

void NavAnnotationViewerUI::EndNote(KIVPickPath* path) {
  const std::string text = EditorText();
  if (path && !text.empty()) {
    const KIVMathPointf p = path->GetGlobalIntersection();
    PlaceNewNote(p, text.c_str());
    SealBounds(mNewBag, p, path);
    Dress(mNewBag, mColor, 0);
    mCurrent = mNewBag;
    mCurrentText = mNewText;
    mNewBag = nullptr;
    mNewText = nullptr;
    mNewPoint = nullptr;
    mNewLine = nullptr;
  } else {
    DropNewNote();
    mCurrent = nullptr;
    mCurrentText = nullptr;
  }
  Redraw();
}

void NavAnnotationViewerUI::DropNewNote() {
  KIV3DBagRep* root = Root();
  int position = -1;
  // Erased meanwhile (every annotation at once, say): the viewer has already freed it.
  if (mNewBag && root && NavToolsVisu::IsRepExist(root, mNewBag, position, 0, 0) == 0) {
    mViewer->RemoveRep(mNewBag, NavViewerExtand::kAnnotationRoot);
    if (mNewBag->GetParents().empty()) mNewBag->Destroy();
  }
  mNewBag = nullptr;
  mNewText = nullptr;
  mNewPoint = nullptr;
  mNewLine = nullptr;
}

void NavAnnotationViewerUI::MouseMoveCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!mViewer || !mIndicator || sender != mIndicator || !notification) return;
  KIVPickPathList paths;
  if (notification->IsAKindOf(KIVBeginManipulateNotification::ClassName())) {
    if (!EditorText().empty()) BeginNote(PickAt(notification, paths));
    return;
  }
  KIV3DBagRep* root = Root();
  int position = -1;
  if (!mNewBag || !root || NavToolsVisu::IsRepExist(root, mNewBag, position, 0, 0) != 0) {
    mNewBag = nullptr;  // erased under the drag: nothing left to place
    mNewText = nullptr;
    mNewPoint = nullptr;
    mNewLine = nullptr;
    return;
  }
  if (notification->IsAKindOf(KIVManipulateNotification::ClassName())) {
    const std::string text = EditorText();
    if (KIVPickPath* path = PickAt(notification, paths)) {
      PlaceNewNote(path->GetGlobalIntersection(), text.c_str());
      Redraw();
    }
  } else if (notification->IsAKindOf(KIVEndManipulateNotification::ClassName())) {
    EndNote(PickAt(notification, paths));
  }
}

void NavAnnotationViewerUI::ForegroundIndicatorChangeCB(const char*, void*, KIVNotification*, void*, KIVCallback) {
  const bool mine = mViewer && mIndicator && mViewer->GetForegroundIndicator() == mIndicator;
  mCreate->SetState(mine ? StateSet : StateCleared, 0);
}

// ---- Walking, reframing, editing ------------------------------------------------------

void NavAnnotationViewerUI::Walk(int previous) {
  KIV3DBagRep* root = Root();
  if (!root) return;
  if (CheckCurrent()) mCurrent->SetHighlightMode(0, 0);
  // The root's bags are the notes (and the distance tool's gauges); anything else is skipped.
  std::vector<KIV3DBagRep*> notes;
  for (KIVRep* child : root->GetChildren())
    if (auto* bag = dynamic_cast<KIV3DBagRep*>(child)) notes.push_back(bag);
  if (notes.empty()) return;
  const auto at = std::find(notes.begin(), notes.end(), mCurrent);
  KIV3DBagRep* note = nullptr;
  if (at == notes.end())
    note = notes.front();
  else if (previous)
    note = at == notes.begin() ? notes.back() : *(at - 1);
  else
    note = at + 1 == notes.end() ? notes.front() : *(at + 1);
  mCurrent = note;
  if (Checked(mReframe)) {
    ReframeOn(note);
    Redraw();
  }
  mCurrentText = dynamic_cast<KIV3DTextRep*>(NavToolsVisu::GetSpecialRep(note, KIV3DTextRep::ClassName()));
  if (mCurrentText) mEditor->SetText(KIVUnicodeString(mCurrentText->GetText()), 0);
}

void NavAnnotationViewerUI::ReframeOn(KIV3DBagRep* note) {
  KIV3DBoundingSphere sphere = note->GetBoundingElement();
  // A sphere that encloses nothing, or everything, gives no place to look from.
  if (sphere.IsEmpty() || sphere.IsInfinite() || !std::isfinite(sphere.GetRadius())) return;
  sphere *= NavToolsVisu::GetTransfoMatrice(note, 0);
  KIV3DViewpoint* main = mViewer->GetMain3DViewpoint();
  main->BeginModification();
  NavToolsVisu::ViewpointReframeWithBounding(mViewer, main, sphere);
  main->EndModification(1);
}

void NavAnnotationViewerUI::PressReframe() {
  // The button only mirrors "Lock": pressing it reframes once, it does not toggle.
  mReframe->SetState(mLock->GetState(), 0);
  if (!CheckCurrent()) return;
  ReframeOn(mCurrent);
  mCurrent->SetHighlightMode(1, 0);
  Redraw();
}

void NavAnnotationViewerUI::Update() {
  const std::string text = EditorText();
  if (text.empty() || !CheckCurrent() || !mCurrentText) return;
  // The text's own sphere is infinite and its parent recomputes: keep the note's.
  const KIV3DBoundingSphere kept = mCurrent->GetBoundingElement();
  mCurrentText->Modify(mCurrentText->GetCurrentPosition(), text.c_str());
  mCurrent->SetBoundingElement(kept);
  Redraw();
}

void NavAnnotationViewerUI::DeleteCurrent() {
  if (!CheckCurrent()) return;
  KIV3DBagRep* note = mCurrent;
  mCurrent = nullptr;
  mCurrentText = nullptr;
  mViewer->RemoveRep(note, NavViewerExtand::kAnnotationRoot);
  if (note->GetParents().empty()) note->Destroy();
  Redraw();
}

void NavAnnotationViewerUI::DeleteAll() {
  if (!mViewer) return;
  mViewer->EraseAnnotationBag();
  // The note being placed went with the others.
  mNewBag = nullptr;
  mNewText = nullptr;
  mNewPoint = nullptr;
  mNewLine = nullptr;
  mCurrent = nullptr;
  mCurrentText = nullptr;
  Redraw();
}

// ---- Colour and show ------------------------------------------------------------------

void NavAnnotationViewerUI::OpenColorChooser() {
  if (mChooser) return;
  mChooser = new NavSimpleColorChooser(this, kChooserOptions);
  if (mViewer) mChooser->SetColorMap(&mViewer->GetKIVColormap());
  mChooser->SetColorIndex(static_cast<int>(mColor <= 255 ? mColor : 253));
  mChooserCBs.push_back(AddAnalyseNotificationCB(mChooser, NavColorModifyNotification::ClassName(),
                                                 &NavAnnotationViewerUI::ActionPanelCB, nullptr));
  mChooserCBs.push_back(AddAnalyseNotificationCB(mChooser, mChooser->GetWindCloseNotification(),
                                                 &NavAnnotationViewerUI::ActionPanelCB, nullptr));
  mChooser->SetVisibility(VisibilityShown);
}

void NavAnnotationViewerUI::CloseColorChooser(int delayed) {
  if (!mChooser) return;
  StopListening(mChooserCBs);
  if (delayed)
    mChooser->RequestDelayedDestruction();  // still inside its own notification
  else
    delete mChooser;
  mChooser = nullptr;
}

void NavAnnotationViewerUI::ColorChanged() {
  const int index = mChooser->GetColorIndex(0);
  if (index < 0) return;  // "None" is no colour for a note
  mColor = static_cast<unsigned int>(index);
  if (!CheckCurrent()) return;
  mCurrent->SetHighlightMode(0, 0);
  KIVGraphicAttributeSet set = mCurrent->GetGraphicAttributeSet();
  set.SetColorIndex(index);
  mCurrent->SetGraphicAttributeSet(set);
  Redraw();
}

void NavAnnotationViewerUI::ShowRoot(int hide) {
  KIV3DBagRep* root = Root();
  if (!root) return;
  root->SetShowMode(hide ? 1 : 0, 0);
  Redraw();
}

void NavAnnotationViewerUI::Close() {
  SetVisibility(VisibilityHidden);
  if (mViewer) SendNotification(mViewer, GetWindCloseNotification());
}

// ---- Dispatch --------------------------------------------------------------------------

void NavAnnotationViewerUI::ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!sender || !notification) return;
  if (sender == this) {
    if (notification == GetWindCloseNotification() || notification == GetDiaOKNotification())
      Close();
    else if (notification == GetDiaCANCELNotification())
      DeleteAll();
    return;
  }
  if (mChooser && sender == mChooser) {
    if (notification->IsAKindOf(NavColorModifyNotification::ClassName())) {
      ColorChanged();
    } else if (notification == mChooser->GetWindCloseNotification()) {
      CloseColorChooser(1);
      mColorButton->SetState(StateCleared, 0);
    }
    return;
  }
  if (sender == mCreate) {
    if (!mViewer || !mIndicator) return;
    if (Checked(mCreate))
      mViewer->SetForegroundIndicator(mIndicator);
    else
      mViewer->UnsetForegroundIndicator(mIndicator);
  } else if (sender == mModify) {
    Update();
  } else if (sender == mPrevious || sender == mNext) {
    Walk(sender == mPrevious);
  } else if (sender == mReframe) {
    PressReframe();
  } else if (sender == mLock) {
    mReframe->SetState(mLock->GetState(), 0);
  } else if (sender == mDelete) {
    DeleteCurrent();
  } else if (sender == mDeleteAll) {
    DeleteAll();
  } else if (sender == mColorButton) {
    if (Checked(mColorButton))
      OpenColorChooser();
    else
      CloseColorChooser(0);
  } else if (sender == mNoShow) {
    ShowRoot(Checked(mNoShow));
  }
}
