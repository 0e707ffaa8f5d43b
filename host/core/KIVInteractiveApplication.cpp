#include "host/core/KIVInteractiveApplication.h"

KIV_IMPLEMENT_METAOBJECT(KIVInteractiveApplication, KIVApplication)

KIVInteractiveApplication* KIVInteractiveApplication::GetInteractiveApplication() {
  return static_cast<KIVInteractiveApplication*>(KIVApplication::MainApplication());
}

int KIVInteractiveApplication::SetBusyCursor(int busy) {
  if (busy) {
    if (mBusyDepth++ == 0 && mBusyHandler) mBusyHandler(1);
  } else if (mBusyDepth > 0) {
    if (--mBusyDepth == 0 && mBusyHandler) mBusyHandler(0);
  }
  return mBusyDepth;
}
