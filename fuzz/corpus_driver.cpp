// Stand-in for libFuzzer's main: replays every file of a corpus folder, then a fixed
// number of deterministic mutations of each (bit flips, truncations, random bytes).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  std::vector<std::vector<uint8_t>> corpus;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(argv[i], ec)) {
      std::ifstream in(entry.path(), std::ios::binary);
      corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (ec) {
      std::fprintf(stderr, "cannot read corpus folder %s: %s\n", argv[i], ec.message().c_str());
      return 1;
    }
  }
  corpus.push_back({});
  std::mt19937 rng(20261206);
  size_t runs = 0;
  for (const auto& seed : corpus) {
    LLVMFuzzerTestOneInput(seed.data(), seed.size());
    for (int m = 0; m < 2000; ++m) {
      std::vector<uint8_t> input = seed;
      const int edits = 1 + static_cast<int>(rng() % 4);
      for (int e = 0; e < edits; ++e) {
        switch (rng() % 4) {
          case 0:
            if (!input.empty()) input[rng() % input.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
            break;
          case 1:
            if (!input.empty()) input.resize(rng() % input.size());
            break;
          case 2:
            input.push_back(static_cast<uint8_t>(rng()));
            break;
          default:
            if (!input.empty()) input[rng() % input.size()] = static_cast<uint8_t>(rng());
        }
      }
      LLVMFuzzerTestOneInput(input.data(), input.size());
      ++runs;
    }
  }
  std::printf("%zu inputs from %zu seeds: no failure\n", runs, corpus.size());
  return 0;
}
