// Menus: menu bars, sub-menus, contextual menus and their items.
#include <QAction>
#include <QBoxLayout>
#include <QCursor>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "host/dialog/KIVDlgBarMenu.h"
#include "host/dialog/KIVDlgCheckItem.h"
#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgPushItem.h"
#include "host/dialog/KIVDlgRadioItem.h"
#include "host/dialog/KIVDlgSeparatorItem.h"
#include "host/dialog/KIVDlgSubMenu.h"
#include "host/qt/KIVQtIconSet.h"
#include "host/qt/KIVQtLabel.h"
#include "host/qt/KIVQtPresenter.h"

bool KIVQtPresenter::BuildMenu(KIVDialog* object, Entry& entry) {
  const bool isMenu = dynamic_cast<KIVDlgMenu*>(object) != nullptr;
  const bool isItem = dynamic_cast<KIVDlgMenuItem*>(object) != nullptr;
  if (!isMenu && !isItem) return false;
  // The menu widget (a QMenu or a QMenuBar) that holds this one.
  QWidget* holder = nullptr;
  if (Entry* parent = Find(object->GetDialogParent()))
    holder = parent->menu ? static_cast<QWidget*>(parent->menu.data()) : parent->bar.data();

  if (dynamic_cast<KIVDlgBarMenu*>(object)) {
    QWidget* container = ParentContainer(object);
    auto* bar = new QMenuBar(container);
    entry.bar = bar;
    // A window's menu bar goes above its content.
    QWidget* window = container ? container->parentWidget() : nullptr;
    if (auto* column = window ? qobject_cast<QBoxLayout*>(window->layout()) : nullptr)
      column->setMenuBar(bar);
    else if (container && container->layout())
      container->layout()->addWidget(bar);
    return true;
  }
  if (auto* popup = dynamic_cast<KIVDlgContextualMenu*>(object)) {
    auto* menu = new QMenu(ParentWindow(object));
    entry.menu = menu;
    // Hidden by Qt (a choice, Escape, a click elsewhere): the model hears it once the
    // choice, if any, has been delivered.
    QObject::connect(menu, &QMenu::aboutToHide, menu, [this, popup] {
      QTimer::singleShot(0, [this, popup] {
        Entry* e = Find(popup);
        if (e && e->menu && !e->menu->isVisible() && popup->GetVisibility() == KIVDialog::VisibilityShown)
          popup->SetVisibility(KIVDialog::VisibilityHidden);
      });
    });
    InstallContextMenu(object->GetDialogParent());
    return true;
  }
  if (isMenu) {  // sub-menus and plain menus
    auto* menu = new QMenu(holder);
    entry.menu = menu;
    if (auto* m = qobject_cast<QMenu*>(holder))
      entry.action = m->addMenu(menu);
    else if (auto* bar = qobject_cast<QMenuBar*>(holder))
      entry.action = bar->addMenu(menu);
    return true;
  }
  auto* action = new QAction(holder);
  entry.action = action;
  if (holder) holder->addAction(action);
  if (dynamic_cast<KIVDlgSeparatorItem*>(object)) {
    action->setSeparator(true);
  } else if (auto* push = dynamic_cast<KIVDlgPushItem*>(object)) {
    QObject::connect(action, &QAction::triggered, action, [this, push] {
      Input(push, [push] { push->UserActivate(); }, KIVDlgProperty::State);
    });
  } else if (auto* check = dynamic_cast<KIVDlgCheckItem*>(object)) {
    action->setCheckable(true);
    QObject::connect(action, &QAction::triggered, action, [this, check](bool on) {
      const int state = on ? KIVDialog::StateSet : KIVDialog::StateCleared;
      Input(check, [check, state] { check->UserSetState(state); }, KIVDlgProperty::State);
    });
  } else if (auto* radio = dynamic_cast<KIVDlgRadioItem*>(object)) {
    action->setCheckable(true);
    QObject::connect(action, &QAction::triggered, action, [this, radio] {
      Input(radio, [radio] { radio->UserSetState(KIVDialog::StateSet); }, KIVDlgProperty::State);
    });
  }
  return true;
}

void KIVQtPresenter::SyncMenu(KIVDialog* object, Entry& entry, KIVDlgProperty which) {
  QAction* action = entry.action;
  switch (which) {
    case KIVDlgProperty::Title:
    case KIVDlgProperty::Mnemonic:
      if (entry.menu) entry.menu->setTitle(KIVQtLabel(object));
      if (action) action->setText(KIVQtLabel(object));
      break;
    case KIVDlgProperty::IconName:
      if (action) action->setIcon(KIVQtIconSet::Icon(object->GetIconName().CastToCharPtr()));
      break;
    case KIVDlgProperty::Sensitivity: {
      const bool on = object->GetSensitivity() == KIVDialog::SensitivityOn;
      if (action) action->setEnabled(on);
      if (entry.menu) entry.menu->setEnabled(on);
      if (entry.bar) entry.bar->setEnabled(on);
      break;
    }
    case KIVDlgProperty::Visibility: {
      const bool shown = object->GetVisibility() == KIVDialog::VisibilityShown;
      if (dynamic_cast<KIVDlgContextualMenu*>(object)) {
        if (shown)
          PopUp(object, entry);
        else if (entry.menu)
          entry.menu->hide();
      } else {
        if (action) action->setVisible(shown);
        if (entry.bar) entry.bar->setVisible(shown);
      }
      break;
    }
    case KIVDlgProperty::State: {
      int state = 0;
      if (auto* check = dynamic_cast<KIVDlgCheckItem*>(object)) state = check->GetState();
      if (auto* radio = dynamic_cast<KIVDlgRadioItem*>(object)) state = radio->GetState();
      if (action && action->isCheckable()) {
        const QSignalBlocker block(action);
        action->setChecked(state == KIVDialog::StateSet);
      }
      break;
    }
    default:
      break;
  }
}

void KIVQtPresenter::PopUp(KIVDialog* object, Entry& entry) {
  if (!entry.menu || entry.menu->isVisible()) return;
  // Once the current input is done: receivers fill a menu after showing it, and its items
  // reach the presenter when they are announced.
  QTimer::singleShot(0, entry.menu.data(), [this, object] {
    KIVDialog::FlushPresenter();
    Entry* e = Find(object);
    if (!e || !e->menu || e->menu->isVisible() || object->GetVisibility() != KIVDialog::VisibilityShown) return;
    if (e->menu->actions().isEmpty()) {  // nothing to offer: the menu closes at once
      object->SetVisibility(KIVDialog::VisibilityHidden);
      return;
    }
    // Where the model placed it, in its parent's device pixels; else under the pointer.
    QPoint at = QCursor::pos();
    int x, y, w, h;
    object->GetRectDimensions(x, y, w, h);
    if (QWidget* parent = GetWidget(object->GetDialogParent()); parent && (x || y)) {
      const qreal ratio = parent->devicePixelRatioF();
      at = parent->mapToGlobal(QPoint(static_cast<int>(x / ratio), static_cast<int>(y / ratio)));
    }
    e->menu->popup(at);
  });
}
