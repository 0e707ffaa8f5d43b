#include "host/gl/KIVGLRender.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <unordered_set>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "host/gl/KIVGLContext.h"
#include "host/gl/KIVGLRenderState.h"
#include "host/gl/KIVGLShaders.h"
#include "host/visu/scene/KIV2DBagRep.h"
#include "host/visu/scene/KIVGraphicPrimitive.h"
#include "host/visu/view/KIV2DViewpoint.h"
#include "host/visu/scene/KIV3DRep.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/math/KIV3x3Matrix.h"
#include "host/visu/view/KIVViewer.h"

namespace {
void TrimHeap() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}
constexpr long long kTrimBytes = 8ll << 20;

double Seconds(std::chrono::steady_clock::time_point from) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

unsigned long long NextRenderId() {
  static std::atomic<unsigned long long> next{0};
  return ++next;
}
}  // namespace

// ---- State --------------------------------------------------------------------------

KIVGLRender::State::State() : id(NextRenderId()) {}

KIVGLRender::FaceEntry& KIVGLRender::State::EntryOf(const KIVGraphicPrimitive& gp) {
  KIVGraphicPrimitive::RenderNote& note = gp.GetRenderNote();
  if (note.owner == id && note.slot < faceEntries.size() && faceEntries[note.slot].serial == gp.GetSerial())
    return faceEntries[note.slot];
  auto [it, fresh] = faceSlots.try_emplace(gp.GetSerial(), 0u);
  if (fresh) {
    if (freeFaceEntries.empty()) {
      it->second = static_cast<unsigned int>(faceEntries.size());
      faceEntries.emplace_back();
    } else {
      it->second = freeFaceEntries.back();
      freeFaceEntries.pop_back();
      faceEntries[it->second] = FaceEntry{};
    }
    faceEntries[it->second].serial = gp.GetSerial();
  }
  note.owner = id;
  note.slot = it->second;
  return faceEntries[it->second];
}

KIVGLMesh* KIVGLRender::State::FindMesh(FaceEntry* entry, unsigned long long key, unsigned long version,
                                        int vertexCount) {
  if (entry && entry->mesh && entry->meshGeneration == Cache().GetGeneration() && entry->mesh->key == key) {
    KIVGLMesh& mesh = *entry->mesh;
    if (mesh.version != version || (vertexCount >= 0 && mesh.vertexCount != vertexCount)) return nullptr;
    mesh.lastFrame = frame;
    return &mesh;
  }
  KIVGLMesh* mesh = Cache().Find(key, version, vertexCount, frame);
  Remember(entry, mesh);
  return mesh;
}

void KIVGLRender::State::Remember(FaceEntry* entry, KIVGLMesh* mesh) {
  if (!entry || !mesh) return;
  entry->mesh = mesh;
  entry->meshGeneration = Cache().GetGeneration();
}

void KIVGLRender::State::SweepEntries(long long idle) {
  for (size_t i = 0; i < faceEntries.size(); ++i) {
    FaceEntry& e = faceEntries[i];
    if (e.serial == 0 || e.lastFrame >= frame - idle) continue;
    faceSlots.erase(e.serial);
    e = FaceEntry{};
    freeFaceEntries.push_back(static_cast<unsigned int>(i));
  }
}

