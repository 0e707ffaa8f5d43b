// Controls: buttons, fields, lists, containers and viewer windows.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <cmath>

#include "host/dialog/KIVDlgCheckButton.h"
#include "host/dialog/KIVDlgCombo.h"
#include "host/dialog/KIVDlgEditor.h"
#include "host/dialog/KIVDlgFrame.h"
#include "host/dialog/KIVDlgLabel.h"
#include "host/dialog/KIVDlgMultiList.h"
#include "host/dialog/KIVDlgPushButton.h"
#include "host/dialog/KIVDlgRadioButton.h"
#include "host/dialog/KIVDlgSlider.h"
#include "host/dialog/KIVDlgSpinner.h"
#include "host/dialog/KIVDlgTabContainer.h"
#include "host/dialog/KIVDlgTabPage.h"
#include "host/dialog/KIVDlgToolBar.h"
#include "host/graph/KIVGraphViewer.h"
#include "host/qt/KIVQtGraphView.h"
#include "host/qt/KIVQtIconSet.h"
#include "host/qt/KIVQtLabel.h"
#include "host/qt/KIVQtMultiList.h"
#include "host/qt/KIVQtPresenter.h"
#include "host/qt/KIVQtSpinBox.h"
#include "host/qt/KIVQtText.h"
#include "host/qt/KIVQtViewerWidget.h"
#include "host/visu/view/KIVViewer.h"

namespace {

int SliderPositions(const KIVDlgSlider* slider) {
  float min, max, steps;
  slider->GetRange(min, max, steps);
  return steps >= 1.0f && steps <= 100000.0f ? static_cast<int>(std::lround(steps)) : 1000;
}

float SliderValue(const KIVDlgSlider* slider, int position) {
  float min, max, steps;
  slider->GetRange(min, max, steps);
  return min + (max - min) * static_cast<float>(position) / static_cast<float>(SliderPositions(slider));
}

int SliderPosition(const KIVDlgSlider* slider) {
  float min, max, steps;
  slider->GetRange(min, max, steps);
  if (max <= min) return 0;
  return static_cast<int>(std::lround((slider->GetCurrentValue() - min) / (max - min) * SliderPositions(slider)));
}

QToolButton* ToolButton(QWidget* parent, bool checkable) {
  auto* button = new QToolButton(parent);
  button->setCheckable(checkable);
  button->setAutoRaise(true);
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  button->setIconSize(QSize(24, 24));
  return button;
}

int CharacterWidth(const QWidget* widget, int characters) {
  return widget->fontMetrics().averageCharWidth() * characters + 16;
}

}  // namespace

