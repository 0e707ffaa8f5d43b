// The find machinery and the sort passes of NavListGeneric.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/NavListGeneric.h"
#include "foundation/NavMenuGeneric.h"
#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgEditor.h"
#include "host/dialog/KIVDlgMultiList.h"
#include "host/dialog/KIVDlgNotify.h"

namespace {
constexpr int kSet = KIVDialog::StateSet;
}

int NavListGeneric::GetFirstDataColumn() const { return (ShowsMarker() ? 1 : 0) + (ShowsTagColumn() ? 1 : 0); }

void NavListGeneric::FindObjectSaisie(KIVDialog* parent) {
  if (mFindWindow) {
    mFindWindow->SetVisibility(VisibilityShown);
    return;
  }
  mFindWindow = new KIVDlgDialog(parent ? parent : this, "ListFindInputWindow", 0xE00);
  mFindWindow->SetFather(this);
  mFindWindow->SetTitle(KIVUnicodeString("Find Object"));
  mFindWindow->SetOKTitle(KIVUnicodeString("Find"));
  mFindWindow->SetCancelTitle(KIVUnicodeString("Cancel"));
  mFindEdit = new KIVDlgEditor(mFindWindow, "ListFindEdit", 0);
  mFindEdit->SetVisibleTextWidth(20);
  mFindEdit->SetVisibleTextHeight(1);
  mFindEdit->SetText(mLastSearch, 0);
  mFindEdit->SetGridConstraints(0, 0, 1, 1, AttachLeft | AttachRight);
  if (!mMoreInfo) {
    mFindAllButton = new KIVDlgCheckButton(mFindWindow, "FindAllBouton", 0);
    mFindAllButton->SetTitle(KIVUnicodeString("Find All"));
    mFindAllButton->SetState(mFindAll ? kSet : StateCleared, 0);
    mFindAllButton->SetGridConstraints(1, 0, 1, 1, AttachLeft);
    AddAnalyseNotificationCB(mFindAllButton, mFindAllButton->GetChkBModifyNotification(),
                             &NavListGeneric::FindConfirmeCB, nullptr);
  }
  AddAnalyseNotificationCB(mFindWindow, mFindWindow->GetDiaOKNotification(), &NavListGeneric::FindConfirmeCB, nullptr);
  AddAnalyseNotificationCB(mFindWindow, mFindWindow->GetDiaCANCELNotification(), &NavListGeneric::FindConfirmeCB,
                           nullptr);
  AddAnalyseNotificationCB(mFindWindow, mFindWindow->GetWindCloseNotification(), &NavListGeneric::FindConfirmeCB,
                           nullptr);
  AddAnalyseNotificationCB(mFindEdit, mFindEdit->GetEditModifyNotification(), &NavListGeneric::FindConfirmeCB,
                           nullptr);
  mFindWindow->SetVisibility(VisibilityShown);
}

void NavListGeneric::DeleteFindObjectSaisie() {
  if (!mFindWindow) return;
  RemoveAnalyseNotificationCB(mFindWindow, mFindWindow->GetDiaOKNotification(), nullptr);
  RemoveAnalyseNotificationCB(mFindWindow, mFindWindow->GetDiaCANCELNotification(), nullptr);
  RemoveAnalyseNotificationCB(mFindWindow, mFindWindow->GetWindCloseNotification(), nullptr);
  RemoveAnalyseNotificationCB(mFindEdit, mFindEdit->GetEditModifyNotification(), nullptr);
  if (mFindAllButton)
    RemoveAnalyseNotificationCB(mFindAllButton, mFindAllButton->GetChkBModifyNotification(), nullptr);
  mFindWindow->SetVisibility(VisibilityHidden);
  mFindWindow->RequestDelayedDestruction();
  mFindWindow = nullptr;
  mFindEdit = nullptr;
  mFindAllButton = nullptr;
}

