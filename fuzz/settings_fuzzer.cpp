// Reads arbitrary bytes as a viewer setting message: a failed or partial read must leave
// a record that can be sized, written, copied and read again, without unbounded nesting.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "foundation/NavPaletteViewerSetting.h"
#include "foundation/NavSimpleViewer3DSetting.h"
#include "foundation/NavViewerSetting.h"
#include "host/core/KIVGPWMessage.h"

namespace {
int Nesting(const NavViewerSetting& s) {
  int depth = 1;
  for (const NavViewerSetting* v = &s; v->palette && v->palette->secondaryViewer; v = &v->palette->secondaryViewer->viewer)
    ++depth;
  return depth;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  KIVGPWMessage msg(data, size);
  NavViewerSetting setting;
  const int ok = setting.readMessage(&msg);
  if (msg.GetReadPosition() > msg.GetSize()) std::abort();
  if (ok && msg.HasError()) std::abort();
  if (Nesting(setting) > NavViewerSetting::snbMaxNesting) std::abort();

  // Whatever was read must come back identical through a new message.
  KIVGPWMessage out;
  setting.writeMessage(&out);
  if (static_cast<int>(out.GetSize()) != setting.getMessageSize()) std::abort();
  NavViewerSetting back;
  if (!back.readMessage(&out)) std::abort();
  KIVGPWMessage again;
  back.writeMessage(&again);
  if (again.GetSize() != out.GetSize()) std::abort();
  for (size_t i = 0; i < out.GetSize(); ++i)
    if (again.GetData()[i] != out.GetData()[i]) std::abort();

  const NavViewerSetting copy(setting);
  if (copy.getMessageSize() != setting.getMessageSize()) std::abort();
  return 0;
}
