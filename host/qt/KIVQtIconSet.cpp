#include "host/qt/KIVQtIconSet.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <cmath>
#include <cstring>

#include "host/qt/KIVQtIconEngine.h"

// Every drawing works on the 24 x 24 grid of KIVQtIconEngine and keeps about a unit of
// margin, so strokes never touch the pixmap's edge.
namespace {

void Pen(QPainter& p, const QColor& c, qreal width = 1.6) {
  p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
}

void Solid(QPainter& p, const QColor& c) {
  p.setPen(Qt::NoPen);
  p.setBrush(c);
}

// Translucent fills keep the same alpha in every mode, so a greyed icon has the same shape.
QColor Tint(const QColor& c, int alpha) {
  QColor tint(c);
  tint.setAlpha(alpha);
  return tint;
}

// A filled head with its tip at tip, pointing along dir.
void Head(QPainter& p, QPointF tip, QPointF dir, const QColor& c, qreal length = 4.5) {
  const qreal norm = std::hypot(dir.x(), dir.y());
  if (norm <= 0) return;
  const QPointF d = dir / norm, side(-d.y() * length * 0.6, d.x() * length * 0.6);
  const QPointF base = tip - d * length;
  Solid(p, c);
  p.drawPolygon(QPolygonF{tip, base + side, base - side});
}

// The shaft stops inside the head so that its round cap does not poke through the tip.
void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& c) {
  const QPointF d = to - from;
  const qreal norm = std::hypot(d.x(), d.y());
  Pen(p, c);
  p.drawLine(from, to - d / norm * 3.5);
  Head(p, to, d, c);
}

// An arrow along an elliptical arc; angles in degrees, counterclockwise from 3 o'clock.
void ArcArrow(QPainter& p, QPointF centre, qreal rx, qreal ry, qreal start, qreal span, const QColor& c) {
  const QRectF box(centre.x() - rx, centre.y() - ry, 2 * rx, 2 * ry);
  const qreal sign = span < 0 ? -1 : 1;
  const qreal end = qDegreesToRadians(start + span);
  const QPointF tip(centre.x() + rx * std::cos(end), centre.y() - ry * std::sin(end));
  const QPointF dir(-rx * std::sin(end) * sign, -ry * std::cos(end) * sign);
  const qreal trim = qRadiansToDegrees(3.0 / std::max(rx, ry)) * sign;
  QPainterPath arc;
  arc.arcMoveTo(box, start);
  arc.arcTo(box, start, span - trim);
  Pen(p, c);
  p.drawPath(arc);
  Head(p, tip, dir, c);
}

// An oblique cube from the top left corner of its front face, its top face in the accent.
void Cube(QPainter& p, QPointF at, qreal size, const QColor& ink, const QColor& accent) {
  const QPointF depth(size * 0.45, -size * 0.45);
  const QPointF a = at, b = at + QPointF(size, 0), c = at + QPointF(size, size), e = at + QPointF(0, size);
  const QPolygonF top{a, b, b + depth, a + depth};
  Solid(p, accent);
  p.drawPolygon(top);
  Pen(p, ink, 1.4);
  p.drawPolygon(QPolygonF{a, b, c, e});
  p.drawPolygon(top);
  p.drawPolyline(QPolygonF{b + depth, c + depth, c});
}

void Pick(QPainter& p, const QColor& ink, const QColor& accent) {
  Pen(p, ink, 1.5);
  p.setBrush(accent);
  p.drawPolygon(QPolygonF{{6, 3}, {6, 19.5}, {10, 16}, {13, 21.5}, {15.8, 20.2}, {12.9, 14.8}, {18, 14.5}});
}

void LookAt(QPainter& p, const QColor& ink, const QColor& accent) {
  QPainterPath eye;
  eye.moveTo(2, 12);
  eye.cubicTo(6, 5, 18, 5, 22, 12);
  eye.cubicTo(18, 19, 6, 19, 2, 12);
  Pen(p, ink);
  p.drawPath(eye);
  p.drawEllipse(QPointF(12, 12), 3.5, 3.5);
  Pen(p, accent, 1.4);
  p.drawLine(QPointF(12, 1.5), QPointF(12, 5.5));
  p.drawLine(QPointF(12, 18.5), QPointF(12, 22.5));
  Solid(p, accent);
  p.drawEllipse(QPointF(12, 12), 1.5, 1.5);
}