void NavListGeneric::FindConfirmeCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (!mFindWindow) return;
  if (mFindAllButton && sender == mFindAllButton) {
    mFindAll = mFindAllButton->GetState() == kSet;
    return;
  }
  const bool search = (sender == mFindWindow && notification == mFindWindow->GetDiaOKNotification()) ||
                      (sender == mFindEdit && notification == mFindEdit->GetEditModifyNotification());
  if (search) {
    const KIVUnicodeString text = mFindEdit->GetText();
    DeleteFindObjectSaisie();
    FindObject(text, GetFirstDataColumn(), 0, -1, -1);
    return;
  }
  if (sender == mFindWindow) DeleteFindObjectSaisie();
}

void NavListGeneric::ShowFindInfo(const KIVUnicodeString& text) {
  if (!mFindInfo) {
    mFindInfo = new KIVDlgNotify(this, "ListFindInfoWindow", 0x4000200);
    mFindInfo->SetTitle(KIVUnicodeString("Find Object - Information"));
    mFindInfo->SetNotifyType(KIVDlgNotify::NotifyInformation);
    AddAnalyseNotificationCB(mFindInfo, mFindInfo->GetDiaOKNotification(), &NavListGeneric::WindowCB, nullptr);
    AddAnalyseNotificationCB(mFindInfo, mFindInfo->GetDiaCANCELNotification(), &NavListGeneric::WindowCB, nullptr);
    AddAnalyseNotificationCB(mFindInfo, mFindInfo->GetWindCloseNotification(), &NavListGeneric::WindowCB, nullptr);
  }
  mFindInfo->SetText(text);
  mFindInfo->SetVisibility(VisibilityShown);
}

int NavListGeneric::FindObject(KIVUnicodeString text, int firstColumn, int wrap, int mode, int startLine) {
  const int columns = mList->GetColumnCount();
  const int lines = mList->GetLineCount();
  const int first = firstColumn == -1 ? 0 : (firstColumn < 0 || firstColumn >= columns ? columns - 1 : firstColumn);
  const int last = mFindAll ? columns - 1 : first;
  const int selected = mList->GetSelectCount();
  if (mode == -1) mLastSearch = text;
  bool nothing = (mode == -1 && text.IsEmpty()) || (mode == 1 && selected == 0) || (mode == 0 && selected == lines) ||
                 (mode != -1 && mode != 0 && mode != 1);

  int found = -1;
  if (!nothing) {
    int start = startLine;
    if (start < 0) {
      start = 0;
      if (wrap == 1 && mCurrent) {
        const int line = GetLineOfObject(mCurrent);
        if (line >= 0) start = line + 1;
      }
    }
    const std::string& needle = text.GetUtf8();
    auto matches = [&](int line) {
      if (mode == 1) return mList->IsSelected(line) != 0;
      if (mode == 0) return mList->IsSelected(line) == 0;
      for (int c = first; c <= last; ++c)
        if (mList->GetCell(line, c).GetUtf8().find(needle) != std::string::npos) return true;
      return false;
    };
    for (int line = start; line < lines && found < 0; ++line)
      if (matches(line)) found = line;
    if (found < 0 && wrap == 1)
      for (int line = 0; line < lines && found < 0; ++line)
        if (matches(line)) found = line;
  }

  if (found < 0) {
    UpdateFindList(nullptr, 0);
    if (mode == 0 && mMenu) mMenu->SetSensitivity(kFindNext, SensitivityOff);
    if (mode == -1)
      ShowFindInfo(KIVUnicodeString("Unable to find the string") + KIVUnicodeString(" ") + text +
                   KIVUnicodeString(" ") + KIVUnicodeString("in the current list"));
    else
      ShowFindInfo(KIVUnicodeString("No object selected in the current list"));
    return -1;
  }

  const int r = mLineRecord[found];
  NavListObject* o = r >= 0 ? &mObjects[r] : nullptr;
  const int findMode = mSetting.findMode;
  bool changed = false;
  if (o && (findMode & 2)) {
    if (!(findMode & 8)) {
      for (int i = 0; i < mNbObject; ++i)
        if (&mObjects[i] != o && mObjects[i].selected) {
          mObjects[i].selected = 0;
          changed = true;
        }
    }
    if (!o->selected) {
      o->selected = 1;
      changed = true;
    }
  } else if (o && (findMode & 4) && o->selected) {
    o->selected = 0;
    changed = true;
  }
  if (changed) {
    WriteSelection();
    UpdateCounter();
  }
  UpdateFindList(o, 1);
  if (changed) Send(&mSelectChange);
  if (mMenu) mMenu->SetSensitivity(kFindNext, SensitivityOn);
  return found;
}

