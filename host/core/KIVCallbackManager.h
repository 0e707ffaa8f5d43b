#pragma once
// Event dispatch from one publisher to its subscribers. An event is identified by its
// name string. Dispatch tolerates callbacks that add or remove callbacks, or delete the
// publisher or a subscriber while it runs.

#include <functional>
#include <memory>
#include <string>
#include <vector>

class KIVNotification;
class KIVEventSubscriber;

/// Callback identifier; 0 never names a callback.
using KIVCallback = long;

/// (event name, publisher, notification, subscriber data, callback identifier)
using KIVEventCallback = std::function<void(const char*, void*, KIVNotification*, void*, KIVCallback)>;

class KIVCallbackManager {
 public:
  KIVCallbackManager() = default;
  KIVCallbackManager(const KIVCallbackManager&) = delete;
  KIVCallbackManager& operator=(const KIVCallbackManager&) = delete;
  ~KIVCallbackManager();

  /// Adds a callback for an event; `subscriber` (may be null) is the object whose
  /// destruction silently cancels the callback. Returns the new identifier, 0 for a null
  /// event name or an empty callback. A callback added during a dispatch of the same
  /// manager is first called on the next dispatch.
  KIVCallback AddCallback(const char* event, KIVEventCallback callback, void* data,
                          KIVEventSubscriber* subscriber = nullptr);
  /// Removes one callback; 1 if it existed. Safe during dispatch: it is not called again.
  int RemoveCallback(KIVCallback id);
  /// Removes every callback that subscriber added; returns how many.
  int RemoveSubscriberCallbacks(KIVEventSubscriber* subscriber);
  /// Calls, in order of addition, every live callback of that event with
  /// (event, data, notification, subscriber data, id). Returns the number called.
  int DispatchCallbacks(const char* event, KIVNotification* notification, void* data);
  /// Number of live callbacks, for one event or (null) all events.
  int GetCallbackCount(const char* event = nullptr) const;

 private:
  struct Entry {
    KIVCallback id;
    std::string event;
    KIVEventCallback callback;
    void* data;
    KIVEventSubscriber* subscriber;
    std::weak_ptr<int> subscriberLife;
    bool removed;
  };
  bool IsLive(const Entry& e) const;
  void Compact();

  std::vector<std::shared_ptr<Entry>> mEntries;
  int mDispatchDepth = 0;
  bool mNeedsCompaction = false;
  // Shared with running dispatches so that they notice this manager's destruction.
  std::shared_ptr<bool> mAlive = std::make_shared<bool>(true);
};
