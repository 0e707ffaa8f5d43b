// The models' properties table in navview's window, used as a person uses it.
#include <QHeaderView>
#include <QMenu>
#include <algorithm>
#include <vector>

#include "apps/navview/NavviewMainWindow.h"
#include "apps/navview/NavviewProperties.h"
#include "host/qt/KIVQtMultiList.h"
#include "host/qt/KIVQtMultiListModel.h"
#include "tests/window/NavviewWindow.h"

// View › Properties puts a table of every model on screen; a click on the "Triangles"
// header orders the lines by their triangle counts, which the screen shows; the table's
// own menu answers a right click.
TEST_F(NavviewWindow, PropertiesFromTheViewMenuSortByAHeaderClick) {
  QWidget* top = FromViewMenu("&Properties", "NavviewPropertiesWindow");
  ASSERT_NE(top, nullptr) << "no Properties window";
  EXPECT_EQ(top->windowTitle(), "Properties");
  ASSERT_TRUE(QTest::qWaitForWindowExposed(top));
  // Below the main window, where the whole table fits on the screen.
  top->move(0, sWindow->frameGeometry().bottom() + 8);
  for (int i = 0; i < 100 && top->y() <= sWindow->frameGeometry().bottom(); ++i) QTest::qWait(10);
  auto* list = ChildOfType<KIVQtMultiList>(top);
  ASSERT_NE(list, nullptr);
  const int models = sWindow->GetSession().GetScene().GetModelCount();
  for (int i = 0; i < 300 && list->GetModel()->rowCount() != models; ++i) QTest::qWait(10);
  ASSERT_EQ(list->GetModel()->rowCount(), models);
  ASSERT_EQ(list->GetModel()->columnCount(), 6);
  EXPECT_EQ(list->GetModel()->headerData(5, Qt::Horizontal, Qt::DisplayRole).toString(), "Triangles");
  const QImage first = WaitForStill(list);
  EXPECT_GT(Colours(first), 2) << "the lines are not drawn";
  first.save(OutDir() + "/navview_properties.png");

  // Read the triangle counts of the lines in view order.
  auto counts = [list] {
    std::vector<long long> out;
    for (int row = 0; row < list->GetModel()->rowCount(); ++row)
      out.push_back(list->GetModel()->index(row, 5).data().toLongLong());
    return out;
  };
  const std::vector<long long> before = counts();
  ASSERT_FALSE(std::is_sorted(before.begin(), before.end())) << "the plant's models come sorted already";

  top->activateWindow();
  for (int i = 0; i < 100 && QApplication::activeWindow() != top; ++i) QTest::qWait(10);
  QHeaderView* header = list->header();
  const QPoint at(header->sectionViewportPosition(5) + header->sectionSize(5) / 2, header->height() / 2);
  Click(header->viewport(), at);
  // The model may reach its new order in more than one step.
  auto ordered = [](const std::vector<long long>& v) {
    return std::is_sorted(v.begin(), v.end()) || std::is_sorted(v.rbegin(), v.rend());
  };
  std::vector<long long> after;
  for (int i = 0; i < 300; ++i) {
    QTest::qWait(10);
    after = counts();
    if (ordered(after)) break;
  }
  EXPECT_TRUE(ordered(after)) << "a header click did not order the lines by triangles";
  const QImage sorted = WaitForChange(list, first, 0.005);
  EXPECT_GT(Changed(first, sorted), 0.005) << "the sort changed nothing on screen";
  sorted.save(OutDir() + "/navview_properties_sorted.png");

  // The table's own menu on a right click on a line.
  const QModelIndex line = list->GetModel()->index(0, 0);
  QMenu* popup = RightClickMenu(list->viewport(), list->visualRect(line).center());
  ASSERT_NE(popup, nullptr) << "no menu after a right click on the table";
  EXPECT_NE(ActionTitled(popup, "Sort ascending"), nullptr);
  EXPECT_NE(ActionTitled(popup, "Print to file"), nullptr);
  popup->close();
  top->close();
}
