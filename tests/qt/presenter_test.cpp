// The Qt presenter: widgets follow the model, and a person's input goes through the
// model's User… operations, which remain the truth.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "foundation/NavMenuGeneric.h"
#include "host/core/KIVApplication.h"
#include "host/qt/KIVQtPresenter.h"
#include "host/qt/KIVQtSpinBox.h"
#include "navtools.h"
#include "tests/dialog/recorder.h"
#include "tests/qt/QtTestApp.h"

namespace {

using Lines = std::vector<std::string>;

void Pump() { QtPump(); }

struct Panel {
  Panel() {
    QtTestApp();
    presenter = std::make_unique<KIVQtPresenter>();
    window = new KIVDlgDialog(nullptr, "Panel");
    window->SetFather(&owner);
    window->SetTitle("Settings");
    frame = new KIVDlgFrame(window, "Group");
    frame->SetTitle("Look");
    frame->SetGridConstraints(0, 0, 1, 2);
    check = new KIVDlgCheckButton(frame, "Edges");
    check->SetTitle("Edges");
    check->SetGridConstraints(0, 0);
    spinner = new KIVDlgSpinner(frame, "Size");
    spinner->SetRange(0, 10, 10);
    spinner->SetFormat("%.0f");
    spinner->SetGridConstraints(0, 1);
    slider = new KIVDlgSlider(frame, "Fog");
    slider->SetRange(0, 1, 4);
    slider->SetDecimals(2);
    slider->SetGridConstraints(1, 0, 1, 2);
    first = new KIVDlgRadioButton(window, "Near");
    first->SetTitle("Near");
    first->SetState(KIVDialog::StateSet, 0);
    second = new KIVDlgRadioButton(window, "Far");
    second->SetTitle("Far");
    combo = new KIVDlgCombo(window, "Kind");
    combo->SetLine("Solid");
    combo->SetLine("Wire");
    window->SetVisibility(2);
    Pump();
  }
  ~Panel() {
    delete window;
    Pump();
    presenter.reset();
  }
  template <class W>
  W* Widget(KIVDialog* object) {
    return dynamic_cast<W*>(presenter->GetWidget(object));
  }
  Recorder owner;
  std::unique_ptr<KIVQtPresenter> presenter;
  KIVDlgDialog* window;
  KIVDlgFrame* frame;
  KIVDlgCheckButton* check;
  KIVDlgSpinner* spinner;
  KIVDlgSlider* slider;
  KIVDlgRadioButton *first, *second;
  KIVDlgCombo* combo;
};

}  // namespace

TEST(QtPresenter, WidgetsSitInTheirGridAndFollowTheModel) {
  Panel p;
  QWidget* top = p.presenter->GetWidget(p.window);
  ASSERT_NE(top, nullptr);
  EXPECT_TRUE(top->isVisible());
  EXPECT_EQ(top->windowTitle(), "Settings");
  auto* group = p.Widget<QGroupBox>(p.frame);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->title(), "Look");
  auto* grid = qobject_cast<QGridLayout*>(group->layout());
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->itemAtPosition(0, 1)->widget(), p.presenter->GetWidget(p.spinner));
  EXPECT_EQ(grid->itemAtPosition(1, 1)->widget(), p.presenter->GetWidget(p.slider));  // spans two columns
  // Objects without a cell go one per row after the others.
  auto* outer = qobject_cast<QGridLayout*>(group->parentWidget()->layout());
  ASSERT_NE(outer, nullptr);
  EXPECT_EQ(outer->itemAtPosition(1, 0)->widget(), p.presenter->GetWidget(p.first));
  EXPECT_EQ(outer->itemAtPosition(2, 0)->widget(), p.presenter->GetWidget(p.second));

  p.check->SetState(KIVDialog::StateSet);
  p.check->SetTitle("Edges && lines");
  p.spinner->SetCurrentValue(7);
  p.combo->SetSelect(1);
  p.frame->SetSensitivity(KIVDialog::SensitivityOff);
  auto* box = p.Widget<QCheckBox>(p.check);
  EXPECT_TRUE(box->isChecked());
  EXPECT_EQ(box->text(), "Edges &&&& lines");  // shown as typed, no mnemonic made of it
  EXPECT_EQ(p.Widget<QDoubleSpinBox>(p.spinner)->value(), 7.0);
  EXPECT_EQ(p.Widget<QComboBox>(p.combo)->currentIndex(), 1);
  EXPECT_FALSE(box->isEnabled());  // greyed with its frame
  p.check->SetVisibility(KIVDialog::VisibilityHidden);
  EXPECT_FALSE(box->isVisible());
}

