#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/core/KIVCallbackManager.h"
#include "host/core/KIVEventSubscriber.h"

namespace {

const char* const kEvent = "TestPublisherCHANGEDEvt";

struct Recorder : KIVEventSubscriber {
  std::vector<std::string> calls;
  void* lastPublisher = nullptr;
  void* lastData = nullptr;
  KIVCallback lastId = 0;
  void ChangedCB(const char* event, void* publisher, KIVNotification*, void* data, KIVCallback id) {
    calls.push_back(event);
    lastPublisher = publisher;
    lastData = data;
    lastId = id;
  }
};

TEST(CallbackManager, DeliversToSubscribersOfThatEventInOrder) {
  KIVEventSubscriber publisher;
  Recorder a, b;
  int tag = 0;
  const KIVCallback ida = a.AddCallback(&publisher, kEvent, &Recorder::ChangedCB, &tag);
  const KIVCallback idb = b.AddCallback(&publisher, kEvent, &Recorder::ChangedCB, nullptr);
  b.AddCallback(&publisher, "OtherEvt", &Recorder::ChangedCB, nullptr);
  EXPECT_NE(ida, 0);
  EXPECT_NE(ida, idb);
  const std::string sameText = kEvent;  // events match by text, not by pointer
  EXPECT_EQ(publisher.GetCallbackManager()->DispatchCallbacks(sameText.c_str(), nullptr, &publisher), 2);
  EXPECT_EQ(a.calls.size(), 1u);
  EXPECT_EQ(b.calls.size(), 1u);
  EXPECT_EQ(a.lastPublisher, &publisher);
  EXPECT_EQ(a.lastData, &tag);
  EXPECT_EQ(a.lastId, ida);
  EXPECT_EQ(b.lastId, idb);
  EXPECT_EQ(a.RemoveCallback(&publisher, ida), 1);
  EXPECT_EQ(a.RemoveCallback(&publisher, ida), 0);
  EXPECT_EQ(publisher.GetCallbackManager()->DispatchCallbacks(kEvent, nullptr, &publisher), 1);
  EXPECT_EQ(b.RemoveSubscriberCallbacks(&publisher), 2);
  EXPECT_EQ(publisher.GetCallbackManager()->GetCallbackCount(), 0);
}

TEST(CallbackManager, NullArgumentsAreRefused) {
  KIVEventSubscriber publisher;
  Recorder r;
  EXPECT_EQ(r.AddCallback(nullptr, kEvent, &Recorder::ChangedCB, nullptr), 0);
  EXPECT_EQ(r.AddCallback(&publisher, nullptr, &Recorder::ChangedCB, nullptr), 0);
  EXPECT_EQ(r.RemoveCallback(nullptr, 5), 0);
  EXPECT_EQ(publisher.GetCallbackManager()->RemoveCallback(0), 0);
  EXPECT_EQ(publisher.GetCallbackManager()->DispatchCallbacks(nullptr, nullptr, nullptr), 0);
}

TEST(CallbackManager, RemovalDuringDispatchSkipsTheRemovedCallbacks) {
  KIVEventSubscriber publisher;
  KIVCallbackManager* m = publisher.GetCallbackManager();
  std::vector<int> order;
  KIVCallback second = 0;
  KIVCallback first = 0;
  first = m->AddCallback(kEvent, [&](const char*, void*, KIVNotification*, void*, KIVCallback) {
    order.push_back(1);
    m->RemoveCallback(first);   // itself
    m->RemoveCallback(second);  // one not yet called
  }, nullptr);
  second = m->AddCallback(kEvent, [&](const char*, void*, KIVNotification*, void*, KIVCallback) { order.push_back(2); }, nullptr);
  m->AddCallback(kEvent, [&](const char*, void*, KIVNotification*, void*, KIVCallback) { order.push_back(3); }, nullptr);
  EXPECT_EQ(m->DispatchCallbacks(kEvent, nullptr, nullptr), 2);
  EXPECT_EQ(order, (std::vector<int>{1, 3}));
  EXPECT_EQ(m->GetCallbackCount(kEvent), 1);
}

TEST(CallbackManager, CallbackAddedDuringDispatchWaitsForTheNextOne) {
  KIVEventSubscriber publisher;
  KIVCallbackManager* m = publisher.GetCallbackManager();
  int added = 0, calledAdded = 0;
  m->AddCallback(kEvent, [&](const char*, void*, KIVNotification*, void*, KIVCallback) {
    if (added++ == 0)
      m->AddCallback(kEvent, [&](const char*, void*, KIVNotification*, void*, KIVCallback) { ++calledAdded; }, nullptr);
  }, nullptr);
  m->DispatchCallbacks(kEvent, nullptr, nullptr);
  EXPECT_EQ(calledAdded, 0);
  m->DispatchCallbacks(kEvent, nullptr, nullptr);
  EXPECT_EQ(calledAdded, 1);
}

TEST(CallbackManager, NestedDispatchAndRemovalKeepEveryoneConsistent) {
  KIVEventSubscriber publisher;
  KIVCallbackManager* m = publisher.GetCallbackManager();
  int depth = 0, outerCalls = 0, innerCalls = 0;
  KIVCallback inner = 0;
  m->AddCallback(kEvent, [&](const char*, void*, KIVNotification*, void*, KIVCallback) {
    ++outerCalls;
    if (depth++ == 0) m->DispatchCallbacks(kEvent, nullptr, nullptr);
  }, nullptr);
  inner = m->AddCallback(kEvent, [&](const char*, void*, KIVNotification*, void*, KIVCallback) {
    ++innerCalls;
    m->RemoveCallback(inner);
  }, nullptr);
  m->DispatchCallbacks(kEvent, nullptr, nullptr);
  EXPECT_EQ(outerCalls, 2);
  EXPECT_EQ(innerCalls, 1);  // removed in the nested dispatch, skipped by the outer one
  EXPECT_EQ(m->GetCallbackCount(), 1);
}

TEST(CallbackManager, PublisherDeletedByItsSubscriberEndsTheDispatch) {
  auto* publisher = new KIVEventSubscriber;
  int after = 0;
  publisher->GetCallbackManager()->AddCallback(kEvent, [&](const char*, void*, KIVNotification*, void*, KIVCallback) {
    delete publisher;
  }, nullptr);
  publisher->GetCallbackManager()->AddCallback(kEvent, [&](const char*, void*, KIVNotification*, void*, KIVCallback) { ++after; }, nullptr);
  EXPECT_EQ(publisher->GetCallbackManager()->DispatchCallbacks(kEvent, nullptr, publisher), 1);
  EXPECT_EQ(after, 0);
}

TEST(CallbackManager, DeletedSubscriberIsNeverCalled) {
  KIVEventSubscriber publisher;
  auto* gone = new Recorder;
  Recorder stays;
  auto* killer = new Recorder;
  killer->AddCallback(&publisher, kEvent, KIVEventCallback([&](const char*, void*, KIVNotification*, void*, KIVCallback) {
    delete gone;  // a subscriber destroyed by another's callback during the dispatch
    gone = nullptr;
  }), nullptr);
  gone->AddCallback(&publisher, kEvent, &Recorder::ChangedCB, nullptr);
  stays.AddCallback(&publisher, kEvent, &Recorder::ChangedCB, nullptr);
  EXPECT_EQ(publisher.GetCallbackManager()->DispatchCallbacks(kEvent, nullptr, &publisher), 2);
  EXPECT_EQ(stays.calls.size(), 1u);
  delete killer;
  EXPECT_EQ(publisher.GetCallbackManager()->GetCallbackCount(), 1);
  EXPECT_EQ(publisher.GetCallbackManager()->DispatchCallbacks(kEvent, nullptr, &publisher), 1);
}

}  // namespace
