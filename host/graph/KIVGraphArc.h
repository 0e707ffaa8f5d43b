#pragma once
// An arc from a parent node to a child node of the same graph. Deleting either node
// deletes the arc.

#include "host/core/KIVCommand.h"

class KIVGraphNode;

class KIVGraphArc : public KIVCommand {
  KIV_DECLARE_METAOBJECT(KIVGraphArc)
 public:
  /// Links `to` under `from`. With a null end, or ends of different graphs, the arc links
  /// nothing (getFrom and getTo answer null).
  KIVGraphArc(KIVGraphNode* from, KIVGraphNode* to);
  ~KIVGraphArc() override;
  KIVGraphArc(const KIVGraphArc&) = delete;
  KIVGraphArc& operator=(const KIVGraphArc&) = delete;

  KIVGraphNode* getFrom() const { return mFrom; }
  KIVGraphNode* getTo() const { return mTo; }
  void setColor(int index);
  int getColor() const { return mColor; }
  /// Arcs start hidden; a shown arc is drawn when both its ends are.
  void show();
  void hide();
  int isShown() const { return mShown; }

 private:
  friend class KIVGraphNode;
  void Unlink();

  KIVGraphNode* mFrom = nullptr;
  KIVGraphNode* mTo = nullptr;
  int mColor = 0;
  int mShown = 0;
};
