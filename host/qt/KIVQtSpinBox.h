#pragma once
// A number field whose arrows report each step instead of changing the value, so that a
// click on an arrow reaches the model as an arrow click (the model steps and rounds).
#include <QDoubleSpinBox>
#include <functional>

class KIVQtSpinBox : public QDoubleSpinBox {
 public:
  explicit KIVQtSpinBox(QWidget* parent = nullptr) : QDoubleSpinBox(parent) {}
  void SetStepHandler(std::function<void(int)> handler) { mStep = std::move(handler); }
  void stepBy(int steps) override {
    if (!mStep) {
      QDoubleSpinBox::stepBy(steps);
      return;
    }
    const int direction = steps > 0 ? 1 : -1;
    for (int i = 0; i < (steps > 0 ? steps : -steps); ++i) mStep(direction);
  }

 private:
  std::function<void(int)> mStep;
};
