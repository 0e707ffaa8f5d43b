#include "host/qt/KIVQtIconEngine.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace {

const QColor kInk(0x2e, 0x33, 0x3a);
const QColor kAccent(0xe0, 0x7a, 0x10);
// Greys only (red = green = blue), the accent lighter so the two still read apart.
const QColor kGreyInk(0x9a, 0x9a, 0x9a);
const QColor kGreyAccent(0xb8, 0xb8, 0xb8);

}  // namespace

KIVQtIconEngine::KIVQtIconEngine(const QString& name, Drawing drawing) : mName(name), mDrawing(drawing) {}

void KIVQtIconEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) {
  const qreal side = std::min(rect.width(), rect.height());
  if (side <= 0 || !mDrawing) return;
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  // The largest centred square: drawings keep their proportions in any rect.
  painter->translate(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2);
  painter->scale(side / kGrid, side / kGrid);
  const bool grey = mode == QIcon::Disabled;
  mDrawing(*painter, grey ? kGreyInk : kInk, grey ? kGreyAccent : kAccent);
  painter->restore();
}

QPixmap KIVQtIconEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
  return scaledPixmap(size, mode, state, 1);
}

// Qt asks for the size in device pixels: draw at that resolution, then tag the ratio.
QPixmap KIVQtIconEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) {
  if (size.isEmpty()) return QPixmap();
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    paint(&painter, QRect(QPoint(), size), mode, state);
  }
  pixmap.setDevicePixelRatio(scale > 0 ? scale : 1);
  return pixmap;
}

QIconEngine* KIVQtIconEngine::clone() const { return new KIVQtIconEngine(*this); }

QString KIVQtIconEngine::key() const { return QStringLiteral("KIVQtIconEngine"); }

QString KIVQtIconEngine::iconName() { return mName; }

bool KIVQtIconEngine::isNull() { return !mDrawing; }
