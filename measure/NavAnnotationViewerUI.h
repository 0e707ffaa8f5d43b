#pragma once
// The "3D Annotation" dialog: notes written into the extended viewer's annotation root.
// A note is a bag holding an anchor marker on a picked object, a leader line and a text,
// made by pressing on the scene while "Create" is set and the editor holds text (the note
// follows the pointer until the release). The dialog edits the current note's text, walks
// the notes of the root (optionally reframing on each), recolours, deletes one or all,
// and shows or hides the whole root. The notes belong to the viewer's root, not to the
// dialog; the viewer must outlive the dialog (its tool state makes sure of it).

#include <memory>
#include <string>
#include <vector>

#include "host/core/KIVCallbackManager.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/visu/math/KIVMathPointf.h"

class KIV3DBagRep;
class KIV3DIndicator;
class KIV3DLineRep;
class KIV3DPointRep;
class KIV3DTextRep;
class KIVDlgCheckButton;
class KIVDlgCheckItem;
class KIVDlgContextualMenu;
class KIVDlgEditor;
class KIVDlgPushButton;
class KIVPickPath;
class KIVPickPathList;
class NavSimpleColorChooser;
class NavViewerExtand;

class NavAnnotationViewerUI : public KIVDlgDialog {
 public:
  static constexpr const char* PanelIdTag = "NavAnnotationUI";
  static constexpr const char* PanelIdTitle = "3D Annotation";
  /// The window's own OK and CANCEL buttons.
  static constexpr const char* CloseButtonTitle = "Close";
  static constexpr const char* DeleteAllButtonTitle = "Delete All";

  static constexpr const char* CreateAnnotationTag = "CreateAnnotation";
  static constexpr const char* CreateAnnotationTitle = "Create";
  static constexpr const char* CreateAnnotationIconName = "cbpunais";
  static constexpr const char* Annotation3DEditorTag = "Annotation3DEditor";
  static constexpr const char* ModifyAnnotationTag = "ModifyAnnotation";
  static constexpr const char* ModifyAnnotationTitle = "Update";
  static constexpr const char* ModifyAnnotationIconName = "cbupdatp";
  static constexpr const char* PreviousButtonTag = "PreviousButton";
  static constexpr const char* PreviousButtonTitle = "Previous";
  static constexpr const char* PreviousButtonIconName = "cbrev";
  static constexpr const char* ReframeTag = "Reframe";
  static constexpr const char* ReframeTitle = "Reframe";
  static constexpr const char* ReframeIconName = "cbrefram";
  static constexpr const char* OptionMenuTag = "Option";
  static constexpr const char* OptionMenuTitle = "Option";
  static constexpr const char* LockOptionItemTag = "LockOptionItem";
  static constexpr const char* LockOptionItemTitle = "Lock";
  static constexpr const char* DeleteTag = "Delete";
  static constexpr const char* DeleteTitle = "Delete";
  static constexpr const char* DeleteIconName = "cbdeletp";
  static constexpr const char* NextButtonTag = "NextButton";
  static constexpr const char* NextButtonTitle = "Next";
  static constexpr const char* NextButtonIconName = "cbplay";
  static constexpr const char* DeleteAllTag = "DeleteAll";
  static constexpr const char* DeleteAllTitle = "Delete All";
  static constexpr const char* DeleteAllIconName = "cbdelall";
  static constexpr const char* ColorTag = "Color";
  static constexpr const char* ColorTitle = "Color";
  static constexpr const char* ColorIconName = "cbcolbas";
  static constexpr const char* NoShowTag = "NoShow";
  static constexpr const char* NoShowTitle = "No Show";
  static constexpr const char* NoShowIconName = "cbnoshop";
  static constexpr const char* IndicatorName = "Annotation3DIndicator";

  /// Colour of new notes until the chooser gives another one.
  static constexpr unsigned int kDefaultColor = 247;

  /// Builds the window (hidden) and the indicator; a null viewer gives a dialog whose
  /// actions all do nothing.
  explicit NavAnnotationViewerUI(NavViewerExtand* viewer);
  ~NavAnnotationViewerUI() override;
  NavAnnotationViewerUI(const NavAnnotationViewerUI&) = delete;
  NavAnnotationViewerUI& operator=(const NavAnnotationViewerUI&) = delete;

