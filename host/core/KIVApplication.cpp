#include "host/core/KIVApplication.h"

#include <algorithm>

#include "host/core/KIVInteractiveApplication.h"

KIV_IMPLEMENT_METAOBJECT(KIVApplication, KIVCommand)

KIVApplication* KIVApplication::sInstance = nullptr;

KIVApplication::KIVApplication() : KIVCommand(nullptr, "KIVApplication") {}

KIVApplication::~KIVApplication() {
  if (sInstance == this) sInstance = nullptr;
}

KIVApplication* KIVApplication::MainApplication() {
  // Never destroyed: commands may outlive static destruction order.
  if (!sInstance) sInstance = new KIVInteractiveApplication;
  return sInstance;
}

KIVApplication* KIVApplication::ExistingApplication() { return sInstance; }

int KIVApplication::Subscribe(int type, KIVCommand* command, void* data, KIVDeferredFunction function) {
  if (type != 2 || !command || !function) return 0;
  for (const Subscription& s : mSubscriptions)
    if (s.command == command && s.function == function && s.data == data) return 1;
  mSubscriptions.push_back({mNextSerial++, command, data, function});
  if (mWorkHook) mWorkHook();
  return 1;
}

int KIVApplication::RemoveSubscribe(int type, KIVCommand* command) {
  if (type != 2 || !command) return 0;
  return static_cast<int>(std::erase_if(mSubscriptions, [command](const Subscription& s) { return s.command == command; }));
}

int KIVApplication::IsSubscribed(KIVCommand* command) const {
  return std::any_of(mSubscriptions.begin(), mSubscriptions.end(),
                     [command](const Subscription& s) { return s.command == command; });
}

int KIVApplication::ProcessDeferred() {
  int work = 0;
  const std::vector<Subscription> round = mSubscriptions;
  for (const Subscription& s : round) {
    auto still = std::find_if(mSubscriptions.begin(), mSubscriptions.end(),
                              [&s](const Subscription& t) { return t.serial == s.serial; });
    if (still == mSubscriptions.end()) continue;
    s.function(s.command, 2, s.data);
    ++work;
  }
  while (!mPendingDestructions.empty()) {
    KIVCommand* c = mPendingDestructions.front();
    mPendingDestructions.pop_front();
    delete c;  // its destructor also forgets any duplicate entry
    ++work;
  }
  return work;
}

int KIVApplication::HasPendingWork() const { return !mSubscriptions.empty() || !mPendingDestructions.empty(); }

void KIVApplication::AddDelayedDestruction(KIVCommand* command) {
  if (!command || command == this) return;
  if (std::find(mPendingDestructions.begin(), mPendingDestructions.end(), command) == mPendingDestructions.end()) {
    mPendingDestructions.push_back(command);
    if (mWorkHook) mWorkHook();
  }
}

void KIVApplication::ForgetCommand(KIVCommand* command) {
  std::erase_if(mSubscriptions, [command](const Subscription& s) { return s.command == command; });
  std::erase(mPendingDestructions, command);
}