int KIVGLRender::State::Build() {
  const GLubyte* renderer = glGetString(GL_RENDERER);
  flushTriangles = KIVGLContext::IsSoftwareRenderer(reinterpret_cast<const char*>(renderer))
                       ? kSoftwareFlushTriangles
                       : 0;
  for (int full = 0; full < 2; ++full) {
    // The variant's definitions go after the version line, which must come first.
    std::string vertex(KIVGLShaders::kMeshVertex), fragment(KIVGLShaders::kMeshFragment);
    vertex.insert(vertex.find('\n') + 1, KIVGLShaders::kMeshVariant[full]);
    fragment.insert(fragment.find('\n') + 1, KIVGLShaders::kMeshVariant[full]);
    KIVGLProgram& m = meshPrograms[full];
    if (!m.Build(vertex.c_str(), fragment.c_str(), &error)) return 0;
    meshUniforms[full] = {m.Uniform("uModel"),       m.Uniform("uView"),       m.Uniform("uProjection"),
                          m.Uniform("uNormalMatrix"), m.Uniform("uColor"),      m.Uniform("uLit"),
                          m.Uniform("uPerspective"),  m.Uniform("uLightDirection"), m.Uniform("uLightIntensity"),
                          m.Uniform("uAmbient"),      m.Uniform("uFog"),        m.Uniform("uFogRange"),
                          m.Uniform("uFogColor"),    m.Uniform("uPointSize"),  m.Uniform("uVertexColors"),
                          m.Uniform("uTextured"),    m.Uniform("uTexture")};
  }
  if (!screenProgram.Build(KIVGLShaders::kScreenVertex, KIVGLShaders::kScreenFragment, &error)) return 0;
  screen = {screenProgram.Uniform("uSize"), screenProgram.Uniform("uFont"), screenProgram.Uniform("uTextured")};

  glGenVertexArrays(1, &streamVao);
  glGenBuffers(1, &streamVbo);
  glBindVertexArray(streamVao);
  glBindBuffer(GL_ARRAY_BUFFER, streamVbo);
  const GLsizei stride = sizeof(KIVGLScreenVertex);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, nullptr);
  glEnableVertexAttribArray(1);
  glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(3 * sizeof(float)));
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, stride, reinterpret_cast<const void*>(5 * sizeof(float)));
  glGenVertexArrays(1, &groundVao);
  glGenBuffers(1, &groundVbo);
  glBindVertexArray(groundVao);
  glBindBuffer(GL_ARRAY_BUFFER, groundVbo);
  glEnableVertexAttribArray(0);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 3 * sizeof(float), nullptr);
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glGenQueries(2, queries);
  glGetFloatv(GL_ALIASED_LINE_WIDTH_RANGE, lineWidths);
  if (glGetError() != GL_NO_ERROR) {
    error = "the context refused the renderer's buffers";
    return 0;
  }
  return 1;
}

void KIVGLRender::State::Free() {
  for (auto& entry : vaos) glDeleteVertexArrays(1, &entry.second.vao);
  vaos.clear();
  for (auto& entry : batchVaos) glDeleteVertexArrays(1, &entry.second.vao);
  batchVaos.clear();
  // The last render of the group frees the shared buffers (its context is current).
  if (group) group->Leave();
  group.reset();
  for (KIVGLProgram& m : meshPrograms) m.Free();
  screenProgram.Free();
  font.Free();
  target.Free();
  if (streamVao) glDeleteVertexArrays(1, &streamVao);
  if (streamVbo) glDeleteBuffers(1, &streamVbo);
  if (groundVao) glDeleteVertexArrays(1, &groundVao);
  if (groundVbo) glDeleteBuffers(1, &groundVbo);
  if (queries[0]) glDeleteQueries(2, queries);
  Forget();
}

void KIVGLRender::State::Forget() {
  faceEntries.clear();
  freeFaceEntries.clear();
  faceSlots.clear();
  vaos.clear();
  batchVaos.clear();
  if (group) {
    group->Leave();
    if (group.use_count() == 1) group->Forget();
  }
  group.reset();
  for (KIVGLProgram& m : meshPrograms) m.Forget();
  screenProgram.Forget();
  font.Forget();
  target.Forget();
  streamVao = streamVbo = groundVao = groundVbo = queries[0] = queries[1] = 0;
  groundUploaded.clear();
}

void KIVGLRender::State::UseMesh(int full) {
  if (meshFull == full) return;
  meshFull = full;
  mesh = meshUniforms[full];
  meshPrograms[full].Use();
}

void KIVGLRender::State::DrawMesh(const KIVGLMeshItem& item, const KIVGLView& view, int lit, const float* colour) {
  const KIVGLMesh& m = *item.mesh;
  if (!m.vbo) return;  // evicted, and drawn from a batch
  // The outline passes draw in one colour: vertex colours and textures only in the fill.
  const int plain = colour != item.colour;
  const int textured = !plain && item.texture && m.hasUV;
  UseMesh(view.fog || textured);
  glUniformMatrix4fv(mesh.model, 1, GL_FALSE, item.model.m);
  if (lit) {
    float normal[9];
    (view.view * item.model).NormalMatrix(normal);
    glUniformMatrix3fv(mesh.normalMatrix, 1, GL_FALSE, normal);
  }
  glUniform1i(mesh.lit, lit && m.mode == GL_TRIANGLES);
  glUniform4fv(mesh.color, 1, colour);
  glUniform1i(mesh.vertexColors, !plain && item.vertexColors && m.hasColors);
  glUniform1i(mesh.textured, textured);
  glBindTexture(GL_TEXTURE_2D, textured ? item.texture : 0);
  glUniform1f(mesh.pointSize, item.pointSize);
  glBindVertexArray(VaoOf(m));
  glDrawElements(m.mode, m.indexCount, m.indexType, nullptr);
}

