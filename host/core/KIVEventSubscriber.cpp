#include "host/core/KIVEventSubscriber.h"

KIV_IMPLEMENT_METAOBJECT(KIVEventSubscriber, KIVBaseUnknown)

KIVEventSubscriber::KIVEventSubscriber() = default;

KIVEventSubscriber::~KIVEventSubscriber() { mLife.reset(); }

KIVCallbackManager* KIVEventSubscriber::GetCallbackManager() {
  if (!mCallbackManager) mCallbackManager = std::make_unique<KIVCallbackManager>();
  return mCallbackManager.get();
}

KIVCallback KIVEventSubscriber::AddCallback(KIVEventSubscriber* publisher, const char* event,
                                            KIVEventCallback callback, void* data) {
  if (!publisher) return 0;
  return publisher->GetCallbackManager()->AddCallback(event, std::move(callback), data, this);
}

int KIVEventSubscriber::RemoveCallback(KIVEventSubscriber* publisher, KIVCallback id) {
  if (!publisher) return 0;
  return publisher->GetCallbackManager()->RemoveCallback(id);
}

int KIVEventSubscriber::RemoveSubscriberCallbacks(KIVEventSubscriber* publisher) {
  if (!publisher) return 0;
  return publisher->GetCallbackManager()->RemoveSubscriberCallbacks(this);
}
