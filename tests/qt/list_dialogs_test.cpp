// The generic list and the small dialogs on screen through the presenter: a long list in
// a view that shows only its visible rows, the find window and its notice, the export's
// file dialog, and the colour chooser's widgets and preview viewers.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "host/qt/KIVQtMultiList.h"
#include "host/qt/KIVQtMultiListModel.h"
#include "host/qt/KIVQtPresenter.h"
#include "navtools.h"
#include "tests/qt/QtTestApp.h"

namespace {

struct Screen {
  Screen() {
    QtTestApp();
    presenter = std::make_unique<KIVQtPresenter>();
    window = new KIVDlgDialog(nullptr, "ListWindow", KIVDlgWindow::StyleNoButtons);
    window->SetVisibility(2);
  }
  ~Screen() {
    delete window;
    QtPump();
    presenter.reset();
  }
  template <class W>
  W* Widget(KIVDialog* object) {
    return dynamic_cast<W*>(presenter->GetWidget(object));
  }
  std::unique_ptr<KIVQtPresenter> presenter;
  KIVDlgDialog* window;
};

TEST(ListDialogsOnScreen, LongListShowsItsColumnsMarkersAndSelection) {
  Screen screen;
  auto* list = new NavListGeneric(nullptr, screen.window, "Big", 1, 0x7FB);
  NavListType type;
  type.id = 0;
  type.titles = {"Name", "Count"};
  type.widths = {20, 8};
  list->AddTypeObject(type, 0);
  static int objects[200000];
  list->InactiveUpdate();
  for (int i = 0; i < 200000; ++i)
    list->AddObject(&objects[i], new KIVUnicodeString[2]{"object" + std::to_string(i), std::to_string(i)}, 0, -1,
                    i == 5, 0, 1);
  list->ActiveUpdate();
  QtPump();
  QtPump();
  auto* view = screen.Widget<KIVQtMultiList>(list->GetMultiList());
  ASSERT_NE(view, nullptr);
  ASSERT_EQ(view->GetModel()->rowCount(), 200000);
  EXPECT_EQ(view->GetModel()->headerData(1, Qt::Horizontal).toString(), "State");
  EXPECT_EQ(view->GetModel()->headerData(2, Qt::Horizontal).toString(), "Name");
  EXPECT_EQ(view->GetModel()->index(3, 3).data().toString(), "3");
  EXPECT_EQ(view->GetModel()->index(3, 3).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight,
            Qt::AlignRight);
  EXPECT_TRUE(view->selectionModel()->isRowSelected(5, QModelIndex()));

  // The filter, typed into its editor, shows the matching lines only.
  auto* editor = screen.Widget<QLineEdit>(list->LookupChild("ListFilterEditor"));
  ASSERT_NE(editor, nullptr);
  editor->setFocus();
  editor->selectAll();
  QTest::keyClicks(editor, "object1999*");
  QTest::keyClick(editor, Qt::Key_Return);
  QtPump();
  QtPump();
  EXPECT_EQ(view->GetModel()->rowCount(), 111);  // a prefix: 1999, 1999x, 1999xx
  EXPECT_EQ(screen.Widget<QLabel>(list->LookupChild("BigListLabelNumber"))->text(), "0 / 111");

  // A find scrolls the found line to the top and marks it.
  list->FindObject("object19995", list->GetFirstDataColumn(), 1, -1);
  QtPump();
  EXPECT_EQ(view->GetModel()->index(6, 0).data().toString(), " > ");
  EXPECT_EQ(view->indexAt(QPoint(5, 5)).row(), 6);
}

TEST(ListDialogsOnScreen, FindWindowNoticeAndExportDialogAreRealWindows) {
  Screen screen;
  auto* list = new NavListGeneric(nullptr, screen.window, "L", 1, 0x100);
  int objects[2];
  list->AddObject(&objects[0], new KIVUnicodeString[1]{"alpha"}, 0, -1, 0, 0, 1);
  list->AddObject(&objects[1], new KIVUnicodeString[1]{"beta"}, 0, -1, 0, 0, 1);
  QtPump();
  QtPump();
  list->ActionMenu(NavListGeneric::kFind);
  QtPump();
  QWidget* find = screen.presenter->GetWidget(list->GetFindWindow());
  ASSERT_NE(find, nullptr);
  EXPECT_TRUE(find->isVisible());
  EXPECT_EQ(find->windowTitle(), "Find Object");
  auto* all = screen.Widget<QCheckBox>(list->GetFindWindow()->LookupChild("FindAllBouton"));
  ASSERT_NE(all, nullptr);
  EXPECT_EQ(all->text(), "Find All");
  auto* edit = screen.Widget<QLineEdit>(list->GetFindWindow()->LookupChild("ListFindEdit"));
  ASSERT_NE(edit, nullptr);
  QTest::keyClicks(edit, "gamma");
  QTest::keyClick(edit, Qt::Key_Return);
  QtPump();
  auto* notice = dynamic_cast<QMessageBox*>(screen.presenter->GetWidget(list->GetFindInfoWindow()));
  ASSERT_NE(notice, nullptr);
  EXPECT_TRUE(notice->isVisible());
  EXPECT_EQ(notice->text(), "Unable to find the string gamma in the current list");
  notice->button(QMessageBox::Ok)->click();
  QtPump();
  EXPECT_FALSE(notice->isVisible());

  list->ActionMenu(NavListGeneric::kPrintFile);
  QtPump();
  auto* chooser = dynamic_cast<QFileDialog*>(screen.presenter->GetWidget(NavMultiListTxt::GetMyAdress()));
  ASSERT_NE(chooser, nullptr);
  EXPECT_TRUE(chooser->isVisible());
  EXPECT_EQ(chooser->windowTitle(), "Export to File");
  chooser->reject();
  QtPump();
  EXPECT_EQ(NavMultiListTxt::GetMyAdress(), nullptr);
}

TEST(ListDialogsOnScreen, ColourChooserShowsSlidersRadiosAndPreviews) {
  Screen screen;
  auto* chooser = new NavSimpleColorChooser(screen.window, 2 | 4 | 8 | 16 | 32 | 128);
  chooser->SetVisibility(2ul);
  QtPump();
  QWidget* top = screen.presenter->GetWidget(chooser);
  ASSERT_NE(top, nullptr);
  EXPECT_EQ(top->windowTitle(), "Color Chooser");
  auto* red = screen.Widget<QAbstractButton>(chooser->LookupChild("ColorRedButton"));
  ASSERT_NE(red, nullptr);
  red->click();
  QtPump();
  EXPECT_EQ(chooser->GetColorIndex(1), 248);
  QWidget* row = screen.presenter->GetWidget(chooser->LookupChild("XColorSlider"));
  ASSERT_NE(row, nullptr);
  auto* slider = row->findChild<QSlider*>("kivSlider");
  ASSERT_NE(slider, nullptr);
  EXPECT_TRUE(slider->isEnabled());
  EXPECT_NE(screen.presenter->GetWidget(chooser->GetViewer(1)), nullptr);
  float rgb[3];
  chooser->GetViewer(1)->GetBackgroundColor(rgb);
  float r, g, b, a;
  chooser->GetColor(r, g, b, a, 1);
  EXPECT_FLOAT_EQ(rgb[0], r);
  auto* hls = screen.Widget<QRadioButton>(chooser->LookupChild("HLSButton"));
  hls->click();
  QtPump();
  EXPECT_EQ(screen.Widget<QLabel>(chooser->LookupChild("XColorLab"))->text(), "H");
}

}  // namespace

