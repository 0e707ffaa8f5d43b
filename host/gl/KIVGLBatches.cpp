#include "host/gl/KIVGLBatches.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "host/gl/KIVGLPackedNormal.h"

namespace {
// One merged vertex: world position, the normal in 10 bits a component (lighting needs no
// more, and a batch is mostly its vertices), and the item's colour.
struct Vertex {
  float position[3];
  std::uint32_t normal;
  unsigned char colour[4];
};
static_assert(sizeof(Vertex) == 20);

unsigned char Byte(float c) { return static_cast<unsigned char>(std::lround(std::clamp(c, 0.0f, 1.0f) * 255.0f)); }

}  // namespace

bool KIVGLBatches::Identity::operator==(const Identity& o) const {
  return key == o.key && version == o.version && std::memcmp(model, o.model, sizeof model) == 0 &&
         std::memcmp(colour, o.colour, sizeof colour) == 0;
}

size_t KIVGLBatches::IdentityHash::operator()(const Identity& id) const {
  std::uint64_t h = 1469598103934665603ull ^ id.key;
  auto mix = [&h](std::uint64_t x) {
    h ^= x + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
    h *= 1099511628211ull;
  };
  mix(id.version);
  std::uint32_t bits[20];
  std::memcpy(bits, id.model, sizeof id.model);
  std::memcpy(bits + 16, id.colour, sizeof id.colour);
  for (int i = 0; i < 20; i += 2) mix(static_cast<std::uint64_t>(bits[i]) << 32 | bits[i + 1]);
  return static_cast<size_t>(h);
}

KIVGLBatches::~KIVGLBatches() { Clear(); }

KIVGLBatches::Identity KIVGLBatches::IdentityOf(const KIVGLMeshItem& item) {
  Identity id;
  id.key = item.mesh->key;
  id.version = item.mesh->version;
  std::memcpy(id.model, item.model.m, sizeof id.model);
  std::memcpy(id.colour, item.colour, sizeof id.colour);
  return id;
}

int KIVGLBatches::Batchable(const KIVGLMeshItem& item) {
  const KIVGLMesh* m = item.mesh;
  // Plain lit faces only: textures and vertex colours keep their own draws.
  return m && m->vbo && m->mode == GL_TRIANGLES && m->hasNormals && m->floatsPerVertex == 4 && !m->hasUV && !m->hasColors &&
         !item.texture && m->vertices > 0 && m->vertices <= kMaxItemVertices && m->indexCount > 0;
}

void KIVGLBatches::See(int batch, int range, long long frame) {
  Batch& b = *mBatches[static_cast<size_t>(batch)];
  b.ranges[static_cast<size_t>(range)].lastFrame = frame;
  b.lastFrame = frame;
  if (b.visible.empty()) mDrawn.push_back(batch);
  b.visible.push_back(range);
}

void KIVGLBatches::SetAttributes(const Buffers& buffers) {
  glBindBuffer(GL_ARRAY_BUFFER, buffers.vbo);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, sizeof(Vertex), reinterpret_cast<const void*>(0));
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 4, GL_INT_2_10_10_10_REV, GL_TRUE, sizeof(Vertex), reinterpret_cast<const void*>(12));
  glDisableVertexAttribArray(2);
  glEnableVertexAttribArray(3);
  glVertexAttribPointer(3, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex), reinterpret_cast<const void*>(16));
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, buffers.ibo);
}