TEST(QtPresenter, InputGoesThroughTheUserOperations) {
  Panel p;
  p.owner.Listen(KIVDlgChkBModifyNotification::ClassName());
  p.owner.Listen(KIVDlgSpinModifyNotification::ClassName());
  p.owner.Listen(KIVDlgSliderModifyNotification::ClassName());
  p.owner.Listen(KIVDlgRadBModifyNotification::ClassName());
  QTest::mouseClick(p.Widget<QCheckBox>(p.check), Qt::LeftButton, {}, QPoint(6, 6));
  EXPECT_EQ(p.check->GetState(), KIVDialog::StateSet);

  // An arrow click is one model step, whatever Qt's own step would have been.
  p.Widget<KIVQtSpinBox>(p.spinner)->stepBy(1);
  EXPECT_EQ(p.spinner->GetCurrentValue(), 1.0f);
  EXPECT_EQ(p.spinner->GetSpinDirection(), 1);

  auto* bar = p.presenter->GetWidget(p.slider)->findChild<QSlider*>();
  ASSERT_NE(bar, nullptr);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_FLOAT_EQ(p.slider->GetCurrentValue(), 0.25f);
  EXPECT_EQ(p.presenter->GetWidget(p.slider)->findChild<QLabel*>()->text(), "0.25");

  // On the button's label: a cell-wide radio button takes clicks there only.
  QTest::mouseClick(p.Widget<QRadioButton>(p.second), Qt::LeftButton, {}, QPoint(6, 6));
  EXPECT_EQ(p.first->GetState(), KIVDialog::StateCleared);
  EXPECT_FALSE(p.Widget<QRadioButton>(p.first)->isChecked());
  EXPECT_TRUE(p.Widget<QRadioButton>(p.second)->isChecked());
  EXPECT_EQ(p.owner.Take(), (Lines{"Edges:KIVDlgChkBModifyNotification", "Size:KIVDlgSpinModifyNotification",
                                   "Fog:KIVDlgSliderModifyNotification", "Near:KIVDlgRadBModifyNotification",
                                   "Far:KIVDlgRadBModifyNotification"}));

  // A click the model refuses (the check button is not usable) leaves the widget as the
  // model says.
  p.check->SetSensitivity(KIVDialog::SensitivityOff);
  auto* box = p.Widget<QCheckBox>(p.check);
  box->setEnabled(true);  // as if the widget had missed the change
  QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, 6));
  EXPECT_EQ(p.check->GetState(), KIVDialog::StateSet);
  EXPECT_TRUE(box->isChecked());
  EXPECT_TRUE(p.owner.Take().empty());
}

TEST(QtPresenter, WindowButtonsCloseBoxAndDestructionFromACallback) {
  Panel p;
  p.owner.Listen(KIVDlgDiaOKNotification::ClassName());
  p.owner.Listen(KIVDlgWindCloseNotification::ClassName());
  QWidget* top = p.presenter->GetWidget(p.window);
  auto* buttons = top->findChild<QDialogButtonBox*>();
  ASSERT_NE(buttons, nullptr);
  buttons->button(QDialogButtonBox::Ok)->click();
  top->close();
  EXPECT_EQ(p.owner.Take(), (Lines{"Panel:KIVDlgDiaOKNotification", "Panel:KIVDlgWindCloseNotification"}));
  EXPECT_EQ(p.window->GetVisibility(), KIVDialog::VisibilityHidden);
  EXPECT_FALSE(top->isVisible());

  // A receiver that destroys its window while Qt delivers the click.
  auto* doomed = new KIVDlgDialog(nullptr, "Doomed");
  doomed->SetFather(&p.owner);
  doomed->SetVisibility(2);
  Pump();
  QPointer<QWidget> widget = p.presenter->GetWidget(doomed);
  ASSERT_FALSE(widget.isNull());
  p.owner.AddAnalyseNotificationCB(doomed, doomed->GetDiaOKNotification(), nullptr,
                                   [doomed](KIVCommand*, KIVNotification*, void*) { delete doomed; }, nullptr);
  widget->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  EXPECT_FALSE(p.presenter->IsAlive(doomed));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(widget.isNull());
}

