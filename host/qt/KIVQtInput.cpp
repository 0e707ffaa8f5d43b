#include "host/qt/KIVQtInput.h"

#include <QKeyEvent>

#include "host/visu/interact/KIVKeyEvent.h"
#include "host/visu/interact/KIVMouseEvent.h"

int KIVQtInput::Buttons(Qt::MouseButtons buttons) {
  int bits = 0;
  if (buttons & Qt::LeftButton) bits |= KIVMouseEvent::ButtonLeft;
  if (buttons & Qt::MiddleButton) bits |= KIVMouseEvent::ButtonMiddle;
  if (buttons & Qt::RightButton) bits |= KIVMouseEvent::ButtonRight;
  return bits;
}

int KIVQtInput::Modifiers(Qt::KeyboardModifiers modifiers) {
  int bits = 0;
  if (modifiers & Qt::ShiftModifier) bits |= KIVMouseEvent::ModShift;
  if (modifiers & Qt::AltModifier) bits |= KIVMouseEvent::ModAlt;
  if (modifiers & Qt::ControlModifier) bits |= KIVMouseEvent::ModControl;
  return bits;
}

int KIVQtInput::Key(const QKeyEvent& event) {
  const int key = event.key();
  switch (key) {
    case Qt::Key_Escape: return KIVKeyEvent::KeyEscape;
    case Qt::Key_Return:
    case Qt::Key_Enter: return KIVKeyEvent::KeyReturn;
    case Qt::Key_Tab: return KIVKeyEvent::KeyTab;
    case Qt::Key_Backspace: return KIVKeyEvent::KeyBackspace;
    case Qt::Key_Delete: return KIVKeyEvent::KeyDelete;
    case Qt::Key_Home: return KIVKeyEvent::KeyHome;
    case Qt::Key_End: return KIVKeyEvent::KeyEnd;
    case Qt::Key_PageUp: return KIVKeyEvent::KeyPageUp;
    case Qt::Key_PageDown: return KIVKeyEvent::KeyPageDown;
    case Qt::Key_Left: return KIVKeyEvent::KeyLeft;
    case Qt::Key_Right: return KIVKeyEvent::KeyRight;
    case Qt::Key_Up: return KIVKeyEvent::KeyUp;
    case Qt::Key_Down: return KIVKeyEvent::KeyDown;
    default: break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F35) return KIVKeyEvent::KeyF1 + (key - Qt::Key_F1);
  // Printable keys by the key pressed, not the text typed, so that Shift+F is still 'f'.
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return 'a' + (key - Qt::Key_A);
  if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) return key;
  const QString text = event.text();
  if (text.size() == 1 && text.at(0).isPrint()) return text.at(0).toLower().unicode();
  return 0;
}