void KIVGLBatches::Collect(const std::vector<KIVGLMeshItem>& items, long long frame,
                           std::vector<const KIVGLMeshItem*>& loose, int renders,
                           const std::function<void(KIVGLMesh&)>& merged) {
  for (int b : mDrawn)
    if (mBatches[static_cast<size_t>(b)]) mBatches[static_cast<size_t>(b)]->visible.clear();
  mDrawn.clear();
  const size_t looseBefore = loose.size();
  std::vector<const KIVGLMeshItem*> steady;
  for (const KIVGLMeshItem& item : items) {
    if (!item.mesh) continue;
    // Batches are freed only between frames: a place noted while queueing still holds.
    if (item.batch >= 0 && static_cast<size_t>(item.batch) < mBatches.size() &&
        mBatches[static_cast<size_t>(item.batch)] &&
        static_cast<size_t>(item.range) < mBatches[static_cast<size_t>(item.batch)]->ranges.size()) {
      See(item.batch, item.range, frame);
      continue;
    }
    const Identity id = IdentityOf(item);
    // A placed item is drawn from its batch, whether or not its mesh still has buffers.
    auto placed = mPlaces.find(id);
    if (placed != mPlaces.end()) {
      See(placed->second.batch, placed->second.range, frame);
      continue;
    }
    if (!Batchable(item)) {
      loose.push_back(&item);
      continue;
    }
    // Merged once it is drawn unchanged in two frames running: what moves every frame
    // (a dragged model, an animation) stays out of the batches. The renders of a group
    // share one clock, so a render's previous frame may be up to `renders` ticks back.
    auto [seen, fresh] = mCandidates.try_emplace(id, frame);
    if (!fresh && seen->second < frame && frame - seen->second <= std::max(1, renders)) {
      mCandidates.erase(seen);
      steady.push_back(&item);
    } else {
      seen->second = frame;
      loose.push_back(&item);
    }
  }
  if (!steady.empty())
    Merge(steady, frame, std::span<const KIVGLMeshItem* const>(loose).subspan(looseBefore), merged);
}

int KIVGLBatches::Locate(KIVGLMeshItem& item) const {
  if (!item.mesh) return 0;
  auto placed = mPlaces.find(IdentityOf(item));
  if (placed == mPlaces.end()) return 0;
  item.batch = placed->second.batch;
  item.range = placed->second.range;
  return 1;
}

