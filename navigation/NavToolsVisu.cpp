#include "navigation/NavToolsVisu.h"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <system_error>
#include <thread>
#include <vector>

namespace {
// Vertices per block of the extreme scan: small enough that finding an extreme's index
// afterwards is cheap, large enough that the per-block bookkeeping is negligible.
constexpr int kBlock = 4096;
constexpr int kLanes = 24;
constexpr int kThreadedBlocks = 256;  // a million vertices: well above a thread start

// Indices of the minimum and maximum on each axis, as a scan down from the last vertex
// with strict comparisons gives them (the highest index wins a tie). One pass keeps the
// extreme values per block, in 24 lanes (eight vertices) that the compiler vectorises
// into enough independent registers to keep up with memory; the index is then looked up in the last block holding the extreme.
void FindExtremes(const float* v, int count, int* lo, int* hi) {
  float gmin[3], gmax[3];
  for (int a = 0; a < 3; ++a) gmin[a] = gmax[a] = v[3 * (count - 1) + a];
  const int blocks = (count + kBlock - 1) / kBlock;
  std::vector<float> bmin(3 * static_cast<size_t>(blocks)), bmax(3 * static_cast<size_t>(blocks));
  auto scan = [&](int from, int to) {
    for (int b = from; b < to; ++b) {
      const int first = b * kBlock, last = std::min(count, first + kBlock);
      float mn[kLanes], mx[kLanes];
      for (int k = 0; k < kLanes; ++k) mn[k] = mx[k] = gmin[k % 3];
      int i = first;
      for (; i + kLanes / 3 <= last; i += kLanes / 3) {
        const float* p = v + 3 * static_cast<size_t>(i);
        for (int k = 0; k < kLanes; ++k) {
          mn[k] = p[k] < mn[k] ? p[k] : mn[k];
          mx[k] = p[k] > mx[k] ? p[k] : mx[k];
        }
      }
      for (; i < last; ++i)
        for (int a = 0; a < 3; ++a) {
          const float x = v[3 * static_cast<size_t>(i) + a];
          mn[a] = x < mn[a] ? x : mn[a];
          mx[a] = x > mx[a] ? x : mx[a];
        }
      for (int a = 0; a < 3; ++a) {
        float bl = mn[a], bh = mx[a];
        for (int k = a + 3; k < kLanes; k += 3) {
          bl = mn[k] < bl ? mn[k] : bl;
          bh = mx[k] > bh ? mx[k] : bh;
        }
        bmin[3 * b + a] = bl;
        bmax[3 * b + a] = bh;
      }
    }
  };
  // Blocks are independent, so a large array is scanned by two threads: the pass is bound
  // by memory, and one core alone does not draw all the bandwidth there is.
  std::thread lower;
  int split = 0;
  if (blocks >= kThreadedBlocks && std::thread::hardware_concurrency() > 1) {
    try {
      lower = std::thread(scan, 0, blocks / 2);
      split = blocks / 2;
    } catch (const std::system_error&) {
      // No thread to be had: the whole scan runs here.
    }
  }
  scan(split, blocks);
  if (lower.joinable()) lower.join();
  for (int a = 0; a < 3; ++a) {
    // The last vertex seeds the scan: a NaN there is never replaced.
    if (std::isnan(gmin[a])) {
      lo[a] = hi[a] = count - 1;
      continue;
    }
    for (int b = 0; b < blocks; ++b) {
      gmin[a] = bmin[3 * b + a] < gmin[a] ? bmin[3 * b + a] : gmin[a];
      gmax[a] = bmax[3 * b + a] > gmax[a] ? bmax[3 * b + a] : gmax[a];
    }
    auto highest = [&](const std::vector<float>& blockValues, float value) {
      for (int b = blocks - 1; b >= 0; --b) {
        if (!(blockValues[3 * b + a] == value)) continue;
        const int first = b * kBlock, last = std::min(count, first + kBlock);
        for (int i = last - 1; i >= first; --i)
          if (v[3 * static_cast<size_t>(i) + a] == value) return i;
      }
      return count - 1;
    };
    lo[a] = highest(bmin, gmin[a]);
    hi[a] = highest(bmax, gmax[a]);
  }
}
}  // namespace

