#pragma once
// What a person does and sees, under a real X server: input goes in through the server
// (xdotool's XTest events, which reach the widgets through Qt's event loop like a mouse's),
// and pictures come back from the server: the pixels composed on screen, not a frame the
// test asks the viewer to draw.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>
#include <cstdlib>

namespace screen_probe {

inline bool HaveXdotool() { return !QStandardPaths::findExecutable("xdotool").isEmpty(); }

/// Runs xdotool with the arguments (several commands may be chained) and waits for it.
inline bool Xdo(const QStringList& arguments) {
  QProcess xdo;
  xdo.start("xdotool", arguments);
  return xdo.waitForFinished(5000) && xdo.exitCode() == 0;
}

/// Lets the event loop run for ms milliseconds.
inline void Settle(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) QTest::qWait(5);
}

/// The widget's area as it is on screen now, read back from the X server's root window.
inline QImage Shot(const QWidget* widget) {
  const QPoint at = widget->mapToGlobal(QPoint(0, 0));
  return widget->screen()->grabWindow(0, at.x(), at.y(), widget->width(), widget->height()).toImage().convertToFormat(
      QImage::Format_RGB32);
}

/// Share of pixels that differ by more than a little in any channel.
inline double Changed(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.isNull()) return 1.0;
  long long changed = 0;
  for (int y = 0; y < a.height(); ++y) {
    const QRgb* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const QRgb* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x)
      if (std::abs(qRed(p[x]) - qRed(q[x])) + std::abs(qGreen(p[x]) - qGreen(q[x])) +
              std::abs(qBlue(p[x]) - qBlue(q[x])) >
          24)
        ++changed;
  }
  return static_cast<double>(changed) / (static_cast<double>(a.width()) * a.height());
}

/// Distinct colours in a coarse sample: a drawn plant has many, a cleared frame one.
inline int Colours(const QImage& image) {
  QSet<QRgb> seen;
  for (int y = 0; y < image.height(); y += 7)
    for (int x = 0; x < image.width(); x += 7) seen.insert(image.pixel(x, y) & 0xF0F0F0);
  return static_cast<int>(seen.size());
}

/// Runs the loop until the widget's area on screen differs from `before` by more than
/// `share`, or ms pass; returns the last shot. No drawing is requested: only what the
/// window shows by itself counts.
inline QImage WaitForChange(const QWidget* widget, const QImage& before, double share, int ms = 2000) {
  QElapsedTimer timer;
  timer.start();
  QImage now = Shot(widget);
  while (Changed(before, now) <= share && timer.elapsed() < ms) {
    QTest::qWait(20);
    now = Shot(widget);
  }
  return now;
}

/// Runs the loop until two shots 150 ms apart agree (the window is still), at most ms.
inline QImage WaitForStill(const QWidget* widget, int ms = 3000) {
  QElapsedTimer timer;
  timer.start();
  QImage last = Shot(widget);
  while (timer.elapsed() < ms) {
    Settle(150);
    QImage now = Shot(widget);
    if (Changed(last, now) == 0.0) return now;
    last = now;
  }
  return last;
}

/// Global coordinates of a point of a widget, as xdotool arguments.
inline QStringList At(const QWidget* widget, QPoint point) {
  const QPoint g = widget->mapToGlobal(point);
  return {QString::number(g.x()), QString::number(g.y())};
}

}  // namespace screen_probe
