#include "host/gl/KIVGLMeshCache.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "host/gl/KIVGLPackedNormal.h"

KIVGLMeshCache::~KIVGLMeshCache() { Clear(); }

KIVGLMesh* KIVGLMeshCache::Find(unsigned long long key, unsigned long version, int vertexCount, long long frame) {
  auto it = mMeshes.find(key);
  if (it == mMeshes.end()) return nullptr;
  KIVGLMesh& mesh = *it->second;
  if (mesh.version != version || (vertexCount >= 0 && mesh.vertexCount != vertexCount)) return nullptr;
  mesh.lastFrame = frame;
  return &mesh;
}

KIVGLMesh* KIVGLMeshCache::Upload(unsigned long long key, unsigned long version, const float* positions,
                                  const float* normals, int vertexCount, const unsigned int* indices, int indexCount,
                                  GLenum mode, long long frame) {
  return Upload(key, version, positions, normals, nullptr, nullptr, vertexCount, indices, indexCount, mode, frame);
}

KIVGLMesh* KIVGLMeshCache::Upload(unsigned long long key, unsigned long version, const float* positions,
                                  const float* normals, const float* uv, const unsigned char* rgba, int vertexCount,
                                  const unsigned int* indices, int indexCount, GLenum mode, long long frame) {
  KIVGLMesh*& slot = mMeshes[key];
  if (!slot) {
    if (mSpare.empty()) {
      slot = &mPool.emplace_back();
    } else {
      slot = mSpare.back();
      mSpare.pop_back();
    }
  }
  KIVGLMesh& mesh = *slot;
  if (!mesh.vbo) {
    glGenBuffers(1, &mesh.vbo);
    glGenBuffers(1, &mesh.ibo);
  }
  // Floats per vertex: position, then normal, uv and colour where given (the normal's 10-bit
  // fields and the colour's four bytes take one float's room each).
  const int normalAt = 3, uvAt = normalAt + (normals ? 1 : 0), colourAt = uvAt + (uv ? 2 : 0);
  const int stride = colourAt + (rgba ? 1 : 0);
  std::vector<float> interleaved(static_cast<size_t>(vertexCount) * stride);
  float lo[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                 std::numeric_limits<float>::max()};
  float hi[3] = {-lo[0], -lo[1], -lo[2]};
  for (int v = 0; v < vertexCount; ++v) {
    float* out = &interleaved[static_cast<size_t>(v) * stride];
    for (int k = 0; k < 3; ++k) {
      const float p = positions[3 * v + k];
      out[k] = p;
      lo[k] = std::min(lo[k], p);
      hi[k] = std::max(hi[k], p);
    }
    if (normals) {
      const std::uint32_t packed = KIVGLPackedNormal::Pack(&normals[3 * v]);
      std::memcpy(&out[normalAt], &packed, 4);
    }
    if (uv) out[uvAt] = uv[2 * v], out[uvAt + 1] = uv[2 * v + 1];
    if (rgba) std::memcpy(&out[colourAt], &rgba[4 * static_cast<size_t>(v)], 4);
  }
  for (int k = 0; k < 3; ++k) mesh.centre[k] = vertexCount > 0 ? 0.5f * (lo[k] + hi[k]) : 0.0f;
  mesh.radius = vertexCount > 0 ? 0.5f * std::sqrt((hi[0] - lo[0]) * (hi[0] - lo[0]) + (hi[1] - lo[1]) * (hi[1] - lo[1]) +
                                                   (hi[2] - lo[2]) * (hi[2] - lo[2]))
                                : 0.0f;

  glBindBuffer(GL_ARRAY_BUFFER, mesh.vbo);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(interleaved.size() * sizeof(float)), interleaved.data(),
               GL_STATIC_DRAW);
  mesh.hasNormals = normals ? 1 : 0;
  mesh.hasUV = uv ? 1 : 0;
  mesh.hasColors = rgba ? 1 : 0;
  // Buffers have no type of their own: the indices go through the array target too, so
  // that no vertex array (the element binding is one's state) is touched by an upload.
  glBindBuffer(GL_ARRAY_BUFFER, mesh.ibo);
  // Short indices halve the index memory of the common small primitive.
  if (vertexCount <= 65535) {
    std::vector<unsigned short> shorts(indices, indices + indexCount);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(shorts.size() * sizeof(unsigned short)), shorts.data(),
                 GL_STATIC_DRAW);
    mesh.indexType = GL_UNSIGNED_SHORT;
  } else {
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexCount * sizeof(unsigned int)), indices,
                 GL_STATIC_DRAW);
    mesh.indexType = GL_UNSIGNED_INT;
  }
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  mesh.mode = mode;
  mesh.indexCount = indexCount;
  mesh.vertexCount = vertexCount;
  mesh.vertices = vertexCount;
  mesh.triangles = mode == GL_TRIANGLES ? indexCount / 3 : 0;
  mesh.version = version;
  mesh.key = key;
  mesh.floatsPerVertex = stride;
  mesh.lastFrame = frame;
  mesh.upload = static_cast<unsigned long long>(++mUploads);
  return &mesh;
}

