#include <gtest/gtest.h>

#include <QHeaderView>
#include <QTest>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "host/dialog/KIVDlgDialog.h"
#include "host/dialog/KIVDlgMultiList.h"
#include "host/qt/KIVQtMultiList.h"
#include "host/qt/KIVQtMultiListModel.h"
#include "tests/qt/QtTestApp.h"

namespace {

using Lines = std::vector<int>;

// A window holding one list, its widget, and the notifications the list sent, each as
// "select" or "activate" with the selection at that moment.
class MultiListTest : public testing::Test {
 protected:
  void SetUp() override {
    QtTestApp();
    window = new KIVDlgDialog(nullptr, "W", 0);
    list = new KIVDlgMultiList(window, "L", 0);
    const KIVUnicodeString titles[] = {"Name", "Size"};
    list->SetColumnTitles(2, titles);
    for (const auto& [name, size] : {std::pair{"delta", "4"}, {"alpha", "1"}, {"charlie", "3"}, {"bravo", "2"}}) {
      const KIVUnicodeString line[] = {name, size};
      list->SetLine(line, 2);
    }
    Record(KIVDlgListSelectNotification::ClassName(), "select");
    Record(KIVDlgListActivateNotification::ClassName(), "activate");
    view = new KIVQtMultiList(list);
    view->resize(400, 300);
    view->show();
  }
  void TearDown() override {
    delete view;
    delete window;
  }
  void Record(const char* notification, const char* name) {
    window->AddAnalyseNotificationCB(
        nullptr, nullptr, notification,
        [this, name](KIVCommand*, KIVNotification*, void*) { got.push_back(name + (" " + Selected())); }, nullptr);
  }
  std::string Selected() const {
    std::string text;
    for (int line = 0; line < list->GetLineCount(); ++line)
      if (list->IsSelected(line)) text += std::to_string(line);
    return text;
  }
  std::vector<std::string> Take() { return std::exchange(got, {}); }
  QPoint At(int row, int column = 0) const {
    return view->visualRect(view->GetModel()->index(row, column)).center();
  }
  void Click(int row, int column = 0, Qt::KeyboardModifiers keys = {}) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, keys, At(row, column));
  }
  Lines ViewRows() const {
    Lines rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  std::string Cell(int row, int column = 0) const {
    return view->GetModel()->index(row, column).data().toString().toStdString();
  }

  KIVDlgDialog* window = nullptr;
  KIVDlgMultiList* list = nullptr;
  KIVQtMultiList* view = nullptr;
  std::vector<std::string> got;
};

TEST_F(MultiListTest, ShowsLinesTitlesSizesAndScrollWhenSynced) {
  auto* model = view->GetModel();
  EXPECT_EQ(model->rowCount(), 4);
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Size");
  EXPECT_EQ(Cell(2), "charlie");
  // Nothing shows until the presenter says so; then the new line, a new column and widths.
  list->SetCell(0, 2, "new");
  list->SetLine("echo");
  list->SetColumnTextWidth(1, 30);
  EXPECT_EQ(model->rowCount(), 4);
  view->Sync(KIVDlgProperty::Lines);
  EXPECT_EQ(model->rowCount(), 5);
  EXPECT_EQ(model->columnCount(), 3);
  EXPECT_EQ(Cell(0, 2), "new");
  EXPECT_NEAR(view->header()->sectionSize(1), 30 * view->fontMetrics().averageCharWidth(), 12);
  // A person's resizing survives a later change of lines.
  view->header()->resizeSection(1, 50);
  list->SetLine("foxtrot");
  view->Sync(KIVDlgProperty::Lines);
  EXPECT_EQ(view->header()->sectionSize(1), 50);

  list->SetVisibleTextWidth(60);
  list->SetVisibleTextHeight(20);
  view->Sync(KIVDlgProperty::TextSize);
  EXPECT_GE(view->sizeHint().width(), 60 * view->fontMetrics().averageCharWidth());
  EXPECT_GE(view->sizeHint().height(), 20 * view->fontMetrics().height());

  for (int i = 0; i < 200; ++i) list->SetLine("line");
  view->Sync(KIVDlgProperty::Lines);
  list->SetFirstLine(150);
  view->Sync(KIVDlgProperty::Scroll);
  EXPECT_EQ(view->indexAt(QPoint(5, 2)).row(), 150);
}

