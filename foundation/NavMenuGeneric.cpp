#include "foundation/NavMenuGeneric.h"

#include <cstdio>
#include <new>

#include "host/dialog/KIVDlgBarMenu.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgNotifications.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgRadioItem.h"
#include "host/dialog/KIVDlgSeparatorItem.h"
#include "host/dialog/KIVDlgSubMenu.h"

namespace {
constexpr int kInitialCapacity = 100;
constexpr int kStateSet = 0x40000;
constexpr int kStateCleared = 0x80000;
constexpr int kInsensitive = 16;
}  // namespace

NavMenuGeneric::NavMenuGeneric(KIVCommand* parent, KIVDialog* dialogParent, const char* name, int type,
                               TableauMenu** table, int count)
    : KIVCommand(nullptr, nullptr), mType(type), mParent(parent), mDialogParent(dialogParent) {
  mRegistry.reset(new (std::nothrow) Entry[kInitialCapacity]);
  if (mRegistry) mCapacity = kInitialCapacity;
  else std::fprintf(stderr, "ERROR - NavMenuGeneric: Enable to allocate List\n");
  if (type == 7) mRoot = new KIVDlgBarMenu(dialogParent, name, 0);
  else if (type == 8) mRoot = new KIVDlgContextualMenu(dialogParent, name, 0);
  if (table && count > 0) BuildMenuRecurcif(mRoot, table, count);
  mCallbacks[0] = AddAnalyseNotificationCB(nullptr, KIVDlgChkIModifyNotification::ClassName(),
                                           &NavMenuGeneric::NavActionMenuCB, nullptr);
  mCallbacks[1] = AddAnalyseNotificationCB(nullptr, KIVDlgMenuIActivateNotification::ClassName(),
                                           &NavMenuGeneric::NavActionMenuCB, nullptr);
  mCallbacks[2] = AddAnalyseNotificationCB(nullptr, KIVDlgRadIModifyNotification::ClassName(),
                                           &NavMenuGeneric::NavActionMenuCB, nullptr);
  mAction = new NavActionOnMenuNotification;
}

NavMenuGeneric::~NavMenuGeneric() {
  delete mAction;
  mAction = nullptr;
  for (KIVCallback id : mCallbacks) RemoveAnalyseNotificationCB(id);
  SupprimeMenu(0);
}

void NavMenuGeneric::SetRacineMenu(KIVDlgMenu* root) {
  if (root) mRoot = root;
}

KIVDialog* NavMenuGeneric::LiveItem(const Entry& e) const { return e.life.expired() ? nullptr : e.item; }

bool NavMenuGeneric::Reserve(int rows) {
  if (mCount + rows < mCapacity) return true;
  int wanted = 2 * mCapacity;
  if (2 * (mCount + rows) > wanted) wanted = 2 * (mCount + rows);
  Entry* grown = new (std::nothrow) Entry[wanted];
  if (!grown) {
    std::fprintf(stderr, "ERROR - NavMenuGeneric: Enable to allocate List\n");
    return mCount < mCapacity;  // still usable with the previous capacity
  }
  for (int i = 0; i < mCount; ++i) grown[i] = mRegistry[i];
  mRegistry.reset(grown);
  mCapacity = wanted;
  return true;
}

void NavMenuGeneric::Register(int option, KIVDialog* item, int kind) {
  if (mCount >= mCapacity) return;
  mRegistry[mCount++] = Entry{option, item, kind, item ? item->GetLifeToken() : std::weak_ptr<int>()};
}

void NavMenuGeneric::PrintNeighbours(TableauMenu** table, int count, int i) {
  if (i > 0 && table[i - 1]) std::printf("Precedante Item:%s\n", table[i - 1]->name ? table[i - 1]->name : "");
  if (i + 1 < count && table[i + 1])
    std::printf("Suivante   Item:%s\n", table[i + 1]->name ? table[i + 1]->name : "");
}

