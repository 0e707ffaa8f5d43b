#pragma once
// Builds host menus from TableauMenu tables, keeps a registry of the items it built, and
// turns any item choice into one NavActionOnMenuNotification to its parent command.

#include <memory>

#include "foundation/NavActionOnMenuNotification.h"
#include "foundation/TableauMenu.h"
#include "host/core/KIVCommand.h"

class KIVDialog;
class KIVDlgMenu;

class NavMenuGeneric : public KIVCommand {
 public:
  /// type 7 creates a bar menu, 8 a contextual menu, as root under dialogParent; any other
  /// type leaves the root to SetRacineMenu. A table with count > 0 is built under the root.
  NavMenuGeneric(KIVCommand* parent, KIVDialog* dialogParent, const char* name, int type, TableauMenu** table,
                 int count);
  ~NavMenuGeneric() override;

  /// Sets the root menu; null is ignored.
  void SetRacineMenu(KIVDlgMenu* root);
  KIVDlgMenu* GetRacineMenu() const { return mRoot; }
  int GetTypeRacineMenu() const { return mType; }
  KIVDialog* GetDialogParent() const { return mDialogParent; }
  NavActionOnMenuNotification* GetActionMenuNotification() const { return mAction; }
  /// Number of registry entries.
  int GetSizeOfMenu() const { return mCount; }
  /// Option of the last chosen item, -1 when none.
  int GetLastOptionChoose() const { return mLastOption; }

  /// Builds the present rows of a table under a menu (sub-tables recursively).
  void BuildMenuRecurcif(KIVDlgMenu* parentMenu, TableauMenu** table, int count);
  /// Empties the registry; destroyItems = 1 also destroys every registered item without
  /// children (items without a dialog parent are destroyed either way, having no other owner).
  void SupprimeMenu(int destroyItems);

  /// On every check or radio entry bearing that option.
  void SetState(int option, int state, int notify);
  void SetTitle(int option, const char* title);
  void SetSensitivity(int option, int value);
  /// State of the first entry with that option; 0x80000 when absent or not a check/radio item.
  int GetState(int option) const;
  /// Sensitivity of the first entry with that option; -1 when absent.
  int IsSetSensitivity(int option) const;
  /// Moves index to the next entry after it bearing that option, or to -1.
  void GetIndiceOption(int option, int& index) const;

  void NavActionMenuCB(KIVCommand* sender, KIVNotification* notification, void* data);

 private:
  struct Entry {
    int option;
    KIVDialog* item;
    int kind;
    std::weak_ptr<int> life;  // the host may destroy an item behind our back
  };
  KIVDialog* LiveItem(const Entry& e) const;
  bool Reserve(int rows);
  void Register(int option, KIVDialog* item, int kind);
  static void PrintNeighbours(TableauMenu** table, int count, int i);

  KIVDlgMenu* mRoot = nullptr;
  int mType;
  KIVCommand* mParent;
  KIVDialog* mDialogParent;
  std::unique_ptr<Entry[]> mRegistry;
  int mCapacity = 0;
  int mCount = 0;
  int mLastOption = -1;
  NavActionOnMenuNotification* mAction = nullptr;
  KIVCallback mCallbacks[3] = {0, 0, 0};
};
