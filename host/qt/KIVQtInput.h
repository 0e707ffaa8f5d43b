#pragma once
// Qt's mouse buttons, modifiers and keys in the viewer's terms (KIVMouseEvent bits and
// KIVKeyEvent codes).
#include <Qt>

class QKeyEvent;

class KIVQtInput {
 public:
  static int Buttons(Qt::MouseButtons buttons);
  static int Modifiers(Qt::KeyboardModifiers modifiers);
  /// The viewer's key code, 0 for keys it has no code for (bare modifiers, for instance).
  static int Key(const QKeyEvent& event);
};
