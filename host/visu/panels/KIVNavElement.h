#pragma once
// Session-wide values of the navigation tools: the length unit of the models and the
// directory that file dialogs open in.
#include "host/core/KIVUnicodeString.h"
class KIVNavElement {
 public:
  /// Millimetres in one model unit; 1 (models in millimetres) by default.
  static float GetSessionUnit();
  /// Refused (0, the unit kept) unless positive and finite.
  static int SetSessionUnit(float millimetres);
  /// The value of the environment variable KIVT3X_DEFAULT, else that of HOME, else empty.
  static KIVUnicodeString GetDefaultDirectory();
 private:
  static inline float sSessionUnit = 1.0f;
};
