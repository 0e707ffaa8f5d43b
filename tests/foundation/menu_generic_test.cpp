#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "navtools.h"

namespace {

struct Owner : KIVCommand {
  std::vector<int> chosen;
  NavMenuGeneric* menu = nullptr;
  void ActionCB(KIVCommand*, KIVNotification*, void*) { chosen.push_back(menu->GetLastOptionChoose()); }
};

TableauMenu Row(int option, int kind, const char* name, int state = 1, TableauMenu** sub = nullptr, int subCount = 0) {
  return TableauMenu{option, kind, name, name, KIVUnicodeChar(0), 0ul, sub, subCount, state};
}

struct MenuTest : ::testing::Test {
  KIVDlgDialog window{nullptr, "Window"};
  Owner owner;
  void TearDown() override { KIVApplication::MainApplication()->ProcessDeferred(); }
  NavMenuGeneric* Make(TableauMenu** table, int count) {
    auto* m = new NavMenuGeneric(&owner, &window, "Menu", 8, table, count);
    owner.menu = m;
    owner.AddAnalyseNotificationCB(m, m->GetActionMenuNotification(), &Owner::ActionCB, nullptr);
    return m;
  }
};

TEST_F(MenuTest, BuildsPresentRowsWithSubMenusChecksAndSensitivity) {
  TableauMenu s1 = Row(10, 4, "RadioA", 1 | 4), s2 = Row(11, 4, "RadioB");
  TableauMenu* sub[] = {&s1, &s2};
  TableauMenu r0 = Row(1, 3, "PushItem"), r1 = Row(2, 2, "CheckItem", 1 | 2 | 4), r2 = Row(-1, 5, "Sep"),
              r3 = Row(3, 6, "SubMenu", 1, sub, 2), r4 = Row(4, 3, "Absent", 0);
  TableauMenu* table[] = {&r0, &r1, &r2, &r3, &r4};
  NavMenuGeneric* m = Make(table, 5);
  ASSERT_NE(m->GetRacineMenu(), nullptr);
  EXPECT_EQ(m->GetTypeRacineMenu(), 8);
  EXPECT_EQ(m->GetSizeOfMenu(), 6);  // four rows, the sub-menu's two, not the absent one
  EXPECT_EQ(m->GetState(2), 0x40000);
  EXPECT_EQ(m->IsSetSensitivity(2), 16);
  EXPECT_EQ(m->IsSetSensitivity(1), 8);
  EXPECT_EQ(m->IsSetSensitivity(4), -1);
  EXPECT_EQ(m->GetState(10), 0x40000);
  EXPECT_EQ(m->GetState(1), 0x80000);  // a push item has no state
  auto* subMenu = dynamic_cast<KIVDlgSubMenu*>(m->GetRacineMenu()->LookupChild("SubMenu", 0));
  ASSERT_NE(subMenu, nullptr);
  EXPECT_EQ(subMenu->GetStyle(), 0x40000);
  EXPECT_NE(subMenu->LookupChild("RadioB", 0), nullptr);
  EXPECT_EQ(m->GetRacineMenu()->LookupChild("Absent"), nullptr);
  EXPECT_TRUE(owner.chosen.empty());  // building notifies nobody
  m->RequestDelayedDestruction();
}

TEST_F(MenuTest, ChoosingARadioItemSendsOneNotification) {
  TableauMenu a = Row(10, 4, "RadioA", 1 | 4), b = Row(11, 4, "RadioB"), p = Row(12, 3, "Push");
  TableauMenu* table[] = {&a, &b, &p};
  NavMenuGeneric* m = Make(table, 3);
  auto* radioB = dynamic_cast<KIVDlgRadioItem*>(m->GetRacineMenu()->LookupChild("RadioB"));
  ASSERT_NE(radioB, nullptr);
  radioB->UserSetState(0x40000);
  EXPECT_EQ(owner.chosen, (std::vector<int>{11}));
  EXPECT_EQ(m->GetState(10), 0x80000);
  dynamic_cast<KIVDlgPushItem*>(m->GetRacineMenu()->LookupChild("Push"))->UserActivate();
  EXPECT_EQ(owner.chosen, (std::vector<int>{11, 12}));
  EXPECT_EQ(m->GetLastOptionChoose(), 12);
  m->RequestDelayedDestruction();
}

TEST_F(MenuTest, OneOptionInTwoPlacesIsTickedByOneSetState) {
  TableauMenu s = Row(7, 2, "GridInSub");
  TableauMenu* sub[] = {&s};
  TableauMenu a = Row(7, 2, "Grid"), b = Row(8, 1, "More", 1, sub, 1);
  TableauMenu* table[] = {&a, &b};
  NavMenuGeneric* m = Make(table, 2);
  m->SetState(7, 0x40000, 0);
  int index = -1;
  std::vector<int> where;
  for (m->GetIndiceOption(7, index); index != -1; m->GetIndiceOption(7, index)) where.push_back(index);
  ASSERT_EQ(where.size(), 2u);
  auto* top = dynamic_cast<KIVDlgCheckItem*>(m->GetRacineMenu()->LookupChild("Grid"));
  auto* nested = dynamic_cast<KIVDlgCheckItem*>(m->GetRacineMenu()->LookupChild("GridInSub"));
  ASSERT_TRUE(top && nested);
  EXPECT_EQ(top->GetState(), 0x40000);
  EXPECT_EQ(nested->GetState(), 0x40000);
  EXPECT_TRUE(owner.chosen.empty());
  m->SetTitle(7, "Grille");
  EXPECT_EQ(nested->GetTitle(), KIVUnicodeString("Grille"));
  m->SetSensitivity(7, 16);
  EXPECT_EQ(top->GetSensitivity(), 16);
  m->RequestDelayedDestruction();
}

TEST_F(MenuTest, AbsentRowsNullRowsAndUnknownOptions) {
  TableauMenu a = Row(1, 3, "A", 0), b = Row(2, 2, "B", 0);
  TableauMenu* absent[] = {&a, &b};
  NavMenuGeneric* m = Make(absent, 2);
  EXPECT_EQ(m->GetSizeOfMenu(), 0);
  EXPECT_EQ(m->GetState(99), 0x80000);
  int index = -1;
  m->GetIndiceOption(99, index);
  EXPECT_EQ(index, -1);

  TableauMenu first = Row(1, 3, "First"), last = Row(2, 3, "Last"), odd = Row(3, 9, "Odd");
  TableauMenu* withNull[] = {&first, nullptr, &last, &odd};
  testing::internal::CaptureStdout();
  m->BuildMenuRecurcif(m->GetRacineMenu(), withNull, 4);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Alerte ERREUR Appelant: Item de menu Generic NULL (Programmation !!!)\n"
                     "Precedante Item:First\nSuivante   Item:Last\n"), std::string::npos);
  EXPECT_NE(out.find("Erreur creation Objet dialog\nPrecedante Item:Last\n"), std::string::npos);
  EXPECT_NE(out.find("Erreur creation Obj dialog\n"), std::string::npos);
  EXPECT_EQ(m->GetSizeOfMenu(), 3);
  m->SupprimeMenu(1);
  EXPECT_EQ(m->GetSizeOfMenu(), 0);
  KIVApplication::MainApplication()->ProcessDeferred();
  EXPECT_EQ(m->GetRacineMenu()->LookupChild("First"), nullptr);
  m->RequestDelayedDestruction();
}

TEST_F(MenuTest, RegistryGrowsPastItsFirstCapacity) {
  std::vector<TableauMenu> rows;
  std::vector<std::string> names;
  for (int i = 0; i < 250; ++i) names.push_back("Item" + std::to_string(i));
  for (int i = 0; i < 250; ++i) rows.push_back(Row(i, 3, names[i].c_str()));
  std::vector<TableauMenu*> table;
  for (auto& r : rows) table.push_back(&r);
  NavMenuGeneric* m = Make(table.data(), 250);
  EXPECT_EQ(m->GetSizeOfMenu(), 250);
  dynamic_cast<KIVDlgPushItem*>(m->GetRacineMenu()->LookupChild("Item249"))->UserActivate();
  EXPECT_EQ(owner.chosen, (std::vector<int>{249}));
  m->RequestDelayedDestruction();
}

}  // namespace
