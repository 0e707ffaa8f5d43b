#include "host/qt/KIVQtPresenter.h"

#include <QAction>
#include <QBoxLayout>
#include <QGridLayout>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

#include "host/dialog/KIVDlgContextualMenu.h"
#include "host/dialog/KIVDlgMenu.h"
#include "host/dialog/KIVDlgMenuItem.h"
#include "host/dialog/KIVDlgWindow.h"
#include "host/qt/KIVQtDeferredDriver.h"
#include "host/qt/KIVQtMultiList.h"
#include "host/qt/KIVQtViewerWidget.h"

KIVQtPresenter::KIVQtPresenter() : mDriver(new KIVQtDeferredDriver) { KIVDialog::SetPresenter(this); }

KIVQtPresenter::~KIVQtPresenter() {
  if (KIVDialog::GetPresenter() == this) KIVDialog::SetPresenter(nullptr);
  for (auto& [object, entry] : mEntries) {
    (void)object;
    if (auto* view = dynamic_cast<KIVQtViewerWidget*>(entry.widget.data())) view->Detach();
    if (auto* list = dynamic_cast<KIVQtMultiList*>(entry.widget.data())) list->Detach();
  }
  // Windows first: their children go with them.
  for (auto& [object, entry] : mEntries)
    if (dynamic_cast<const KIVDlgWindow*>(object) && entry.widget) delete entry.widget.data();
  for (auto& [object, entry] : mEntries) {
    (void)object;
    delete entry.action.data();
    delete entry.menu.data();
    delete entry.widget.data();
  }
  delete mDriver;
}

void KIVQtPresenter::Kick() { mDriver->Kick(); }

KIVQtPresenter::Entry* KIVQtPresenter::Find(const KIVDialog* object) {
  auto it = mEntries.find(object);
  return it == mEntries.end() ? nullptr : &it->second;
}

QWidget* KIVQtPresenter::GetWidget(const KIVDialog* object) const {
  auto it = mEntries.find(object);
  return it == mEntries.end() ? nullptr : it->second.widget.data();
}

QMenu* KIVQtPresenter::GetMenu(const KIVDialog* object) const {
  auto it = mEntries.find(object);
  return it == mEntries.end() ? nullptr : it->second.menu.data();
}

QAction* KIVQtPresenter::GetAction(const KIVDialog* object) const {
  auto it = mEntries.find(object);
  return it == mEntries.end() ? nullptr : it->second.action.data();
}

KIVDialog* KIVQtPresenter::GetObject(const QWidget* widget) const {
  auto it = mObjects.find(widget);
  return it == mObjects.end() ? nullptr : it->second;
}

void KIVQtPresenter::Created(KIVDialog* object) {
  if (!object || mEntries.count(object)) return;
  Entry& entry = mEntries[object];
  entry.serial = mNextSerial++;
  Build(object, entry);
  SyncAll(object);
}

void KIVQtPresenter::Build(KIVDialog* object, Entry& entry) {
  if (BuildMenu(object, entry)) return;
  QWidget* widget = nullptr;
  if (auto* window = dynamic_cast<KIVDlgWindow*>(object))
    widget = BuildWindow(window, entry);
  else
    widget = BuildControl(object, entry);
  if (!widget) return;
  widget->setObjectName(QString::fromUtf8(object->GetTag().CastToCharPtr()));
  entry.widget = widget;
  if (!entry.container) entry.container = widget;
  mObjects[widget] = object;
  if (!dynamic_cast<KIVDlgWindow*>(object)) Place(object, entry);
}

QWidget* KIVQtPresenter::ParentContainer(const KIVDialog* object) const {
  for (const KIVDialog* p = object->GetDialogParent(); p; p = p->GetDialogParent()) {
    auto it = mEntries.find(p);
    if (it != mEntries.end() && it->second.container) return it->second.container.data();
  }
  return nullptr;
}

QWidget* KIVQtPresenter::ParentWindow(const KIVDialog* object) const {
  QWidget* container = ParentContainer(object);
  return container ? container->window() : nullptr;
}

