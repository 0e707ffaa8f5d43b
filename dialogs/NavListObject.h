#pragma once
// One object of a generic list, owned by the list.

#include "host/core/KIVUnicodeString.h"

struct NavListObject {
  void* object = nullptr;              ///< the caller's object, never dereferenced
  KIVUnicodeString* texts = nullptr;   ///< column texts, allocated with new[] by the caller, freed by the list
  int textCount = 0;                   ///< how many texts `texts` holds
  int type = 0;                        ///< type id
  int subtypes = -1;                   ///< subtype mask, -1 none
  int selected = 0;                    ///< 0/1
  int tagged = 0;                      ///< 0/1
  int inView = 1;                      ///< 0/1, computed by the filter

  /// The text of a column, empty beyond the texts.
  const KIVUnicodeString& Text(int column) const {
    static const KIVUnicodeString empty;
    return texts && column >= 0 && column < textCount ? texts[column] : empty;
  }
};
