#include "mover/NavSelectManipulator.h"

#include "host/visu/interact/KIVMouseEvent.h"
#include "host/visu/interact/KIVViewerEvent.h"

KIV_IMPLEMENT_METAOBJECT(NavSelectManipulator, KIVManipulator)

NavSelectManipulator::NavSelectManipulator(KIVCommand* father, KIVRep* rep)
    : KIVManipulator(father, "SelectManipulator", rep) {}

NavSelectManipulator::~NavSelectManipulator() = default;

int NavSelectManipulator::TraduitEvenement(KIVNotification* notification) {
  auto* event = dynamic_cast<KIVViewerEvent*>(notification);
  if (!event) return 0;
  auto* mouse = dynamic_cast<KIVMouseEvent*>(event->GetDeviceEvent());
  if (!mouse) return 0;
  if (KIVPickPath* picked = event->GetPickPath()) {
    mPathCopy = *picked;
    mPath = &*mPathCopy;
  } else {
    mPathCopy.reset();
    mPath = nullptr;
  }
  mFather = nullptr;
  if (mPath) {
    mPath->InitToLeafRep();
    mPath->NextFatherRep();  // the leaf
    mFather = mPath->NextFatherRep();
  }
  mControl = (mouse->GetModifiers() & 4) ? 1 : 0;
  mShift = (mouse->GetModifiers() & 1) ? 1 : 0;
  return 1;
}

int NavSelectManipulator::UpdateManipulateRepOn(int on) {
  if (on != -1) mEnabled = on == 1 ? 1 : 0;
  return mEnabled;
}

int NavSelectManipulator::Preactivate(KIVNotification* notification, KIVManipulator* from) {
  if (mEnabled == 1 && TraduitEvenement(notification) == 1) KIVManipulator::Preactivate(notification, from);
  return 1;
}

int NavSelectManipulator::Move(KIVNotification* notification, KIVManipulator* from) {
  if (mEnabled == 1 && TraduitEvenement(notification) == 1) KIVManipulator::Move(notification, from);
  return 1;
}

int NavSelectManipulator::Activate(KIVNotification* notification, KIVManipulator* from) {
  if (mEnabled == 1 && TraduitEvenement(notification) == 1) KIVManipulator::Activate(notification, from);
  return 1;
}

int NavSelectManipulator::Edit(KIVNotification* notification, KIVManipulator* from) {
  if (mEnabled == 1 && TraduitEvenement(notification) == 1) KIVManipulator::Edit(notification, from);
  return 1;
}
