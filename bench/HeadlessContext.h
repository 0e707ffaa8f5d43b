#pragma once
// The one headless OpenGL context of a benchmark binary, made on first use; null (and
// said once on stderr) where there is no device.
#include <cstdio>
#include <memory>
#include <string>

#include "host/gl/KIVGLContext.h"

inline KIVGLContext* HeadlessContext() {
  static std::string reason;
  static std::unique_ptr<KIVGLContext> context = KIVGLContext::CreateHeadless(&reason);
  static const bool said = !context && std::fprintf(stderr, "no headless OpenGL: %s\n", reason.c_str()) > 0;
  (void)said;
  return context.get();
}
