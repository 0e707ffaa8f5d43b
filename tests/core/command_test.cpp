#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/core/KIVApplication.h"
#include "host/core/KIVCommand.h"
#include "host/core/KIVNotification.h"

class PingNotification : public KIVNotification {
  KIV_DECLARE_METAOBJECT(PingNotification)
 public:
  explicit PingNotification(int autoDelete = 0, int* deleted = nullptr) : KIVNotification(autoDelete), mDeleted(deleted) {}
  ~PingNotification() override {
    if (mDeleted) ++*mDeleted;
  }
  int* mDeleted;
};
KIV_IMPLEMENT_METAOBJECT(PingNotification, KIVNotification)

class LoudPingNotification : public PingNotification {
  KIV_DECLARE_METAOBJECT(LoudPingNotification)
  using PingNotification::PingNotification;
};
KIV_IMPLEMENT_METAOBJECT(LoudPingNotification, PingNotification)

namespace {

struct Node : KIVCommand {
  using KIVCommand::KIVCommand;
  std::vector<std::string> got;
  void AnalyseCB(KIVCommand* sender, KIVNotification* n, void* data) {
    got.push_back(std::string(GetName().CastToCharPtr()) + "<" + (sender ? sender->GetName().CastToCharPtr() : "?") +
                  ":" + n->IsA() + (data ? "+data" : ""));
  }
};

TEST(CommandTree, FatherAndChildrenFollowConstructionAndMoves) {
  Node root(nullptr, "root");
  Node a(&root, "a"), b(&root, "b");
  EXPECT_EQ(a.GetFather(), &root);
  EXPECT_EQ(root.GetChildren(), (std::vector<KIVCommand*>{&a, &b}));
  EXPECT_EQ(a.SetFather(&b), 1);
  EXPECT_EQ(root.GetChildren(), (std::vector<KIVCommand*>{&b}));
  EXPECT_EQ(b.SetFather(&a), 0);  // a cycle
  EXPECT_EQ(b.GetFather(), &root);
  auto* c = new Node(&a, "c");
  auto* orphan = new Node(c, "orphan");
  delete c;  // the child loses its father, nothing dangles
  EXPECT_EQ(orphan->GetFather(), nullptr);
  delete orphan;
  EXPECT_TRUE(a.GetChildren().empty());
}

TEST(CommandTree, NotificationBubblesToTheFirstCommandWithAMatchingCallback) {
  Node root(nullptr, "root"), mid(&root, "mid"), leaf(&mid, "leaf");
  PingNotification ping;
  root.AddAnalyseNotificationCB(nullptr, PingNotification::ClassName(), &Node::AnalyseCB, nullptr);
  EXPECT_EQ(leaf.SendNotification(&mid, &ping), 1);
  EXPECT_EQ(root.got, (std::vector<std::string>{"root<leaf:PingNotification"}));

  // A matching callback on mid stops the notification there.
  int data = 0;
  mid.AddAnalyseNotificationCB(&leaf, &ping, &Node::AnalyseCB, &data);
  leaf.SendNotification(&mid, &ping);
  EXPECT_EQ(mid.got, (std::vector<std::string>{"mid<leaf:PingNotification+data"}));
  EXPECT_EQ(root.got.size(), 1u);

  // The sender filter does not match another sender, which goes on up.
  Node other(&mid, "other");
  other.SendNotification(&mid, &ping);
  EXPECT_EQ(root.got.back(), "root<other:PingNotification");
  EXPECT_EQ(mid.got.size(), 1u);
}

TEST(CommandTree, ClassNameMatchesDerivedNotificationsAndPointerMatchesOneInstance) {
  Node root(nullptr, "root"), leaf(&root, "leaf");
  PingNotification one, two;
  LoudPingNotification loud;
  KIVNotification plain;
  root.AddAnalyseNotificationCB(nullptr, &two, &Node::AnalyseCB, nullptr);
  root.AddAnalyseNotificationCB(nullptr, "PingNotification", &Node::AnalyseCB, nullptr);
  leaf.SendNotification(&root, &loud);
  leaf.SendNotification(&root, &two);  // matches both registrations
  EXPECT_EQ(leaf.SendNotification(&root, &plain), 0);
  EXPECT_EQ(root.got, (std::vector<std::string>{"root<leaf:LoudPingNotification", "root<leaf:PingNotification",
                                                "root<leaf:PingNotification"}));
  EXPECT_EQ(root.RemoveAnalyseNotificationCB(nullptr, &two, nullptr), 1);
  EXPECT_EQ(root.RemoveAnalyseNotificationCB(nullptr, std::string("PingNotification").c_str(), nullptr), 1);
  EXPECT_EQ(root.GetAnalyseNotificationCount(), 0);
  EXPECT_EQ(leaf.SendNotification(&root, &one), 0);
  EXPECT_EQ(leaf.SendNotification(nullptr, &one), 0);
}

TEST(CommandTree, CallbacksMayRemoveCallbacksAndRequestDestructionWhileDelivered) {
  KIVApplication* app = KIVApplication::MainApplication();
  auto* root = new Node(nullptr, "root");
  auto* leaf = new Node(root, "leaf");
  PingNotification ping;
  int calls = 0;
  KIVCallback second = 0;
  root->AddAnalyseNotificationCB(nullptr, nullptr, nullptr, [&](KIVCommand* sender, KIVNotification*, void*) {
    ++calls;
    root->RemoveAnalyseNotificationCB(second);
    sender->RequestDelayedDestruction();  // the sender asks to go while being handled
    root->RequestDelayedDestruction();
  }, nullptr);
  second = root->AddAnalyseNotificationCB(nullptr, nullptr, nullptr, [&](KIVCommand*, KIVNotification*, void*) { ++calls; }, nullptr);
  leaf->SendNotification(root, &ping);
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(leaf->IsDestructionRequested());
  EXPECT_EQ(root->GetChildren().size(), 1u);  // nothing destroyed yet
  EXPECT_EQ(app->ProcessDeferred(), 2);
  EXPECT_EQ(app->HasPendingWork(), 0);
}

TEST(CommandTree, ReceiverDeletedInItsOwnCallbackIsNotTouchedAgain) {
  auto* root = new Node(nullptr, "root");
  Node leaf(nullptr, "leaf");
  PingNotification ping;
  int later = 0;
  root->AddAnalyseNotificationCB(nullptr, nullptr, nullptr, [&](KIVCommand*, KIVNotification*, void*) { delete root; }, nullptr);
  root->AddAnalyseNotificationCB(nullptr, nullptr, nullptr, [&](KIVCommand*, KIVNotification*, void*) { ++later; }, nullptr);
  EXPECT_EQ(leaf.SendNotification(root, &ping), 1);
  EXPECT_EQ(later, 0);
}

TEST(CommandTree, AutoDeleteNotificationIsFreedAfterDeliveryEvenWhenNobodyListens) {
  Node root(nullptr, "root"), leaf(&root, "leaf");
  int deleted = 0;
  root.AddAnalyseNotificationCB(nullptr, "PingNotification", &Node::AnalyseCB, nullptr);
  leaf.SendNotification(&root, new PingNotification(1, &deleted));
  EXPECT_EQ(deleted, 1);
  leaf.SendNotification(&leaf, new LoudPingNotification(1, &deleted));  // no matching callback on the way: still freed (ASan checks)
  EXPECT_EQ(deleted, 2);
  PingNotification kept(0, &deleted);
  leaf.SendNotification(&root, &kept);
  EXPECT_EQ(deleted, 2);
}

}  // namespace
