#include "host/qt/KIVQtDeferredDriver.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>

#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDialog.h"

KIVQtDeferredDriver::KIVQtDeferredDriver() {
  mTimer.setSingleShot(true);
  mTimer.setInterval(0);
  QObject::connect(&mTimer, &QTimer::timeout, this, [this] { Cycle(); });
  if (auto* dispatcher = QAbstractEventDispatcher::instance())
    QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] {
      KIVDialog::FlushPresenter();
      KIVApplication* app = KIVApplication::ExistingApplication();
      if (app && app->HasPendingWork()) Kick();
    });
}

void KIVQtDeferredDriver::Kick() {
  if (!mTimer.isActive()) mTimer.start();
}

void KIVQtDeferredDriver::Cycle() {
  KIVDialog::FlushPresenter();
  KIVApplication* app = KIVApplication::ExistingApplication();
  if (!app) return;
  app->ProcessDeferred();
  ++mCycles;
  if (app->HasPendingWork()) Kick();
}
