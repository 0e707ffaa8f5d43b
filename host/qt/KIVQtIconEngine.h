#pragma once
// An icon drawn by a function on a 24 x 24 grid, scaled to whatever it is asked for: no
// image files, so it stays sharp at every size and device pixel ratio.
#include <QColor>
#include <QIconEngine>
#include <QString>

class QPainter;

class KIVQtIconEngine : public QIconEngine {
 public:
  /// Draws on the 24 x 24 grid with a dark ink and one accent colour.
  using Drawing = void (*)(QPainter& painter, const QColor& ink, const QColor& accent);
  static constexpr qreal kGrid = 24;

  KIVQtIconEngine(const QString& name, Drawing drawing);

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override;
  QIconEngine* clone() const override;
  QString key() const override;
  QString iconName() override;
  bool isNull() override;

 private:
  QString mName;
  Drawing mDrawing;
};
