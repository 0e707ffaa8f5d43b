#pragma once
// The application: root of the command tree and owner of the deferred cycle, which runs
// the type-2 subscriptions and then the delayed destructions.

#include <deque>
#include <functional>
#include <vector>

#include "host/core/KIVCommand.h"

/// Function called at each deferred cycle: (subscribed command, subscription type, data).
using KIVDeferredFunction = void (*)(KIVCommand*, int, void*);

class KIVApplication : public KIVCommand {
  KIV_DECLARE_METAOBJECT(KIVApplication)
 public:
  /// The process's application, created on first use (an interactive one).
  static KIVApplication* MainApplication();
  /// The application if one exists, without creating it.
  static KIVApplication* ExistingApplication();

  /// Type 2: calls `function(command, 2, data)` at each deferred cycle until
  /// RemoveSubscribe. The same (command, function, data) is subscribed once. Returns 1, or
  /// 0 for another type, a null command or a null function.
  int Subscribe(int type, KIVCommand* command, void* data, KIVDeferredFunction function);
  /// Removes every type-2 subscription of the command; returns how many.
  int RemoveSubscribe(int type, KIVCommand* command);
  int IsSubscribed(KIVCommand* command) const;

  /// One deferred cycle: each subscription present at its start is called once (unless
  /// removed meanwhile), then every pending delayed destruction runs, including those the
  /// destructions themselves request. Returns the number of calls and destructions.
  int ProcessDeferred();
  /// 1 while subscriptions or destructions are pending.
  int HasPendingWork() const;

  /// Called whenever work is added (a new subscription or delayed destruction), so that
  /// an event loop can schedule a cycle instead of polling; null removes it.
  void SetWorkHook(std::function<void()> hook) { mWorkHook = std::move(hook); }

  /// Used by KIVCommand.
  void AddDelayedDestruction(KIVCommand* command);
  void ForgetCommand(KIVCommand* command);

 protected:
  KIVApplication();
  ~KIVApplication() override;

 private:
  struct Subscription {
    unsigned long serial;
    KIVCommand* command;
    void* data;
    KIVDeferredFunction function;
  };
  std::vector<Subscription> mSubscriptions;
  std::deque<KIVCommand*> mPendingDestructions;
  unsigned long mNextSerial = 1;
  std::function<void()> mWorkHook;
  static KIVApplication* sInstance;
  friend class KIVInteractiveApplication;
};