void NavListGeneric::SetMarker(int line, bool on) {
  if (line < 0 || !ShowsMarker()) return;
  mList->SetCell(line, 0, KIVUnicodeString(on ? " > " : "   "));
}

void NavListGeneric::UpdateFindList(NavListObject* object, int scroll) {
  void* previous = mCurrent;
  mCurrent = object ? object->object : nullptr;
  if (!(mStyle & kStyleCurrent)) return;
  if (previous && previous != mCurrent) SetMarker(GetLineOfObject(previous), false);
  if (!object) return;
  const int line = GetLineOfObject(object->object);
  SetMarker(line, true);
  if (scroll == 1 && line >= 0) {
    mList->SetFirstLine(line);
    mAnchor = object->object;
  }
}

namespace {
// One display position with its key packed next to it, so that a pass over a million
// objects compares contiguous values instead of chasing each object's texts.
struct TextKey {
  std::uint64_t head[2];     // the first 16 bytes, big-endian: byte order is string order
  const std::string* text;   // read only when the heads are equal
  int record;
};

void PackHead(const std::string& text, std::uint64_t head[2]) {
  unsigned char bytes[16] = {};
  std::memcpy(bytes, text.data(), std::min<std::size_t>(16, text.size()));
  for (int h = 0; h < 2; ++h) {
    head[h] = 0;
    for (int b = 0; b < 8; ++b) head[h] = (head[h] << 8) | bytes[8 * h + b];
  }
}

bool TextLess(const TextKey& a, const TextKey& b) {
  if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
  if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
  if (a.text->size() <= 16 && b.text->size() <= 16) return a.text->size() < b.text->size();
  return *a.text < *b.text;
}
}  // namespace

void NavListGeneric::SortIndiceObject(int descending, int key) {
  int* order = mOrder.get();
  const int n = mNbView;
  if (n < 2) return;
  const NavListObject* o = mObjects.get();
  const bool down = descending == 1;
  if (key == kKeyText) {
    std::vector<TextKey> keys(n);
    for (int i = 0; i < n; ++i) {
      const std::string& text = o[order[i]].Text(0).GetUtf8();
      PackHead(text, keys[i].head);
      keys[i].text = &text;
      keys[i].record = order[i];
    }
    if (down)
      std::stable_sort(keys.begin(), keys.end(), [](const TextKey& a, const TextKey& b) { return TextLess(b, a); });
    else
      std::stable_sort(keys.begin(), keys.end(), TextLess);
    for (int i = 0; i < n; ++i) order[i] = keys[i].record;
    return;
  }
  if (key == kKeyInsertion) {
    if (down) std::stable_sort(order, order + n, [](int a, int b) { return b < a; });
    else std::stable_sort(order, order + n);
    return;
  }
  if (key != kKeyType && key != kKeySelected && key != kKeyTagged) return;
  std::vector<std::pair<int, int>> keys(n);  // (key, record)
  for (int i = 0; i < n; ++i) {
    const NavListObject& x = o[order[i]];
    keys[i] = {key == kKeyType ? x.type : (key == kKeySelected ? x.selected : x.tagged), order[i]};
  }
  if (down)
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return b.first < a.first; });
  else
    std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (int i = 0; i < n; ++i) order[i] = keys[i].second;
}

void NavListGeneric::UpdateSortList() {
  const int bits = mSetting.sortBits;
  if (bits & 0x1) SortIndiceObject(0, kKeyText);
  if (bits & 0x4) SortIndiceObject(1, kKeySelected);
  if (bits & 0x2) SortIndiceObject(1, kKeyTagged);
  if (bits & 0x8) SortIndiceObject(1, kKeyType);
}

void NavListGeneric::SortObjectCombinatoire(int* keys, int* descending, int n) {
  if (!keys || !descending || n <= 0) return;
  for (int i = 0; i < n; ++i) SortIndiceObject(descending[i], keys[i]);
  if (!mContextBuilt) return;  // the first refresh shows it
  FillLines();
  WriteSelection();
  UpdateCounter();
}
