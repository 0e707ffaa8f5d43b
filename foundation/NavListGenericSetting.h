#pragma once
// Sorting, finding and filtering of a generic list. Undefined values: -1 and the empty text.

#include "host/core/KIVUnicodeString.h"

class KIVGPWMessage;

class NavListGenericSetting {
 public:
  NavListGenericSetting() = default;
  NavListGenericSetting(const NavListGenericSetting&) = default;
  NavListGenericSetting& operator=(const NavListGenericSetting&) = default;

  /// Bytes written by writeMessage: 20 for the five ints, plus the text's length in bytes plus 1.
  int getMessageSize() const;
  /// Writes the five ints in declaration order, then the filter text. 0 for a null message.
  int writeMessage(KIVGPWMessage* msg) const;
  /// Reads in the write order; a value that cannot be read stays as it was. 1 when all were read.
  int readMessage(KIVGPWMessage* msg);

  int sortBits = -1;     ///< 0x1 alphanumeric, 0x2 by tag, 0x4 by selected, 0x8 by type
  int findMode = -1;     ///< 0x1 show, 0x2 select, 0x4 deselect when found; 0x8 add to the selection
  int tagMode = -1;      ///< 5 all, 6 tagged only, 7 untagged only
  int currentType = -1;  ///< type of the listed objects, -3 all
  int subtypeMask = -1;  ///< subtypes shown, -1 all
  KIVUnicodeString filterText;  ///< filter pattern
};
