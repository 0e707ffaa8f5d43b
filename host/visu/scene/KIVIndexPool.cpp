#include "host/visu/scene/KIVIndexPool.h"

#include <cstdint>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {
struct Pool {
  std::mutex mutex;
  std::unordered_multimap<std::uint64_t, std::weak_ptr<const std::vector<int>>> arrays;
  size_t sharedSinceSweep = 0;
};

Pool& ThePool() {
  static Pool* pool = new Pool;  // never destroyed: holders may outlive static destruction
  return *pool;
}

std::uint64_t Hash(const std::vector<int>& v) {
  std::uint64_t h = 1469598103934665603ull ^ v.size();
  for (int x : v) h = (h ^ static_cast<std::uint32_t>(x)) * 1099511628211ull;
  return h;
}
}  // namespace

KIVIndexPool::Indices KIVIndexPool::Share(std::vector<int> indices) {
  if (indices.empty()) return Empty();
  if (indices.size() < kMinShared) return std::make_shared<const std::vector<int>>(std::move(indices));
  const std::uint64_t h = Hash(indices);
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  auto [first, last] = pool.arrays.equal_range(h);
  for (auto it = first; it != last;) {
    if (Indices alive = it->second.lock()) {
      if (*alive == indices) return alive;
      ++it;
    } else {
      it = pool.arrays.erase(it);
    }
  }
  // Entries of arrays no one holds any more go once the pool has doubled.
  if (++pool.sharedSinceSweep > pool.arrays.size() && pool.arrays.size() > 1024) {
    for (auto it = pool.arrays.begin(); it != pool.arrays.end();)
      it = it->second.expired() ? pool.arrays.erase(it) : std::next(it);
    pool.sharedSinceSweep = 0;
  }
  Indices made = std::make_shared<const std::vector<int>>(std::move(indices));
  pool.arrays.emplace(h, made);
  return made;
}

const KIVIndexPool::Indices& KIVIndexPool::Empty() {
  static const Indices* empty = new Indices(std::make_shared<const std::vector<int>>());
  return *empty;
}

int KIVIndexPool::GetSize() {
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> lock(pool.mutex);
  int n = 0;
  for (const auto& entry : pool.arrays) n += !entry.second.expired();
  return n;
}
