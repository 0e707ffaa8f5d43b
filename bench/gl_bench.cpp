// Frames of the plant drawn by the OpenGL back end at 1280 × 720, waiting for the GPU in
// every iteration (glFinish), so that the time is the whole frame: traversal, culling,
// submission and rasterisation. Still frames use the support's culling precision; moving
// frames raise it as a viewer does during navigation.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include <map>
#include <memory>
#include <string>

#include "bench/HeadlessContext.h"
#include "bench/PlantScene.h"
#include "bench/PlantTree.h"
#include "bench/ViewerPlant.h"
#include "host/gl/KIVGLCapture.h"
#include "host/gl/KIVGLContext.h"
#include "host/gl/KIVGLRender.h"
#include "host/gl/KIVGLShareGroup.h"
#include "host/gl/KIVGLSimplifier.h"
#include "host/io/KIVPngImage.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/core/KIVApplication.h"
#include "host/dialog/KIVDlgDialog.h"
#include "host/visu/interact/KIVMouseEvent.h"
#include "viewer/NavSimpleViewer3D.h"
#include "viewer/NavViewerExtand.h"
#ifdef NAVTOOLS_HAVE_OSG
#include "bench/OsgPlant.h"
#endif

namespace {

KIVGLContext* Context() { return HeadlessContext(); }

// The extended viewer of the drag and follower benchmarks: its editor turns the camera.
constexpr int kDragOptions =
    NavViewerExtand::kOptionEditor | NavViewerExtand::kOptionQuality | NavViewerExtand::kOptionSelectOfficial;

struct Fixture {
  std::unique_ptr<PlantScene> plant;
  PlantTree tree;
  std::unique_ptr<KIV3DViewer> viewer;
  std::unique_ptr<KIVGLRender> render;
};

Fixture* Plant(int models, int triangles) {
  // The context first, so that it outlives the renders of the fixtures.
  if (!Context()) return nullptr;
  static std::map<std::pair<int, int>, std::unique_ptr<Fixture>> fixtures;
  std::unique_ptr<Fixture>& f = fixtures[{models, triangles}];
  if (!f) {
    f = std::make_unique<Fixture>();
    f->plant = std::make_unique<PlantScene>(models, triangles, 7);
    f->tree = BuildPlantTree(*f->plant);
    f->viewer = std::make_unique<KIV3DViewer>(1280, 720);
    KIV3DViewpoint* vp = f->viewer->GetMain3DViewpoint();
    AimAtPlant(*vp, *f->plant);
    vp->AddRep(f->tree.root);
    f->render = std::make_unique<KIVGLRender>(f->viewer->GetSupport(), Context());
    f->viewer->SetRender(f->render.get());
  }
  return f.get();
}

// Arguments: models, triangles per model, culling precision in pixels, batching (0 or 1).
void BM_GLFrame(benchmark::State& state) {
  Fixture* f = Plant(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  if (!f) {
    state.SkipWithError("no headless OpenGL");
    return;
  }
  KIVSupport& support = f->viewer->GetSupport();
  const float saved = support.GetCullingPrecision();
  support.SetCullingPrecision(static_cast<float>(state.range(2)));
  f->render->SetBatching(static_cast<int>(state.range(3)));
  // The first frames upload the buffers and merge them; the loop measures frames from the cache.
  for (int i = 0; i < 2; ++i) {
    f->viewer->Draw();
    f->render->Finish();
  }
  double gpu = 0.0;
  for (auto _ : state) {
    f->viewer->Draw();
    f->render->Finish();
    gpu += f->render->GetLastFrameStats().gpuSeconds;
  }
  const KIVGLRender::FrameStats& stats = f->render->GetLastFrameStats();
  state.counters["triangles"] = static_cast<double>(stats.triangles);
  state.counters["primitives"] = stats.primitives;
  state.counters["draw_calls"] = stats.drawCalls;
  state.counters["gpu_ms"] = state.iterations() ? 1e3 * gpu / static_cast<double>(state.iterations()) : 0.0;
  state.counters["cpu_ms"] = 1e3 * stats.cpuSeconds;
  support.SetCullingPrecision(saved);
  f->render->SetBatching(1);
}
BENCHMARK(BM_GLFrame)
    ->ArgNames({"models", "tris", "cull_px", "batch"})
    ->Args({2816, 34, 0, 0})
    ->Args({2816, 34, 0, 1})
    ->Args({10000, 1000, 1, 0})
    ->Args({10000, 1000, 1, 1})
    ->Args({10000, 1000, 2, 1})
    ->Args({10000, 1000, 4, 1})
    ->Args({100000, 100, 0, 0})
    ->Args({100000, 100, 0, 1})
    ->Args({1000, 1000, 1, 1})
    ->Args({1000, 1000, 4, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The extended viewer's occlusion drawing against its plain drawing, both through OpenGL:
// arguments occlusion (0 or 1). The statistics line of every occlusion frame goes to
// /dev/null so that it stays off the report.
void BM_GLOcclusion(benchmark::State& state) {
  if (!Context()) {
    state.SkipWithError("no headless OpenGL");
    return;
  }
  static std::unique_ptr<PlantScene> plant;
  static PlantTree tree;
  static std::unique_ptr<NavViewerExtand> viewer;
  static std::unique_ptr<KIVGLRender> render;
  if (!viewer) {
    plant = std::make_unique<PlantScene>(10000, 1000, 7);
    tree = BuildPlantTree(*plant);
    viewer = std::make_unique<NavViewerExtand>(nullptr, KIVString("bench"), 4, 0, 1280, 720);
    AimAtPlant(*viewer->GetMain3DViewpoint(), *plant);
    viewer->AddRep(tree.root, NavViewerExtand::kOfficialRoot);
    render = std::make_unique<KIVGLRender>(viewer->GetSupport(), Context());
    viewer->SetRender(render.get());
  }
  const bool occlusion = state.range(0) != 0;
  const int modes = viewer->GetQualityModes() & ~NavViewerExtand::kQualityOcclusion;
  viewer->SetQualityModes(occlusion ? modes | NavViewerExtand::kQualityOcclusion : modes);
  viewer->GetSupport().SetCullingPrecision(1.0f);
  std::fflush(stdout);
  const int saved = dup(1), sink = open("/dev/null", O_WRONLY);
  if (sink >= 0) dup2(sink, 1);
  viewer->Draw();
  render->Finish();
  for (auto _ : state) {
    viewer->Draw();
    render->Finish();
  }
  std::fflush(stdout);
  if (saved >= 0) dup2(saved, 1), close(saved);
  if (sink >= 0) close(sink);
  state.counters["triangles"] = static_cast<double>(render->GetLastFrameStats().triangles);
  state.counters["visible"] = occlusion ? viewer->GetLastVisibleCount() : 0;
  viewer->SetQualityModes(modes);
  viewer->GetRootRep(NavViewerExtand::kOfficialRoot)->SetShowMode(0, 0);
}
BENCHMARK(BM_GLOcclusion)->ArgNames({"occlusion"})->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// A left drag in the examine style against still frames, through the extended viewer as a
// window drives it: each iteration is one mouse move (the editor turns the camera) and the
// frame it calls for. Arguments: models, triangles per model, dragging (0 or 1). The still
// frames are drawn at the precisions a drag uses, so the ratio is the cost of the input.
// dragging 2 times the mouse moves alone, with no frame: what input costs by itself.
void BM_GLDrag(benchmark::State& state) {
  if (!Context()) {
    state.SkipWithError("no headless OpenGL");
    return;
  }
  static std::map<std::pair<int, int>, std::unique_ptr<ViewerPlant>> drags;
  const int models = static_cast<int>(state.range(0)), triangles = static_cast<int>(state.range(1));
  std::unique_ptr<ViewerPlant>& d = drags[{models, triangles}];
  if (!d) {
    d = std::make_unique<ViewerPlant>();
    ViewerPlant::Build(*d, models, triangles, kDragOptions);
  }
  NavViewerExtand& viewer = *d->viewer;
  const bool dragging = state.range(2) != 0, draw = state.range(2) != 2;
  const int cx = 640, cy = 360, button = static_cast<int>(state.range(3));
  viewer.UserMousePress(cx, cy, button, 0);
  viewer.UserMouseMove(cx + 6, cy, button, 0);  // past the drag threshold
  viewer.Draw();
  d->render->Finish();
  int step = 0;
  for (auto _ : state) {
    if (dragging) {
      // Small moves to and fro, so that the view stays on the plant.
      const int dx = (step++ / 20) % 2 ? -1 : 1;
      viewer.UserMouseMove(cx + 6 + (step % 20) * dx, cy, button, 0);
    }
    if (draw) {
      viewer.Draw();
      d->render->Finish();
    }
  }
  viewer.UserMouseRelease(cx + 6, cy, button, 0);
  state.counters["triangles"] = static_cast<double>(d->render->GetLastFrameStats().triangles);
  state.counters["cull_px"] = viewer.GetSupport().GetCullingPrecision();
}
BENCHMARK(BM_GLDrag)
    ->ArgNames({"models", "tris", "drag", "button"})
    ->ArgsProduct({{2816}, {34}, {0, 1, 2}, {1}})
    ->ArgsProduct({{2816, 10000}, {34}, {2}, {1, 2, 4}})
    ->ArgsProduct({{10000}, {1000}, {0, 1, 2}, {1}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// Secondary viewers following the main view: a left drag in the main viewer of the
// 10M-triangle plant with 0 or 2 "Current View" followers (from the top and the front),
// every window drawn through its own render into one share group, as navview's windows
// are. drag 1: each iteration is one mouse move and every frame it causes (the followers
// redraw from the viewpoint's notification), at the moving precisions; drag 0: a still
// frame of every window. Counters: frames per iteration and the group's buffer bytes
// (what the GPU holds for all the windows).
void BM_GLFollowers(benchmark::State& state) {
  if (!Context()) {
    state.SkipWithError("no headless OpenGL");
    return;
  }
  struct Windows : ViewerPlant {  // the window owns the followers too
    std::vector<NavSimpleViewer3D*> followers;
    std::vector<std::unique_ptr<KIVGLRender>> followerRenders;
  };
  static std::unique_ptr<Windows> w;
  const int models = static_cast<int>(state.range(0)), triangles = static_cast<int>(state.range(1));
  if (!w) {
    w = std::make_unique<Windows>();
    ViewerPlant::Build(*w, models, triangles, kDragOptions);
  }
  const int wanted = static_cast<int>(state.range(2));
  while (static_cast<int>(w->followers.size()) < wanted) {
    const int side = w->followers.empty() ? NavSimpleViewer3D::kViewTop : NavSimpleViewer3D::kViewFront;
    auto* scene = dynamic_cast<KIV3DBagRep*>(w->viewer->GetRootRep(NavViewerExtand::kOfficialRoot));
    auto* follower = new NavSimpleViewer3D(nullptr, w->window, scene, 640, 360, 3, 0);
    NavViewerExtand* view = follower->GetSpecificViewer();
    w->followerRenders.push_back(
        std::make_unique<KIVGLRender>(view->GetSupport(), Context(), w->render->GetShareGroup()));
    view->SetRender(w->followerRenders.back().get());
    follower->ReferenceViewpoint(w->viewer->GetMain3DViewpoint());
    follower->SetTargetFixe(1);
    follower->SetLogicalView(side);
    follower->AffichePanel(1);
    w->followers.push_back(follower);
  }
  while (static_cast<int>(w->followers.size()) > wanted) {
    NavSimpleViewer3D* follower = w->followers.back();
    follower->GetSpecificViewer()->SetRender(nullptr);
    w->followerRenders.pop_back();
    delete follower;
    w->followers.pop_back();
  }
  NavViewerExtand& viewer = *w->viewer;
  KIVGLShareGroup& group = *w->render->GetShareGroup();
  if (state.range(3) == 0) {
    // Still frames of every window, at the still precisions.
    for (int i = 0; i < 3; ++i) {
      viewer.Draw();
      for (NavSimpleViewer3D* f : w->followers) f->GetSpecificViewer()->Draw();
      w->render->Finish();
    }
    for (auto _ : state) {
      viewer.Draw();
      for (NavSimpleViewer3D* f : w->followers) f->GetSpecificViewer()->Draw();
      w->render->Finish();
    }
    state.counters["frames_per_move"] = 1 + wanted;
    state.counters["group_MB"] = static_cast<double>(group.GetBufferBytes()) / 1e6;
    state.counters["windows"] = 1 + wanted;
    return;
  }
  const int cx = 640, cy = 360;
  viewer.UserMousePress(cx, cy, 1, 0);
  viewer.UserMouseMove(cx + 6, cy, 1, 0);  // past the drag threshold
  for (int i = 0; i < 3; ++i) {  // everything uploaded and merged before the loop
    viewer.Draw();
    w->render->Finish();
  }
  const long long framesBefore = group.GetFrame();
  int step = 0;
  for (auto _ : state) {
    const int dx = (step++ / 20) % 2 ? -1 : 1;
    viewer.UserMouseMove(cx + 6 + (step % 20) * dx, cy, 1, 0);
    viewer.Draw();
    w->render->Finish();
  }
  viewer.UserMouseRelease(cx + 6, cy, 1, 0);
  const double moves = static_cast<double>(std::max<long long>(1, state.iterations()));
  state.counters["frames_per_move"] = static_cast<double>(group.GetFrame() - framesBefore) / moves;
  state.counters["group_MB"] = static_cast<double>(group.GetBufferBytes()) / 1e6;
  state.counters["windows"] = 1 + wanted;
}
BENCHMARK(BM_GLFollowers)
    ->ArgNames({"models", "tris", "followers", "drag"})
    ->ArgsProduct({{10000}, {1000}, {0, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0)
    ->UseRealTime();

// What making a coarse level costs for one plant model (a tube of rings, normals
// straight out): clustering alone, and the collapse that runs before it. Argument: the
// model's triangles. Counters: the triangles each leaves.
void BM_CoarseLevel(benchmark::State& state) {
  const PlantScene plant(1, static_cast<int>(state.range(0)), 7);
  const PlantScene::Model& model = plant.GetModel(0);
  const std::vector<unsigned int> indices(plant.GetIndices().begin(), plant.GetIndices().end());
  std::vector<float> normals(model.vertices.size());
  for (size_t v = 0; v < normals.size(); v += 3) {
    const float r = std::hypot(model.vertices[v], model.vertices[v + 1]);
    normals[v] = model.vertices[v] / r, normals[v + 1] = model.vertices[v + 1] / r;
  }
  const int vertices = plant.GetVertexCount(), count = static_cast<int>(indices.size());
  const bool collapse = state.range(1) != 0;
  // The cell of the finest level: a 32nd of the box's diagonal.
  const KIVMathVectorf size = model.localMax - model.localMin;
  const float cell = std::sqrt(size * size) / 32.0f;
  KIVGLSimplifier::Mesh lean, coarse;
  for (auto _ : state) {
    if (collapse) {
      KIVGLSimplifier::Collapse(model.vertices.data(), normals.data(), vertices, indices.data(), count, 1e-3f * cell,
                                lean);
      KIVGLSimplifier::Cluster(lean.positions.data(), lean.normals.data(), static_cast<int>(lean.positions.size() / 3),
                               lean.indices.data(), static_cast<int>(lean.indices.size()), cell, coarse);
    } else {
      KIVGLSimplifier::Cluster(model.vertices.data(), normals.data(), vertices, indices.data(), count, cell, coarse);
    }
    benchmark::DoNotOptimize(coarse.indices.data());
  }
  state.counters["triangles_in"] = static_cast<double>(count / 3);
  state.counters["triangles_out"] = static_cast<double>(coarse.indices.size() / 3);
}
BENCHMARK(BM_CoarseLevel)
    ->ArgNames({"tris", "collapse"})
    ->Args({100, 0})
    ->Args({100, 1})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Unit(benchmark::kMicrosecond);

#ifdef NAVTOOLS_HAVE_OSG
double ProcessSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Ours against OpenSceneGraph on the same plant, camera, size and culling, frames drawn
// in turn so that both see the same machine state; each frame waits for the GPU.
// Arguments: models, triangles per model, pixel culling (0: off in both). Counters: both
// frame times in ms, their ratio, and the share of covered pixels where the two
// silhouettes differ.
void BM_GLVersusOSG(benchmark::State& state) {
  if (!Context()) {
    state.SkipWithError("no headless OpenGL");
    return;
  }
  const int models = static_cast<int>(state.range(0)), triangles = static_cast<int>(state.range(1));
  const float cull = static_cast<float>(state.range(2));
  PlantScene plant(models, triangles, 7);
  PlantTree tree = BuildPlantTree(plant);
  KIV3DViewer viewer(1280, 720);
  AimAtPlant(*viewer.GetMain3DViewpoint(), plant);
  viewer.GetMain3DViewpoint()->AddRep(tree.root);
  viewer.SetBackgroundColor(OsgPlant::kBackground[0], OsgPlant::kBackground[1], OsgPlant::kBackground[2]);
  viewer.GetSupport().SetCullingPrecision(cull);
  std::string why;
  std::unique_ptr<OsgPlant> peer;
  double ours = 0.0, theirs = 0.0, oursCpu = 0.0, theirsCpu = 0.0;
  std::vector<unsigned char> mine, osg;
  int width = 0, height = 0;
  {
    KIVGLRender render(viewer.GetSupport(), Context());
    viewer.SetRender(&render);
    peer = OsgPlant::Create(plant, 1280, 720, cull, &why);
    if (!peer) {
      state.SkipWithError(why.c_str());
      viewer.SetRender(nullptr);
      tree.root->Destroy();
      return;
    }
    // First frames upload and compile on both sides.
    for (int i = 0; i < 2; ++i) {
      viewer.Draw();
      render.Finish();
      peer->Frame();
    }
    for (auto _ : state) {
      const double c0 = ProcessSeconds();
      auto t0 = std::chrono::steady_clock::now();
      viewer.Draw();
      render.Finish();
      auto t1 = std::chrono::steady_clock::now();
      const double c1 = ProcessSeconds();
      peer->Frame();
      auto t2 = std::chrono::steady_clock::now();
      const double c2 = ProcessSeconds();
      ours += std::chrono::duration<double>(t1 - t0).count();
      theirs += std::chrono::duration<double>(t2 - t1).count();
      oursCpu += c1 - c0;
      theirsCpu += c2 - c1;
      state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    KIVGLCapture::ReadPixels(render, mine, width, height, nullptr);
    osg = peer->ReadPixels();
    state.counters["triangles"] = static_cast<double>(render.GetLastFrameStats().triangles);
    viewer.SetRender(nullptr);
  }
  peer.reset();
  tree.root->Destroy();
  const double n = static_cast<double>(std::max<int64_t>(1, state.iterations()));
  state.counters["ours_ms"] = 1e3 * ours / n;
  state.counters["osg_ms"] = 1e3 * theirs / n;
  state.counters["ratio"] = theirs > 0.0 ? ours / theirs : 0.0;
  // Processor time of every thread (the rasteriser's included): steadier than wall time
  // on a busy machine.
  state.counters["cpu_ratio"] = theirsCpu > 0.0 ? oursCpu / theirsCpu : 0.0;
  // Silhouettes: a pixel is covered when it is not the background.
  auto covered = [](const unsigned char* p) {
    const int bg[3] = {static_cast<int>(OsgPlant::kBackground[0] * 255.0f + 0.5f),
                       static_cast<int>(OsgPlant::kBackground[1] * 255.0f + 0.5f),
                       static_cast<int>(OsgPlant::kBackground[2] * 255.0f + 0.5f)};
    return std::abs(p[0] - bg[0]) + std::abs(p[1] - bg[1]) + std::abs(p[2] - bg[2]) > 6;
  };
  long long differ = 0, cover = 0;
  if (width == 1280 && height == 720 && osg.size() == mine.size())
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const bool a = covered(&mine[4 * (static_cast<size_t>(y) * width + x)]);
        const bool b = covered(&osg[4 * (static_cast<size_t>(height - 1 - y) * width + x)]);
        cover += a || b;
        differ += a != b;
      }
  state.counters["silhouette_diff"] = cover ? static_cast<double>(differ) / cover : 1.0;
  // NAVTOOLS_BENCH_PICTURES=folder keeps both frames, to compare them by eye.
  if (const char* folder = std::getenv("NAVTOOLS_BENCH_PICTURES"); folder && *folder && osg.size() == mine.size()) {
    std::vector<unsigned char> flipped(osg.size());
    const size_t row = 4 * static_cast<size_t>(width);
    for (int y = 0; y < height; ++y)
      std::copy_n(&osg[row * static_cast<size_t>(height - 1 - y)], row, &flipped[row * static_cast<size_t>(y)]);
    const std::string stem = std::string(folder) + "/" + std::to_string(models) + "x" + std::to_string(triangles);
    std::string error;
    if (!KIVPngImage::Write((stem + "_ours.png").c_str(), width, height, mine.data(), &error) ||
        !KIVPngImage::Write((stem + "_osg.png").c_str(), width, height, flipped.data(), &error))
      std::fprintf(stderr, "pictures not written: %s\n", error.c_str());
  }
}
BENCHMARK(BM_GLVersusOSG)
    ->ArgNames({"models", "tris", "cull_px"})
    ->Args({2816, 34, 0})
    ->Args({10000, 1000, 0})
    ->Args({100000, 100, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);
#endif

// Peak resident memory of building and drawing a plant, in a process of its own so that
// nothing else this binary did counts: the binary runs itself with --peak-memory=WHO
// (ours or osg), which builds the scene from nothing, draws three frames and reports the
// peak (on llvmpipe the GL buffers live in the process, so they count too).
long PeakOfChild(const char* who, int models, int triangles) {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return -1;
  self[n] = 0;
  const std::string flag = std::string("--peak-memory=") + who, m = std::to_string(models),
                    t = std::to_string(triangles);
  char* argv[] = {self, const_cast<char*>(flag.c_str()), const_cast<char*>(m.c_str()), const_cast<char*>(t.c_str()),
                  nullptr};
  // The child reports its own high-water mark: a child's ru_maxrss starts from its
  // parent's, which has drawn bigger scenes before.
  int out[2];
  if (pipe(out) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, self, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  std::string text;
  char buffer[256];
  for (ssize_t got; spawned == 0 && (got = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, got);
  close(out[0]);
  if (spawned != 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::atol(text.c_str());  // kilobytes
}

// The process's peak resident memory in kilobytes (VmHWM), -1 when unknown.
long HighWaterMark() {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long kb = -1;
  while (std::fgets(line, sizeof line, f))
    if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
  std::fclose(f);
  return kb;
}

void BM_PeakMemory(benchmark::State& state) {
  const int models = static_cast<int>(state.range(0)), triangles = static_cast<int>(state.range(1));
  // One process's peak moves by tens of megabytes from run to run (the raster threads'
  // timing, the heap's): the median of three runs each, taken in turn.
  auto median = [](std::vector<long> v) {
    if (std::find(v.begin(), v.end(), -1L) != v.end()) return -1L;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
  };
  long ours = -1, osg = -1;
  for (auto _ : state) {
    std::vector<long> mine, theirs;
    for (int run = 0; run < 3; ++run) {
      mine.push_back(PeakOfChild("ours", models, triangles));
#ifdef NAVTOOLS_HAVE_OSG
      theirs.push_back(PeakOfChild("osg", models, triangles));
#endif
    }
    ours = median(mine);
    if (!theirs.empty()) osg = median(theirs);
  }
  if (ours < 0) {
    state.SkipWithError("the measuring process failed");
    return;
  }
  state.counters["ours_MB"] = ours / 1024.0;
  if (osg > 0) {
    state.counters["osg_MB"] = osg / 1024.0;
    state.counters["ratio"] = static_cast<double>(ours) / static_cast<double>(osg);
  }
}
BENCHMARK(BM_PeakMemory)->ArgNames({"models", "tris"})->Args({10000, 1000})->Iterations(1)->Unit(benchmark::kMillisecond);

int PeakMemoryRun(const std::string& who, int models, int triangles) {
  std::string reason;
  std::unique_ptr<KIVGLContext> context = KIVGLContext::CreateHeadless(&reason);
  if (!context) return 1;
  auto plant = std::make_unique<PlantScene>(models, triangles, 7);
  if (who == "ours") {
    KIV3DViewer viewer(1280, 720);
    KIV3DViewpoint* vp = viewer.GetMain3DViewpoint();
    AimAtPlant(*vp, *plant);
    PlantTree tree = BuildPlantTree(*plant);
    plant.reset();  // the scene tree holds its own copy, as an imported scene would
    vp->AddRep(tree.root);
    KIVGLRender render(viewer.GetSupport(), context.get());
    viewer.SetRender(&render);
    for (int i = 0; i < 3; ++i) {
      viewer.Draw();
      render.Finish();
    }
    viewer.SetRender(nullptr);
    std::printf("%ld\n", HighWaterMark());
    return 0;
  }
#ifdef NAVTOOLS_HAVE_OSG
  if (who == "osg") {
    std::unique_ptr<OsgPlant> peer = OsgPlant::Create(*plant, 1280, 720, 0.0f, &reason);
    if (!peer) return 1;
    plant.reset();  // OSG's arrays hold their own copy
    for (int i = 0; i < 3; ++i) peer->Frame();
    std::printf("%ld\n", HighWaterMark());
    return 0;
  }
#endif
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]).rfind("--peak-memory=", 0) == 0)
    return PeakMemoryRun(std::string(argv[1]).substr(14), std::atoi(argv[2]), std::atoi(argv[3]));
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (KIVGLContext* context = Context()) benchmark::AddCustomContext("gl_renderer", context->GetRenderer());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
