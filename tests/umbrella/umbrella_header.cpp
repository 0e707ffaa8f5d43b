// Compiles the umbrella header alone and touches one class of each layer.
#include "navtools.h"

int main() {
  KIVCommand root(nullptr, "root");
  KIVUnicodeString text("ok");
  return root.IsAKindOf("KIVBaseUnknown") && text.GetLengthInChar() == 2 ? 0 : 1;
}