void KIVGLMeshCache::SetAttributes(const KIVGLMesh& mesh) {
  const int normalAt = 3, uvAt = normalAt + (mesh.hasNormals ? 1 : 0), colourAt = uvAt + (mesh.hasUV ? 2 : 0);
  const GLsizei bytes = mesh.floatsPerVertex * static_cast<GLsizei>(sizeof(float));
  auto offset = [](int floats) { return reinterpret_cast<const void*>(static_cast<size_t>(floats) * sizeof(float)); };
  glBindBuffer(GL_ARRAY_BUFFER, mesh.vbo);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, bytes, nullptr);
  if (mesh.hasNormals) {
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 4, GL_INT_2_10_10_10_REV, GL_TRUE, bytes, offset(normalAt));
  } else {
    glDisableVertexAttribArray(1);
  }
  if (mesh.hasUV) {
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, bytes, offset(uvAt));
  } else {
    glDisableVertexAttribArray(2);
  }
  if (mesh.hasColors) {
    glEnableVertexAttribArray(3);
    glVertexAttribPointer(3, 4, GL_UNSIGNED_BYTE, GL_TRUE, bytes, offset(colourAt));
  } else {
    glDisableVertexAttribArray(3);
  }
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.ibo);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void KIVGLMeshCache::Sweep(long long frame, long long maxIdle) {
  for (auto it = mMeshes.begin(); it != mMeshes.end();) {
    if (it->second->lastFrame < frame - maxIdle) {
      Free(*it->second);
      *it->second = KIVGLMesh{};
      mSpare.push_back(it->second);
      it = mMeshes.erase(it);
      ++mGeneration;
    } else {
      ++it;
    }
  }
}

void KIVGLMeshCache::Clear() {
  for (auto& entry : mMeshes) Free(*entry.second);
  mMeshes.clear();
  mPool.clear();
  mSpare.clear();
  ++mGeneration;
}

void KIVGLMeshCache::Free(KIVGLMesh& mesh) {
  if (mesh.vbo) glDeleteBuffers(1, &mesh.vbo);
  if (mesh.ibo) glDeleteBuffers(1, &mesh.ibo);
  mesh.vbo = mesh.ibo = 0;
}

long long KIVGLMeshCache::BytesOf(const KIVGLMesh& mesh) {
  if (!mesh.vbo) return 0;
  return static_cast<long long>(mesh.vertices) * mesh.floatsPerVertex * static_cast<long long>(sizeof(float)) +
         static_cast<long long>(mesh.indexCount) * (mesh.indexType == GL_UNSIGNED_SHORT ? 2 : 4);
}

void KIVGLMeshCache::Evict(KIVGLMesh& mesh) {
  mEvicted += BytesOf(mesh);
  Free(mesh);
}

long long KIVGLMeshCache::GetBytes() const {
  long long bytes = 0;
  for (const auto& [key, mesh] : mMeshes) bytes += BytesOf(*mesh);
  return bytes;
}