TEST(QtPresenter, MenusFromATableShowTheirItemsAndReportChoices) {
  Panel p;
  TableauMenu red{4, 3, "Red", "Red", 'R', 0, nullptr, 0, 1};
  TableauMenu blue{5, 3, "Blue", "Blue", 0, 0, nullptr, 0, 1 | 2};
  TableauMenu* colours[2] = {&red, &blue};
  TableauMenu sub{-1, 6, "Colour", "Colour", 0, 0, colours, 2, 1};
  TableauMenu line{-1, 5, "Sep", "", 0, 0, nullptr, 0, 1};
  TableauMenu grid{7, 2, "Grid", "Show grid", 0, 0, nullptr, 0, 1 | 4};
  TableauMenu* rows[3] = {&sub, &line, &grid};
  NavMenuGeneric menus(&p.owner, p.frame, "Menu", 8, rows, 3);
  Pump();
  KIVDlgMenu* root = menus.GetRacineMenu();
  ASSERT_NE(root, nullptr);
  root->SetVisibility(KIVDialog::VisibilityShown);
  Pump();  // pops up once the input that asked for it is done
  QMenu* popup = p.presenter->GetMenu(root);
  ASSERT_NE(popup, nullptr);
  EXPECT_TRUE(popup->isVisible());
  const QList<QAction*> actions = popup->actions();
  ASSERT_EQ(actions.size(), 3);
  EXPECT_EQ(actions[0]->text(), "Colour");
  EXPECT_TRUE(actions[1]->isSeparator());
  EXPECT_EQ(actions[2]->text(), "Show grid");
  EXPECT_TRUE(actions[2]->isChecked());
  QMenu* colourMenu = actions[0]->menu();
  ASSERT_NE(colourMenu, nullptr);
  ASSERT_EQ(colourMenu->actions().size(), 2);
  EXPECT_EQ(colourMenu->actions()[0]->text(), "&Red");
  EXPECT_FALSE(colourMenu->actions()[1]->isEnabled());
  colourMenu->actions()[0]->trigger();
  EXPECT_EQ(menus.GetLastOptionChoose(), 4);
  popup->hide();
  Pump();  // Qt hid it: so does the model
  EXPECT_EQ(root->GetVisibility(), KIVDialog::VisibilityHidden);
}

TEST(QtPresenter, FileAndNoticeWindows) {
  Panel p;
  p.owner.Listen(KIVDlgDiaOKNotification::ClassName());
  auto* file = new KIVDlgFile(p.window, "Chooser");
  file->SetFather(&p.owner);
  file->SetFilter("*.wrl");
  file->SetDirectory("/tmp");
  file->SetVisibility(2);
  Pump();
  auto* chooser = qobject_cast<QFileDialog*>(p.presenter->GetWidget(file));
  ASSERT_NE(chooser, nullptr);
  EXPECT_TRUE(chooser->isVisible());
  EXPECT_EQ(chooser->nameFilters(), QStringList{"*.wrl"});
  auto* name = chooser->findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(name, nullptr);
  name->setText("out.wrl");  // typed in the directory shown
  static_cast<QDialog*>(chooser)->accept();
  EXPECT_EQ(file->GetSelection().GetUtf8(), "/tmp/out.wrl");

  auto* notice = new KIVDlgNotify(p.window, "Notice");
  notice->SetFather(&p.owner);
  notice->SetNotifyType(KIVDlgNotify::NotifyError);
  notice->SetText("cannot write 'x.wrl'");
  notice->SetVisibility(2);
  Pump();
  auto* box = qobject_cast<QMessageBox*>(p.presenter->GetWidget(notice));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), "cannot write 'x.wrl'");
  EXPECT_EQ(box->icon(), QMessageBox::Critical);
  box->done(0);
  EXPECT_EQ(p.owner.Take(), (Lines{"Chooser:KIVDlgDiaOKNotification", "Notice:KIVDlgDiaOKNotification"}));
}

TEST(QtPresenter, ButtonsGivenAnIconLaterBecomeToolButtonsInTheirPlace) {
  QtTestApp();
  KIVQtPresenter presenter;
  auto* window = new KIVDlgDialog(nullptr, "Bar", KIVDlgWindow::StyleNoButtons);
  auto* row = new KIVDlgToolBar(window, "Row");
  KIVDlgCheckButton* buttons[3];
  const char* icons[3] = {"cbground", "cbperfo", "cbprint"};
  for (int i = 0; i < 3; ++i) {
    buttons[i] = new KIVDlgCheckButton(row, icons[i]);
    buttons[i]->SetTitle(icons[i]);  // announced here, without an icon yet
  }
  for (KIVDlgCheckButton* button : buttons) button->SetIconName(button->GetTag().CastToCharPtr());
  window->SetVisibility(2);
  Pump();
  QLayout* layout = presenter.GetWidget(row)->layout();
  ASSERT_EQ(layout->count(), 3);
  for (int i = 0; i < 3; ++i) {
    auto* tool = qobject_cast<QToolButton*>(layout->itemAt(i)->widget());
    ASSERT_NE(tool, nullptr) << i;
    EXPECT_EQ(tool, presenter.GetWidget(buttons[i]));
    EXPECT_TRUE(tool->isCheckable());
    EXPECT_FALSE(tool->icon().isNull());
  }
  QTest::mouseClick(static_cast<QToolButton*>(presenter.GetWidget(buttons[1])), Qt::LeftButton);
  EXPECT_EQ(buttons[1]->GetState(), KIVDialog::StateSet);
  delete window;
  Pump();
}
