#include "host/qt/KIVQtDeferredDriver.h"

#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDialog.h"

KIVQtDeferredDriver::KIVQtDeferredDriver() {
  mTimer.setSingleShot(true);
  mTimer.setInterval(0);
  QObject::connect(&mTimer, &QTimer::timeout, this, [this] { Cycle(); });
  KIVApplication* app = KIVApplication::MainApplication();
  app->SetWorkHook([this] { Kick(); });
  if (app->HasPendingWork()) Kick();
}

KIVQtDeferredDriver::~KIVQtDeferredDriver() {
  if (KIVApplication* app = KIVApplication::ExistingApplication()) app->SetWorkHook(nullptr);
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
