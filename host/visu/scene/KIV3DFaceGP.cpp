#include "host/visu/scene/KIV3DFaceGP.h"

#include <cmath>
#include <limits>

#include "host/visu/view/KIVRender.h"

KIV3DFaceGP::KIV3DFaceGP(const float* vertices, int vertexFloats, const float* normals, const int* triangles,
                         int triangleCount) {
  SetVertices(vertices, vertexFloats, normals);
  SetTriangles(triangles, triangleCount);
}

int KIV3DFaceGP::SetVertices(const float* vertices, int vertexFloats, const float* normals) {
  if (vertexFloats < 0 || (vertexFloats > 0 && !vertices)) return 0;
  const int usable = vertexFloats - vertexFloats % 3;
  // Indices already held must still name a vertex; otherwise picking and drawing would
  // read past the array. The caller clears the faces first to shrink the geometry.
  const int count = usable / 3;
  auto fits = [count](const std::vector<int>& v) {
    for (int i : v)
      if (i >= count) return false;
    return true;
  };
  if (!fits(*mTriangles) || !fits(mStrips) || !fits(mFans)) return 0;
  if (count != GetVertexCount()) {
    mColors.clear();
    mTexCoords.clear();
  }
  mVertices.assign(vertices, vertices + usable);
  if (normals)
    mNormals.assign(normals, normals + usable);
  else
    mNormals.clear();
  GeometryChanged();
  return 1;
}

int KIV3DFaceGP::SetColors(const unsigned char* rgba, int vertexCount) {
  if (!rgba) {
    mColors.clear();
  } else {
    if (vertexCount != GetVertexCount()) return 0;
    mColors.assign(rgba, rgba + 4 * static_cast<size_t>(vertexCount));
  }
  GeometryChanged();
  return 1;
}

int KIV3DFaceGP::SetTexCoords(const float* uv, int vertexCount) {
  if (!uv) {
    mTexCoords.clear();
  } else {
    if (vertexCount != GetVertexCount()) return 0;
    for (int i = 0; i < 2 * vertexCount; ++i)
      if (!std::isfinite(uv[i])) return 0;
    mTexCoords.assign(uv, uv + 2 * static_cast<size_t>(vertexCount));
  }
  GeometryChanged();
  return 1;
}

int KIV3DFaceGP::SetTexture(std::shared_ptr<const KIVTextureImage> image) {
  if (image && image->IsEmpty()) return 0;
  mTexture = std::move(image);
  GeometryChanged();
  return 1;
}

bool KIV3DFaceGP::InRange(const int* indices, int count) const {
  if (count < 0 || (count > 0 && !indices)) return false;
  const int n = GetVertexCount();
  for (int i = 0; i < count; ++i)
    if (indices[i] < 0 || indices[i] >= n) return false;
  return true;
}

int KIV3DFaceGP::SetTriangles(const int* indices, int triangleCount) {
  if (triangleCount < 0 || triangleCount > std::numeric_limits<int>::max() / 3 ||
      !InRange(indices, triangleCount * 3))
    return 0;
  mTriangles = KIVIndexPool::Share(std::vector<int>(indices, indices + triangleCount * 3));
  GeometryChanged();
  return 1;
}

int KIV3DFaceGP::AddStrip(const int* indices, int count) {
  if (!InRange(indices, count)) return 0;
  mStrips.insert(mStrips.end(), indices, indices + count);
  mStripCounts.push_back(count);
  GeometryChanged();
  return 1;
}

int KIV3DFaceGP::AddFan(const int* indices, int count) {
  if (!InRange(indices, count)) return 0;
  mFans.insert(mFans.end(), indices, indices + count);
  mFanCounts.push_back(count);
  GeometryChanged();
  return 1;
}

void KIV3DFaceGP::ClearStrips() {
  mStrips.clear();
  mStripCounts.clear();
  GeometryChanged();
}

void KIV3DFaceGP::ClearFans() {
  mFans.clear();
  mFanCounts.clear();
  GeometryChanged();
}

void KIV3DFaceGP::Get(const float*& vertices, int& vertexFloats, const float*& normals, const int*& triangles,
                      int& triangleCount, const int*& strips, const int*& stripCounts, int& stripNumber,
                      const int*& fans, const int*& fanCounts, int& fanNumber) const {
  vertices = mVertices.data();
  vertexFloats = static_cast<int>(mVertices.size());
  normals = mNormals.empty() ? nullptr : mNormals.data();
  triangles = mTriangles->data();
  triangleCount = static_cast<int>(mTriangles->size() / 3);
  strips = mStrips.data();
  stripCounts = mStripCounts.data();
  stripNumber = static_cast<int>(mStripCounts.size());
  fans = mFans.data();
  fanCounts = mFanCounts.data();
  fanNumber = static_cast<int>(mFanCounts.size());
}

void KIV3DFaceGP::Draw(KIVRender& render) { render.Draw3DFace(*this); }

int KIV3DFaceGP::GetPickTriangles(std::vector<float>& vertices, std::vector<int>& indices) const {
  const int base = static_cast<int>(vertices.size() / 3);
  vertices.insert(vertices.end(), mVertices.begin(), mVertices.end());
  const size_t before = indices.size();
  for (int i : *mTriangles) indices.push_back(base + i);
  size_t at = 0;
  for (int count : mStripCounts) {
    // Alternate the winding so every triangle of a strip faces the same way.
    for (int k = 2; k < count; ++k) {
      const int a = mStrips[at + k - 2], b = mStrips[at + k - 1], c = mStrips[at + k];
      if (k % 2 == 0)
        indices.insert(indices.end(), {base + a, base + b, base + c});
      else
        indices.insert(indices.end(), {base + b, base + a, base + c});
    }
    at += count;
  }
  at = 0;
  for (int count : mFanCounts) {
    for (int k = 2; k < count; ++k)
      indices.insert(indices.end(), {base + mFans[at], base + mFans[at + k - 1], base + mFans[at + k]});
    at += count;
  }
  return static_cast<int>((indices.size() - before) / 3);
}

void KIV3DFaceGP::GetBoundingPoints(std::vector<float>& points) const {
  points.insert(points.end(), mVertices.begin(), mVertices.end());
}

int KIV3DFaceGP::GetTriangleCount() const {
  int n = static_cast<int>(mTriangles->size() / 3);
  for (int c : mStripCounts) n += c > 2 ? c - 2 : 0;
  for (int c : mFanCounts) n += c > 2 ? c - 2 : 0;
  return n;
}
