#pragma once
// Edits the column values of one list object: one label and one editor (or a "No"/"Yes"
// combo) per column of its type. OK ("Close") and Apply with modifications send the action
// notification; Cancel sends it once per applied edit, reading back the initial values, so
// that the owner can revert.

#include <memory>
#include <vector>

#include "dialogs/NavListType.h"
#include "foundation/NavActionOnEditorNotification.h"
#include "foundation/NavAskHelpNotification.h"
#include "foundation/NavPanelShowNotification.h"
#include "host/dialog/KIVDlgDialog.h"

class KIVDlgCombo;
class KIVDlgEditor;
class KIVDlgLabel;

class NavEditorGeneric : public KIVDlgDialog {
 public:
  static const char* PanelTag;
  static const char* PanelTitle;
  static const char* LabelTag;
  static const char* ValueTag;

  /// `type` is copied (null: no column); non-null `values` (one per column) become the
  /// initial values.
  NavEditorGeneric(KIVCommand* father, KIVDialog* parent, NavListType* type, KIVUnicodeString* values, int help);
  ~NavEditorGeneric() override;

  /// 1 shows (and sends the window-shown notification), 0 hides.
  void AffichePanel(int show);
  /// Copies one value per column; reset = 1 also writes them into the widgets.
  void SetInitEditorValue(const KIVUnicodeString* values, int reset);
  void ResetEditorValue();
  /// Points `out` at the current values (the initial ones for a cancelled editor);
  /// returns their number.
  int GetCurrentValue(KIVUnicodeString** out);
  int GetColumnCount() const { return mType.GetColumnCount(); }
  int IsModified() const { return mModified; }
  int GetAppliedCount() const { return mApplied; }
  /// The widget of a column: a KIVDlgEditor or a KIVDlgCombo.
  KIVDialog* GetValueWidget(int column) const;

  void EditorChangeCB(KIVCommand* sender, KIVNotification* notification, void* data);
  void ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void* data);
  NavPanelShowNotification* GetWindShowNotification() { return &mShow; }
  NavAskHelpNotification* GetAskHelpNotification() { return mAskHelp.get(); }
  NavActionOnEditorNotification* GetActionEditorNotification() { return &mAction; }
  /// 1 while hidden.
  int GetPaletteStatusHide() const { return GetVisibility() != VisibilityShown; }

 private:
  void Apply();
  KIVCommand* mFatherCommand;
  std::unique_ptr<KIVCommand> mRelay;  // receives the dialog's own buttons
  NavListType mType;
  std::vector<KIVDlgLabel*> mLabels;
  std::vector<KIVDialog*> mValues;
  std::vector<KIVUnicodeString> mInitial;
  std::vector<KIVUnicodeString> mCurrent;
  int mModified = 0;
  int mCancelled = 0;
  int mApplied = 0;
  int mHelp;
  NavPanelShowNotification mShow;
  NavActionOnEditorNotification mAction;
  std::unique_ptr<NavAskHelpNotification> mAskHelp;
};