void NavToolsVisu::CreateBoundingSphere(float* centre, float& radius, const float* vertices, int length) {
  if (!centre) return;
  const int count = vertices && length > 0 ? length / 3 : 0;
  if (count == 0) {
    centre[0] = centre[1] = centre[2] = 0.0f;
    radius = 0.0f;
    std::cerr << "CreateBoundingSphere: ERROR: Zero vertex array length." << std::endl;
    return;
  }
  int lo[3], hi[3];
  FindExtremes(vertices, count, lo, hi);
  const float* extreme[6] = {vertices + 3 * lo[0], vertices + 3 * hi[0], vertices + 3 * lo[1],
                             vertices + 3 * hi[1], vertices + 3 * lo[2], vertices + 3 * hi[2]};
  float best = 0.0f;
  int bi = 0, bj = 0;
  for (int j = 5; j >= 1; --j)
    for (int i = j - 1; i >= 0; --i) {
      const float dx = extreme[j][0] - extreme[i][0];
      const float dy = extreme[j][1] - extreme[i][1];
      const float dz = extreme[j][2] - extreme[i][2];
      const float d2 = (dx * dx + dy * dy) + dz * dz;
      if (d2 > best) best = d2, bi = i, bj = j;
    }
  for (int a = 0; a < 3; ++a)
    centre[a] = static_cast<float>(static_cast<double>(extreme[bi][a] + extreme[bj][a]) * 0.5);
  if (static_cast<double>(best) < 1e-06) {
    radius = 0.0f;
    return;
  }
  radius = static_cast<float>(static_cast<double>(std::sqrt(best)) * 0.5);
  UpdateBoundingSphere(centre, radius, vertices, length);
}

void NavToolsVisu::UpdateBoundingSphere(float* centre, float& radius, const float* vertices, int length) {
  if (!centre || !vertices || length <= 1) return;
  const int count = length / 3;
  float r2 = radius * radius;
  // Runs of vertices are first tested against the sphere as it stands: when none lies
  // outside, the vertex-by-vertex pass would not have changed anything there (a NaN
  // distance never grows the sphere, in either form).
  constexpr int kRun = 16;
  int top = count - 1;
  for (; top >= kRun - 1; top -= kRun) {
    const float* q = vertices + 3 * static_cast<size_t>(top - kRun + 1);
    float d2s[kRun];
    for (int k = 0; k < kRun; ++k) {
      const float dz = q[3 * k + 2] - centre[2], dy = q[3 * k + 1] - centre[1], dx = q[3 * k] - centre[0];
      d2s[k] = (dz * dz + dy * dy) + dx * dx;
    }
    bool outside = false;
    for (int k = 0; k < kRun; ++k) outside |= d2s[k] > r2;
    if (!outside) continue;
    for (int v = top; v > top - kRun; --v) Grow(centre, radius, r2, vertices + 3 * static_cast<size_t>(v));
  }
  for (int v = top; v >= 0; --v) Grow(centre, radius, r2, vertices + 3 * static_cast<size_t>(v));
}

void NavToolsVisu::Grow(float* centre, float& radius, float& r2, const float* p) {
  const float dz = p[2] - centre[2], dy = p[1] - centre[1], dx = p[0] - centre[0];
  const float d2 = (dz * dz + dy * dy) + dx * dx;
  if (d2 > r2) {
    const float d = std::sqrt(d2);
    radius = (radius + d) * 0.5f;
    r2 = radius * radius;
    const float k = radius / d;
    for (int a = 0; a < 3; ++a) centre[a] = k * centre[a] + (1.0f - k) * p[a];
  }
}

KIV3DBoundingSphere NavToolsVisu::GetBoundingSphere(const float* vertices, int length) {
  float centre[3];
  float radius = 0.0f;
  CreateBoundingSphere(centre, radius, vertices, length);
  return KIV3DBoundingSphere(KIVMathPointf(centre), radius, 0.0f);
}