void KIVGLBatches::Merge(const std::vector<const KIVGLMeshItem*>& items, long long frame,
                         std::span<const KIVGLMeshItem* const> loose,
                         const std::function<void(KIVGLMesh&)>& merged) {
  // A mesh is handed back once its last item here is merged, unless a loose item still
  // draws from its buffers; handing back as the merge goes keeps the peak down.
  std::unordered_map<const KIVGLMesh*, int> uses;
  if (merged) {
    for (const KIVGLMeshItem* item : items) ++uses[item->mesh];
    for (const KIVGLMeshItem* item : loose) uses[item->mesh] += 1 << 20;
  }
  auto done = [&](KIVGLMesh& mesh) {
    if (merged && --uses[&mesh] == 0) merged(mesh);
  };
  std::vector<Vertex> vertices;
  std::vector<std::uint16_t> indices;
  std::vector<float> source;
  std::vector<unsigned char> sourceIndices;
  auto batch = std::make_unique<Batch>();
  auto flush = [&]() {
    if (batch->ranges.empty()) return;
    // Buffers only, through the copy target: no vertex array's state is touched here.
    batch->serial = ++mSerial;
    glGenBuffers(1, &batch->vbo);
    glGenBuffers(1, &batch->ibo);
    glBindBuffer(GL_COPY_WRITE_BUFFER, batch->vbo);
    glBufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)), vertices.data(),
                 GL_STATIC_DRAW);
    glBindBuffer(GL_COPY_WRITE_BUFFER, batch->ibo);
    glBufferData(GL_COPY_WRITE_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint16_t)),
                 indices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    batch->bytes = static_cast<long long>(vertices.size() * sizeof(Vertex) + indices.size() * sizeof(std::uint16_t));
    batch->lastFrame = frame;
    int slot;
    if (!mFreeSlots.empty()) {
      slot = mFreeSlots.back();
      mFreeSlots.pop_back();
    } else {
      slot = static_cast<int>(mBatches.size());
      mBatches.emplace_back();
    }
    for (size_t r = 0; r < batch->identities.size(); ++r) mPlaces[batch->identities[r]] = {slot, static_cast<int>(r)};
    mBatches[static_cast<size_t>(slot)] = std::move(batch);
    for (size_t r = 0; r < mBatches[static_cast<size_t>(slot)]->ranges.size(); ++r)
      See(slot, static_cast<int>(r), frame);
    batch = std::make_unique<Batch>();
    vertices.clear();
    indices.clear();
  };

  for (const KIVGLMeshItem* item : items) {
    const Identity id = IdentityOf(*item);
    auto placed = mPlaces.find(id);
    if (placed != mPlaces.end()) {  // the same item twice in the frame
      See(placed->second.batch, placed->second.range, frame);
      done(*item->mesh);
      continue;
    }
    const KIVGLMesh& m = *item->mesh;
    if (vertices.size() + static_cast<size_t>(m.vertices) > static_cast<size_t>(kMaxBatchVertices)) flush();
    // The mesh's own buffers hold what the batch needs: read them back rather than keep
    // a second copy on the CPU.
    source.resize(static_cast<size_t>(m.vertices) * 4);
    glBindBuffer(GL_COPY_READ_BUFFER, m.vbo);
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, static_cast<GLsizeiptr>(source.size() * sizeof(float)), source.data());
    const size_t indexBytes = m.indexType == GL_UNSIGNED_SHORT ? 2 : 4;
    sourceIndices.resize(static_cast<size_t>(m.indexCount) * indexBytes);
    glBindBuffer(GL_COPY_READ_BUFFER, m.ibo);
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, static_cast<GLsizeiptr>(sourceIndices.size()), sourceIndices.data());
    glBindBuffer(GL_COPY_READ_BUFFER, 0);

    const KIVGLMatrix& model = item->model;
    float normalMatrix[9];
    model.NormalMatrix(normalMatrix);
    const unsigned char colour[4] = {Byte(item->colour[0]), Byte(item->colour[1]), Byte(item->colour[2]), 255};
    const std::uint32_t base = static_cast<std::uint32_t>(vertices.size());
    for (int v = 0; v < m.vertices; ++v) {
      const float* in = &source[static_cast<size_t>(v) * 4];
      std::uint32_t packed;
      std::memcpy(&packed, &in[3], 4);
      float local[3], normal[3];
      KIVGLPackedNormal::Unpack(packed, local);
      Vertex out;
      for (int i = 0; i < 3; ++i) {
        out.position[i] = model.At(i, 0) * in[0] + model.At(i, 1) * in[1] + model.At(i, 2) * in[2] + model.At(i, 3);
        normal[i] = normalMatrix[i] * local[0] + normalMatrix[3 + i] * local[1] + normalMatrix[6 + i] * local[2];
      }
      out.normal = KIVGLPackedNormal::Pack(normal);
      std::memcpy(out.colour, colour, 4);
      vertices.push_back(out);
    }
    Range range;
    range.first = static_cast<GLint>(indices.size());
    range.count = m.indexCount;
    range.lastFrame = frame;
    for (int i = 0; i < m.indexCount; ++i) {
      std::uint32_t index;
      if (indexBytes == 2) {
        std::uint16_t s;
        std::memcpy(&s, &sourceIndices[2 * static_cast<size_t>(i)], 2);
        index = s;
      } else {
        std::memcpy(&index, &sourceIndices[4 * static_cast<size_t>(i)], 4);
      }
      indices.push_back(static_cast<std::uint16_t>(base + std::min<std::uint32_t>(index, m.vertices - 1)));
    }
    batch->ranges.push_back(range);
    batch->identities.push_back(id);
    done(*item->mesh);
  }
  flush();
}

namespace {
void DrawRanges(const std::vector<GLsizei>& counts, const std::vector<const void*>& offsets) {
  if (counts.size() == 1)
    glDrawElements(GL_TRIANGLES, counts[0], GL_UNSIGNED_SHORT, offsets[0]);
  else
    glMultiDrawElements(GL_TRIANGLES, counts.data(), GL_UNSIGNED_SHORT, offsets.data(),
                        static_cast<GLsizei>(counts.size()));
}
}  // namespace

