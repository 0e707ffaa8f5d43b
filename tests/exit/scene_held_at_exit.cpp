// A host may keep a scene in a static made before any rep died: its reps then die at exit,
// after every static that the library made later. Nothing may be used after it is gone
// (the sanitizer build checks), and the process ends cleanly.
#include <memory>

#include "host/visu/scene/KIV3DBagRep.h"
#include "tests/support/TestBox.h"

int main() {
  static std::unique_ptr<KIV3DBagRep, void (*)(KIV3DBagRep*)> held(nullptr, [](KIV3DBagRep* bag) { bag->Destroy(); });
  held.reset(new KIV3DBagRep);
  for (int i = 0; i < 3; ++i) held->AddChild(Box(1.0f + static_cast<float>(i)));
  delete Box(5.0f);  // the first rep to die: the library's statics for dead reps start here
  return held->GetBoundingElement().IsEmpty() ? 1 : 0;
}
