#include "dialogs/NavListToListFrame.h"

#include <algorithm>
#include <new>

#include "dialogs/NavListGeneric.h"
#include "host/dialog/KIVDlgControl.h"
#include "host/dialog/KIVDlgMultiList.h"
#include "host/dialog/KIVDlgPushButton.h"

const char* NavListToListFrame::LeftToRightTag = "ListLeftToRight";
const char* NavListToListFrame::RightToLeftTag = "ListRightToLeft";
const char* NavListToListFrame::LeftToRightTitle = "      Add    >>";
const char* NavListToListFrame::RightToLeftTitle = "<<   Remove    ";

namespace {
constexpr int kListStyle = 0x1B05;
}

NavListToListFrame::NavListToListFrame(KIVCommand* father, KIVDialog* parent, NavListType* type, char** names,
                                       int mode)
    : KIVDlgFrame(parent, "ListToListFrame", 0), mFatherCommand(father), mMode(mode) {
  if (type) mType = *type;
  const char* leftName = names && names[0] ? names[0] : "LeftList";
  const char* rightName = names && names[1] ? names[1] : "RightList";
  mLeft = new NavListGeneric(this, this, leftName, 1, kListStyle);
  mLeft->SetGridConstraints(0, 0, 3, 1, AttachLeft | AttachRight | AttachTop | AttachBottom);
  mToRight = new KIVDlgPushButton(this, LeftToRightTag, 0);
  mToRight->SetTitle(KIVUnicodeString(LeftToRightTitle));
  mToRight->SetGridConstraints(0, 1);
  mToLeft = new KIVDlgPushButton(this, RightToLeftTag, 0);
  mToLeft->SetTitle(KIVUnicodeString(RightToLeftTitle));
  mToLeft->SetGridConstraints(1, 1);
  mRight = new NavListGeneric(this, this, rightName, 1, kListStyle);
  mRight->SetGridConstraints(0, 2, 3, 1, AttachLeft | AttachRight | AttachTop | AttachBottom);
  if (mType.GetColumnCount() > 0) {
    mLeft->AddTypeObject(mType, 1, 0);
    mRight->AddTypeObject(mType, 1, 0);
  }
  for (NavListGeneric* list : {mLeft, mRight}) {
    AddAnalyseNotificationCB(list, list->SelectChangeNotification(), &NavListToListFrame::ActionCB, nullptr);
    AddAnalyseNotificationCB(list, list->SelectActiveNotification(), &NavListToListFrame::ActionCB, nullptr);
  }
  AddAnalyseNotificationCB(mToRight, mToRight->GetPushBActivateNotification(), &NavListToListFrame::ActionCB, nullptr);
  AddAnalyseNotificationCB(mToLeft, mToLeft->GetPushBActivateNotification(), &NavListToListFrame::ActionCB, nullptr);
  UpdateButtons();
}

NavListToListFrame::~NavListToListFrame() { Retire(); }

namespace {
KIVUnicodeString* CopyTexts(const KIVUnicodeString* texts, int n) {
  if (!texts || n <= 0) return nullptr;
  auto* copy = new (std::nothrow) KIVUnicodeString[n];
  if (copy) std::copy(texts, texts + n, copy);
  return copy;
}
}  // namespace

void NavListToListFrame::InitialiseValue(KIVUnicodeString** texts, int* left, int* right, int n) {
  if (!texts || n <= 0) return;
  const int columns = std::max(1, mType.GetColumnCount());
  mTexts.assign(texts, texts + n);
  mLeft->InactiveUpdate();
  mRight->InactiveUpdate();
  mLeft->ClearObject(-1);
  mRight->ClearObject(-1);
  for (int i = 0; i < n; ++i) {
    if (!texts[i]) continue;
    if (left && left[i] == 1) mLeft->AddObject(texts[i], CopyTexts(texts[i], columns), mType.id, -1, 0, 0, 1, columns);
    if (right && right[i] == 1)
      mRight->AddObject(texts[i], CopyTexts(texts[i], columns), mType.id, -1, 0, 0, 1, columns);
  }
  mLeft->ActiveUpdate();
  mRight->ActiveUpdate();
  UpdateButtons();
}

int NavListToListFrame::GetIndiceObject(int* out, int& n, int side, int selectedOnly) {
  NavListGeneric* list = side == 0 ? mLeft : mRight;
  const int room = out ? n : 0;
  int found = 0;
  for (int i = 0; i < static_cast<int>(mTexts.size()); ++i) {
    const NavListObject* o = list->GetInternalObjet(mTexts[i]);
    if (!o || (selectedOnly == 1 && !o->selected)) continue;
    if (found < room) out[found] = i;
    ++found;
  }
  n = found;
  return found;
}

void NavListToListFrame::AddButton(KIVDlgControl* control) {
  if (!control) return;
  control->SetGridConstraints(2 + mExtraButtons++, 1);
}

void NavListToListFrame::Transfer(int fromSide) {
  NavListGeneric* source = fromSide == 0 ? mLeft : mRight;
  NavListGeneric* destination = fromSide == 0 ? mRight : mLeft;
  int count = 0;
  source->GetSelectObject(nullptr, nullptr, count, 0);
  std::vector<void*> objects(count);
  source->GetSelectObject(objects.data(), nullptr, count, 0);
  const int columns = std::max(1, mType.GetColumnCount());
  mTransferring = 1;
  source->InactiveUpdate();
  destination->InactiveUpdate();
  for (void* object : objects) {
    if (mMode == 1 && destination->GetIndiceObject(object) >= 0) {
      source->RemoveObject(object);
      continue;
    }
    const NavListObject* record = source->GetInternalObjet(object);
    if (!record) continue;
    KIVUnicodeString* texts = CopyTexts(record->texts, std::min(columns, record->textCount));
    destination->AddObject(object, texts, mType.id, -1, 1, 0, 1, texts ? std::min(columns, record->textCount) : 0);
    if (mMode == 1) source->RemoveObject(object);
  }
  source->ActiveUpdate();
  destination->ActiveUpdate();
  mTransferring = 0;
  UpdateButtons();
  if (mFatherCommand) SendNotification(mFatherCommand, &mSelectOk);
}

void NavListToListFrame::UpdateButtons() {
  mToRight->SetSensitivity(mLeft->GetSelectCount(1) > 0 ? SensitivityOn : SensitivityOff);
  mToLeft->SetSensitivity(mRight->GetSelectCount(1) > 0 ? SensitivityOn : SensitivityOff);
}

void NavListToListFrame::ActionCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (mTransferring) return;
  if (sender == mToRight) {
    Transfer(0);
  } else if (sender == mToLeft) {
    Transfer(1);
  } else if (sender == mLeft || sender == mRight) {
    auto* list = static_cast<NavListGeneric*>(sender);
    if (notification == list->SelectActiveNotification()) {
      Transfer(list == mLeft ? 0 : 1);
      return;
    }
    NavListGeneric* other = list == mLeft ? mRight : mLeft;
    if (list->GetSelectCount(1) > 0 && other->GetSelectCount(0) > 0) {
      other->ClearSelectObject(0, 0);
    }
    UpdateButtons();
  }
}
