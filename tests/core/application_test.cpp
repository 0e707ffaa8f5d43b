#include <gtest/gtest.h>

#include <vector>

#include "host/core/KIVApplication.h"
#include "host/core/KIVInteractiveApplication.h"

namespace {

std::vector<KIVCommand*> gCalls;
KIVCommand* gToUnsubscribe = nullptr;
KIVCommand* gToSubscribe = nullptr;

void Record(KIVCommand* c, int type, void*) {
  EXPECT_EQ(type, 2);
  gCalls.push_back(c);
}
void Counter(KIVCommand* c, int, void* data) {
  ++*static_cast<int*>(data);
  gCalls.push_back(c);
}
void Meddle(KIVCommand* c, int, void*) {
  gCalls.push_back(c);
  KIVApplication* app = KIVApplication::MainApplication();
  if (gToUnsubscribe) app->RemoveSubscribe(2, gToUnsubscribe);
  if (gToSubscribe) app->Subscribe(2, gToSubscribe, nullptr, Record);
}

struct ApplicationTest : ::testing::Test {
  KIVApplication* app = KIVApplication::MainApplication();
  void SetUp() override {
    gCalls.clear();
    gToUnsubscribe = gToSubscribe = nullptr;
  }
  void TearDown() override {
    if (app->HasPendingWork()) app->ProcessDeferred();
  }
};

TEST_F(ApplicationTest, EachSubscriptionRunsOncePerCycleUntilRemoved) {
  KIVCommand a, b;
  int count = 0;
  EXPECT_EQ(app->Subscribe(2, &a, &count, Counter), 1);
  EXPECT_EQ(app->Subscribe(2, &a, &count, Counter), 1);  // the same triple is one subscription
  EXPECT_EQ(app->Subscribe(2, &b, &count, Counter), 1);
  EXPECT_EQ(app->Subscribe(1, &b, nullptr, Record), 0);
  EXPECT_EQ(app->Subscribe(2, nullptr, nullptr, Record), 0);
  EXPECT_EQ(app->Subscribe(2, &b, nullptr, nullptr), 0);
  EXPECT_EQ(app->ProcessDeferred(), 2);
  EXPECT_EQ(app->ProcessDeferred(), 2);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(app->RemoveSubscribe(2, &a), 1);
  app->ProcessDeferred();
  EXPECT_EQ(gCalls.back(), &b);
  EXPECT_EQ(count, 5);
  EXPECT_EQ(app->IsSubscribed(&b), 1);
  // A destroyed command leaves its subscriptions behind.
  {
    KIVCommand c;
    app->Subscribe(2, &c, &count, Counter);
  }
  app->RemoveSubscribe(2, &b);
  EXPECT_EQ(app->HasPendingWork(), 0);
}

TEST_F(ApplicationTest, ChangesMadeDuringACycleApplyAsExpected) {
  KIVCommand meddler, victim, late;
  app->Subscribe(2, &meddler, nullptr, Meddle);
  app->Subscribe(2, &victim, nullptr, Record);
  gToUnsubscribe = &victim;
  gToSubscribe = &late;
  app->ProcessDeferred();
  EXPECT_EQ(gCalls, (std::vector<KIVCommand*>{&meddler}));  // victim removed, late waits
  gToUnsubscribe = gToSubscribe = nullptr;
  gCalls.clear();
  app->ProcessDeferred();
  EXPECT_EQ(gCalls, (std::vector<KIVCommand*>{&meddler, &late}));
  app->RemoveSubscribe(2, &meddler);
  app->RemoveSubscribe(2, &late);
}

struct Chain : KIVCommand {
  Chain* next;
  int* destroyed;
  Chain(Chain* n, int* d) : next(n), destroyed(d) {}
  ~Chain() override {
    ++*destroyed;
    if (next) next->RequestDelayedDestruction();  // destruction that asks for more
  }
};

TEST_F(ApplicationTest, DelayedDestructionsRunAfterSubscriptionsIncludingThoseTheyRequest) {
  int destroyed = 0;
  auto* c3 = new Chain(nullptr, &destroyed);
  auto* c2 = new Chain(c3, &destroyed);
  auto* c1 = new Chain(c2, &destroyed);
  c1->RequestDelayedDestruction();
  c1->RequestDelayedDestruction();  // asking twice destroys once
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(app->ProcessDeferred(), 3);
  EXPECT_EQ(destroyed, 3);

  // A command deleted directly after asking is forgotten by the pending list.
  auto* direct = new Chain(nullptr, &destroyed);
  direct->RequestDelayedDestruction();
  delete direct;
  EXPECT_EQ(app->ProcessDeferred(), 0);
  EXPECT_EQ(destroyed, 4);
}

TEST_F(ApplicationTest, BusyCursorRequestsNest) {
  auto* ia = KIVInteractiveApplication::GetInteractiveApplication();
  std::vector<int> shown;
  ia->SetBusyCursorHandler([&](int on) { shown.push_back(on); });
  EXPECT_EQ(ia->SetBusyCursor(1), 1);
  EXPECT_EQ(ia->SetBusyCursor(1), 2);
  EXPECT_EQ(ia->SetBusyCursor(0), 1);
  EXPECT_EQ(ia->SetBusyCursor(0), 0);
  EXPECT_EQ(ia->SetBusyCursor(0), 0);  // an extra release is harmless
  EXPECT_EQ(shown, (std::vector<int>{1, 0}));
  ia->SetBusyCursorHandler(nullptr);
}

}  // namespace
