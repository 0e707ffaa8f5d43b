#pragma once
// Static batches of opaque faces. A software rasteriser spends about as much on a draw
// call as on a thousand small triangles, so a scene of many small models is bound by
// its calls. Items (a cached mesh at a placement in a colour) that are drawn unchanged in
// two frames running are merged, placed in the world with their colour in each vertex,
// into shared buffers of up to 65,536 vertices; a frame then draws a batch's visible
// items with one multi-draw of its index ranges, in one call when all are visible. An
// item that moves, changes colour or geometry gets a new identity: it is drawn by
// itself until it holds still again, and the ranges of its old identity are never
// drawn; batches mostly made of such stale ranges are freed and their live items merged
// again. Batches are shared by every view and every render of a share group that draws
// the same items: buffers only, each render drawing them through vertex arrays of its
// own (arrays are not shared between contexts). Every operation needs a context of the
// group current.
#include <epoxy/gl.h>

#include <functional>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include "host/gl/KIVGLFrame.h"

class KIVGLBatches {
 public:
  KIVGLBatches() = default;
  KIVGLBatches(const KIVGLBatches&) = delete;
  KIVGLBatches& operator=(const KIVGLBatches&) = delete;
  /// Frees every buffer: the context must be current.
  ~KIVGLBatches();

  /// A batch's buffers, for a render to describe them to a vertex array of its own;
  /// serial names the batch for good (a freed batch's serial never comes back).
  struct Buffers {
    unsigned long long serial = 0;
    GLuint vbo = 0, ibo = 0;
  };
  /// Describes the batches' vertex layout to the vertex array bound now.
  static void SetAttributes(const Buffers& buffers);

  /// Sorts one view's opaque faces for the frame: those found in batches (or merged now)
  /// will be drawn by Draw; the others are appended to loose, to be drawn one by one.
  /// renders: the renders sharing the frame clock, whose frames interleave (1 or more).
  /// merged: called with each mesh whose last item of this view was just merged and that
  /// no loose item of this view draws, so that its buffers may go.
  void Collect(const std::vector<KIVGLMeshItem>& items, long long frame, std::vector<const KIVGLMeshItem*>& loose,
               int renders = 1, const std::function<void(KIVGLMesh&)>& merged = {});
  /// Whether the item is in a batch (drawn from there, without its mesh's buffers); if so
  /// its batch and range are noted in it, which Collect takes without a second lookup.
  int Locate(KIVGLMeshItem& item) const;
  /// Changes whenever batches are freed: a place that Locate noted since the same
  /// generation still holds the same item.
  unsigned long long GetGeneration() const { return mGeneration; }
  /// Draws the batched items of the last Collect with the program and uniforms bound
  /// (world positions, colours in the vertices), through the vertex array that vaoOf
  /// gives for each batch. Returns the triangles drawn. flushTriangles > 0 flushes after
  /// every so many triangles (splitting calls where needed): a software rasteriser starts
  /// on what it holds only at a flush, so its threads then fill the tiles with the first
  /// triangles while this thread sets up the next, instead of waiting for the whole frame.
  long long Draw(const std::function<GLuint(const Buffers&)>& vaoOf, int flushTriangles = 0);
  /// Items and draw calls of the last Draw.
  int GetDrawnItems() const { return mDrawnItems; }
  int GetDrawCalls() const { return mDrawCalls; }
  /// Frees batches not drawn since frame − maxIdle, and those whose ranges are mostly so.
  void Sweep(long long frame, long long maxIdle, int renders = 1);
  void Clear();
  /// Drops every batch without a GL call, for when the context is gone with its buffers.
  void Forget();
  int GetBatchCount() const;
  /// Items held in live batches (stale ranges included) and the bytes of their buffers.
  long long GetItemCount() const;
  long long GetBytes() const;

  /// Meshes above this many vertices are drawn by themselves: their call is cheap beside
  /// their triangles, and a world copy would only double their memory.
  static constexpr int kMaxItemVertices = 16384;
  static constexpr int kMaxBatchVertices = 65536;

 private:
  /// What makes an item the same as in an earlier frame: the geometry, placement, colour.
  struct Identity {
    unsigned long long key = 0;
    unsigned long version = 0;
    float model[16];
    float colour[4];
    bool operator==(const Identity& o) const;
  };
  struct IdentityHash {
    size_t operator()(const Identity& id) const;
  };
  struct Range {
    GLint first = 0;     // first index
    GLsizei count = 0;   // indices
    long long lastFrame = 0;
  };
  struct Batch {
    unsigned long long serial = 0;
    GLuint vbo = 0, ibo = 0;
    std::vector<Range> ranges;
    std::vector<Identity> identities;  // one per range, to forget them when freed
    std::vector<int> visible;          // ranges to draw in the current view
    long long lastFrame = 0;
    long long bytes = 0;
  };
  struct Place {
    int batch = -1;
    int range = -1;
  };
  static Identity IdentityOf(const KIVGLMeshItem& item);
  static int Batchable(const KIVGLMeshItem& item);
  void See(int batch, int range, long long frame);
  /// Merges the items into new batches, in their order.
  void Merge(const std::vector<const KIVGLMeshItem*>& items, long long frame,
             std::span<const KIVGLMeshItem* const> loose, const std::function<void(KIVGLMesh&)>& merged);
  void Free(int batch);

  std::vector<std::unique_ptr<Batch>> mBatches;  // null slots are free
  std::vector<int> mFreeSlots;
  std::vector<int> mDrawn;  // batches with visible ranges in the current view
  std::unordered_map<Identity, Place, IdentityHash> mPlaces;
  std::unordered_map<Identity, long long, IdentityHash> mCandidates;  // the frame each was last seen
  // Scratch reused by every frame.
  std::vector<GLsizei> mCounts;
  std::vector<const void*> mOffsets;
  std::vector<GLsizei> mChunkCounts;  // one call's share of mCounts when split
  std::vector<const void*> mChunkOffsets;
  int mDrawnItems = 0, mDrawCalls = 0;
  unsigned long long mSerial = 0;
  unsigned long long mGeneration = 0;
};