TEST_F(MultiListTest, ClicksSelectTheModelLineOfTheRowAlsoWhenSorted) {
  Click(1, 1);
  EXPECT_EQ(Take(), (std::vector<std::string>{"select 1"}));
  EXPECT_EQ(list->GetSelectedColumn(), 1);
  Click(1);  // the same line again still tells the owner
  EXPECT_EQ(Take(), (std::vector<std::string>{"select 1"}));

  const auto clickHeader = [this] {
    QTest::mouseClick(view->header()->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
  };
  clickHeader();
  EXPECT_EQ(Cell(0), "alpha");
  clickHeader();  // descending
  EXPECT_EQ(Cell(0), "delta");
  EXPECT_EQ(Cell(3), "alpha");
  EXPECT_EQ(list->GetCell(0, 0), KIVUnicodeString("delta"));  // the model's order is untouched
  EXPECT_EQ(ViewRows(), (Lines{3}));                           // "alpha" stays selected
  Click(2);
  EXPECT_EQ(Take(), (std::vector<std::string>{"select 3"}));  // "bravo"

  // New lines find their place in the kept order; model-side selection maps to rows.
  list->SetLine("echo");
  view->Sync(KIVDlgProperty::Lines);
  EXPECT_TRUE(ViewRows().empty());  // waits for the event loop, not to sort at each change
  QCoreApplication::processEvents();
  EXPECT_EQ(Cell(0), "echo");
  EXPECT_EQ(ViewRows(), (Lines{3}));
  list->SetSelect(4, 0);
  view->Sync(KIVDlgProperty::Selection);
  EXPECT_EQ(ViewRows(), (Lines{0}));

  clickHeader();  // a third click: back to the model's order
  EXPECT_EQ(Cell(1), "alpha");
  EXPECT_EQ(ViewRows(), (Lines{4}));
  EXPECT_TRUE(Take().empty());
}

TEST_F(MultiListTest, ControlAndShiftExtendOnlyInMultipleSelection) {
  Click(0);
  Click(2, 0, Qt::ControlModifier);
  EXPECT_EQ(Selected(), "2");  // single selection: the click replaces
  EXPECT_EQ(ViewRows(), (Lines{2}));
  Take();

  list->SetMultipleSelection(1);  // tells nobody: the widget looks at the next input
  Click(0, 1, Qt::ControlModifier);
  EXPECT_EQ(Take(), (std::vector<std::string>{"select 02"}));
  EXPECT_EQ(list->GetSelectedColumn(), 1);
  Click(3, 0, Qt::ShiftModifier);
  EXPECT_EQ(Selected(), "0123");
  Click(2, 0, Qt::ControlModifier);
  EXPECT_EQ(Selected(), "013");
  EXPECT_EQ(ViewRows(), (Lines{0, 1, 3}));
  Take();
  QTest::keyClick(view, Qt::Key_Up);  // keys go the same way
  EXPECT_EQ(Take(), (std::vector<std::string>{"select 1"}));
}

// A column of numbers sorts by value, not by text: "10" after "4".
TEST_F(MultiListTest, NumbersSortByValue) {
  list->SetCell(1, 1, "10");  // alpha
  view->Sync(KIVDlgProperty::Lines);
  view->sortByColumn(1, Qt::AscendingOrder);
  EXPECT_EQ(Cell(0), "bravo");
  EXPECT_EQ(Cell(3), "alpha");
  list->SetCell(1, 1, "ten");  // one word among the numbers: text order again
  view->Sync(KIVDlgProperty::Lines);
  QCoreApplication::processEvents();
  EXPECT_EQ(Cell(3), "alpha");
  EXPECT_EQ(Cell(0), "bravo");
}

TEST_F(MultiListTest, DoubleClickActivatesTheRowsLineOnce) {
  view->sortByColumn(0, Qt::DescendingOrder);  // delta, charlie, bravo, alpha
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, At(2));
  const auto seen = Take();
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), "activate 3");
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "activate 3"), 1);
  EXPECT_EQ(ViewRows(), (Lines{2}));
  // Return on the current row does the same, for the keyboard.
  view->setCurrentIndex(view->GetModel()->index(1, 0));  // charlie, model line 2
  Take();
  QTest::keyClick(view, Qt::Key_Return);
  EXPECT_EQ(Take(), (std::vector<std::string>{"select 2", "activate 2"}));
}

TEST_F(MultiListTest, ViewFollowsTheModelWhenItRefusesOrChangesTheSelection) {
  list->SetMultipleSelection(1);
  const int lines[] = {1, 3};
  list->SetSelect(lines, 2, 0);
  view->Sync(KIVDlgProperty::Selection);
  EXPECT_EQ(ViewRows(), (Lines{1, 3}));
  EXPECT_TRUE(Take().empty());  // showing is not choosing

  list->SetSensitivity(KIVDialog::SensitivityOff);  // refuses a person's input
  Click(0);
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(ViewRows(), (Lines{1, 3}));
  list->SetSensitivity(KIVDialog::SensitivityOn);

  // An owner that changes the selection from its callback has the last word.
  window->AddAnalyseNotificationCB(
      nullptr, nullptr, KIVDlgListSelectNotification::ClassName(),
      [this](KIVCommand*, KIVNotification*, void*) { list->SetSelect(3, 0); }, nullptr);
  Click(0);
  EXPECT_EQ(Selected(), "3");
  EXPECT_EQ(ViewRows(), (Lines{3}));
}

TEST_F(MultiListTest, ListDestroyedByItsCallbackLeavesAnEmptyInertView) {
  window->AddAnalyseNotificationCB(
      nullptr, nullptr, KIVDlgListSelectNotification::ClassName(),
      [this](KIVCommand*, KIVNotification*, void*) {
        view->Detach();  // what the presenter does when it hears of the end
        delete std::exchange(list, nullptr);
      },
      nullptr);
  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, At(1));
  EXPECT_EQ(view->GetList(), nullptr);
  EXPECT_EQ(view->GetModel()->rowCount(), 0);
  for (auto which : {KIVDlgProperty::Lines, KIVDlgProperty::Selection, KIVDlgProperty::Scroll})
    view->Sync(which);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
  QTest::keyClick(view, Qt::Key_Down);
  view->Detach();
  view->grab();

  // Without a detach the widget still never reads a destroyed list.
  auto* other = new KIVDlgMultiList(window, "Other", 0);
  other->SetLine("x");
  KIVQtMultiList second(other);
  delete other;
  EXPECT_EQ(second.GetList(), nullptr);
  second.Sync(KIVDlgProperty::Lines);
  second.grab();
}

}  // namespace
