#pragma once
// One copy of each index array that many primitives hold alike: parts of an assembly
// made from one tessellation (the same bolt, pipe or plate at many sizes) share their
// topology, and the indices are often the bigger half of a mesh. Arrays are shared while
// some holder keeps them; a holder that wants to change its array makes its own first.
#include <memory>
#include <vector>

class KIVIndexPool {
 public:
  using Indices = std::shared_ptr<const std::vector<int>>;
  /// The shared array equal to indices, made from it when no equal one is alive. Short
  /// arrays are not worth a look-up and come back unshared.
  static Indices Share(std::vector<int> indices);
  /// The empty array every empty holder points at.
  static const Indices& Empty();
  /// Distinct arrays alive in the pool (for tests and statistics).
  static int GetSize();
  static constexpr size_t kMinShared = 48;
};