long long KIVGLBatches::Draw(const std::function<GLuint(const Buffers&)>& vaoOf, int flushTriangles) {
  long long triangles = 0;
  mDrawnItems = 0;
  mDrawCalls = 0;
  // Indices left before the next flush; it carries from one batch to the next.
  const GLsizei chunk = flushTriangles > 0 ? 3 * flushTriangles : 0;
  GLsizei room = chunk;
  for (int index : mDrawn) {
    Batch& b = *mBatches[static_cast<size_t>(index)];
    std::sort(b.visible.begin(), b.visible.end());
    b.visible.erase(std::unique(b.visible.begin(), b.visible.end()), b.visible.end());
    mDrawnItems += static_cast<int>(b.visible.size());
    // Neighbouring ranges join: a batch seen whole is one call.
    mCounts.clear();
    mOffsets.clear();
    GLint end = -1;
    for (int r : b.visible) {
      const Range& range = b.ranges[static_cast<size_t>(r)];
      triangles += range.count / 3;
      if (range.first == end) {
        mCounts.back() += range.count;
      } else {
        mCounts.push_back(range.count);
        mOffsets.push_back(reinterpret_cast<const void*>(static_cast<size_t>(range.first) * sizeof(std::uint16_t)));
      }
      end = range.first + range.count;
    }
    glBindVertexArray(vaoOf(Buffers{b.serial, b.vbo, b.ibo}));
    if (!chunk) {
      DrawRanges(mCounts, mOffsets);
      ++mDrawCalls;
      continue;
    }
    mChunkCounts.clear();
    mChunkOffsets.clear();
    for (size_t i = 0; i < mCounts.size(); ++i)
      for (GLsizei first = 0; first < mCounts[i];) {
        const GLsizei take = std::min(room, mCounts[i] - first);
        mChunkCounts.push_back(take);
        mChunkOffsets.push_back(static_cast<const char*>(mOffsets[i]) + sizeof(std::uint16_t) * first);
        first += take;
        room -= take;
        if (room == 0) {
          DrawRanges(mChunkCounts, mChunkOffsets);
          ++mDrawCalls;
          glFlush();
          mChunkCounts.clear();
          mChunkOffsets.clear();
          room = chunk;
        }
      }
    if (!mChunkCounts.empty()) {
      DrawRanges(mChunkCounts, mChunkOffsets);
      ++mDrawCalls;
    }
  }
  return triangles;
}

void KIVGLBatches::Free(int index) {
  Batch& b = *mBatches[static_cast<size_t>(index)];
  for (const Identity& id : b.identities) {
    auto it = mPlaces.find(id);
    if (it != mPlaces.end() && it->second.batch == index) mPlaces.erase(it);
  }
  if (b.vbo) glDeleteBuffers(1, &b.vbo);
  if (b.ibo) glDeleteBuffers(1, &b.ibo);
  mBatches[static_cast<size_t>(index)].reset();
  mFreeSlots.push_back(index);
  ++mGeneration;
  mDrawn.erase(std::remove(mDrawn.begin(), mDrawn.end(), index), mDrawn.end());
}

void KIVGLBatches::Sweep(long long frame, long long maxIdle, int renders) {
  for (size_t i = 0; i < mBatches.size(); ++i) {
    if (!mBatches[i]) continue;
    const Batch& b = *mBatches[i];
    size_t stale = 0;
    for (const Range& r : b.ranges) stale += r.lastFrame < frame - maxIdle;
    if (b.lastFrame < frame - maxIdle || 2 * stale > b.ranges.size()) Free(static_cast<int>(i));
  }
  for (auto it = mCandidates.begin(); it != mCandidates.end();)
    it = it->second < frame - std::max(1, renders) ? mCandidates.erase(it) : std::next(it);
}

void KIVGLBatches::Clear() {
  for (size_t i = 0; i < mBatches.size(); ++i)
    if (mBatches[i]) Free(static_cast<int>(i));
  Forget();
}

void KIVGLBatches::Forget() {
  mBatches.clear();
  mFreeSlots.clear();
  mDrawn.clear();
  mPlaces.clear();
  mCandidates.clear();
  ++mGeneration;
}

int KIVGLBatches::GetBatchCount() const {
  return static_cast<int>(std::count_if(mBatches.begin(), mBatches.end(), [](const auto& b) { return b != nullptr; }));
}

long long KIVGLBatches::GetItemCount() const {
  long long n = 0;
  for (const auto& b : mBatches)
    if (b) n += static_cast<long long>(b->ranges.size());
  return n;
}

long long KIVGLBatches::GetBytes() const {
  long long n = 0;
  for (const auto& b : mBatches)
    if (b) n += b->bytes;
  return n;
}