QWidget* KIVQtPresenter::BuildControl(KIVDialog* object, Entry& entry) {
  QWidget* parent = ParentContainer(object);
  const bool icon = !object->GetIconName().IsEmpty();
  if (auto* viewer = dynamic_cast<KIVViewer*>(object)) {
    auto* view = new KIVQtViewerWidget(viewer, parent);
    view->SetInputHook([this] { Kick(); });
    return view;
  }
  if (auto* list = dynamic_cast<KIVDlgMultiList*>(object)) return new KIVQtMultiList(list, parent);
  if (auto* graph = dynamic_cast<KIVGraphViewer*>(object)) {
    auto* view = new KIVQtGraphView(graph, parent);
    view->SetInputHook([this] { Kick(); });
    return view;
  }
  if (auto* combo = dynamic_cast<KIVDlgCombo*>(object)) {
    auto* box = new QComboBox(parent);
    QObject::connect(box, &QComboBox::activated, box, [this, combo](int line) {
      Input(combo, [combo, line] { combo->UserSelect(line); }, KIVDlgProperty::Selection);
    });
    return box;
  }
  if (auto* spinner = dynamic_cast<KIVDlgSpinner*>(object)) {
    auto* box = new KIVQtSpinBox(parent);
    box->setKeyboardTracking(false);
    box->SetStepHandler([this, spinner](int direction) {
      Input(spinner, [spinner, direction] { spinner->UserSpin(direction); }, KIVDlgProperty::Value);
    });
    QObject::connect(box, &QDoubleSpinBox::editingFinished, box, [this, spinner, box] {
      if (!Find(spinner) || box->text() == KIVQtText(spinner->GetValueText())) return;
      // Leaving a box that shows the model's value in another format is no input.
      if (std::fabs(box->value() - spinner->GetCurrentValue()) <= 0.5 * std::pow(10.0, -box->decimals())) return;
      const float value = static_cast<float>(box->value());
      Input(spinner, [spinner, value] { spinner->UserSetValue(value); }, KIVDlgProperty::Value);
    });
    return box;
  }
  if (auto* slider = dynamic_cast<KIVDlgSlider*>(object)) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QSlider(Qt::Horizontal, row);
    bar->setObjectName("kivSlider");
    auto* text = new QLabel(row);
    text->setObjectName("kivValue");
    layout->addWidget(bar, 1);
    layout->addWidget(text);
    QObject::connect(bar, &QSlider::sliderMoved, bar, [this, slider](int position) {
      if (!Find(slider)) return;
      const float value = SliderValue(slider, position);
      Input(slider, [slider, value] { slider->UserDragValue(value); }, KIVDlgProperty::Value);
    });
    QObject::connect(bar, &QSlider::actionTriggered, bar, [this, slider, bar](int action) {
      if (action == QAbstractSlider::SliderMove || !Find(slider)) return;
      const float value = SliderValue(slider, bar->sliderPosition());
      Input(slider, [slider, value] { slider->UserSetValue(value); }, KIVDlgProperty::Value);
    });
    QObject::connect(bar, &QSlider::sliderReleased, bar, [this, slider, bar] {
      if (!Find(slider)) return;
      const float value = SliderValue(slider, bar->sliderPosition());
      Input(slider, [slider, value] { slider->UserSetValue(value); }, KIVDlgProperty::Value);
    });
    return row;
  }
  if (auto* editor = dynamic_cast<KIVDlgEditor*>(object)) {
    if (editor->GetVisibleTextHeight() > 1) {
      auto* edit = new QPlainTextEdit(parent);
      QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this, editor, edit] {
        const KIVUnicodeString text = KIVQtText(edit->toPlainText());
        Input(editor, [editor, text] { editor->UserSetText(text); }, KIVDlgProperty::Text);
      });
      return edit;
    }
    auto* edit = new QLineEdit(parent);
    QObject::connect(edit, &QLineEdit::editingFinished, edit, [this, editor, edit] {
      if (!Find(editor) || KIVQtText(edit->text()).GetUtf8() == editor->GetText().GetUtf8()) return;
      const KIVUnicodeString text = KIVQtText(edit->text());
      Input(editor, [editor, text] { editor->UserSetText(text); }, KIVDlgProperty::Text);
    });
    return edit;
  }
  if (dynamic_cast<KIVDlgLabel*>(object)) return new QLabel(parent);
  if (auto* push = dynamic_cast<KIVDlgPushButton*>(object)) {
    QAbstractButton* button = icon ? static_cast<QAbstractButton*>(ToolButton(parent, false)) : new QPushButton(parent);
    button->setProperty("kivButton", true);
    QObject::connect(button, &QAbstractButton::clicked, button, [this, push] {
      Input(push, [push] { push->UserActivate(); }, KIVDlgProperty::State);
    });
    return button;
  }
  if (auto* check = dynamic_cast<KIVDlgCheckButton*>(object)) {
    QAbstractButton* button = icon ? static_cast<QAbstractButton*>(ToolButton(parent, true)) : new QCheckBox(parent);
    button->setProperty("kivButton", true);
    QObject::connect(button, &QAbstractButton::clicked, button, [this, check](bool on) {
      const int state = on ? KIVDialog::StateSet : KIVDialog::StateCleared;
      Input(check, [check, state] { check->UserSetState(state); }, KIVDlgProperty::State);
    });
    return button;
  }
  if (auto* radio = dynamic_cast<KIVDlgRadioButton*>(object)) {
    QAbstractButton* button = nullptr;
    if (icon) {
      button = ToolButton(parent, true);
    } else {
      auto* r = new QRadioButton(parent);
      r->setAutoExclusive(false);  // the model keeps the group exclusive
      button = r;
    }
    button->setProperty("kivButton", true);
    // A click on a radio always means "this one"; the model clears its siblings.
    QObject::connect(button, &QAbstractButton::clicked, button, [this, radio] {
      Input(radio, [radio] { radio->UserSetState(KIVDialog::StateSet); }, KIVDlgProperty::State);
    });
    return button;
  }
  if (auto* container = dynamic_cast<KIVDlgTabContainer*>(object)) {
    auto* tabs = new QTabWidget(parent);
    QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [this, container, tabs](int index) {
      if (mSyncing || !Find(container)) return;
      auto* page = dynamic_cast<KIVDlgTabPage*>(GetObject(tabs->widget(index)));
      if (page) Input(container, [container, page] { container->UserSelectPage(page); }, KIVDlgProperty::Selection);
    });
    return tabs;
  }
  if (dynamic_cast<KIVDlgTabPage*>(object)) return new QWidget(parent);
  if (dynamic_cast<KIVDlgToolBar*>(object)) {
    auto* row = new QWidget(parent);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    return row;
  }
  if (dynamic_cast<KIVDlgFrame*>(object)) {
    auto* frame = new QGroupBox(parent);
    return frame;
  }
  if (dynamic_cast<KIVDlgControl*>(object)) return new QWidget(parent);
  (void)entry;
  return nullptr;  // a dialog object that shows nothing; its children go to its parent's widget
}

