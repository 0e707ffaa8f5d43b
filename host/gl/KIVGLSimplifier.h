#pragma once
// Coarser versions of a triangle mesh for objects seen small, by vertex clustering: the
// vertices falling in one cell of a regular grid become their mean, and triangles left
// with two corners in one cell vanish. No vertex moves farther than a cell's diagonal,
// so a level whose diagonal projects under the sag precision draws the same picture
// within that precision, with far fewer triangles for a detailed model seen from afar.
#include <vector>

class KIVGLSimplifier {
 public:
  struct Mesh {
    std::vector<float> positions;  // x, y, z per vertex
    std::vector<float> normals;    // unit, one per vertex
    std::vector<unsigned int> indices;
  };
  /// Clusters the mesh on cells of the given size from the box's low corner. Null
  /// arrays, a cell that is not positive and finite, or indices out of range give an
  /// empty result (0); otherwise 1.
  static int Cluster(const float* positions, const float* normals, int vertexCount, const unsigned int* indices,
                     int indexCount, float cell, Mesh& out);
  /// Removes the vertices that the surface does not need: each is moved onto a neighbour
  /// (an edge collapse) when that stays within tolerance of the planes of every face it
  /// joined so far, the two normals agree (the shading stays), no face turns over and the
  /// surface keeps its topology. Vertices on open borders stay; copies of one point with
  /// one normal (a flat-shaded mesh's corners) count as one vertex. A tube made of many
  /// rings keeps its two end rings; a flat grid, its outline. Kept vertices keep their
  /// positions and normals. The same refusals as Cluster (0), else 1.
  static int Collapse(const float* positions, const float* normals, int vertexCount, const unsigned int* indices,
                      int indexCount, float tolerance, Mesh& out);
};
