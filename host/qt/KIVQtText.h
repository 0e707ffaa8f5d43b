#pragma once
// Text between the dialog model (UTF-8 strings) and Qt.
#include <QString>

#include "host/core/KIVUnicodeString.h"

inline QString KIVQtText(const KIVUnicodeString& text) {
  return QString::fromUtf8(text.GetUtf8().data(), static_cast<qsizetype>(text.GetUtf8().size()));
}

inline KIVUnicodeString KIVQtText(const QString& text) { return KIVUnicodeString(text.toUtf8().toStdString()); }
