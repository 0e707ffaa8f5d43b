#include "host/visu/panels/KIVNavElement.h"

#include <cmath>
#include <cstdlib>

float KIVNavElement::GetSessionUnit() { return sSessionUnit; }

int KIVNavElement::SetSessionUnit(float millimetres) {
  if (!(millimetres > 0.0f) || !std::isfinite(millimetres)) return 0;
  sSessionUnit = millimetres;
  return 1;
}

KIVUnicodeString KIVNavElement::GetDefaultDirectory() {
  const char* value = std::getenv("KIVT3X_DEFAULT");
  if (!value) value = std::getenv("HOME");
  return KIVUnicodeString(value ? value : "");
}
