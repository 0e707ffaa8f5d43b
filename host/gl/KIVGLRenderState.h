#pragma once
// The OpenGL side of KIVGLRender, kept out of its header so that users of the render
// never see a GL header: programs and their uniforms, the buffer cache, the font, the
// framebuffer, the streaming buffers and the frame being recorded.
#include <chrono>
#include <memory>
#include <unordered_map>
#include <string>
#include <vector>

#include "host/gl/KIVGLBatches.h"
#include "host/gl/KIVGLFont.h"
#include "host/gl/KIVGLFrame.h"
#include "host/gl/KIVGLMeshCache.h"
#include "host/gl/KIVGLProgram.h"
#include "host/gl/KIVGLRender.h"
#include "host/gl/KIVGLShareGroup.h"
#include "host/gl/KIVGLTarget.h"
#include "host/gl/KIVGLTextureCache.h"
#include "host/visu/scene/KIV3DBoundingSphere.h"
#include "host/visu/view/KIVColorMap.h"
class KIV3DViewer;
class KIV3DViewpoint;

/// What a render keeps for one primitive between frames.
struct KIVGLRender::FaceEntry {
  unsigned long long serial = 0;  // the primitive's; 0 for a free entry
  /// What chooses a face's level of detail, kept apart from its buffers so that a face
  /// drawn only coarse never uploads its full mesh.
  unsigned long version = 0;
  float centre[3] = {0, 0, 0};
  float radius = 0.0f;
  int triangles = 0;
  int plain = 0;  // no texture coordinates or vertex colours
  int emptyLevels = 0;  // bit k: level k clusters to nothing, so the face is drawn whole
  long long lastFrame = 0;
  /// The mesh drawn last, while the cache's generation holds.
  KIVGLMesh* mesh = nullptr;
  unsigned long long meshGeneration = 0;
  /// Where the batches held the last placement queued, while their generation holds.
  int batch = -1, range = -1;
  unsigned long long batchGeneration = 0;
  unsigned long long placedKey = 0;
  unsigned long placedVersion = 0;
  float placedModel[16] = {};
  float placedColour[4] = {};
};

struct KIVGLRender::State {
  State();
  std::string error;
  int ready = 0;
  /// The mesh program's two builds (KIVGLShaders::kMeshVariant): lean, and full for fog
  /// and textures. Uniforms a build lacks have location −1, which GL ignores.
  KIVGLProgram meshPrograms[2], screenProgram;
  struct MeshUniforms {
    GLint model, view, projection, normalMatrix, color, lit, perspective, lightDirection, lightIntensity, ambient,
        fog, fogRange, fogColor, pointSize, vertexColors, textured, texture;
  };
  MeshUniforms meshUniforms[2]{};
  MeshUniforms mesh{};  // the build in use's
  int meshFull = -1;    // the build in use, −1 when another program is
  /// Triangles between flushes of the batches' draw (KIVGLBatches::Draw): on a software
  /// rasteriser a frame of 96k small triangles takes about a third less in chunks of this
  /// size; a GPU starts on its own, and is given the frame whole (0).
  int flushTriangles = 0;
  static constexpr int kSoftwareFlushTriangles = 8000;
  /// Makes the full build (full != 0) or the lean one current.
  void UseMesh(int full);
  struct {
    GLint size, font, textured;
  } screen{};
  /// The buffers and textures, the render's own or shared with renders of other contexts.
  std::shared_ptr<KIVGLShareGroup> group;
  KIVGLMeshCache& Cache() { return group->GetMeshCache(); }
  KIVGLTextureCache& Textures() { return group->GetTextureCache(); }
  KIVGLBatches& Batches() { return group->GetBatches(); }
  /// This context's vertex array over each mesh drawn (arrays are not shared), rebuilt
  /// when the mesh was uploaded again.
  struct MeshVao {
    GLuint vao = 0;
    unsigned long long upload = 0;
    long long lastFrame = 0;
  };
  std::unordered_map<const KIVGLMesh*, MeshVao> vaos;
  GLuint VaoOf(const KIVGLMesh& mesh);
  /// This context's vertex array over each batch of the group it draws, by serial.
  std::unordered_map<unsigned long long, MeshVao> batchVaos;
  GLuint VaoOf(const KIVGLBatches::Buffers& batch);
  long long lastSweep = 0;
  /// What this render keeps for each face and cylinder it draws, reached through the
  /// primitive's note so that a frame of an unchanged scene looks nothing up.
  std::vector<FaceEntry> faceEntries;
  std::vector<unsigned int> freeFaceEntries;
  /// Entries by primitive serial, for primitives whose note another render took.
  std::unordered_map<unsigned long long, unsigned int> faceSlots;
  const unsigned long long id;  // names this render in the primitives' notes
  FaceEntry& EntryOf(const KIVGraphicPrimitive& gp);
  /// The cached mesh of key (as KIVGLMeshCache::Find), through the entry's when it has it.
  KIVGLMesh* FindMesh(FaceEntry* entry, unsigned long long key, unsigned long version, int vertexCount);
  void Remember(FaceEntry* entry, KIVGLMesh* mesh);
  /// Frees the entries of primitives not drawn since frame − idle.
  void SweepEntries(long long idle);
  int batching = 1;
  std::vector<const KIVGLMeshItem*> loose;  // scratch: opaque faces drawn one by one
  KIVGLFont font;
  KIVGLTarget target;
  GLuint streamVao = 0, streamVbo = 0;  // screen vertices
  GLuint groundVao = 0, groundVbo = 0;  // world positions only
  std::vector<float> groundUploaded;     // what groundVbo holds
  GLuint queries[2] = {0, 0};
  int queryIssued[2] = {0, 0};
  int queryIndex = 0;
  float lineWidths[2] = {1.0f, 1.0f};  // the widths the context draws

  // The frame being recorded.
  KIVViewer* viewer = nullptr;
  KIV3DViewer* viewer3d = nullptr;
  int inFrame = 0;
  long long frame = 0;
  std::vector<std::unique_ptr<KIVGLView>> views;
  KIVGLView* current = nullptr;        // the view of currentCamera
  const void* currentCamera = nullptr;
  KIVGLView* foreground = nullptr;     // set while overlays and 2D viewpoints are visited
  KIVGLView* onTop = nullptr;          // set while what goes over the scene is drawn
  KIVGLView* pixelView = nullptr;      // for what is drawn without a camera
  KIV3DBoundingSphere sceneSphere;
  float background[3] = {0, 0, 0};
  int viewMode = 1;
  long long evictedSinceTrim = 0;  // bytes of mesh buffers given back since the heap was trimmed
  std::chrono::steady_clock::time_point start;
  long long uploadsAtStart = 0;
  int primitives = 0;
  int batchedItems = 0, drawCalls = 0;  // of the frame's opaque faces
  KIVColorMap defaultColours;

  /// Builds the programs and buffers; sets error and returns 0 on failure.
  int Build();
  /// Frees every GL object (the context must be current).
  void Free();
  /// Drops every GL object without a GL call: the context and its objects are gone.
  void Forget();
  /// Draws one recorded view into the bound framebuffer.
  void DrawView(KIVGLView& view, int width, int height, long long& triangles);
  void DrawMesh(const KIVGLMeshItem& item, const KIVGLView& view, int lit, const float* colour);
  void DrawScreen(const std::vector<KIVGLScreenVertex>& vertices, GLenum mode, int textured);
};
