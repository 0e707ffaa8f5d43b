#include <gtest/gtest.h>

#include <string>

#include "navtools.h"

namespace {

template <class N>
void ExpectNotificationClass(const char* expectedName) {
  N n;
  KIVNotification* base = &n;
  const std::string copy = expectedName;
  EXPECT_STREQ(N::ClassName(), expectedName);
  EXPECT_EQ(N::ClassName(), N::ClassName());
  EXPECT_EQ(base->IsA(), N::ClassName());
  EXPECT_EQ(base->IsAKindOf(N::ClassName()), 1);
  EXPECT_EQ(base->IsAKindOf(nullptr), 0);
  // A different pointer to the same text is answered by the base: not a kind of it.
  EXPECT_EQ(base->IsAKindOf(copy.c_str()), 0);
  EXPECT_EQ(base->IsAKindOf("KIVNotification"), 1);
  EXPECT_EQ(base->GetMetaObject(), KIVNotification::MetaObject());
  EXPECT_EQ(n.GetAutoDelete(), 0);
}

TEST(NotificationClasses, EachNamesItselfByPointerAndDefersToTheBase) {
  ExpectNotificationClass<NavPanelShowNotification>("NavPanelShowNotification");
  ExpectNotificationClass<NavSelectOkNotification>("NavSelectOkNotification");
  ExpectNotificationClass<NavSelectNoNotification>("NavSelectNoNotification");
  ExpectNotificationClass<NavColorModifyNotification>("NavColorModifyNotification");
  ExpectNotificationClass<NavColorDragNotification>("NavColorDragNotification");
  ExpectNotificationClass<NavThickModifyNotification>("NavThickModifyNotification");
  ExpectNotificationClass<NavRepChangeNotification>("NavRepChangeNotification");
  ExpectNotificationClass<NavRepMoveNotification>("NavRepMoveNotification");
  ExpectNotificationClass<NavSwapModeMarqNotification>("NavSwapModeMarqNotification");
  ExpectNotificationClass<NavChangeTypeNotification>("NavChangeTypeNotification");
  ExpectNotificationClass<NavMarqueChangeNotification>("NavMarqueChangeNotification");
  ExpectNotificationClass<NavAskHelpNotification>("NavAskHelpNotification");
  ExpectNotificationClass<NavActionOnMenuNotification>("NavActionOnMenuNotification");
  ExpectNotificationClass<NavActionOnEditorNotification>("NavActionOnEditorNotification");
  ExpectNotificationClass<NavExtendTreeNotification>("NavExtendTreeNotification");
  ExpectNotificationClass<NavIconSelectionNotification>("NavIconSelectionNotification");
  ExpectNotificationClass<NavModifyNotification>("NavModifyNotification");
}

TEST(NotificationClasses, ReachACallbackRegisteredByClassName) {
  KIVCommand parent(nullptr, "parent"), child(&parent, "child");
  NavRepMoveNotification move;
  NavRepChangeNotification change;
  int got = 0;
  parent.AddAnalyseNotificationCB(&child, nullptr, NavRepMoveNotification::ClassName(), [&](KIVCommand* s, KIVNotification* n, void*) {
    EXPECT_EQ(s, &child);
    EXPECT_EQ(n, &move);
    ++got;
  }, nullptr);
  child.SendNotification(&parent, &change);
  child.SendNotification(&parent, &move);
  EXPECT_EQ(got, 1);
}

}  // namespace