void Zoom(QPainter& p, const QColor& ink, const QColor& accent) {
  Pen(p, ink);
  p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
  Pen(p, ink, 3);
  p.drawLine(QPointF(15, 15), QPointF(20.5, 20.5));
  Pen(p, accent, 1.8);
  p.drawLine(QPointF(7, 10), QPointF(13, 10));
  p.drawLine(QPointF(10, 7), QPointF(10, 13));
}

void Around(QPainter& p, const QColor& ink, const QColor& accent) {
  Cube(p, {8, 10}, 7, ink, accent);
  // The orbit leaves a gap behind the cube so that it reads as going around it.
  ArcArrow(p, {12, 13}, 10, 4.5, 110, 300, accent);
}

void Translate(QPainter& p, const QColor& ink, const QColor& accent) {
  const QPointF centre(12, 12);
  for (QPointF end : {QPointF(12, 2), QPointF(22, 12), QPointF(12, 22), QPointF(2, 12)}) Arrow(p, centre, end, ink);
  Solid(p, accent);
  p.drawEllipse(centre, 2.2, 2.2);
}

void TurnHead(QPainter& p, const QColor& ink, const QColor& accent) {
  Pen(p, ink);
  p.drawEllipse(QPointF(12, 15), 5, 5);
  Pen(p, ink, 1.3);
  p.drawPolyline(QPolygonF{{16.8, 13.6}, {18.8, 16.2}, {16.6, 16.6}});  // the nose says which way it faces
  Solid(p, ink);
  p.drawEllipse(QPointF(14.2, 13.6), 0.9, 0.9);
  ArcArrow(p, {12, 15}, 9, 8, 160, -140, accent);
}

void Previous(QPainter& p, const QColor& ink, const QColor& accent) {
  QPainterPath curve;
  curve.moveTo(19, 19);
  curve.cubicTo(19, 11, 15, 9, 9, 9);
  Pen(p, ink, 1.8);
  p.drawPath(curve);
  Head(p, {3.5, 9}, {-1, 0}, accent, 5.5);
}

void Next(QPainter& p, const QColor& ink, const QColor& accent) {
  p.translate(24, 0);
  p.scale(-1, 1);
  Previous(p, ink, accent);
}

void Reframe(QPainter& p, const QColor& ink, const QColor& accent) {
  Pen(p, ink, 1.8);
  p.drawPolyline(QPolygonF{{3, 8}, {3, 3}, {8, 3}});
  p.drawPolyline(QPolygonF{{16, 3}, {21, 3}, {21, 8}});
  p.drawPolyline(QPolygonF{{21, 16}, {21, 21}, {16, 21}});
  p.drawPolyline(QPolygonF{{8, 21}, {3, 21}, {3, 16}});
  Cube(p, {7.6, 10.3}, 6.5, ink, accent);
}

void Light(QPainter& p, const QColor& ink, const QColor& accent) {
  const QRectF glass(5.5, 2.5, 13, 13);
  QPainterPath bulb;
  bulb.arcMoveTo(glass, -60);
  bulb.arcTo(glass, -60, 300);
  bulb.lineTo(9.5, 17.5);
  bulb.lineTo(14.5, 17.5);
  bulb.closeSubpath();
  Pen(p, ink);
  p.setBrush(accent);
  p.drawPath(bulb);
  Pen(p, ink, 1.1);
  p.drawPolyline(QPolygonF{{10.5, 12.5}, {11.25, 10.5}, {12, 12.5}, {12.75, 10.5}, {13.5, 12.5}});
  Pen(p, ink);
  p.drawLine(QPointF(9.5, 19.4), QPointF(14.5, 19.4));
  p.drawLine(QPointF(10.5, 21.3), QPointF(13.5, 21.3));
}

void Clip(QPainter& p, const QColor& ink, const QColor& accent) {
  const QPointF a(4, 9), b(15, 9), c(15, 20), e(4, 20), depth(5, -5);
  Pen(p, ink, 1.4);
  p.drawPolygon(QPolygonF{a, b, c, e});
  p.drawPolygon(QPolygonF{a, b, b + depth, a + depth});
  p.drawPolyline(QPolygonF{b + depth, c + depth, c});
  const QPolygonF plane{{1, 15.5}, {16, 15.5}, {22.5, 9}, {7.5, 9}};
  Pen(p, accent, 1.2);
  p.setBrush(Tint(accent, 140));
  p.drawPolygon(plane);
}

