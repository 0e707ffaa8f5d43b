#pragma once
// A dialog object's title as Qt shows it on buttons and menus: '&' doubled, and the
// object's mnemonic marked with '&' at its first occurrence.
#include <QString>

#include "host/dialog/KIVDialog.h"
#include "host/qt/KIVQtText.h"

inline QString KIVQtLabel(const KIVDialog* object) {
  QString text = KIVQtText(object->GetTitle());
  text.replace('&', "&&");
  const char32_t code = object->GetMnemonic().GetCode();
  if (code) {
    const QString mnemonic = QString::fromUcs4(&code, 1);
    const auto at = text.indexOf(mnemonic, 0, Qt::CaseInsensitive);
    if (at >= 0) text.insert(at, '&');
  }
  return text;
}
