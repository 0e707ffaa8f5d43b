#pragma once
// One record of a tree shown by NavSimpleGraph (and filled by the representation tree
// browser): a plain record owned by whoever builds the tree. Records and their child
// arrays are allocated with new and new[]; NavSimpleGraph deletes the ones it removes.

#include "host/core/KIVUnicodeString.h"

class KIVGraphNode;

struct KIVNavArbreElement {
  /// State bits.
  static constexpr int StateSelected = 0x1;
  static constexpr int StateDisplayed = 0x4;     ///< a graph node is made for it
  static constexpr int StateSelectable = 0x8;
  static constexpr int StateNoHighlight = 0x10;  ///< not highlighted when selected
  static constexpr int StateMarker = 0x20;       ///< extension marker ">>>"
  static constexpr int StatePixmap = 0x40;       ///< shows its pixmap
  static constexpr int StateIconClick = 0x80;    ///< a click on its icon sends the icon selection notification

  void* object = nullptr;                   ///< the user's object; null for extension markers
  KIVUnicodeString name;                    ///< label of the graph node
  int state = 12;                           ///< state bits above
  KIVGraphNode* graphNode = nullptr;        ///< set while the record is displayed
  KIVNavArbreElement** children = nullptr;  ///< owned array, exactly childCount long
  int childCount = 0;
  int userWord = 0;                         ///< copied by UpdateTree, not otherwise read by the graph
  KIVUnicodeString pixmap;                  ///< icon name, used with StatePixmap
};
