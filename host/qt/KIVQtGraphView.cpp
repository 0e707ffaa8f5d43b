#include "host/qt/KIVQtGraphView.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <vector>

#include "host/graph/KIVGraphArc.h"
#include "host/graph/KIVGraphNode.h"
#include "host/graph/KIVGraphViewer.h"
#include "host/qt/KIVQtIconSet.h"
#include "host/qt/KIVQtText.h"

namespace {
constexpr int kDragThreshold = 4;  // pixels before a press becomes a pan
}  // namespace

KIVQtGraphView::KIVQtGraphView(KIVGraphViewer* viewer, QWidget* parent)
    : QWidget(parent), mViewer(viewer), mLife(viewer->GetLifeToken()) {
  // The presenter pops the contextual menu up from the viewer's right click, not Qt's.
  setProperty("kivContext", true);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(false);
  setAutoFillBackground(false);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Labels measured with the widget's font, the same for every graph.
  const QFont font = QApplication::font();
  KIVGraph::SetTextMeasure([font](const KIVUnicodeString& text, float& w, float& h) {
    const QFontMetricsF metrics(font);
    const QStringList lines = KIVQtText(text).split('\n');
    qreal width = 0;
    for (const QString& line : lines) width = std::max(width, metrics.horizontalAdvance(line));
    w = static_cast<float>(width);
    h = static_cast<float>(metrics.height() * lines.size());
  });
  mViewer->SetRepaintHook([this] { update(); });
}

KIVQtGraphView::~KIVQtGraphView() {
  if (!mLife.expired()) mViewer->SetRepaintHook(nullptr);
}

KIVGraphViewer* KIVQtGraphView::GetViewer() const { return mLife.expired() ? nullptr : mViewer; }

QColor KIVQtGraphView::PaletteColor(int index) {
  switch (index) {
    case 16: return QColor(230, 160, 40);   // extension markers
    case 45: return QColor(200, 220, 245);  // nodes
    case 46: return QColor(90, 100, 120);   // arcs
    case 245: return Qt::yellow;
    case 246: return Qt::blue;
    case 247: return Qt::green;
    case 248: return Qt::red;
    case 249: return Qt::white;
    case 250: return Qt::black;
    default: return QColor::fromHsv((index * 47) % 360, 60, 235);
  }
}

void KIVQtGraphView::PaintOn(QPainter& p, const QRect& area) {
  p.fillRect(area, QColor(250, 250, 252));
  mDrawnNodes = mDrawnArcs = 0;
  KIVGraphViewer* viewer = GetViewer();
  if (!viewer) return;
  KIVGraph* graph = viewer->getGraph();
  float vx, vy, zoom;
  viewer->getView(vx, vy, zoom);
  float x0, y0, x1, y1;
  viewer->toGraph(static_cast<float>(area.left()), static_cast<float>(area.top()), x0, y0);
  viewer->toGraph(static_cast<float>(area.right() + 1), static_cast<float>(area.bottom() + 1), x1, y1);
  static thread_local std::vector<KIVGraphNode*> nodes;
  static thread_local std::vector<KIVGraphArc*> arcs;
  graph->query(x0, y0, x1, y1, nodes, arcs);
  p.save();
  p.translate(-vx * zoom, -vy * zoom);
  p.scale(zoom, zoom);
  // Arcs under the boxes.
  QPen pen(PaletteColor(46), 1.0);
  pen.setCosmetic(true);
  int arcColor = -1;
  float pts[8];
  for (KIVGraphArc* arc : arcs) {
    if (arc->getColor() != arcColor) {
      arcColor = arc->getColor();
      pen.setColor(PaletteColor(arcColor));
      p.setPen(pen);
    }
    const int k = graph->arcRoute(arc, pts);
    QPointF line[4];
    for (int i = 0; i < k; ++i) line[i] = QPointF(pts[2 * i], pts[2 * i + 1]);
    p.drawPolyline(line, k);
  }
  mDrawnArcs = static_cast<int>(arcs.size());
  // Boxes, and their text when it is readable.
  const bool text = zoom * 14.0f >= 6.0f;
  const bool detail = zoom * 14.0f >= 2.0f;
  QPen border(QColor(60, 70, 90), 1.0);
  border.setCosmetic(true);
  QPen selected(QColor(20, 90, 220), 2.0);
  selected.setCosmetic(true);
  for (KIVGraphNode* n : nodes) {
    const QRectF box(n->getX() - n->getWidth() / 2, n->getY() - n->getHeight() / 2, n->getWidth(), n->getHeight());
    QColor fill = PaletteColor(n->getColor());
    if (n->isShadowIn()) fill = QColor(255, 210, 90);
    if (!detail) {
      p.fillRect(box, fill);
      continue;
    }
    p.setPen(n->isSelected() ? selected : border);
    p.setBrush(fill);
    p.drawRect(box);
    if (!text) continue;
    float tx = box.left() + KIVGraph::Padding;
    if (!n->getPixmap().IsEmpty()) {
      const QIcon icon = KIVQtIconSet::Icon(n->getPixmap().CastToCharPtr());
      const QRectF r(tx, n->getY() - KIVGraph::IconSize / 2, KIVGraph::IconSize, KIVGraph::IconSize);
      icon.paint(&p, r.toAlignedRect());
      tx += KIVGraph::IconSize + KIVGraph::Padding;
    }
    p.setPen(Qt::black);
    p.drawText(QRectF(tx, box.top(), box.right() - tx, box.height()), Qt::AlignVCenter | Qt::AlignLeft,
               KIVQtText(n->getLabel()));
  }
  mDrawnNodes = static_cast<int>(nodes.size());
  p.restore();
}