  /// 2 listens to the viewer and the indicator, sets "Lock" (so "Reframe" follows), shows
  /// the root's state in "No Show" and shows the window; 4 closes the colour chooser,
  /// hides the window and stops listening (creation by picking ends). Others are ignored.
  void SetVisibility(unsigned long visibility);

  /// The note that the buttons act on, null when none or when it has left the annotation
  /// root since (checked here, so a stale pointer is never handed out).
  KIV3DBagRep* GetCurrentAnnotation();
  /// Its text rep, under the same condition.
  KIV3DTextRep* GetCurrentText();
  /// The bag of a note still following the pointer; null outside a creation drag.
  KIV3DBagRep* GetCreatingAnnotation() const { return mNewBag; }
  unsigned int GetColor() const { return mColor; }
  KIV3DIndicator* GetIndicator() const { return mIndicator; }
  NavSimpleColorChooser* GetColorChooser() const { return mChooser; }
  NavViewerExtand* GetViewer() const { return mViewer; }

  /// Every widget's notification and the window's own buttons and close box.
  void ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void* data);
  /// The indicator's begin, manipulate and end notifications: creation by picking.
  void MouseMoveCB(KIVCommand* sender, KIVNotification* notification, void* data);
  /// "Create" follows whether the viewer's foreground indicator is this tool's.
  void ForegroundIndicatorChangeCB(const char* event, void* publisher, KIVNotification* notification, void* data,
                                   KIVCallback id);

 private:
  template <class W>
  W* Make(const char* tag, const char* title, const char* icon, int row, int column);
  void Listen(KIVCommand* sender, KIVNotification* notification);
  void StopListening(std::vector<KIVCallback>& callbacks);

  KIV3DBagRep* Root() const;
  /// 1 when the current note is still a child of the annotation root; forgets it otherwise.
  int CheckCurrent();
  /// The editor's text as UTF-8, empty when none.
  std::string EditorText() const;
  /// The first path of a pick at the event's pixel seen through the main viewpoint, not
  /// through the note being created; null when there is none.
  KIVPickPath* PickAt(KIVNotification* notification, KIVPickPathList& paths) const;
  void PlaceNewNote(const KIVMathPointf& p, const char* text);
  void BeginNote(KIVPickPath* path);
  void EndNote(KIVPickPath* path);
  void DropNewNote();
  void Walk(int previous);
  void ReframeOn(KIV3DBagRep* note);
  void PressReframe();
  void Update();
  void DeleteCurrent();
  void DeleteAll();
  void OpenColorChooser();
  void CloseColorChooser(int delayed);
  void ColorChanged();
  void ShowRoot(int hide);
  void Close();
  void Redraw();

  NavViewerExtand* mViewer;
  KIV3DBagRep* mCurrent = nullptr;
  KIV3DTextRep* mCurrentText = nullptr;
  NavSimpleColorChooser* mChooser = nullptr;
  unsigned int mColor = kDefaultColor;

  KIVDlgCheckButton* mCreate = nullptr;
  KIVDlgEditor* mEditor = nullptr;
  KIVDlgPushButton* mModify = nullptr;
  KIVDlgPushButton* mPrevious = nullptr;
  KIVDlgCheckButton* mReframe = nullptr;
  KIVDlgContextualMenu* mOptionMenu = nullptr;
  KIVDlgCheckItem* mLock = nullptr;
  KIVDlgPushButton* mDelete = nullptr;
  KIVDlgPushButton* mNext = nullptr;
  KIVDlgPushButton* mDeleteAll = nullptr;
  KIVDlgCheckButton* mColorButton = nullptr;
  KIVDlgCheckButton* mNoShow = nullptr;

  KIV3DIndicator* mIndicator = nullptr;
  // The note being created, between a press and its release.
  KIV3DBagRep* mNewBag = nullptr;
  KIV3DTextRep* mNewText = nullptr;
  KIV3DPointRep* mNewPoint = nullptr;
  KIV3DLineRep* mNewLine = nullptr;

  // The window tells its father command that it closes or that a button was pressed;
  // the relay stands in as father so that the dialog hears it first.
  std::unique_ptr<KIVCommand> mRelay;
  std::vector<KIVCallback> mWidgetCBs;     // for the dialog's whole life
  std::vector<KIVCallback> mIndicatorCBs;  // while shown
  std::vector<KIVCallback> mChooserCBs;    // while the chooser is open
  KIVCallback mForegroundCB = 0;           // while shown
};
