#pragma once
// A node of the command tree. Notifications sent to a command reach the callbacks
// registered there; a command with no matching callback passes them to its father.

#include <functional>
#include <memory>
#include <vector>

#include "host/core/KIVEventSubscriber.h"
#include "host/core/KIVString.h"

class KIVCommand;
class KIVNotification;

/// (sender, notification, data given at registration)
using KIVNotificationCallback = std::function<void(KIVCommand*, KIVNotification*, void*)>;

class KIVCommand : public KIVEventSubscriber {
  KIV_DECLARE_METAOBJECT(KIVCommand)
 public:
  explicit KIVCommand(KIVCommand* father = nullptr, const char* name = nullptr);
  /// Detaches the children (they become roots) and leaves the father, the deferred
  /// subscriptions and the pending destructions.
  ~KIVCommand() override;

  KIVCommand* GetFather() const { return mFather; }
  /// Moves this command under another father (null: a root). Refuses to create a cycle.
  int SetFather(KIVCommand* father);
  const KIVString& GetName() const { return mName; }
  void SetName(const char* name) { mName = name; }
  const std::vector<KIVCommand*>& GetChildren() const { return mChildren; }

  /// Delivers a notification, sent by this command, to `receiver`: to every matching
  /// callback of the first command from `receiver` up its fathers that has one. Returns
  /// the number of callbacks called. An auto-delete notification is deleted afterwards.
  int SendNotification(KIVCommand* receiver, KIVNotification* notification);

  /// Registers a callback on this command. `sender` null matches any sender; a
  /// notification pointer matches that instance; a class name (whose text must outlive
  /// the registration, as class-name statics do) matches any notification that IsAKindOf
  /// it; neither matches every notification.
  template <class T>
  KIVCallback AddAnalyseNotificationCB(KIVCommand* sender, KIVNotification* notification,
                                       void (T::*method)(KIVCommand*, KIVNotification*, void*), void* data) {
    return AddAnalyse(sender, notification, nullptr, Bind(method), data);
  }
  template <class T>
  KIVCallback AddAnalyseNotificationCB(KIVCommand* sender, const char* notificationClass,
                                       void (T::*method)(KIVCommand*, KIVNotification*, void*), void* data) {
    return AddAnalyse(sender, nullptr, notificationClass, Bind(method), data);
  }
  KIVCallback AddAnalyseNotificationCB(KIVCommand* sender, KIVNotification* notification,
                                       const char* notificationClass, KIVNotificationCallback callback,
                                       void* data) {
    return AddAnalyse(sender, notification, notificationClass, std::move(callback), data);
  }
  /// Removes the callback with that identifier; 1 if it existed.
  int RemoveAnalyseNotificationCB(KIVCallback id);
  /// Removes the first callback registered with exactly these arguments; 1 if found.
  int RemoveAnalyseNotificationCB(KIVCommand* sender, KIVNotification* notification, void* data);
  int RemoveAnalyseNotificationCB(KIVCommand* sender, const char* notificationClass, void* data);
  int GetAnalyseNotificationCount() const;

  /// Destroys this command at the end of the application's current deferred cycle.
  void RequestDelayedDestruction();
  int IsDestructionRequested() const { return mDestructionRequested; }

 private:
  struct Analyse {
    KIVCallback id;
    KIVCommand* sender;
    KIVNotification* notification;
    const char* className;
    KIVNotificationCallback callback;
    void* data;
    bool removed;
  };
  template <class T>
  KIVNotificationCallback Bind(void (T::*method)(KIVCommand*, KIVNotification*, void*)) {
    T* self = static_cast<T*>(this);
    return [self, method](KIVCommand* s, KIVNotification* n, void* d) { (self->*method)(s, n, d); };
  }
  KIVCallback AddAnalyse(KIVCommand* sender, KIVNotification* notification, const char* className,
                         KIVNotificationCallback callback, void* data);
  bool Matches(const Analyse& a, KIVCommand* sender, KIVNotification* notification) const;
  int Deliver(KIVCommand* sender, KIVNotification* notification);
  void Compact();

  KIVCommand* mFather = nullptr;
  KIVString mName;
  std::vector<KIVCommand*> mChildren;
  std::vector<std::shared_ptr<Analyse>> mAnalyses;
  int mDeliveryDepth = 0;
  int mDestructionRequested = 0;
};
