#include "host/core/KIVCallbackManager.h"

#include <algorithm>
#include <cstring>

#include "host/core/KIVEventSubscriber.h"

namespace {
KIVCallback gNextCallbackId = 1;
}

KIVCallbackManager::~KIVCallbackManager() { *mAlive = false; }

KIVCallback KIVCallbackManager::AddCallback(const char* event, KIVEventCallback callback, void* data,
                                            KIVEventSubscriber* subscriber) {
  if (!event || !callback) return 0;
  auto e = std::make_shared<Entry>();
  e->id = gNextCallbackId++;
  e->event = event;
  e->callback = std::move(callback);
  e->data = data;
  e->subscriber = subscriber;
  if (subscriber) e->subscriberLife = subscriber->GetLifeToken();
  e->removed = false;
  mEntries.push_back(std::move(e));
  return mEntries.back()->id;
}

bool KIVCallbackManager::IsLive(const Entry& e) const {
  if (e.removed) return false;
  return !e.subscriber || !e.subscriberLife.expired();
}

void KIVCallbackManager::Compact() {
  if (mDispatchDepth > 0) {
    mNeedsCompaction = true;
    return;
  }
  std::erase_if(mEntries, [this](const std::shared_ptr<Entry>& e) { return !IsLive(*e); });
  mNeedsCompaction = false;
}

int KIVCallbackManager::RemoveCallback(KIVCallback id) {
  if (id == 0) return 0;
  for (auto& e : mEntries) {
    if (e->id == id && !e->removed) {
      e->removed = true;
      Compact();
      return 1;
    }
  }
  return 0;
}

int KIVCallbackManager::RemoveSubscriberCallbacks(KIVEventSubscriber* subscriber) {
  if (!subscriber) return 0;
  int n = 0;
  for (auto& e : mEntries) {
    if (e->subscriber == subscriber && !e->removed) {
      e->removed = true;
      ++n;
    }
  }
  if (n) Compact();
  return n;
}

int KIVCallbackManager::DispatchCallbacks(const char* event, KIVNotification* notification, void* data) {
  if (!event) return 0;
  std::shared_ptr<bool> alive = mAlive;
  const size_t count = mEntries.size();  // callbacks added meanwhile wait for the next dispatch
  int called = 0;
  ++mDispatchDepth;
  for (size_t i = 0; i < count && i < mEntries.size(); ++i) {
    std::shared_ptr<Entry> e = mEntries[i];  // keeps the callable alive while it runs
    if (!IsLive(*e)) {
      mNeedsCompaction = true;
      continue;
    }
    if (e->event.c_str() != event && std::strcmp(e->event.c_str(), event) != 0) continue;
    e->callback(event, data, notification, e->data, e->id);
    ++called;
    if (!*alive) return called;  // the publisher was destroyed by its subscriber
  }
  --mDispatchDepth;
  if (mDispatchDepth == 0 && mNeedsCompaction) Compact();
  return called;
}

int KIVCallbackManager::GetCallbackCount(const char* event) const {
  int n = 0;
  for (auto& e : mEntries)
    if (IsLive(*e) && (!event || e->event == event)) ++n;
  return n;
}
