// Reads arbitrary bytes as a message, driven by the bytes themselves: every read either
// succeeds inside the buffer or fails cleanly and leaves its value untouched.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "host/core/KIVGPWMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the order of reads; the rest is the message.
  const uint8_t plan = data[0];
  KIVGPWMessage msg(data + 1, size - 1);
  for (int step = 0; step < 64 && msg.GetRemaining() > 0; ++step) {
    const size_t before = msg.GetReadPosition();
    int ok = 0;
    switch ((plan >> ((step % 4) * 2)) & 3) {
      case 0: {
        int v = 12345;
        ok = msg.readInt(v);
        if (!ok && v != 12345) std::abort();
        break;
      }
      case 1: {
        float v = 0.5f;
        ok = msg.readFloat(v);
        if (!ok && v != 0.5f) std::abort();
        break;
      }
      default: {
        KIVUnicodeString s("unchanged");
        ok = msg.readString(s);
        if (!ok && !(s == KIVUnicodeString("unchanged"))) std::abort();
        if (ok) {
          // Whatever was read must come back identical through a new message.
          KIVGPWMessage copy;
          copy.writeString(s);
          KIVUnicodeString back;
          if (!copy.readString(back) || !(back == s)) std::abort();
          (void)s.GetLengthInChar();
          (void)KIVUnicodeString(s).ToUpper().Strip();
        }
        break;
      }
    }
    if (msg.GetReadPosition() > msg.GetSize()) std::abort();
    if (!ok) {
      if (!msg.HasError() || msg.GetReadPosition() != before || std::strlen(msg.GetErrorText()) == 0) std::abort();
      break;
    }
  }
  return 0;
}