void Ground(QPainter& p, const QColor& ink, const QColor& accent) {
  const qreal top = 8, bottom = 20;
  auto left = [&](qreal y) { return 8 + (1.5 - 8) * (y - top) / (bottom - top); };
  auto right = [&](qreal y) { return 16 + (22.5 - 16) * (y - top) / (bottom - top); };
  Pen(p, ink, 1.4);
  p.setBrush(Tint(accent, 110));
  p.drawPolygon(QPolygonF{{left(top), top}, {right(top), top}, {right(bottom), bottom}, {left(bottom), bottom}});
  Pen(p, ink, 1);
  for (qreal t : {1.0 / 3, 2.0 / 3}) p.drawLine(QPointF(8 + 8 * t, top), QPointF(1.5 + 21 * t, bottom));
  for (qreal y : {10.8, 14.8}) p.drawLine(QPointF(left(y), y), QPointF(right(y), y));  // wider apart nearer
}

void Performance(QPainter& p, const QColor& ink, const QColor& accent) {
  const QPointF centre(12, 15);
  const QRectF dial(centre.x() - 9, centre.y() - 9, 18, 18);
  QPainterPath arc;
  arc.arcMoveTo(dial, 200);
  arc.arcTo(dial, 200, -220);
  Pen(p, ink, 1.8);
  p.drawPath(arc);
  Pen(p, ink, 1.2);
  for (qreal degrees : {180, 135, 90, 45, 0}) {
    const qreal a = qDegreesToRadians(degrees);
    const QPointF dir(std::cos(a), -std::sin(a));
    p.drawLine(centre + dir * 6.2, centre + dir * 7.5);
  }
  const qreal needle = qDegreesToRadians(50.0);
  Pen(p, accent, 2);
  p.drawLine(centre, centre + QPointF(std::cos(needle), -std::sin(needle)) * 6.5);
  Solid(p, ink);
  p.drawEllipse(centre, 1.8, 1.8);
}

void Capture(QPainter& p, const QColor& ink, const QColor& accent) {
  QPainterPath body;
  body.addRoundedRect(QRectF(2, 7.5, 20, 13), 2.2, 2.2);
  QPainterPath bump;
  bump.addPolygon(QPolygonF{{8, 7.5}, {9.5, 4.5}, {14.5, 4.5}, {16, 7.5}});
  bump.closeSubpath();
  Pen(p, ink);
  p.drawPath(body.united(bump));
  p.drawEllipse(QPointF(12, 14), 4.3, 4.3);
  Solid(p, accent);
  p.drawEllipse(QPointF(12, 14), 2, 2);
  p.drawRect(QRectF(17.5, 9.5, 2.5, 1.6));
}

void Save(QPainter& p, const QColor& ink, const QColor& accent) {
  Pen(p, ink);
  p.drawPolygon(QPolygonF{{3, 3}, {18, 3}, {21, 6}, {21, 21}, {3, 21}});
  Pen(p, ink, 1.3);
  p.drawRect(QRectF(7.5, 3, 8, 5.5));
  p.setBrush(accent);
  p.drawRect(QRectF(6, 12.5, 12, 8.5));
  Solid(p, ink);
  p.drawRect(QRectF(12.5, 4.2, 1.8, 3));
}

void Distance(QPainter& p, const QColor& ink, const QColor& accent) {
  Pen(p, ink, 1.4);
  p.drawRect(QRectF(2, 14, 20, 6.5));
  Pen(p, ink, 1);
  for (int i = 0; i < 7; ++i) {
    const qreal x = 4.5 + 2.5 * i;
    p.drawLine(QPointF(x, 14), QPointF(x, i % 2 ? 15.8 : 17));
  }
  Pen(p, ink, 1.2);
  p.drawLine(QPointF(2, 5), QPointF(2, 12));
  p.drawLine(QPointF(22, 5), QPointF(22, 12));
  Pen(p, accent, 1.5);
  p.drawLine(QPointF(5.5, 8.5), QPointF(18.5, 8.5));
  Head(p, {2.6, 8.5}, {-1, 0}, accent, 4);
  Head(p, {21.4, 8.5}, {1, 0}, accent, 4);
}