GLuint KIVGLRender::State::VaoOf(const KIVGLMesh& m) {
  MeshVao& entry = vaos[&m];
  if (!entry.vao) glGenVertexArrays(1, &entry.vao);
  if (entry.upload != m.upload) {
    glBindVertexArray(entry.vao);
    KIVGLMeshCache::SetAttributes(m);
    entry.upload = m.upload;
  }
  entry.lastFrame = frame;
  return entry.vao;
}

GLuint KIVGLRender::State::VaoOf(const KIVGLBatches::Buffers& batch) {
  MeshVao& entry = batchVaos[batch.serial];
  if (!entry.vao) {
    glGenVertexArrays(1, &entry.vao);
    glBindVertexArray(entry.vao);
    KIVGLBatches::SetAttributes(batch);
  }
  entry.lastFrame = frame;
  return entry.vao;
}

void KIVGLRender::State::DrawScreen(const std::vector<KIVGLScreenVertex>& vertices, GLenum mode, int textured) {
  if (vertices.empty()) return;
  glUniform1i(screen.textured, textured);
  glBindVertexArray(streamVao);
  glBindBuffer(GL_ARRAY_BUFFER, streamVbo);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(KIVGLScreenVertex)),
               vertices.data(), GL_STREAM_DRAW);
  glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.size()));
}

