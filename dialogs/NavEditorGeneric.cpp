#include "dialogs/NavEditorGeneric.h"

#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgEditor.h"
#include "host/dialog/KIVDlgLabel.h"

const char* NavEditorGeneric::PanelTag = "EditorGenericPanel";
const char* NavEditorGeneric::PanelTitle = "Browse & Edit value";
const char* NavEditorGeneric::LabelTag = "EditorGenericLabelTag";
const char* NavEditorGeneric::ValueTag = "EditorGenericValueTag";

NavEditorGeneric::NavEditorGeneric(KIVCommand* father, KIVDialog* parent, NavListType* type,
                                   KIVUnicodeString* values, int help)
    : KIVDlgDialog(parent, PanelTag, 0x2E00 | StyleApply | (help == 1 ? 0x1000 | StyleHelp : 0)),
      mFatherCommand(father),
      mRelay(std::make_unique<KIVCommand>(father, "NavEditorGenericRelay")),
      mHelp(help == 1) {
  if (type) mType = *type;
  SetTitle(KIVUnicodeString(PanelTitle));
  SetOKTitle(KIVUnicodeString("Close"));
  const int n = mType.GetColumnCount();
  mInitial.resize(n);
  for (int k = 0; k < n; ++k) {
    auto* label = new KIVDlgLabel(this, LabelTag, 0);
    label->SetTitle(mType.titles[k]);
    label->SetGridConstraints(k, 0, 1, 1, AttachLeft);
    mLabels.push_back(label);
    const int kind = mType.GetEditorKind(k);
    KIVDialog* value = nullptr;
    if (kind & 0x8) {
      auto* combo = new KIVDlgCombo(this, ValueTag, 0);
      combo->SetLine(KIVUnicodeString("No"));
      combo->SetLine(KIVUnicodeString("Yes"));
      combo->SetSelect(0, 0);
      AddAnalyseNotificationCB(combo, combo->GetCmbSelectNotification(), &NavEditorGeneric::EditorChangeCB, nullptr);
      value = combo;
    } else {
      auto* editor = new KIVDlgEditor(this, ValueTag, 0);
      editor->SetVisibleTextWidth(30);
      editor->SetVisibleTextHeight((kind & 0x1) ? 4 : 1);
      AddAnalyseNotificationCB(editor, editor->GetEditModifyNotification(), &NavEditorGeneric::EditorChangeCB,
                               nullptr);
      value = editor;
    }
    value->SetGridConstraints(k, 1, 1, 1, AttachLeft | AttachRight);
    mValues.push_back(value);
  }
  if (mHelp) mAskHelp = std::make_unique<NavAskHelpNotification>();
  if (values) SetInitEditorValue(values, 1);
  SetFather(mRelay.get());
  mRelay->AddAnalyseNotificationCB(
      this, nullptr, nullptr, [this](KIVCommand* s, KIVNotification* note, void* d) { ActionPanelCB(s, note, d); },
      nullptr);
}

NavEditorGeneric::~NavEditorGeneric() {
  Retire();
  SetFather(nullptr);
}

KIVDialog* NavEditorGeneric::GetValueWidget(int column) const {
  return column >= 0 && column < static_cast<int>(mValues.size()) ? mValues[column] : nullptr;
}

void NavEditorGeneric::AffichePanel(int show) {
  if (show) {
    SetVisibility(VisibilityShown);
    if (mFatherCommand) SendNotification(mFatherCommand, &mShow);
  } else {
    SetVisibility(VisibilityHidden);
  }
}

void NavEditorGeneric::SetInitEditorValue(const KIVUnicodeString* values, int reset) {
  if (!values) return;
  for (int k = 0; k < static_cast<int>(mInitial.size()); ++k) mInitial[k] = values[k];
  if (reset) ResetEditorValue();
}

void NavEditorGeneric::ResetEditorValue() {
  for (int k = 0; k < static_cast<int>(mValues.size()); ++k) {
    if (auto* combo = dynamic_cast<KIVDlgCombo*>(mValues[k])) {
      combo->SetSelect(mInitial[k] == KIVUnicodeString("0") ? 0 : 1, 0);
    } else if (auto* editor = dynamic_cast<KIVDlgEditor*>(mValues[k])) {
      if (mType.GetEditorKind(k) & 0x1) {
        editor->SetText(mInitial[k], 0);
      } else {
        // One line: the first line of the value.
        const int cut = mInitial[k].FindPosition(KIVUnicodeString("\n"), 0);
        editor->SetText(cut < 0 ? mInitial[k] : mInitial[k].SubString(0, cut), 0);
      }
    }
  }
  mModified = 0;
}

int NavEditorGeneric::GetCurrentValue(KIVUnicodeString** out) {
  const int n = static_cast<int>(mValues.size());
  if (mCancelled) {
    mCurrent = mInitial;
  } else {
    mCurrent.assign(n, KIVUnicodeString());
    for (int k = 0; k < n; ++k) {
      if (auto* combo = dynamic_cast<KIVDlgCombo*>(mValues[k])) mCurrent[k] = combo->GetSelect() == 1 ? "1" : "0";
      else if (auto* editor = dynamic_cast<KIVDlgEditor*>(mValues[k])) mCurrent[k] = editor->GetText();
    }
  }
  if (out) *out = mCurrent.empty() ? nullptr : mCurrent.data();
  return n;
}

void NavEditorGeneric::EditorChangeCB(KIVCommand*, KIVNotification*, void*) { mModified = 1; }

void NavEditorGeneric::Apply() {
  if (!mModified) return;
  ++mApplied;
  mModified = 0;
  if (mFatherCommand) SendNotification(mFatherCommand, &mAction);
}

void NavEditorGeneric::ActionPanelCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (sender != this) return;
  std::weak_ptr<int> life = GetLifeToken();
  if (notification == GetDiaOKNotification()) {
    Apply();
    if (life.expired()) return;
    AffichePanel(0);
    if (mFatherCommand) SendNotification(mFatherCommand, GetWindCloseNotification());
  } else if (notification == GetDiaAPPLYNotification()) {
    Apply();
  } else if (notification == GetDiaCANCELNotification()) {
    mCancelled = 1;
    for (int i = mApplied; i > 0 && !life.expired(); --i)
      if (mFatherCommand) SendNotification(mFatherCommand, &mAction);
    if (life.expired()) return;
    mCancelled = 0;
    mApplied = 0;
    ResetEditorValue();
    AffichePanel(0);
    if (mFatherCommand) SendNotification(mFatherCommand, GetWindCloseNotification());
  } else if (notification == GetDiaHELPNotification()) {
    if (mAskHelp && mFatherCommand) SendNotification(mFatherCommand, mAskHelp.get());
  } else if (notification == GetWindCloseNotification()) {
    AffichePanel(0);
    if (mFatherCommand) SendNotification(mFatherCommand, GetWindCloseNotification());
  }
}
