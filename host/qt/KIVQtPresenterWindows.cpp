// Windows: dialog boxes, file choosers and notices.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "host/dialog/KIVDlgFile.h"
#include "host/dialog/KIVDlgNotify.h"
#include "host/dialog/KIVDlgWindow.h"
#include "host/qt/KIVQtPresenter.h"
#include "host/qt/KIVQtText.h"
#include "host/qt/KIVQtWindow.h"

namespace {

QString Title(const KIVDialog* object) {
  const QString title = KIVQtText(object->GetTitle());
  return title.isEmpty() ? QString::fromUtf8(object->GetTag().CastToCharPtr()) : title;
}

QDialogButtonBox* ButtonsOf(QWidget* window) { return window->findChild<QDialogButtonBox*>("kivButtons"); }

}  // namespace

QWidget* KIVQtPresenter::BuildWindow(KIVDlgWindow* window, Entry& entry) {
  QWidget* parent = ParentWindow(window);
  QWidget* widget = nullptr;
  if (auto* file = dynamic_cast<KIVDlgFile*>(window)) {
    auto* chooser = new QFileDialog(parent);
    chooser->setOption(QFileDialog::DontUseNativeDialog);  // non-modal, and the same on every platform
    chooser->setFileMode(QFileDialog::AnyFile);
    chooser->setWindowModality(Qt::NonModal);
    QObject::connect(chooser, &QFileDialog::fileSelected, chooser, [this, file](const QString& path) {
      Input(file, [file, path] { file->UserSelectFile(KIVQtText(path)); }, KIVDlgProperty::Visibility);
    });
    QObject::connect(chooser, &QFileDialog::rejected, chooser, [this, file] {
      Input(file, [file] { file->UserCancel(); }, KIVDlgProperty::Visibility);
    });
    widget = chooser;
  } else if (auto* notice = dynamic_cast<KIVDlgNotify*>(window)) {
    auto* box = new QMessageBox(parent);
    box->setWindowModality(Qt::NonModal);
    box->addButton(QMessageBox::Ok);
    // However it is closed (button, Escape, close box), the notice was read.
    QObject::connect(box, &QDialog::finished, box, [this, notice](int) {
      Input(notice, [notice] { notice->UserOK(); }, KIVDlgProperty::Visibility);
    });
    widget = box;
  } else {
    auto* top = new KIVQtWindow(parent);
    auto* column = new QVBoxLayout(top);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* content = new QWidget(top);
    content->setObjectName("kivContent");
    column->addWidget(content, 1);
    entry.container = content;
    if (!(window->GetStyle() & KIVDlgWindow::StyleNoButtons)) {
      auto* buttons = new QDialogButtonBox(top);
      buttons->setObjectName("kivButtons");
      buttons->setContentsMargins(6, 6, 6, 6);
      buttons->addButton(QDialogButtonBox::Ok);
      buttons->addButton(QDialogButtonBox::Cancel);
      if (window->GetStyle() & KIVDlgWindow::StyleApply) buttons->addButton(QDialogButtonBox::Apply);
      if (window->GetStyle() & KIVDlgWindow::StyleHelp) buttons->addButton(QDialogButtonBox::Help);
      QObject::connect(buttons, &QDialogButtonBox::clicked, buttons, [this, window, buttons](QAbstractButton* b) {
        const auto role = buttons->standardButton(b);
        Input(window,
              [window, role] {
                if (role == QDialogButtonBox::Ok) window->UserOK();
                if (role == QDialogButtonBox::Cancel) window->UserCancel();
                if (role == QDialogButtonBox::Apply) window->UserApply();
                if (role == QDialogButtonBox::Help) window->UserHelp();
              },
              KIVDlgProperty::Visibility);
      });
      column->addWidget(buttons);
    }
    top->SetCloseHandler(
        [this, window] { Input(window, [window] { window->UserClose(); }, KIVDlgProperty::Visibility); });
    widget = top;
  }
  widget->setObjectName(QString::fromUtf8(window->GetTag().CastToCharPtr()));
  if (mPlacement && mPlacement(window, widget)) widget->setProperty("kivPlaced", true);
  return widget;
}

void KIVQtPresenter::SyncWindow(KIVDlgWindow* window, Entry& entry, KIVDlgProperty which) {
  QWidget* widget = entry.widget;
  if (!widget) return;
  auto* chooser = qobject_cast<QFileDialog*>(widget);
  auto* box = qobject_cast<QMessageBox*>(widget);
  switch (which) {
    case KIVDlgProperty::Title:
      widget->setWindowTitle(Title(window));
      break;
    case KIVDlgProperty::Visibility:
      if (window->GetVisibility() == KIVDialog::VisibilityShown) {
        if (!widget->isVisible()) {
          widget->show();
          if (widget->isWindow()) widget->raise();
        }
      } else {
        widget->hide();
      }
      break;
    case KIVDlgProperty::Sensitivity:
      widget->setEnabled(window->GetSensitivity() == KIVDialog::SensitivityOn);
      break;
    case KIVDlgProperty::Rect: {
      int x, y, w, h;
      window->GetRectDimensions(x, y, w, h);
      if (w > 0 && h > 0 && widget->isWindow()) widget->resize(w, h);
      if ((x || y) && widget->isWindow()) widget->move(x, y);
      break;
    }
    case KIVDlgProperty::Buttons:
      if (QDialogButtonBox* buttons = ButtonsOf(widget)) {
        const std::pair<QDialogButtonBox::StandardButton, const KIVUnicodeString*> rows[] = {
            {QDialogButtonBox::Ok, &window->GetOKTitle()},
            {QDialogButtonBox::Cancel, &window->GetCancelTitle()},
            {QDialogButtonBox::Apply, &window->GetApplyTitle()},
            {QDialogButtonBox::Help, &window->GetHelpTitle()}};
        int index = 1;
        for (const auto& [kind, title] : rows) {
          if (QPushButton* b = buttons->button(kind)) {
            b->setText(KIVQtText(*title));
            b->setDefault(window->GetDefaultButton() == index);
          }
          ++index;
        }
      } else if (chooser) {
        chooser->setLabelText(QFileDialog::Accept, KIVQtText(window->GetOKTitle()));
      }
      break;
    case KIVDlgProperty::Text:
      if (auto* file = dynamic_cast<KIVDlgFile*>(window); file && chooser) {
        if (!file->GetDirectory().GetUtf8().empty()) chooser->setDirectory(KIVQtText(file->GetDirectory()));
        chooser->setNameFilter(KIVQtText(file->GetFilter()));
        if (!file->GetSelection().GetUtf8().empty()) chooser->selectFile(KIVQtText(file->GetSelection()));
      }
      if (auto* notice = dynamic_cast<KIVDlgNotify*>(window); notice && box) {
        box->setText(KIVQtText(notice->GetText()));
        const int type = notice->GetNotifyType();
        box->setIcon(type == KIVDlgNotify::NotifyError     ? QMessageBox::Critical
                     : type == KIVDlgNotify::NotifyWarning ? QMessageBox::Warning
                                                           : QMessageBox::Information);
      }
      break;
    default:
      break;
  }
}