void KIVGLRender::State::DrawView(KIVGLView& view, int width, int height, long long& triangles) {
  if (view.depthTest) {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
  } else {
    glDisable(GL_DEPTH_TEST);
  }
  glDepthMask(GL_TRUE);
  glDisable(GL_BLEND);
  // What stays the same for the whole view, in both builds. Every draw below picks its
  // build (UseMesh), so none is chosen here.
  meshFull = -1;
  for (int full : {1, 0}) {
    UseMesh(full);
    glUniformMatrix4fv(mesh.view, 1, GL_FALSE, view.view.m);
    glUniformMatrix4fv(mesh.projection, 1, GL_FALSE, view.projection.m);
    glUniform1i(mesh.perspective, view.perspective);
    glUniform3fv(mesh.lightDirection, 3, &view.lightDirection[0][0]);
    glUniform1fv(mesh.lightIntensity, 3, view.lightIntensity);
    glUniform3fv(mesh.ambient, 1, view.ambient);
    glUniform1i(mesh.texture, 0);
    glUniform1i(mesh.fog, view.fog);
    glUniform2fv(mesh.fogRange, 1, view.fogRange);
    glUniform3fv(mesh.fogColor, 1, background);
  }
  glActiveTexture(GL_TEXTURE0);
  glEnable(GL_PROGRAM_POINT_SIZE);

  // Hidden-line modes draw the faces in the background colour, so that only the lines of
  // what is in front show; the dashed variant also shows the hidden lines faintly.
  const int hidden = (viewMode & (KIVViewer::HiddenLine | KIVViewer::HiddenDashed)) != 0;
  const int shaded = (viewMode & KIVViewer::Shading) != 0 && !hidden, edges = (viewMode & KIVViewer::Edges) != 0;
  const int outline = (viewMode & KIVViewer::Outline) != 0;
  loose.clear();
  if (batching) {
    // A merged mesh that its primitive can upload again gives its buffers back, unless
    // another view of this frame draws from them (gathered only when something merges).
    // This render's vertex array goes first: an array holding a buffer keeps its storage
    // alive. Other renders' arrays of it go with their sweep of idle arrays.
    std::unordered_set<const KIVGLMesh*> elsewhere;
    bool gathered = false;
    Batches().Collect(view.faces, frame, loose, group->GetRenderCount(), [&](KIVGLMesh& m) {
      if (!m.reloadable) return;
      if (!gathered) {
        gathered = true;
        for (const auto& other : views)
          if (other.get() != &view)
            for (const auto* list : {&other->faces, &other->transparent, &other->lines})
              for (const KIVGLMeshItem& item : *list) elsewhere.insert(item.mesh);
      }
      if (elsewhere.count(&m)) return;
      if (auto it = vaos.find(&m); it != vaos.end()) {
        glDeleteVertexArrays(1, &it->second.vao);
        vaos.erase(it);
      }
      Cache().Evict(m);
      // Software renderers keep buffers in the heap, where the small ones freed here sit
      // between live objects: their whole pages go back to the system as the merge goes,
      // so that the batches being built do not add to them.
      evictedSinceTrim += Cache().TakeEvictedBytes();
      if (evictedSinceTrim >= kTrimBytes) {
        TrimHeap();
        evictedSinceTrim = 0;
      }
    });
  } else {
    for (const KIVGLMeshItem& item : view.faces) loose.push_back(&item);
  }
  // Lines in one colour stand out from the background: black on light, white on dark.
  const float ink = 0.299f * background[0] + 0.587f * background[1] + 0.114f * background[2] > 0.5f ? 0.0f : 1.0f;
  const float inkColour[4] = {ink, ink, ink, 1.0f};
  const float backColour[4] = {background[0], background[1], background[2], 1.0f};
  // Batches hold world positions and normals, and their colours in the vertices; `tint`
  // multiplies those colours, `plain` draws every face in that one colour instead.
  auto batched = [&](int lit, const float* tint, int plain) {
    UseMesh(view.fog);
    const KIVGLMatrix identity;
    glUniformMatrix4fv(mesh.model, 1, GL_FALSE, identity.m);
    if (lit) {
      float normal[9];
      view.view.NormalMatrix(normal);
      glUniformMatrix3fv(mesh.normalMatrix, 1, GL_FALSE, normal);
    }
    glUniform1i(mesh.lit, lit);
    glUniform4fv(mesh.color, 1, tint);
    glUniform1i(mesh.vertexColors, plain ? 0 : 1);
    glUniform1i(mesh.textured, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    return Batches().Draw([this](const KIVGLBatches::Buffers& b) { return VaoOf(b); }, flushTriangles);
  };
  // Every face in one colour, unlit: the hidden-line fill, outlines and hidden lines.
  auto plainPass = [&](const float* colour) {
    const long long drawn = batched(0, colour, 1);
    for (const KIVGLMeshItem* item : loose) DrawMesh(*item, view, 0, colour);
    return drawn;
  };
  // The fill: shaded, or for the line modes faces that hide what is behind them (in the
  // background colour, or in depth alone for an outline over a wire frame). It steps back
  // a little so that the lines drawn over it win the depth test.
  const bool filled = shaded || hidden || outline;
  if (edges || hidden || outline) glEnable(GL_POLYGON_OFFSET_FILL), glPolygonOffset(1.0f, 1.0f);
  if (shaded) {
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    triangles += batched(view.lit, white, 0);
    for (const KIVGLMeshItem* item : loose) DrawMesh(*item, view, view.lit, item->colour);
  } else if (filled) {
    if (!hidden) glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    triangles += plainPass(backColour);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  }
  glDisable(GL_POLYGON_OFFSET_FILL);
  if (filled) {
    for (const KIVGLMeshItem* item : loose) triangles += item->mesh->triangles;
    batchedItems += Batches().GetDrawnItems();
    drawCalls += Batches().GetDrawCalls() + static_cast<int>(loose.size());
  }
  glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
  if (hidden) {
    if (viewMode & KIVViewer::HiddenDashed) {
      // Hidden lines: those behind the faces, faint, without touching the depth.
      const float faint[4] = {0.7f * background[0] + 0.3f * ink, 0.7f * background[1] + 0.3f * ink,
                              0.7f * background[2] + 0.3f * ink, 1.0f};
      glDepthFunc(GL_GREATER);
      glDepthMask(GL_FALSE);
      plainPass(faint);
      glDepthMask(GL_TRUE);
      glDepthFunc(GL_LEQUAL);
    }
    plainPass(inkColour);
  } else if (edges || !shaded) {
    const float dark[4] = {0.3f, 0.3f, 0.3f, 1.0f}, white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    batched(0, shaded ? dark : white, 0);
    for (const KIVGLMeshItem* item : loose) {
      const float darker[4] = {item->colour[0] * 0.3f, item->colour[1] * 0.3f, item->colour[2] * 0.3f, 1.0f};
      DrawMesh(*item, view, 0, shaded ? darker : item->colour);
    }
  }
  if (outline) {
    // The silhouette: back faces' edges, wide, where they pass beside the front faces.
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glLineWidth(std::clamp(3.0f, lineWidths[0], lineWidths[1]));
    plainPass(inkColour);
    glLineWidth(1.0f);
    glDisable(GL_CULL_FACE);
    glCullFace(GL_BACK);
  }
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  for (const KIVGLMeshItem& item : view.lines) {
    glLineWidth(std::clamp(item.lineWidth, lineWidths[0], lineWidths[1]));
    DrawMesh(item, view, 0, item.colour);
  }
  glLineWidth(1.0f);
  if (!view.ground.empty()) {
    UseMesh(view.fog);
    const KIVGLMatrix identity;
    glUniformMatrix4fv(mesh.model, 1, GL_FALSE, identity.m);
    glUniform1i(mesh.lit, 0);
    glUniform1i(mesh.vertexColors, 0);
    glUniform1i(mesh.textured, 0);
    glUniform4fv(mesh.color, 1, view.groundColour);
    glBindVertexArray(groundVao);
    // The grid follows the scene's sphere and the vertical: most frames it is the last one.
    if (view.ground != groundUploaded) {
      glBindBuffer(GL_ARRAY_BUFFER, groundVbo);
      glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(view.ground.size() * sizeof(float)), view.ground.data(),
                   GL_STATIC_DRAW);
      groundUploaded = view.ground;
    }
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(view.ground.size() / 3));
  }

  if (!view.screenTriangles.empty() || !view.screenLines.empty() || !view.glyphs.empty()) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    screenProgram.Use();
    meshFull = -1;
    glUniform2f(screen.size, static_cast<float>(width), static_cast<float>(height));
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, view.glyphs.empty() ? 0 : font.GetTexture());
    glUniform1i(screen.font, 0);
    DrawScreen(view.screenTriangles, GL_TRIANGLES, 0);
    DrawScreen(view.screenLines, GL_LINES, 0);
    DrawScreen(view.glyphs, GL_TRIANGLES, 1);
    glBindTexture(GL_TEXTURE_2D, 0);
  }

  if (!view.transparent.empty()) {
    // Back to front, without writing depth, so that each layer blends over the farther.
    std::stable_sort(view.transparent.begin(), view.transparent.end(),
                     [](const KIVGLMeshItem& a, const KIVGLMeshItem& b) { return a.depth < b.depth; });
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    for (const KIVGLMeshItem& item : view.transparent) {
      const int faces = item.mesh->mode == GL_TRIANGLES;
      if (!faces) glLineWidth(std::clamp(item.lineWidth, lineWidths[0], lineWidths[1]));
      DrawMesh(item, view, faces ? view.lit : 0, item.colour);
      triangles += item.mesh->triangles;
    }
    glLineWidth(1.0f);
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
  }
  glBindVertexArray(0);
}

