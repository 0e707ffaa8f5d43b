#include <gtest/gtest.h>

#include <chrono>
#include <numeric>

#include "recorder.h"

namespace {

using Lines = std::vector<std::string>;

std::vector<KIVUnicodeString> Texts(std::initializer_list<const char*> texts) {
  return std::vector<KIVUnicodeString>(texts.begin(), texts.end());
}

TEST(DialogMultiList, ColumnsLinesAndCells) {
  KIVDlgMultiList list(nullptr, "List");
  EXPECT_EQ(list.GetColumnCount(), 1);
  const auto titles = Texts({"F", "State", "Name"});
  EXPECT_EQ(list.SetColumnTitles(0, titles.data()), 0);
  EXPECT_EQ(list.SetColumnTitles(3, titles.data()), 1);
  list.SetColumnTextWidth(2, 50);
  const auto a = Texts({" > ", "Tag", "alpha"}), b = Texts({"   ", "UnTag", "beta"});
  EXPECT_EQ(list.SetLine(a.data(), 3), 0);
  EXPECT_EQ(list.SetLine(b.data(), 3), 1);
  EXPECT_EQ(list.SetLine(b.data(), 3, 5), -1);
  EXPECT_EQ(list.SetLine(nullptr, 1), -1);
  const auto names = Texts({"A", "B", "C"});
  EXPECT_EQ(list.SetColumnItem(2, names.data(), 3), 1);  // a third line appears, its other cells empty
  EXPECT_EQ(list.GetLineCount(), 3);
  EXPECT_EQ(list.GetCell(1, 1), KIVUnicodeString("UnTag"));
  EXPECT_TRUE(list.GetCell(2, 0).IsEmpty());
  EXPECT_TRUE(list.GetCell(0, 9).IsEmpty());
  EXPECT_EQ(list.GetColumnItems(2), names);
  EXPECT_TRUE(list.GetColumnItems(-1).empty());
  EXPECT_EQ(list.GetColumnTextWidth(2), 50);
  EXPECT_EQ(list.GetColumnTitle(1), KIVUnicodeString("State"));
  EXPECT_EQ(list.SetCell(0, 4, "wide"), 1);  // grows the columns
  EXPECT_EQ(list.GetColumnCount(), 5);
  EXPECT_EQ(list.SetCell(3, 0, "x"), 0);
  list.SetFirstLine(99);
  EXPECT_EQ(list.GetFirstLine(), 2);
}

TEST(DialogMultiList, SelectionFollowsLinesAndHonoursTheSelectionMode) {
  Recorder owner;
  KIVDlgMultiList list(nullptr, "List");
  list.SetFather(&owner);
  owner.Listen(KIVDlgListSelectNotification::ClassName());
  owner.Listen(KIVDlgListActivateNotification::ClassName());
  for (const char* t : {"a", "b", "c", "d"}) list.SetLine(t);
  const int picks[] = {3, 1, 99, 1};
  EXPECT_EQ(list.SetSelect(picks, 4, 0), 1);
  EXPECT_EQ(list.GetSelectCount(), 1);  // single selection keeps the first valid line
  EXPECT_EQ(list.IsSelected(3), 1);
  list.SetMultipleSelection(1);
  EXPECT_EQ(list.SetSelect(picks, 4), 1);
  int out[4] = {-1, -1, -1, -1};
  EXPECT_EQ(list.GetSelect(out, 4), 2);
  EXPECT_EQ((std::vector<int>(out, out + 3)), (std::vector<int>{1, 3, -1}));
  EXPECT_EQ(list.SetSelect(picks, 4), 0);  // unchanged: silent
  list.RemoveLine(1);
  EXPECT_EQ(list.GetSelect(out, 4), 1);
  EXPECT_EQ(out[0], 2);  // the old line 3
  EXPECT_EQ(owner.Take(), (Lines{"List:KIVDlgListSelectNotification"}));

  EXPECT_EQ(list.UserSelect(7), 0);
  EXPECT_EQ(list.UserSelect(0, 5), 0);  // no such column
  EXPECT_EQ(list.UserActivate(0), 1);
  EXPECT_EQ(list.GetSelect(out, 4), 1);
  EXPECT_EQ(list.GetSelectedColumn(), 0);
  EXPECT_EQ(owner.Take(), (Lines{"List:KIVDlgListSelectNotification", "List:KIVDlgListActivateNotification"}));
  list.SetMultipleSelection(0);
  list.ClearLine();
  EXPECT_EQ(list.GetSelectCount(), 0);
  EXPECT_EQ(list.GetSelect(nullptr, 0), 0);
}

TEST(DialogMultiList, AHundredThousandLinesStayFast) {
  constexpr int kLines = 100000;
  const auto start = std::chrono::steady_clock::now();
  KIVDlgMultiList list(nullptr, "Big");
  list.SetColumnTitles(2, Texts({"Name", "Type"}).data());
  list.SetMultipleSelection(1);
  std::vector<KIVUnicodeString> names(kLines), types(kLines, "Part");
  for (int i = 0; i < kLines; ++i) names[i] = KIVUnicodeString("object " + std::to_string(i));
  list.SetColumnItem(0, names.data(), kLines);
  list.SetColumnItem(1, types.data(), kLines);
  for (int i = 0; i < 1000; ++i) list.SetLine(names[i]);  // appends one by one
  std::vector<int> all(list.GetLineCount());
  std::iota(all.begin(), all.end(), 0);
  for (int round = 0; round < 20; ++round) {
    list.SetSelect(all.data(), static_cast<int>(all.size()) - round);
    list.UserSelect(all.data() + round, 50000);
  }
  std::vector<int> out(all.size());
  EXPECT_EQ(list.GetSelect(out.data(), static_cast<int>(out.size())), 50000);
  EXPECT_EQ(out[0], 19);
  EXPECT_EQ(list.GetCell(kLines + 999, 0), KIVUnicodeString("object 999"));
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_LT(seconds, 1.0);  // sanitizer builds included
}

}  // namespace