QGridLayout* KIVQtPresenter::GridOf(QWidget* container) const {
  if (!container) return nullptr;
  if (auto* grid = qobject_cast<QGridLayout*>(container->layout())) return grid;
  if (container->layout()) return nullptr;  // a layout of its own (tool bars, tab widgets)
  auto* grid = new QGridLayout(container);
  grid->setContentsMargins(4, 4, 4, 4);
  grid->setSpacing(4);
  return grid;
}

void KIVQtPresenter::Place(KIVDialog* object, Entry& entry) {
  QWidget* widget = entry.widget;
  QWidget* container = ParentContainer(object);
  if (!widget || !container) return;
  if (auto* tabs = qobject_cast<QTabWidget*>(container)) {
    if (tabs->indexOf(widget) < 0) tabs->addTab(widget, QString());
    return;
  }
  if (widget->parentWidget() != container) widget->setParent(container);
  if (container->layout() && !qobject_cast<QGridLayout*>(container->layout())) {
    container->layout()->addWidget(widget);
    return;
  }
  QGridLayout* grid = GridOf(container);
  if (!grid) return;
  grid->removeWidget(widget);
  int row, column, rowSpan, columnSpan, attach;
  if (!object->GetGridConstraints(row, column, rowSpan, columnSpan, attach)) {
    Entry* parent = nullptr;
    for (KIVDialog* p = object->GetDialogParent(); p && !parent; p = p->GetDialogParent()) {
      Entry* e = Find(p);
      if (e && e->container == container) parent = e;
    }
    row = parent ? parent->nextRow++ : grid->rowCount();
    column = 0;
    rowSpan = columnSpan = 1;
    attach = KIVDialog::AttachLeft | KIVDialog::AttachRight;
  }
  // One side attached: sticks to it; both or none: fills the cell.
  Qt::Alignment align;
  const bool left = attach & KIVDialog::AttachLeft, right = attach & KIVDialog::AttachRight;
  const bool top = attach & KIVDialog::AttachTop, bottom = attach & KIVDialog::AttachBottom;
  if (left != right) align |= left ? Qt::AlignLeft : Qt::AlignRight;
  if (top != bottom) align |= top ? Qt::AlignTop : Qt::AlignBottom;
  grid->addWidget(widget, row, column, rowSpan, columnSpan, align);
  if (widget->sizePolicy().horizontalPolicy() == QSizePolicy::Expanding) grid->setColumnStretch(column, 1);
  if (widget->sizePolicy().verticalPolicy() == QSizePolicy::Expanding) grid->setRowStretch(row, 1);
}

void KIVQtPresenter::Rebuild(KIVDialog* object) {
  Entry* entry = Find(object);
  if (!entry || !entry->widget) return;
  QWidget* old = entry->widget;
  mObjects.erase(old);
  // A row keeps its order: the new widget takes the old one's place.
  auto* row = old->parentWidget() ? qobject_cast<QBoxLayout*>(old->parentWidget()->layout()) : nullptr;
  const int index = row ? row->indexOf(old) : -1;
  if (row) row->removeWidget(old);
  old->hide();
  old->deleteLater();
  entry->widget = nullptr;
  entry->container = nullptr;
  Build(object, *entry);
  if (row && index >= 0 && entry->widget && row->indexOf(entry->widget) >= 0) {
    row->removeWidget(entry->widget);
    row->insertWidget(index, entry->widget);
  }
  SyncAll(object);
  // Children whose widgets lived in the old one move to the new one.
  for (KIVDialog* child : object->GetDialogChildren()) {
    Entry* c = Find(child);
    if (c && c->widget && !dynamic_cast<KIVDlgWindow*>(child)) Place(child, *c);
  }
}

void KIVQtPresenter::Destroyed(KIVDialog* object) {
  auto it = mEntries.find(object);
  if (it == mEntries.end()) return;
  Entry entry = it->second;
  mEntries.erase(it);
  if (entry.widget) {
    mObjects.erase(entry.widget.data());
    if (auto* view = dynamic_cast<KIVQtViewerWidget*>(entry.widget.data())) view->Detach();
    if (auto* list = dynamic_cast<KIVQtMultiList*>(entry.widget.data())) list->Detach();
    // Later: the widget may be in the middle of delivering the input that destroyed it.
    entry.widget->hide();
    entry.widget->deleteLater();
  }
  if (entry.menu) {
    entry.menu->hide();
    entry.menu->deleteLater();
  }
  if (entry.action) entry.action->deleteLater();
  if (entry.bar) entry.bar->deleteLater();
}