// ---- KIVGLRender ----------------------------------------------------------------------

KIVGLRender::KIVGLRender(const KIVSupport& support, KIVGLContext* context, std::shared_ptr<KIVGLShareGroup> group)
    : KIVRender(support), mContext(context), mState(std::make_unique<State>()) {
  mState->group = group ? std::move(group) : std::make_shared<KIVGLShareGroup>();
  mState->group->Join();
  if (!MakeCurrent()) {
    mState->error = "no current OpenGL context";
    return;
  }
  mState->ready = mState->Build();
}

KIVGLRender::~KIVGLRender() {
  // The GL objects belong to the context: without it they went with it, and a GL call
  // would find no context.
  if (MakeCurrent())
    mState->Free();
  else
    mState->Forget();
}

int KIVGLRender::IsReady(std::string* error) const {
  if (error) *error = mState->error;
  return mState->ready;
}

int KIVGLRender::MakeCurrent() {
  // Without a context of its own, the caller has made one current.
  return mContext ? mContext->MakeCurrent() : 1;
}

long long KIVGLRender::GetUploadCount() const { return mState->group ? mState->Cache().GetUploadCount() : 0; }

int KIVGLRender::GetCachedBufferCount() const { return mState->group ? mState->Cache().GetSize() : 0; }

std::shared_ptr<KIVGLShareGroup> KIVGLRender::GetShareGroup() const { return mState->group; }

