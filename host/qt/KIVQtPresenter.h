#pragma once
// The Qt 6 Widgets face of the dialog model: each dialog object gets its natural widget
// (windows, frames with their grid, buttons, combos, spinners, sliders, editors,
// multi-lists, tab pages, menus and their items, tool bars, file and notice dialogs,
// viewer windows), kept in step with the model. A person's input goes through the same
// User… operations that tests call, and the widget is then set back from the model, so
// the model stays the truth: a refused input leaves nothing behind on screen.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <unordered_map>

#include "host/dialog/KIVDlgPresenter.h"

class QAction;
class QMenu;
class QGridLayout;
class KIVDlgWindow;
class KIVQtDeferredDriver;

class KIVQtPresenter : public KIVDlgPresenter {
 public:
  /// Installs itself as the model's presenter (the objects alive are announced at once)
  /// and drives the deferred cycle from Qt's event loop. A QApplication must exist.
  KIVQtPresenter();
  /// Uninstalls itself; widgets of objects still alive are deleted.
  ~KIVQtPresenter() override;

  /// The object's widget (its window for windows), null when it has none.
  QWidget* GetWidget(const KIVDialog* object) const;
  /// The menu of a menu object, the action of an item or sub-menu.
  QMenu* GetMenu(const KIVDialog* object) const;
  QAction* GetAction(const KIVDialog* object) const;
  /// The object shown by a widget, null for none.
  KIVDialog* GetObject(const QWidget* widget) const;
  /// 1 while the object lives (widgets may outlive their object until Qt deletes them).
  int IsAlive(const KIVDialog* object) const { return mEntries.count(object) != 0; }

  /// Asked for each new window; return true to have placed its widget yourself (in a
  /// main window, a dock, a tool bar). The widget still follows the model's visibility.
  void SetWindowPlacement(std::function<bool(KIVDlgWindow*, QWidget*)> placement) {
    mPlacement = std::move(placement);
  }
  /// Runs the deferred cycle soon (after input, for instance).
  void Kick();
  KIVQtDeferredDriver& GetDriver() { return *mDriver; }

  void Created(KIVDialog* object) override;
  void Destroyed(KIVDialog* object) override;
  void PropertyChanged(KIVDialog* object, KIVDlgProperty which) override;

 private:
  struct Entry {
    QPointer<QWidget> widget;     // what the object shows as (a window for windows)
    QPointer<QWidget> container;  // where its children's widgets go
    QPointer<QMenu> menu;         // menus and sub-menus
    QPointer<QAction> action;     // items, sub-menus
    QPointer<QWidget> bar;        // a bar menu's QMenuBar
    unsigned long serial = 0;
    int nextRow = 0;  // children without a cell go one per row
  };

  // Creation and placement (KIVQtPresenter.cpp).
  void Build(KIVDialog* object, Entry& entry);
  void Place(KIVDialog* object, Entry& entry);
  void Rebuild(KIVDialog* object);
  QWidget* ParentContainer(const KIVDialog* object) const;
  QWidget* ParentWindow(const KIVDialog* object) const;
  QGridLayout* GridOf(QWidget* container) const;
  void SyncAll(KIVDialog* object);
  void Sync(KIVDialog* object, Entry& entry, KIVDlgProperty which);
  Entry* Find(const KIVDialog* object);
  /// Calls action when the object still lives, then resyncs `which` when it still does.
  void Input(KIVDialog* object, const std::function<void()>& action, KIVDlgProperty which);
  void InstallContextMenu(KIVDialog* object);

  // Windows (KIVQtPresenterWindows.cpp).
  QWidget* BuildWindow(KIVDlgWindow* window, Entry& entry);
  void SyncWindow(KIVDlgWindow* window, Entry& entry, KIVDlgProperty which);

  // Controls (KIVQtPresenterControls.cpp).
  QWidget* BuildControl(KIVDialog* object, Entry& entry);
  void SyncControl(KIVDialog* object, Entry& entry, KIVDlgProperty which);

  // Menus (KIVQtPresenterMenus.cpp).
  bool BuildMenu(KIVDialog* object, Entry& entry);
  void SyncMenu(KIVDialog* object, Entry& entry, KIVDlgProperty which);
  void PopUp(KIVDialog* menu, Entry& entry);

  std::unordered_map<const KIVDialog*, Entry> mEntries;
  std::unordered_map<const QWidget*, KIVDialog*> mObjects;
  std::function<bool(KIVDlgWindow*, QWidget*)> mPlacement;
  KIVQtDeferredDriver* mDriver;
  unsigned long mNextSerial = 1;
  int mSyncing = 0;  // widget signals raised by the presenter's own updates are not input
};