void KIVQtPresenter::PropertyChanged(KIVDialog* object, KIVDlgProperty which) {
  Entry* entry = Find(object);
  if (!entry) return;
  if (which == KIVDlgProperty::IconName && !entry->menu && !entry->action) {
    // Buttons with an icon are tool buttons: the kind of widget changes.
    QWidget* widget = entry->widget;
    const bool tool = widget && widget->inherits("QToolButton");
    const bool wantsTool = !object->GetIconName().IsEmpty() && widget && widget->property("kivButton").toBool();
    if (widget && widget->property("kivButton").toBool() && tool != wantsTool) {
      Rebuild(object);
      return;
    }
  }
  ++mSyncing;
  Sync(object, *entry, which);
  --mSyncing;
}

void KIVQtPresenter::SyncAll(KIVDialog* object) {
  static const KIVDlgProperty all[] = {
      KIVDlgProperty::Title,    KIVDlgProperty::IconName,  KIVDlgProperty::Sensitivity, KIVDlgProperty::Rect,
      KIVDlgProperty::TextSize, KIVDlgProperty::Range,     KIVDlgProperty::Format,      KIVDlgProperty::Lines,
      KIVDlgProperty::State,    KIVDlgProperty::Selection, KIVDlgProperty::Scroll,      KIVDlgProperty::Value,
      KIVDlgProperty::Text,     KIVDlgProperty::Buttons,   KIVDlgProperty::Mnemonic,    KIVDlgProperty::AcceleratorKey,
      KIVDlgProperty::Visibility};
  Entry* entry = Find(object);
  if (!entry) return;
  ++mSyncing;
  for (KIVDlgProperty which : all) {
    entry = Find(object);
    if (!entry) break;
    Sync(object, *entry, which);
  }
  --mSyncing;
  InstallContextMenu(object);
}

void KIVQtPresenter::Sync(KIVDialog* object, Entry& entry, KIVDlgProperty which) {
  if (entry.menu || entry.action || entry.bar) {
    SyncMenu(object, entry, which);
  } else if (auto* window = dynamic_cast<KIVDlgWindow*>(object)) {
    SyncWindow(window, entry, which);
  } else {
    SyncControl(object, entry, which);
  }
}

void KIVQtPresenter::Input(KIVDialog* object, const std::function<void()>& action, KIVDlgProperty which) {
  if (mSyncing) return;
  Entry* entry = Find(object);
  if (!entry) return;
  const unsigned long serial = entry->serial;
  action();
  // The receiver may have destroyed the object, or a new one may sit at its address.
  entry = Find(object);
  if (entry && entry->serial == serial) {
    ++mSyncing;
    Sync(object, *entry, which);
    --mSyncing;
  }
  Kick();
}

void KIVQtPresenter::InstallContextMenu(KIVDialog* object) {
  Entry* entry = Find(object);
  if (!entry || !entry->widget || entry->widget->property("kivContext").toBool()) return;
  KIVDlgContextualMenu* menu = nullptr;
  for (KIVDialog* child : object->GetDialogChildren())
    if ((menu = dynamic_cast<KIVDlgContextualMenu*>(child))) break;
  // Viewers pop their menu up themselves, from the model's right click.
  if (!menu || dynamic_cast<KIVQtViewerWidget*>(entry->widget.data())) return;
  QWidget* widget = entry->widget;
  widget->setProperty("kivContext", true);
  widget->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(widget, &QWidget::customContextMenuRequested, widget, [this, object](const QPoint&) {
    if (!Find(object)) return;
    for (KIVDialog* child : object->GetDialogChildren())
      if (auto* m = dynamic_cast<KIVDlgContextualMenu*>(child)) {
        m->SetVisibility(KIVDialog::VisibilityShown);
        break;
      }
  });
}
