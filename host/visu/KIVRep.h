#pragma once
// A node of the scene: graphic attributes and the list of its parents. A rep may sit under
// several bags at once (shared sub-trees).

#include <vector>

#include "host/core/KIVEventSubscriber.h"

class KIVRep : public KIVEventSubscriber {
  KIV_DECLARE_METAOBJECT(KIVRep)
 public:
  KIVRep() = default;
  /// Leaves every parent, so that no bag keeps a dangling child.
  ~KIVRep() override;

  /// First graphic attribute word: colour index in its first byte, flags in its last
  /// (0x08 hidden, 0x02 selected, 0x04 low-lighted, 0x80 transparent, 0x30 type field).
  unsigned int GetGraphicAttribute() const { return mAttribute; }
  void SetGraphicAttribute(unsigned int word) { mAttribute = word; }
  /// RGBA bytes used when the colour index is 255.
  const unsigned char* GetRGBA() const { return mRGBA; }
  void SetRGBA(unsigned char r, unsigned char g, unsigned char b, unsigned char a);

  const std::vector<KIVRep*>& GetParents() const { return mParents; }
  /// Children of a bag; empty for a leaf.
  const std::vector<KIVRep*>& GetChildren() const { return mChildren; }

 protected:
  /// Links parent and child both ways; refuses null, self and cycles. Returns 1 when added.
  static int Link(KIVRep* parent, KIVRep* child);
  static int Unlink(KIVRep* parent, KIVRep* child);
  bool IsAncestorOf(const KIVRep* rep) const;

 private:
  unsigned int mAttribute = 253;  // default colour index, no flag
  unsigned char mRGBA[4] = {255, 255, 255, 255};
  std::vector<KIVRep*> mParents;
  std::vector<KIVRep*> mChildren;
};