void KIVGLRender::BeginFrame(KIVViewer& viewer) {
  State& s = *mState;
  s.inFrame = 0;
  if (!s.ready || !MakeCurrent()) return;
  SetSupport(viewer.GetSupport());
  s.start = std::chrono::steady_clock::now();
  s.inFrame = 1;
  // One clock for the renders sharing buffers, so that "used lately" means the same to all.
  s.frame = s.group->NextFrame();
  const long long idle = static_cast<long long>(mIdleFrames) * std::max(1, s.group->GetRenderCount());
  if (s.frame - s.lastSweep >= std::max(1LL, idle / 2)) {
    s.lastSweep = s.frame;
    s.SweepEntries(idle);
    // The batches' arrays too: a batch freed by the group leaves its array unused here.
    auto sweep = [&](auto& arrays) {
      for (auto it = arrays.begin(); it != arrays.end();) {
        if (it->second.lastFrame < s.frame - idle) {
          glDeleteVertexArrays(1, &it->second.vao);
          it = arrays.erase(it);
        } else {
          ++it;
        }
      }
    };
    sweep(s.vaos);
    sweep(s.batchVaos);
  }
  s.group->Sweep(mIdleFrames);
  s.uploadsAtStart = s.Cache().GetUploadCount();
  s.primitives = 0;
  s.batchedItems = s.drawCalls = 0;
  s.viewer = &viewer;
  s.viewer3d = dynamic_cast<KIV3DViewer*>(&viewer);
  s.viewMode = GetViewModeBits();
  viewer.GetBackgroundColor(s.background);
  s.views.clear();
  s.current = s.foreground = s.pixelView = nullptr;
  s.currentCamera = nullptr;
  s.sceneSphere = s.viewer3d ? s.viewer3d->GetGlobalBoundingSphere() : KIV3DBoundingSphere();
  s.onTop = nullptr;
  // The clipping planes must hold what is drawn over the scene too.
  if (s.viewer3d)
    for (const KIVRep* rep : s.viewer3d->GetRepsOnTop())
      if (auto* r3 = dynamic_cast<const KIV3DRep*>(rep); r3 && !r3->GetShowMode()) s.sceneSphere += r3->GetBoundingElement();
  // The main view exists even when nothing is drawn in it, for its ground.
  if (s.viewer3d) CameraView(*s.viewer3d->GetMain3DViewpoint());
}

void KIVGLRender::EndFrame(KIVViewer& viewer) {
  State& s = *mState;
  if (!s.inFrame || s.viewer != &viewer) return;
  DrawForeground(viewer);
  const int width = GetSupport().GetWidth(), height = GetSupport().GetHeight();
  GLuint framebuffer = mExternalFramebuffer;
  if (!framebuffer) {
    if (!s.target.Ensure(width, height)) {
      s.error = "no framebuffer of " + std::to_string(width) + " x " + std::to_string(height);
      s.inFrame = 0;
      s.viewer = nullptr;
      return;
    }
    framebuffer = s.target.GetFramebuffer();
  }
  // The timer query of two frames ago has had a frame to complete.
  const int q = s.queryIndex;
  if (s.queryIssued[q]) {
    GLint available = 0;
    glGetQueryObjectiv(s.queries[q], GL_QUERY_RESULT_AVAILABLE, &available);
    if (available) {
      GLuint64 nanoseconds = 0;
      glGetQueryObjectui64v(s.queries[q], GL_QUERY_RESULT, &nanoseconds);
      mStats.gpuSeconds = static_cast<double>(nanoseconds) * 1e-9;
    }
    s.queryIssued[q] = 0;
  }
  glBeginQuery(GL_TIME_ELAPSED, s.queries[q]);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
  glViewport(0, 0, width, height);
  glDisable(GL_CULL_FACE);
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glClearColor(s.background[0], s.background[1], s.background[2], 1.0f);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  long long triangles = 0;
  for (auto& view : s.views) {
    if (!view->depthTest || view.get() != s.views.front().get()) glClear(GL_DEPTH_BUFFER_BIT);
    s.DrawView(*view, width, height, triangles);
  }
  glEndQuery(GL_TIME_ELAPSED);
  s.queryIssued[q] = 1;
  s.queryIndex = 1 - q;
  glUseProgram(0);
  mFrameFramebuffer = framebuffer;
  mFrameWidth = width;
  mFrameHeight = height;
  mStats.triangles = triangles;
  mStats.batchedItems = s.batchedItems;
  mStats.drawCalls = s.drawCalls;
  mStats.primitives = s.primitives;
  mStats.uploads = static_cast<int>(s.Cache().GetUploadCount() - s.uploadsAtStart);
  mStats.cachedBuffers = s.Cache().GetSize();
  mStats.cpuSeconds = Seconds(s.start);
  s.views.clear();
  s.current = s.foreground = s.pixelView = nullptr;
  s.inFrame = 0;
  s.viewer = nullptr;
  s.viewer3d = nullptr;
}

