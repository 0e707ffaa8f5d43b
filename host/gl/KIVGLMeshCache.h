#pragma once
// GPU buffers of the primitives drawn, keyed by the primitive's serial (and a level for
// tessellated ones), so that a primitive is uploaded once and again only when its
// geometry version or vertex count changes. Primitives do not say when they are freed:
// entries unused for a number of frames are swept, which also frees those of deleted
// primitives. Every operation needs the context current.
#include <deque>
#include <unordered_map>
#include <vector>

#include "host/gl/KIVGLMesh.h"

class KIVGLMeshCache {
 public:
  KIVGLMeshCache() = default;
  KIVGLMeshCache(const KIVGLMeshCache&) = delete;
  KIVGLMeshCache& operator=(const KIVGLMeshCache&) = delete;
  /// Frees every buffer: the context must be current.
  ~KIVGLMeshCache();
  /// The entry of key when it was uploaded from that version and vertex count, marked
  /// as used in frame (a negative count is not compared); null when it must be (re)uploaded.
  KIVGLMesh* Find(unsigned long long key, unsigned long version, int vertexCount, long long frame);
  /// Uploads vertexCount vertices (x, y, z each; normals alike or null for lines) and
  /// the indices, all within the vertices, reusing the key's buffers when it has some.
  KIVGLMesh* Upload(unsigned long long key, unsigned long version, const float* positions, const float* normals,
                    int vertexCount, const unsigned int* indices, int indexCount, GLenum mode, long long frame);
  /// The same with texture coordinates (u, v per vertex) and RGBA bytes per vertex, each
  /// null when absent.
  KIVGLMesh* Upload(unsigned long long key, unsigned long version, const float* positions, const float* normals,
                    const float* uv, const unsigned char* rgba, int vertexCount, const unsigned int* indices,
                    int indexCount, GLenum mode, long long frame);
  /// Binds the mesh's buffers and describes its vertex layout to the vertex array bound
  /// now (a render's own: vertex arrays are not shared between contexts).
  static void SetAttributes(const KIVGLMesh& mesh);
  /// Frees the mesh's buffers but keeps its entry: Find still answers it (without
  /// buffers), and an Upload of its key fills it again.
  void Evict(KIVGLMesh& mesh);
  /// Bytes evicted since the last call.
  long long TakeEvictedBytes() {
    const long long bytes = mEvicted;
    mEvicted = 0;
    return bytes;
  }
  /// Frees the entries not used since frame − maxIdle.
  void Sweep(long long frame, long long maxIdle);
  /// Frees every entry.
  void Clear();
  /// Drops every entry without a GL call, for when the context is gone with its buffers.
  void Forget() {
    mMeshes.clear();
    mPool.clear();
    mSpare.clear();
    ++mGeneration;
  }
  int GetSize() const { return static_cast<int>(mMeshes.size()); }
  /// Bytes of the vertex and index buffers held (evicted entries hold none).
  long long GetBytes() const;
  /// Uploads since the cache was made.
  long long GetUploadCount() const { return mUploads; }
  /// Changes whenever entries are freed: a mesh pointer kept since the same generation
  /// still points at its entry.
  unsigned long long GetGeneration() const { return mGeneration; }

 private:
  static void Free(KIVGLMesh& mesh);
  static long long BytesOf(const KIVGLMesh& mesh);
  std::unordered_map<unsigned long long, KIVGLMesh*> mMeshes;
  // The entries themselves, side by side in the order they were made (a frame reads them
  // in about that order), and those freed for reuse.
  std::deque<KIVGLMesh> mPool;
  std::vector<KIVGLMesh*> mSpare;
  long long mUploads = 0;
  long long mEvicted = 0;
  unsigned long long mGeneration = 0;
};
