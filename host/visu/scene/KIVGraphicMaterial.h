#pragma once
// Surface look beyond the attribute set's colour: diffuse, specular and emissive colours,
// shininess and opacity, each component in [0, 1].
class KIVGraphicMaterial {
 public:
  float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  float specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  float emissive[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  float shininess = 0.2f;
};
