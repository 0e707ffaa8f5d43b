#pragma once
// What a frame's traversal records before anything is drawn, so that the opaque objects
// go first, then what is drawn over them, and transparent objects last, back to front.
// One view per camera (or 2D frame) met during the frame, in the order they were met.
#include <vector>

#include "host/gl/KIVGLMatrix.h"
#include "host/gl/KIVGLMesh.h"

/// A cached mesh drawn with a placement and a look.
struct KIVGLMeshItem {
  KIVGLMesh* mesh = nullptr;
  KIVGLMatrix model;
  float colour[4] = {1, 1, 1, 1};
  float lineWidth = 1.0f;
  float pointSize = 1.0f;  // pixels, for point clouds
  unsigned int texture = 0;  // the GL texture multiplying the colour, 0 for none
  int vertexColors = 0;      // the mesh's vertex colours multiply the colour
  float depth = 0.0f;  // of the mesh's centre in the view (sorting)
  int batch = -1, range = -1;  // where the batches hold it, when found while queueing
};

/// A vertex given in pixels (x right, y up from the bottom-left corner) with its depth in
/// normalised device coordinates, a texture coordinate (glyphs) and a colour.
struct KIVGLScreenVertex {
  float x, y, z, u, v, r, g, b, a;
};

struct KIVGLView {
  const void* camera = nullptr;  // what the view was made for (a viewpoint), null for others
  KIVGLMatrix view, projection;
  float eye[3] = {0, 0, 0};
  int perspective = 0;
  int depthTest = 1;   // 0 for 2D frames drawn over the scene, in their order
  int lit = 1;
  int fog = 0;
  float fogRange[2] = {0, 1};
  // Up to three directional lights (head light, the viewer's scene lights), unused ones
  // of intensity 0, and the ambient light.
  float lightDirection[3][3] = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};  // towards the lights, view frame
  float lightIntensity[3] = {0.65f, 0.0f, 0.0f};
  float ambient[3] = {0.2f, 0.2f, 0.2f};
  std::vector<KIVGLMeshItem> faces, lines, transparent;
  std::vector<float> ground;  // world segments of the ground's grid
  float groundColour[4] = {0.5f, 0.5f, 0.5f, 1.0f};
  std::vector<KIVGLScreenVertex> screenLines, screenTriangles, glyphs;
};
