// Importing a one-million-triangle grid: as binary glTF with normals (indexed, nothing to
// generate) and as OBJ (one vertex per corner, so joined, with smooth normals generated).
// The OBJ runs at two smoothing angles: below 175 degrees assimp's normal generation takes
// a slower path that keeps creases. The files are written once per run in the temporary
// folder.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/io/KIVSceneImporter.h"

namespace {

constexpr int kColumns = 1000, kRows = 500;  // 2 × 1000 × 500 = one million triangles

std::string TempPath(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

// A gently waved grid, so that smoothing has real work to do.
float Height(int i, int j) { return 0.05f * float((i * 7 + j * 13) % 11); }

template <class T>
void Put(std::vector<char>& bytes, T value) {
  char b[sizeof(T)];
  std::memcpy(b, &value, sizeof(T));
  bytes.insert(bytes.end(), b, b + sizeof(T));
}

std::string WriteGlb() {
  const std::string path = TempPath("navtools_bench_grid.glb");
  const int nv = (kColumns + 1) * (kRows + 1), nt = 2 * kColumns * kRows;
  std::vector<char> bin;
  bin.reserve(size_t(nv) * 24 + size_t(nt) * 12);
  for (int j = 0; j <= kRows; ++j)
    for (int i = 0; i <= kColumns; ++i) Put(bin, float(i)), Put(bin, float(j)), Put(bin, Height(i, j));
  for (int v = 0; v < nv; ++v) Put(bin, 0.0f), Put(bin, 0.0f), Put(bin, 1.0f);
  for (int j = 0; j < kRows; ++j)
    for (int i = 0; i < kColumns; ++i) {
      const uint32_t a = j * (kColumns + 1) + i, b = a + 1, c = a + kColumns + 1, d = c + 1;
      for (uint32_t k : {a, b, d, a, d, c}) Put(bin, k);
    }
  const size_t vbytes = size_t(nv) * 12, ibytes = size_t(nt) * 12;
  std::string json = "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
                     "\"nodes\":[{\"name\":\"grid\",\"mesh\":0}],"
                     "\"meshes\":[{\"name\":\"grid\",\"primitives\":[{\"attributes\":{\"POSITION\":0,\"NORMAL\":1},\"indices\":2}]}],"
                     "\"buffers\":[{\"byteLength\":" + std::to_string(bin.size()) + "}],"
                     "\"bufferViews\":[{\"buffer\":0,\"byteOffset\":0,\"byteLength\":" + std::to_string(vbytes) +
                     "},{\"buffer\":0,\"byteOffset\":" + std::to_string(vbytes) + ",\"byteLength\":" + std::to_string(vbytes) +
                     "},{\"buffer\":0,\"byteOffset\":" + std::to_string(2 * vbytes) + ",\"byteLength\":" + std::to_string(ibytes) +
                     "}],\"accessors\":["
                     "{\"bufferView\":0,\"componentType\":5126,\"count\":" + std::to_string(nv) +
                     ",\"type\":\"VEC3\",\"min\":[0,0,0],\"max\":[" + std::to_string(kColumns) + "," + std::to_string(kRows) + ",1]},"
                     "{\"bufferView\":1,\"componentType\":5126,\"count\":" + std::to_string(nv) + ",\"type\":\"VEC3\"},"
                     "{\"bufferView\":2,\"componentType\":5125,\"count\":" + std::to_string(3 * nt) + ",\"type\":\"SCALAR\"}]}";
  while (json.size() % 4) json += ' ';
  std::vector<char> glb;
  Put(glb, uint32_t(0x46546C67)), Put(glb, uint32_t(2)), Put(glb, uint32_t(12 + 8 + json.size() + 8 + bin.size()));
  Put(glb, uint32_t(json.size())), Put(glb, uint32_t(0x4E4F534A));
  glb.insert(glb.end(), json.begin(), json.end());
  Put(glb, uint32_t(bin.size())), Put(glb, uint32_t(0x004E4942));
  glb.insert(glb.end(), bin.begin(), bin.end());
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(glb.data(), std::streamsize(glb.size()));
  return path;
}

std::string WriteObj() {
  const std::string path = TempPath("navtools_bench_grid.obj");
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return path;
  std::fprintf(f, "o grid\n");
  for (int j = 0; j <= kRows; ++j)
    for (int i = 0; i <= kColumns; ++i) std::fprintf(f, "v %d %d %g\n", i, j, double(Height(i, j)));
  for (int j = 0; j < kRows; ++j)
    for (int i = 0; i < kColumns; ++i) {
      const int a = j * (kColumns + 1) + i + 1, b = a + 1, c = a + kColumns + 1, d = c + 1;
      std::fprintf(f, "f %d %d %d\nf %d %d %d\n", a, b, d, a, d, c);
    }
  std::fclose(f);
  return path;
}

void Import(benchmark::State& state, const std::string& path, float smoothingAngle = 80.0f) {
  KIVSceneImporter importer;
  importer.SetSmoothingAngle(smoothingAngle);
  long long triangles = 0;
  for (auto _ : state) {
    KIVImportedScene scene = importer.Import(path.c_str());
    if (!scene.GetTop()) {
      state.SkipWithError(scene.GetError());
      return;
    }
    triangles = scene.GetTriangleCount();
    benchmark::DoNotOptimize(scene.GetTop());
  }
  state.counters["triangles"] = double(triangles);
  state.counters["Mtri/s"] = benchmark::Counter(double(triangles) * double(state.iterations()),
                                                benchmark::Counter::kIsRate, benchmark::Counter::kIs1000);
}

void BM_ImportGlb(benchmark::State& state) {
  static const std::string path = WriteGlb();
  Import(state, path);
}
BENCHMARK(BM_ImportGlb)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ImportObj(benchmark::State& state) {
  static const std::string path = WriteObj();
  Import(state, path, float(state.range(0)));
}
BENCHMARK(BM_ImportObj)->Arg(80)->Arg(175)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
