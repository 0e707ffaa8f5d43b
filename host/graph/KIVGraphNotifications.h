#pragma once
// Notifications of the graph viewer to its father command. Each carries what it is about
// (the node or the arc, whether the click hit the node's icon, the pixel), filled by the
// viewer just before it sends its own instance; a receiver reads them during delivery.

#include "host/core/KIVNotification.h"

class KIVGraphNode;
class KIVGraphArc;

class KIVGraphNotification : public KIVNotification {
  KIV_DECLARE_METAOBJECT(KIVGraphNotification)
 public:
  explicit KIVGraphNotification(int autoDelete = 0) : KIVNotification(autoDelete) {}
  ~KIVGraphNotification() override;

  KIVGraphNode* GetNode() const { return mNode; }
  KIVGraphArc* GetArc() const { return mArc; }
  /// 1 when the click fell on the node's icon.
  int GetIconPart() const { return mIconPart; }
  /// Pixel of the click in the viewer, -1 when the action did not come from a pixel.
  int GetX() const { return mX; }
  int GetY() const { return mY; }
  void Set(KIVGraphNode* node, KIVGraphArc* arc, int iconPart, int x, int y) {
    mNode = node;
    mArc = arc;
    mIconPart = iconPart;
    mX = x;
    mY = y;
  }

 private:
  KIVGraphNode* mNode = nullptr;
  KIVGraphArc* mArc = nullptr;
  int mIconPart = 0;
  int mX = -1, mY = -1;
};

#define KIV_GRAPH_NOTIFICATION(Class)                 \
  class Class : public KIVGraphNotification {         \
    KIV_DECLARE_METAOBJECT(Class)                     \
   public:                                            \
    using KIVGraphNotification::KIVGraphNotification; \
    ~Class() override;                                \
  };

/// A click on a node: it alone is to be selected.
KIV_GRAPH_NOTIFICATION(KIVNodeSelectNotification)
/// A click with Shift or Control on a node: its selection is to be toggled.
KIV_GRAPH_NOTIFICATION(KIVNodeExtSelectNotification)
/// A double click on a node.
KIV_GRAPH_NOTIFICATION(KIVNodeEditNotification)
/// A click on an arc.
KIV_GRAPH_NOTIFICATION(KIVArcSelectNotification)
/// Right clicks on a node, on an arc, on the background; sent before the contextual menu
/// pops up, so that the receiver can fill it.
KIV_GRAPH_NOTIFICATION(KIVNodeContextNotification)
KIV_GRAPH_NOTIFICATION(KIVArcContextNotification)
KIV_GRAPH_NOTIFICATION(KIVGraphContextNotification)

#undef KIV_GRAPH_NOTIFICATION
