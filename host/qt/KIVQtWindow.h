#pragma once
// The widget of a dialog window: its close box asks the model (which may hide the
// window, destroy it, or refuse) instead of closing on its own.
#include <QWidget>
#include <functional>

class KIVQtWindow : public QWidget {
 public:
  explicit KIVQtWindow(QWidget* parent) : QWidget(parent, Qt::Window) {}
  void SetCloseHandler(std::function<void()> handler) { mClose = std::move(handler); }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::function<void()> mClose;
};
