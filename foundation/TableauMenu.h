#pragma once
// One row of a menu table, filled by the menu's owner and built by NavMenuGeneric.

#include "host/core/KIVUnicodeChar.h"

struct TableauMenu {
  int option;                 ///< number reported when chosen; -1 for separators
  int kind;                   ///< 1 or 6 sub-menu, 2 check item, 3 push item, 4 radio item, 5 separator
  const char* name;           ///< item tag, also the key of its resources
  const char* title;          ///< displayed text
  KIVUnicodeChar mnemonic;    ///< 0: none
  unsigned long accelerator;  ///< host accelerator code, 0: none
  TableauMenu** subTable;     ///< rows of a sub-menu, or null
  int subCount;               ///< number of rows in subTable
  int state;                  ///< bits: 1 present, 2 insensitive, 4 checked
};
