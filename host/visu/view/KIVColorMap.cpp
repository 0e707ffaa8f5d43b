#include "host/visu/view/KIVColorMap.h"

#include <algorithm>

KIVColorMap::KIVColorMap() {
  static const float primaries[8][3] = {{0, 0, 0}, {1, 1, 1}, {1, 0, 0}, {0, 1, 0},
                                        {0, 0, 1}, {1, 1, 0}, {1, 0, 1}, {0, 1, 1}};
  for (int i = 0; i < 256; ++i)
    for (int k = 0; k < 3; ++k) mColors[i][k] = i < 8 ? primaries[i][k] : static_cast<float>(i) / 255.0f;
}

int KIVColorMap::SetColor(int index, float r, float g, float b) {
  if (index < 0 || index > 255) return 0;
  mColors[index][0] = std::clamp(r, 0.0f, 1.0f);
  mColors[index][1] = std::clamp(g, 0.0f, 1.0f);
  mColors[index][2] = std::clamp(b, 0.0f, 1.0f);
  return 1;
}

int KIVColorMap::GetColor(int index, float* rgb) const {
  if (index < 0 || index > 255 || !rgb) return 0;
  std::copy(mColors[index], mColors[index] + 3, rgb);
  return 1;
}