void Annotation(QPainter& p, const QColor& ink, const QColor& accent) {
  QPainterPath bubble;
  bubble.addRoundedRect(QRectF(2.5, 2.5, 19, 14.5), 3, 3);
  QPainterPath tail;
  tail.addPolygon(QPolygonF{{7, 16}, {5.5, 21.5}, {12.5, 16}});
  tail.closeSubpath();
  Pen(p, ink);
  p.drawPath(bubble.united(tail));
  Pen(p, accent, 1.8);
  p.drawPolyline(QPolygonF{{8, 14}, {12, 5.5}, {16, 14}});
  p.drawLine(QPointF(9.6, 10.8), QPointF(14.4, 10.8));
}

void Stereo(QPainter& p, const QColor& ink, const QColor& accent) {
  const QPointF left(7, 13), right(17, 13);
  Solid(p, accent);
  p.drawEllipse(left, 4.5, 3.8);
  Solid(p, Tint(ink, 70));
  p.drawEllipse(right, 4.5, 3.8);
  Pen(p, ink);
  p.drawEllipse(left, 4.5, 3.8);
  p.drawEllipse(right, 4.5, 3.8);
  QPainterPath bridge;
  bridge.moveTo(11.5, 12);
  bridge.quadTo(12, 9.8, 12.5, 12);
  p.drawPath(bridge);
  p.drawLine(QPointF(2.6, 12), QPointF(1.2, 8.5));
  p.drawLine(QPointF(21.4, 12), QPointF(22.8, 8.5));
}

void Quality(QPainter& p, const QColor& ink, const QColor& accent) {
  const QPolygonF wedge{{3, 14}, {21, 14}, {21, 5}};
  const qreal knob = 14;
  p.save();
  p.setClipRect(QRectF(0, 0, knob, 24));  // filled up to the setting
  Solid(p, accent);
  p.drawPolygon(wedge);
  p.restore();
  Pen(p, ink, 1.4);
  p.drawPolygon(wedge);
  Pen(p, ink);
  p.drawLine(QPointF(3, 19), QPointF(21, 19));
  Pen(p, ink, 1.3);
  p.setBrush(accent);
  p.drawEllipse(QPointF(knob, 19), 2.3, 2.3);
}

void Reference(QPainter& p, const QColor& ink, const QColor& accent) {
  const QPointF origin(9, 15);
  Arrow(p, origin, {21.5, 15}, accent);
  Arrow(p, origin, {9, 2.5}, ink);
  Arrow(p, origin, {3, 21}, ink);
  Solid(p, ink);
  p.drawEllipse(origin, 1.6, 1.6);
}

// For names the set does not draw: a plain token, plainly not one of the tools.
void Generic(QPainter& p, const QColor& ink, const QColor& accent) {
  Pen(p, ink);
  p.drawRoundedRect(QRectF(4, 4, 16, 16), 3, 3);
  Solid(p, accent);
  p.drawEllipse(QPointF(12, 12), 3, 3);
}

struct Entry {
  const char* name;
  KIVQtIconEngine::Drawing drawing;
};

// In the tool bar's order.
constexpr Entry kEntries[] = {
    {"cbpick", Pick},         {"cblookat", LookAt}, {"cbzoom", Zoom},     {"cbaround", Around},
    {"cbtrans", Translate},   {"cbtilt", TurnHead}, {"cbundo", Previous}, {"cbredo", Next},
    {"cbrefram", Reframe},    {"cblight", Light},   {"cbclip", Clip},     {"cbground", Ground},
    {"cbperfo", Performance}, {"cbprint", Capture}, {"save", Save},       {"cbdistan", Distance},
    {"cbtext", Annotation},   {"cbupdatp", Stereo}, {"cbopen", Quality},  {"cbrotobj", Reference},
};

const Entry* Find(const char* name) {
  if (!name) return nullptr;
  for (const Entry& entry : kEntries)
    if (std::strcmp(entry.name, name) == 0) return &entry;
  return nullptr;
}

}  // namespace

QIcon KIVQtIconSet::Icon(const char* name) {
  if (!name || !*name) return QIcon();
  const Entry* entry = Find(name);
  return QIcon(new KIVQtIconEngine(QString::fromUtf8(name), entry ? entry->drawing : Generic));
}

int KIVQtIconSet::Has(const char* name) { return Find(name) ? 1 : 0; }

std::vector<std::string> KIVQtIconSet::Names() {
  std::vector<std::string> names;
  for (const Entry& entry : kEntries) names.emplace_back(entry.name);
  return names;
}
