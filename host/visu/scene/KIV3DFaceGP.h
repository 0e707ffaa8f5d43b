#pragma once
// Shaded triangles: a vertex array (with optional per-vertex normals) indexed by separate
// triangles, triangle strips and triangle fans. Strips and fans are stored as one index
// array each, cut into runs by their vertex counts. Vertices may also carry a colour and
// texture coordinates into a shared image; both multiply the rep's colour when drawn.
#include <memory>
#include <vector>
#include "host/visu/scene/KIVGraphicPrimitive.h"
#include "host/visu/scene/KIVIndexPool.h"
#include "host/visu/scene/KIVTextureImage.h"
class KIV3DFaceGP : public KIVGraphicPrimitive {
 public:
  KIV3DFaceGP() = default;
  /// `vertexFloats` counts floats (three per vertex); normals, when given, match them.
  /// `triangles` holds 3 × triangleCount indices.
  KIV3DFaceGP(const float* vertices, int vertexFloats, const float* normals, const int* triangles,
              int triangleCount);
  /// Replaces the vertices (and normals, dropped when null). A negative count or a null
  /// array with a positive count is refused (returns 0), and so are fewer vertices than
  /// the triangles, strips and fans already held index. Colours and texture coordinates
  /// are dropped when the vertex count changes.
  int SetVertices(const float* vertices, int vertexFloats, const float* normals = nullptr);
  /// RGBA bytes, four per vertex, or null to drop them. A count other than the vertices'
  /// is refused (0).
  int SetColors(const unsigned char* rgba, int vertexCount);
  /// u, v floats, two per vertex (v up from the image's bottom row, as in OpenGL), or null
  /// to drop them. A count other than the vertices' or a non-finite value is refused (0).
  int SetTexCoords(const float* uv, int vertexCount);
  /// The image the texture coordinates map; null removes it. An empty image is refused.
  int SetTexture(std::shared_ptr<const KIVTextureImage> image);
  const std::vector<unsigned char>& GetColors() const { return mColors; }
  const std::vector<float>& GetTexCoords() const { return mTexCoords; }
  const std::shared_ptr<const KIVTextureImage>& GetTexture() const { return mTexture; }
  /// 1 when drawn textured: an image and coordinates for every vertex.
  int IsTextured() const { return mTexture && !mTexCoords.empty(); }
  /// Replaces the separate triangles. Indices outside the vertex array are refused.
  int SetTriangles(const int* indices, int triangleCount);
  /// Adds a strip or a fan of `count` vertices (fewer than 3 vertices draw nothing but are
  /// kept, as given). Indices outside the vertex array are refused.
  int AddStrip(const int* indices, int count);
  int AddFan(const int* indices, int count);
  void ClearStrips();
  void ClearFans();
  /// The geometry as stored: vertex floats, normals (null when none), separate triangle
  /// indices, and the strips and fans with the vertex count of each.
  void Get(const float*& vertices, int& vertexFloats, const float*& normals, const int*& triangles,
           int& triangleCount, const int*& strips, const int*& stripCounts, int& stripNumber,
           const int*& fans, const int*& fanCounts, int& fanNumber) const;
  int GetVertexCount() const { return static_cast<int>(mVertices.size() / 3); }
  const std::vector<float>& GetVertices() const { return mVertices; }
  const std::vector<float>& GetNormals() const { return mNormals; }
  const std::vector<int>& GetTriangles() const { return *mTriangles; }
  const std::vector<int>& GetStripIndices() const { return mStrips; }
  const std::vector<int>& GetStripCounts() const { return mStripCounts; }
  const std::vector<int>& GetFanIndices() const { return mFans; }
  const std::vector<int>& GetFanCounts() const { return mFanCounts; }
  void Draw(KIVRender& render) override;
  int GetPickTriangles(std::vector<float>& vertices, std::vector<int>& indices) const override;
  void GetBoundingPoints(std::vector<float>& points) const override;
  const float* GetBoundingPointsInPlace(size_t& count) const override {
    count = mVertices.size() / 3;
    return mVertices.data();
  }
  /// Separate triangles plus (count − 2) per strip and per fan of three or more.
  int GetTriangleCount() const override;
 private:
  bool InRange(const int* indices, int count) const;
  std::vector<float> mVertices;
  std::vector<float> mNormals;
  std::vector<unsigned char> mColors;  // RGBA per vertex, or empty
  std::vector<float> mTexCoords;       // u, v per vertex, or empty
  std::shared_ptr<const KIVTextureImage> mTexture;
  KIVIndexPool::Indices mTriangles = KIVIndexPool::Empty();  // shared with equal faces
  std::vector<int> mStrips, mStripCounts;
  std::vector<int> mFans, mFanCounts;
};