void NavMenuGeneric::BuildMenuRecurcif(KIVDlgMenu* parentMenu, TableauMenu** table, int count) {
  if (!table || count <= 0) return;
  for (int i = 0; i < count; ++i) {
    TableauMenu* row = table[i];
    if (!row) {
      std::printf("Alerte ERREUR Appelant: Item de menu Generic NULL (Programmation !!!)\n");
      PrintNeighbours(table, count, i);
      continue;
    }
    if (!(row->state & 1)) continue;
    if (!Reserve(count)) continue;

    KIVDialog* item = nullptr;
    if (row->subTable) {
      const int style = row->kind == 6 ? 0x40000 : (row->kind == 1 ? 0x20000 : 0);
      auto* sub = new KIVDlgSubMenu(parentMenu, row->name, style);
      sub->SetTitle(KIVUnicodeString(row->title));
      sub->SetMnemonic(row->mnemonic);
      Register(row->option, sub, row->kind);
      BuildMenuRecurcif(sub, row->subTable, row->subCount);
      item = sub;
    } else {
      if (row->kind == 2 || row->kind == 3 || row->kind == 4) {
        if (row->kind == 2) item = new KIVDlgCheckItem(parentMenu, row->name, 0);
        else if (row->kind == 3) item = new KIVDlgPushItem(parentMenu, row->name, 0);
        else item = new KIVDlgRadioItem(parentMenu, row->name, 0);
        item->SetFather(this);  // so that its notifications reach NavActionMenuCB
        item->SetTitle(KIVUnicodeString(row->title));
        item->SetMnemonic(row->mnemonic);
        item->SetAcceleratorKey(row->accelerator);
        if (row->state & 4) {
          if (auto* check = dynamic_cast<KIVDlgCheckItem*>(item)) check->SetState(kStateSet, 0);
          else if (auto* radio = dynamic_cast<KIVDlgRadioItem*>(item)) radio->SetState(kStateSet, 0);
        }
      } else if (row->kind == 5) {
        item = new KIVDlgSeparatorItem(parentMenu, row->name, 0);
      }
      Register(row->option, item, row->kind);
      if (!item) {
        std::printf("Erreur creation Objet dialog\n");
        PrintNeighbours(table, count, i);
      }
    }
    if (item && (row->state & 2)) item->SetSensitivity(kInsensitive);
  }
  for (int i = 0; i < mCount; ++i)
    if (!LiveItem(mRegistry[i])) std::printf("Erreur creation Obj dialog\n");
}

void NavMenuGeneric::SupprimeMenu(int destroyItems) {
  for (int i = 0; i < mCount; ++i) {
    KIVDialog* item = LiveItem(mRegistry[i]);
    if (!item || item->IsDestructionRequested()) continue;
    if ((destroyItems == 1 && item->GetDialogChildren().empty()) || !item->GetDialogParent())
      item->RequestDelayedDestruction();
  }
  mCount = 0;
}

void NavMenuGeneric::SetState(int option, int state, int notify) {
  for (int i = 0; i < mCount; ++i) {
    if (mRegistry[i].option != option) continue;
    KIVDialog* item = LiveItem(mRegistry[i]);
    if (auto* check = dynamic_cast<KIVDlgCheckItem*>(item)) check->SetState(state, notify);
    else if (auto* radio = dynamic_cast<KIVDlgRadioItem*>(item)) radio->SetState(state, notify);
  }
}

void NavMenuGeneric::SetTitle(int option, const char* title) {
  for (int i = 0; i < mCount; ++i)
    if (mRegistry[i].option == option)
      if (KIVDialog* item = LiveItem(mRegistry[i])) item->SetTitle(KIVUnicodeString(title));
}

void NavMenuGeneric::SetSensitivity(int option, int value) {
  for (int i = 0; i < mCount; ++i)
    if (mRegistry[i].option == option)
      if (KIVDialog* item = LiveItem(mRegistry[i])) item->SetSensitivity(value);
}

int NavMenuGeneric::GetState(int option) const {
  for (int i = 0; i < mCount; ++i) {
    if (mRegistry[i].option != option) continue;
    KIVDialog* item = LiveItem(mRegistry[i]);
    if (auto* check = dynamic_cast<KIVDlgCheckItem*>(item)) return check->GetState();
    if (auto* radio = dynamic_cast<KIVDlgRadioItem*>(item)) return radio->GetState();
    return kStateCleared;
  }
  return kStateCleared;
}

int NavMenuGeneric::IsSetSensitivity(int option) const {
  for (int i = 0; i < mCount; ++i) {
    if (mRegistry[i].option != option) continue;
    KIVDialog* item = LiveItem(mRegistry[i]);
    return item ? item->GetSensitivity() : -1;
  }
  return -1;
}

void NavMenuGeneric::GetIndiceOption(int option, int& index) const {
  for (int i = index < 0 ? 0 : index + 1; i < mCount; ++i) {
    if (mRegistry[i].option == option) {
      index = i;
      return;
    }
  }
  index = -1;
}

void NavMenuGeneric::NavActionMenuCB(KIVCommand* sender, KIVNotification* notification, void*) {
  if (notification && notification->IsAKindOf(KIVDlgRadIModifyNotification::ClassName())) {
    auto* radio = dynamic_cast<KIVDlgRadioItem*>(sender);
    if (radio && radio->GetState() == kStateCleared) return;  // only the newly checked item counts
  }
  mLastOption = -1;
  for (int i = 0; i < mCount; ++i) {
    if (mRegistry[i].item == sender && LiveItem(mRegistry[i])) {
      mLastOption = mRegistry[i].option;
      break;
    }
  }
  if (mLastOption != -1 && mAction) SendNotification(mParent, mAction);
}
