#pragma once
// Normals in 10 bits a component (GL_INT_2_10_10_10_REV, normalised): lighting needs no
// more, and a mesh of small faces is mostly its vertices.
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace KIVGLPackedNormal {

/// x, y, z of a normal, made unit length, as signed fields of 10 bits, low bits first.
inline std::uint32_t Pack(const float* n) {
  const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  const float scale = length > 1e-20f ? 511.0f / length : 0.0f;
  std::uint32_t packed = 0;
  for (int i = 0; i < 3; ++i) {
    const long field = std::lround(std::clamp(n[i] * scale, -511.0f, 511.0f));
    packed |= (static_cast<std::uint32_t>(field) & 0x3FFu) << (10 * i);
  }
  return packed;
}

/// The three components back, each within 1/511 of the unit normal packed.
inline void Unpack(std::uint32_t packed, float* n) {
  for (int i = 0; i < 3; ++i) {
    int field = static_cast<int>((packed >> (10 * i)) & 0x3FFu);
    if (field >= 512) field -= 1024;
    n[i] = std::max(static_cast<float>(field) / 511.0f, -1.0f);
  }
}

}  // namespace KIVGLPackedNormal