void KIVGLRender::SetBatching(int on) {
  mBatching = on ? 1 : 0;
  mState->batching = mBatching;
  if (!mBatching && mState->ready && MakeCurrent()) mState->Batches().Clear();
}

double KIVGLRender::Finish() {
  if (!mState->ready || !MakeCurrent()) return 0.0;
  glFinish();
  return Seconds(mState->start);
}

void KIVGLRender::DrawForeground(KIVViewer& viewer) {
  State& s = *mState;
  const int mode = GetViewModeBits();
  if (s.viewer3d && !s.viewer3d->GetOverlays().empty()) {
    s.foreground = PixelView(1, 1.0f, 0.0f, 0.0f);
    SetCamera(nullptr);
    PushReference();
    for (KIVRep* rep : s.viewer3d->GetOverlays())
      if (rep) VisitForeground(*rep);
    PopReference();
  }
  for (KIVViewpoint* viewpoint : viewer.GetForeGroundViewpoints()) {
    if (auto* v2 = dynamic_cast<KIV2DViewpoint*>(viewpoint)) {
      float cx = 0.0f, cy = 0.0f;
      v2->GetCenter(cx, cy);
      s.foreground = PixelView(v2->GetMode(), v2->GetZoom(), cx, cy);
      SetCamera(nullptr);
      PushReference();
      for (KIVRep* rep : viewpoint->GetReps())
        if (rep) VisitForeground(*rep);
      PopReference();
    } else if (auto* v3 = dynamic_cast<KIV3DViewpoint*>(viewpoint)) {
      // A 3D scene over the main one: its own camera, drawn after a depth clear.
      s.foreground = nullptr;
      KIVGLView* view = CameraView(*v3);
      view->depthTest = 1;
      SetCamera(v3);
      for (KIVRep* rep : viewpoint->GetReps())
        if (rep) Traverse(*rep);
      SetCamera(nullptr);
    }
  }
  s.foreground = nullptr;
  SetViewModeBits(mode);
}

void KIVGLRender::VisitForeground(KIVRep& rep) {
  if (rep.GetGraphicAttributeSet().GetFlag(KIVGraphicAttributeSet::Hidden)) return;
  if (auto* rep3 = dynamic_cast<KIV3DRep*>(&rep)) {
    rep3->DrawShading(*this, GetViewModeBits());
    return;
  }
  const KIV3x3Matrix* m = nullptr;
  if (auto* bag = dynamic_cast<KIV2DBagRep*>(&rep)) m = bag->GetMatrix();
  if (m) {
    // The plane's affine map (x, y, 1) × m as a placement of the 3D frame.
    const float values[16] = {m->Get(0, 0), m->Get(0, 1), 0, 0, m->Get(1, 0), m->Get(1, 1), 0, 0,
                              0,            0,            1, 0, m->Get(2, 0), m->Get(2, 1), 0, 1};
    KIV4x4Matrix placement(values);
    PushMatrix(placement);
  }
  for (KIVRep* child : rep.GetChildren())
    if (child) VisitForeground(*child);
  if (m) PopMatrix(this);
}

int KIVGLRender::ViewMode(const int mode) const {
  return (mode & (KIVViewer::Shading | KIVViewer::Edges | KIVViewer::Outline | KIVViewer::HiddenLine |
                  KIVViewer::HiddenDashed)) != 0
             ? 1
             : 0;
}
