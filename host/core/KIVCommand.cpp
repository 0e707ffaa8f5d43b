#include "host/core/KIVCommand.h"

#include <algorithm>
#include <cstring>

#include "host/core/KIVApplication.h"
#include "host/core/KIVNotification.h"

KIV_IMPLEMENT_METAOBJECT(KIVCommand, KIVEventSubscriber)

namespace {
KIVCallback gNextAnalyseId = 1;
}

KIVCommand::KIVCommand(KIVCommand* father, const char* name) : mName(name) { SetFather(father); }

KIVCommand::~KIVCommand() {
  for (KIVCommand* child : mChildren) child->mFather = nullptr;
  mChildren.clear();
  if (mFather) std::erase(mFather->mChildren, this);
  mFather = nullptr;
  if (KIVApplication* app = KIVApplication::ExistingApplication()) app->ForgetCommand(this);
}

int KIVCommand::SetFather(KIVCommand* father) {
  for (KIVCommand* c = father; c; c = c->mFather)
    if (c == this) return 0;
  if (mFather) std::erase(mFather->mChildren, this);
  mFather = father;
  if (father) father->mChildren.push_back(this);
  return 1;
}

KIVCallback KIVCommand::AddAnalyse(KIVCommand* sender, KIVNotification* notification, const char* className,
                                   KIVNotificationCallback callback, void* data) {
  if (!callback) return 0;
  auto a = std::make_shared<Analyse>(
      Analyse{gNextAnalyseId++, sender, notification, className, std::move(callback), data, false});
  mAnalyses.push_back(a);
  return a->id;
}

void KIVCommand::Compact() {
  if (mDeliveryDepth == 0)
    std::erase_if(mAnalyses, [](const std::shared_ptr<Analyse>& a) { return a->removed; });
}

int KIVCommand::RemoveAnalyseNotificationCB(KIVCallback id) {
  for (auto& a : mAnalyses) {
    if (a->id == id && !a->removed) {
      a->removed = true;
      Compact();
      return 1;
    }
  }
  return 0;
}

int KIVCommand::RemoveAnalyseNotificationCB(KIVCommand* sender, KIVNotification* notification, void* data) {
  for (auto& a : mAnalyses) {
    if (!a->removed && a->sender == sender && a->notification == notification && !a->className &&
        a->data == data)
      return RemoveAnalyseNotificationCB(a->id);
  }
  return 0;
}

int KIVCommand::RemoveAnalyseNotificationCB(KIVCommand* sender, const char* notificationClass, void* data) {
  for (auto& a : mAnalyses) {
    if (!a->removed && a->sender == sender && !a->notification && a->data == data &&
        (a->className == notificationClass ||
         (a->className && notificationClass && std::strcmp(a->className, notificationClass) == 0)))
      return RemoveAnalyseNotificationCB(a->id);
  }
  return 0;
}

int KIVCommand::GetAnalyseNotificationCount() const {
  return static_cast<int>(std::count_if(mAnalyses.begin(), mAnalyses.end(),
                                        [](const std::shared_ptr<Analyse>& a) { return !a->removed; }));
}

bool KIVCommand::Matches(const Analyse& a, KIVCommand* sender, KIVNotification* notification) const {
  if (a.removed) return false;
  if (a.sender && a.sender != sender) return false;
  if (a.notification) return a.notification == notification;
  if (a.className) return notification && notification->IsAKindOf(a.className);
  return true;
}

int KIVCommand::Deliver(KIVCommand* sender, KIVNotification* notification) {
  std::weak_ptr<int> life = GetLifeToken();
  const size_t count = mAnalyses.size();  // callbacks added by a callback wait for the next one
  int called = 0;
  ++mDeliveryDepth;
  for (size_t i = 0; i < count; ++i) {
    std::shared_ptr<Analyse> a = mAnalyses[i];
    if (!Matches(*a, sender, notification)) continue;
    a->callback(sender, notification, a->data);
    ++called;
    if (life.expired()) return called;  // a callback deleted this command
  }
  --mDeliveryDepth;
  Compact();
  return called;
}

int KIVCommand::SendNotification(KIVCommand* receiver, KIVNotification* notification) {
  int called = 0;
  const bool autoDelete = notification && notification->GetAutoDelete();
  for (KIVCommand* r = receiver; r; r = r->mFather) {
    bool any = false;
    for (auto& a : r->mAnalyses)
      if (Matches(*a, this, notification)) {
        any = true;
        break;
      }
    if (!any) continue;
    called = r->Deliver(this, notification);
    break;
  }
  if (autoDelete) delete notification;
  return called;
}

void KIVCommand::RequestDelayedDestruction() {
  if (mDestructionRequested) return;
  mDestructionRequested = 1;
  KIVApplication::MainApplication()->AddDelayedDestruction(this);
}