void KIVQtGraphView::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  PaintOn(p, event->rect());
}

int KIVQtGraphView::Modifiers(const QMouseEvent* event) {
  int m = 0;
  if (event->modifiers() & Qt::ShiftModifier) m |= KIVGraphViewer::ModShift;
  if (event->modifiers() & Qt::ControlModifier) m |= KIVGraphViewer::ModControl;
  return m;
}

void KIVQtGraphView::AfterInput() {
  if (mInputHook) mInputHook();
}

void KIVQtGraphView::mousePressEvent(QMouseEvent* event) {
  mPress = mLast = event->position().toPoint();
  mButton = event->button();
  mDragging = false;
  if (mButton == Qt::RightButton) {
    if (KIVGraphViewer* v = GetViewer()) v->UserContext(mPress.x(), mPress.y());
    mButton = Qt::NoButton;
    AfterInput();
  }
}

void KIVQtGraphView::mouseMoveEvent(QMouseEvent* event) {
  if (mButton != Qt::LeftButton && mButton != Qt::MiddleButton) return;
  const QPoint at = event->position().toPoint();
  if (!mDragging && (at - mPress).manhattanLength() < kDragThreshold) return;
  mDragging = true;
  if (KIVGraphViewer* v = GetViewer()) v->UserPan(static_cast<float>(at.x() - mLast.x()), static_cast<float>(at.y() - mLast.y()));
  mLast = at;
  AfterInput();
}

void KIVQtGraphView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != mButton) return;
  const bool click = !mDragging && mButton == Qt::LeftButton;
  mButton = Qt::NoButton;
  mDragging = false;
  if (!click) return;
  if (KIVGraphViewer* v = GetViewer()) v->UserClick(mPress.x(), mPress.y(), Modifiers(event));
  AfterInput();
}

void KIVQtGraphView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  if (KIVGraphViewer* v = GetViewer()) v->UserDoubleClick(at.x(), at.y());
  AfterInput();
}

void KIVQtGraphView::wheelEvent(QWheelEvent* event) {
  mWheelRemainder += event->angleDelta().y();
  const int steps = mWheelRemainder / 120;
  mWheelRemainder -= steps * 120;
  if (steps == 0) return;
  const QPoint at = event->position().toPoint();
  if (KIVGraphViewer* v = GetViewer()) v->UserZoom(steps, at.x(), at.y());
  AfterInput();
}

void KIVQtGraphView::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F || event->key() == Qt::Key_Home) {
    if (KIVGraphViewer* v = GetViewer()) v->UserReframe();
    AfterInput();
    return;
  }
  QWidget::keyPressEvent(event);
}

void KIVQtGraphView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (KIVGraphViewer* v = GetViewer()) v->setViewportSize(width(), height());
}
