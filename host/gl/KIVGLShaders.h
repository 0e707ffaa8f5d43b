#pragma once
// The renderer's GLSL 3.30 programs: lit (per vertex) or flat meshes with fog (faces, lines and point
// clouds; vertex colours and a texture multiply the mesh colour), and screen-space
// geometry (markers, arrows, glyphs) given in pixels with a depth.
//
// The mesh program is built twice (kMeshVariant goes after the version line): FULL 1 with
// fog and textures, FULL 0 for everything else, which passes one colour per vertex. A
// software rasteriser sets up every interpolated value of every triangle, so the lean
// build's four values instead of ten take a fifth off a frame of small triangles.

namespace KIVGLShaders {

inline constexpr const char* kMeshVariant[2] = {"#define FULL 0\n", "#define FULL 1\n"};

inline constexpr const char* kMeshVertex = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUV;
layout(location = 3) in vec4 aColor;
uniform mat4 uModel;
uniform mat4 uView;
uniform mat4 uProjection;
uniform mat3 uNormalMatrix;
uniform float uPointSize;
uniform int uLit;
uniform int uPerspective;
uniform vec3 uLightDirection[3];
uniform float uLightIntensity[3];
uniform vec3 uAmbient;
#if FULL
out vec3 vLight;
out float vDistance;
out vec2 vUV;
out vec4 vColor;
#else
uniform vec4 uColor;
uniform int uVertexColors;
out vec4 vShade;
#endif
void main() {
  vec4 v = uView * (uModel * vec4(aPosition, 1.0));
  // Diffuse light from directional lights, per vertex: across a triangle it differs
  // from per-pixel light only by interpolating the light instead of the normal, and it
  // keeps the fragments of small triangles (most of a big scene's) cheap.
  vec3 light = vec3(1.0);
  if (uLit != 0) {
    vec3 n = uNormalMatrix * aNormal;
    n = length(n) > 1e-12 ? normalize(n) : vec3(0.0, 0.0, 1.0);
    vec3 toEye = uPerspective != 0 ? -v.xyz : vec3(0.0, 0.0, 1.0);
    // Both sides are lit: the side seen gets the normal facing the eye.
    if (dot(n, toEye) < 0.0) n = -n;
    // The intensities leave headroom (see CameraView), so that a white face turned to
    // the light keeps its shading instead of clipping to white.
    light = uAmbient;
    for (int i = 0; i < 3; ++i) light += vec3(uLightIntensity[i] * max(dot(n, uLightDirection[i]), 0.0));
  }
#if FULL
  vLight = light;
  vDistance = length(v.xyz);
  vUV = aUV;
  vColor = aColor;
#else
  vec4 base = uColor;
  if (uVertexColors != 0) base *= aColor;
  vShade = vec4(min(base.rgb * light, vec3(1.0)), base.a);
#endif
  gl_PointSize = uPointSize;
  gl_Position = uProjection * v;
}
)";

inline constexpr const char* kMeshFragment = R"(#version 330 core
out vec4 fragColor;
#if FULL
in vec3 vLight;
in float vDistance;
in vec2 vUV;
in vec4 vColor;
uniform vec4 uColor;
uniform int uVertexColors;
uniform int uTextured;
uniform sampler2D uTexture;
uniform int uFog;
uniform vec2 uFogRange;
uniform vec3 uFogColor;
void main() {
  vec4 base = uColor;
  if (uVertexColors != 0) base *= vColor;
  if (uTextured != 0) base *= texture(uTexture, vUV);
  vec3 c = min(base.rgb * vLight, vec3(1.0));
  if (uFog != 0) {
    float f = clamp((uFogRange.y - vDistance) / max(uFogRange.y - uFogRange.x, 1e-6), 0.0, 1.0);
    c = mix(uFogColor, c, f);
  }
  fragColor = vec4(c, base.a);
}
#else
in vec4 vShade;
void main() { fragColor = vShade; }
#endif
)";

inline constexpr const char* kScreenVertex = R"(#version 330 core
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec2 aUV;
layout(location = 2) in vec4 aColor;
uniform vec2 uSize;
out vec2 vUV;
out vec4 vColor;
void main() {
  vUV = aUV;
  vColor = aColor;
  gl_Position = vec4(aPosition.xy / uSize * 2.0 - 1.0, aPosition.z, 1.0);
}
)";

inline constexpr const char* kScreenFragment = R"(#version 330 core
in vec2 vUV;
in vec4 vColor;
uniform sampler2D uFont;
uniform int uTextured;
out vec4 fragColor;
void main() {
  vec4 c = vColor;
  if (uTextured != 0) {
    c.a *= texture(uFont, vUV).r;
    if (c.a < 0.02) discard;
  }
  fragColor = c;
}
)";

}  // namespace KIVGLShaders
