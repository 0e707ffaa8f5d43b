// A multi-list of a million lines filled in one call: columns taken over whole, shorter
// ones padded, the selection cleared, scrolling kept inside the lines.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgMultiList.h"

TEST(MultiListBulk, AMillionLinesInOneCall) {
  KIVDlgDialog window(nullptr, "W");
  auto* list = new KIVDlgMultiList(&window, "L");
  const KIVUnicodeString titles[2] = {"Name", "Size"};
  list->SetColumnTitles(2, titles);
  list->SetColumnTextWidth(0, 12);
  list->SetMultipleSelection(1);
  list->SetLine(KIVUnicodeString("old"));
  list->SetSelect(0, 0);

  constexpr int kLines = 1000000;
  std::vector<std::vector<KIVUnicodeString>> columns(3);
  columns[0].resize(kLines);
  for (int i = 0; i < kLines; ++i) columns[0][i] = "object" + std::to_string(i);
  columns[1].assign(10, KIVUnicodeString("short"));  // padded with empty cells
  ASSERT_EQ(list->SetAllColumns(std::move(columns)), 1);
  EXPECT_EQ(list->GetLineCount(), kLines);
  EXPECT_EQ(list->GetColumnCount(), 3);
  EXPECT_EQ(list->GetColumnTitle(0).GetUtf8(), "Name");  // kept
  EXPECT_EQ(list->GetColumnTextWidth(0), 12);
  EXPECT_EQ(list->GetSelectCount(), 0);
  EXPECT_EQ(list->GetCell(kLines - 1, 0).GetUtf8(), "object999999");
  EXPECT_EQ(list->GetCell(9, 1).GetUtf8(), "short");
  EXPECT_TRUE(list->GetCell(10, 1).IsEmpty());
  EXPECT_EQ(static_cast<int>(list->GetColumnItems(2).size()), kLines);

  std::vector<int> every(kLines / 2);
  for (int i = 0; i < kLines / 2; ++i) every[i] = 2 * i + 1;
  EXPECT_EQ(list->SetSelect(every.data(), kLines / 2, 0), 1);
  EXPECT_EQ(list->GetSelectCount(), kLines / 2);
  EXPECT_EQ(list->IsSelected(kLines - 1), 1);
  list->SetFirstLine(kLines + 5);
  EXPECT_EQ(list->GetFirstLine(), kLines - 1);
  list->SetFirstLine(123456);
  EXPECT_EQ(list->GetFirstLine(), 123456);

  // Fewer lines afterwards: scrolling comes back inside; no column at all gives one empty.
  EXPECT_EQ(list->SetAllColumns({}), 1);
  EXPECT_EQ(list->GetLineCount(), 0);
  EXPECT_EQ(list->GetColumnCount(), 1);
  EXPECT_EQ(list->GetFirstLine(), 0);
}
