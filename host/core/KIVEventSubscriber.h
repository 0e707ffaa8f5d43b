#pragma once
// An object that publishes events (through its own callback manager) or subscribes to
// the events of others.

#include <memory>

#include "host/core/KIVBaseUnknown.h"
#include "host/core/KIVCallbackManager.h"

class KIVEventSubscriber : public KIVBaseUnknown {
  KIV_DECLARE_METAOBJECT(KIVEventSubscriber)
 public:
  KIVEventSubscriber();
  KIVEventSubscriber(const KIVEventSubscriber&) = delete;
  KIVEventSubscriber& operator=(const KIVEventSubscriber&) = delete;
  ~KIVEventSubscriber() override;

  /// The manager through which this object publishes; created on first use.
  KIVCallbackManager* GetCallbackManager();
  /// Subscribes a member of this object to an event of `publisher`. Returns the callback
  /// identifier, or 0 when the publisher or the event is null.
  template <class T>
  KIVCallback AddCallback(KIVEventSubscriber* publisher, const char* event,
                          void (T::*method)(const char*, void*, KIVNotification*, void*, KIVCallback),
                          void* data) {
    T* self = static_cast<T*>(this);
    return AddCallback(publisher, event,
                       KIVEventCallback([self, method](const char* ev, void* pub, KIVNotification* n, void* d,
                                                       KIVCallback id) { (self->*method)(ev, pub, n, d, id); }),
                       data);
  }
  KIVCallback AddCallback(KIVEventSubscriber* publisher, const char* event, KIVEventCallback callback,
                          void* data);
  /// Removes one subscription from `publisher`; 1 if it existed.
  int RemoveCallback(KIVEventSubscriber* publisher, KIVCallback id);
  /// Removes every subscription this object holds on `publisher`.
  int RemoveSubscriberCallbacks(KIVEventSubscriber* publisher);

  /// Expires when this object is destroyed; callbacks it added are then never called.
  std::weak_ptr<int> GetLifeToken() const { return mLife; }

 private:
  std::unique_ptr<KIVCallbackManager> mCallbackManager;
  std::shared_ptr<int> mLife = std::make_shared<int>(0);
};