namespace {

// Tens of thousands of scattered selected lines are painted from the list, not handed to
// Qt's selection ranges (quadratic there); a Control click still toggles one line of them.
TEST(ListDialogsOnScreen, ScatteredSelectionIsPaintedAndControlClickToggles) {
  Screen screen;
  auto* lines = new KIVDlgMultiList(screen.window, "Scattered");
  lines->SetMultipleSelection(1);
  std::vector<KIVUnicodeString> names(20000);
  for (int i = 0; i < 20000; ++i) names[i] = "line " + std::to_string(i);
  lines->SetColumnItem(0, names.data(), 20000);
  std::vector<int> every(10000);
  for (int i = 0; i < 10000; ++i) every[i] = 2 * i;
  lines->SetSelect(every.data(), 10000, 0);
  QtPump();
  auto* view = screen.Widget<KIVQtMultiList>(lines);
  ASSERT_NE(view, nullptr);
  view->resize(300, 400);
  QtPump();
  EXPECT_FALSE(view->selectionModel()->hasSelection());
  const QImage shot = view->viewport()->grab().toImage();
  const QRect first = view->visualRect(view->GetModel()->index(0, 0));
  const QRect second = view->visualRect(view->GetModel()->index(1, 0));
  EXPECT_NE(shot.pixel(first.right() - 2, first.center().y()), shot.pixel(second.right() - 2, second.center().y()))
      << "a selected line looks like an unselected one";
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, second.center());
  QtPump();
  EXPECT_EQ(lines->GetSelectCount(), 10001);
  EXPECT_EQ(lines->IsSelected(1), 1);
  EXPECT_EQ(lines->IsSelected(4), 1);
  QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
  QtPump();
  EXPECT_EQ(lines->GetSelectCount(), 1);  // a plain click replaces the selection
  EXPECT_TRUE(view->selectionModel()->isRowSelected(1, QModelIndex()));
}

}  // namespace