void KIVQtPresenter::SyncControl(KIVDialog* object, Entry& entry, KIVDlgProperty which) {
  QWidget* widget = entry.widget;
  if (!widget) return;
  if (auto* list = dynamic_cast<KIVQtMultiList*>(widget)) {
    if (which != KIVDlgProperty::Visibility && which != KIVDlgProperty::Sensitivity) {
      list->Sync(which);
      return;
    }
  }
  auto* button = qobject_cast<QAbstractButton*>(widget);
  auto* tool = qobject_cast<QToolButton*>(widget);
  switch (which) {
    case KIVDlgProperty::Title:
    case KIVDlgProperty::Mnemonic: {
      const QString text = KIVQtLabel(object);
      if (tool) {
        tool->setText(text);
        tool->setToolTip(KIVQtText(object->GetTitle()));
      } else if (button) {
        button->setText(text);
      } else if (auto* frame = qobject_cast<QGroupBox*>(widget)) {
        frame->setTitle(text);
        frame->setFlat(text.isEmpty());
        // Untitled frames only group: no border, no room lost.
        frame->setStyleSheet(text.isEmpty() ? "QGroupBox{border:0;margin:0;padding:0;}" : QString());
      } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (object->GetIconName().IsEmpty()) label->setText(KIVQtText(object->GetTitle()));
      } else if (dynamic_cast<KIVDlgTabPage*>(object)) {
        if (auto* tabs = qobject_cast<QTabWidget*>(widget->parentWidget() ? widget->parentWidget()->parentWidget()
                                                                              : nullptr)) {
          const int index = tabs->indexOf(widget);
          if (index >= 0) tabs->setTabText(index, text);
        }
      } else if (!dynamic_cast<KIVQtViewerWidget*>(widget)) {
        widget->setToolTip(KIVQtText(object->GetTitle()));
      }
      break;
    }
    case KIVDlgProperty::IconName: {
      const QIcon icon = KIVQtIconSet::Icon(object->GetIconName().CastToCharPtr());
      if (button) button->setIcon(icon);
      if (auto* label = qobject_cast<QLabel*>(widget); label && !icon.isNull()) label->setPixmap(icon.pixmap(24, 24));
      break;
    }
    case KIVDlgProperty::Visibility:
      if (!dynamic_cast<KIVDlgTabPage*>(object)) widget->setVisible(object->GetVisibility() == KIVDialog::VisibilityShown);
      break;
    case KIVDlgProperty::Sensitivity:
      widget->setEnabled(object->GetSensitivity() == KIVDialog::SensitivityOn);
      break;
    case KIVDlgProperty::Grid:
      Place(object, entry);
      break;
    case KIVDlgProperty::State: {
      int state = 0;
      if (auto* check = dynamic_cast<KIVDlgCheckButton*>(object)) state = check->GetState();
      if (auto* radio = dynamic_cast<KIVDlgRadioButton*>(object)) state = radio->GetState();
      if (button && button->isCheckable()) {
        const QSignalBlocker block(button);
        button->setChecked(state == KIVDialog::StateSet);
      }
      break;
    }
    case KIVDlgProperty::Lines:
      if (auto* combo = dynamic_cast<KIVDlgCombo*>(object)) {
        auto* box = qobject_cast<QComboBox*>(widget);
        const QSignalBlocker block(box);
        box->clear();
        for (int i = 0; i < combo->GetLineCount(); ++i) box->addItem(KIVQtText(combo->GetLine(i)));
        box->setCurrentIndex(combo->GetSelect());
      }
      break;
    case KIVDlgProperty::Selection:
      if (auto* combo = dynamic_cast<KIVDlgCombo*>(object)) {
        auto* box = qobject_cast<QComboBox*>(widget);
        const QSignalBlocker block(box);
        box->setCurrentIndex(combo->GetSelect());
      } else if (auto* container = dynamic_cast<KIVDlgTabContainer*>(object)) {
        auto* tabs = qobject_cast<QTabWidget*>(widget);
        if (QWidget* page = GetWidget(container->GetSelectedPage())) tabs->setCurrentWidget(page);
      }
      break;
    case KIVDlgProperty::Range:
    case KIVDlgProperty::Format:
    case KIVDlgProperty::Value:
      if (auto* spinner = dynamic_cast<KIVDlgSpinner*>(object)) {
        auto* box = static_cast<KIVQtSpinBox*>(widget);
        const QSignalBlocker block(box);
        float min, max, steps;
        spinner->GetRange(min, max, steps);
        const int decimals = spinner->GetDecimals();
        box->setDecimals(decimals < 0 ? 4 : decimals);
        box->setRange(min, max);
        box->setSingleStep(spinner->GetStep() > 0.0f ? spinner->GetStep() : 1.0);
        box->setValue(spinner->GetCurrentValue());
      } else if (auto* slider = dynamic_cast<KIVDlgSlider*>(object)) {
        auto* bar = widget->findChild<QSlider*>("kivSlider");
        auto* text = widget->findChild<QLabel*>("kivValue");
        const QSignalBlocker block(bar);
        bar->setRange(0, SliderPositions(slider));
        if (!bar->isSliderDown()) bar->setValue(SliderPosition(slider));
        text->setText(KIVQtText(slider->GetValueText()));
      }
      break;
    case KIVDlgProperty::Text:
      if (auto* editor = dynamic_cast<KIVDlgEditor*>(object)) {
        const QString text = KIVQtText(editor->GetText());
        if (auto* line = qobject_cast<QLineEdit*>(widget); line && line->text() != text) {
          const QSignalBlocker block(line);
          line->setText(text);
        }
        if (auto* plain = qobject_cast<QPlainTextEdit*>(widget); plain && plain->toPlainText() != text) {
          const QSignalBlocker block(plain);
          plain->setPlainText(text);
        }
      }
      break;
    case KIVDlgProperty::TextSize:
      if (auto* control = dynamic_cast<KIVDlgControl*>(object)) {
        if (control->GetVisibleTextWidth() > 0)
          widget->setMinimumWidth(CharacterWidth(widget, control->GetVisibleTextWidth()));
        if (qobject_cast<QPlainTextEdit*>(widget) && control->GetVisibleTextHeight() > 1)
          widget->setMinimumHeight(widget->fontMetrics().lineSpacing() * control->GetVisibleTextHeight() + 12);
      }
      break;
    default:
      break;
  }
}
