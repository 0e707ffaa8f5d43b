// KIVGLRender: what the traversal records (views, cached meshes, screen symbols).
#include <algorithm>
#include <cstring>
#include <cmath>

#include "host/gl/KIVGLRender.h"
#include "host/gl/KIVGLRenderState.h"
#include "host/gl/KIVGLSimplifier.h"
#include "host/visu/scene/KIV3DAnnotationTextGP.h"
#include "host/visu/scene/KIV3DCylinderGP.h"
#include "host/visu/scene/KIV3DEdgeGP.h"
#include "host/visu/scene/KIV3DFaceGP.h"
#include "host/visu/scene/KIV3DFixedArrowGP.h"
#include "host/visu/scene/KIV3DLineGP.h"
#include "host/visu/scene/KIV3DMarkerGP.h"
#include "host/visu/scene/KIV3DPlanarFaceGP.h"
#include "host/visu/scene/KIV3DPointSetGP.h"
#include "host/visu/scene/KIV3DPolylineGP.h"
#include "host/visu/view/KIV3DViewer.h"
#include "host/visu/view/KIV3DViewpoint.h"
#include "host/visu/view/KIVViewer.h"

namespace {
// Keys of the buffer cache: a primitive's serial, with room for its tessellation levels.
constexpr int kLevelBits = 6;
unsigned long long Key(const KIVGraphicPrimitive& gp, int level = 0) {
  return gp.GetSerial() << kLevelBits | static_cast<unsigned long long>(std::clamp(level, 0, 63));
}

void Normalise(float* v) {
  const float n = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (n > 0.0f) v[0] /= n, v[1] /= n, v[2] /= n;
}

// A world direction carried into the view frame.
void ToView(const KIVGLMatrix& view, const float* world, float* out) {
  for (int i = 0; i < 3; ++i) out[i] = view.At(i, 0) * world[0] + view.At(i, 1) * world[1] + view.At(i, 2) * world[2];
  Normalise(out);
}

KIVGLMatrix ModelMatrix(const KIV4x4Matrix& placement) {
  // Row-vector rows read as OpenGL's columns: the same placement for column vectors.
  KIVGLMatrix m;
  placement.GetValues(m.m);
  return m;
}

// Triangle indices of a face: its separate triangles, then strips (every other one
// turned back so that all keep the strip's winding), then fans.
std::vector<unsigned int> FaceIndices(const KIV3DFaceGP& gp) {
  const int vertexCount = gp.GetVertexCount();
  std::vector<unsigned int> out;
  auto add = [&](int a, int b, int c) {
    if (a < 0 || b < 0 || c < 0 || a >= vertexCount || b >= vertexCount || c >= vertexCount) return;
    out.push_back(static_cast<unsigned int>(a));
    out.push_back(static_cast<unsigned int>(b));
    out.push_back(static_cast<unsigned int>(c));
  };
  const std::vector<int>& t = gp.GetTriangles();
  out.reserve(t.size());
  for (size_t i = 0; i + 2 < t.size(); i += 3) add(t[i], t[i + 1], t[i + 2]);
  const std::vector<int>& strips = gp.GetStripIndices();
  size_t at = 0;
  for (int count : gp.GetStripCounts()) {
    if (count < 0 || at + static_cast<size_t>(count) > strips.size()) break;
    for (int i = 0; i + 2 < count; ++i) {
      const int* s = &strips[at + static_cast<size_t>(i)];
      if (i % 2 == 0)
        add(s[0], s[1], s[2]);
      else
        add(s[1], s[0], s[2]);
    }
    at += static_cast<size_t>(count);
  }
  const std::vector<int>& fans = gp.GetFanIndices();
  at = 0;
  for (int count : gp.GetFanCounts()) {
    if (count < 0 || at + static_cast<size_t>(count) > fans.size()) break;
    const int* f = &fans[at];
    for (int i = 1; i + 1 < count; ++i) add(f[0], f[i], f[i + 1]);
    at += static_cast<size_t>(count);
  }
  return out;
}

// Normals for a face that has none: the plane's, or each vertex's average of the
// normals of its triangles weighted by their areas (smooth over shared vertices).
std::vector<float> FaceNormals(const std::vector<float>& vertices, const std::vector<unsigned int>& indices,
                               const float* planeNormal) {
  std::vector<float> normals(vertices.size(), 0.0f);
  if (planeNormal) {
    for (size_t i = 0; i + 2 < normals.size(); i += 3)
      normals[i] = planeNormal[0], normals[i + 1] = planeNormal[1], normals[i + 2] = planeNormal[2];
    return normals;
  }
  // Each triangle adds its unit normal weighted by its angle at the vertex: unlike an
  // area weight, that does not depend on how the surface was cut into triangles (a cube's
  // corner points along its diagonal, a tube's end ring straight out).
  for (size_t i = 0; i + 2 < indices.size(); i += 3) {
    const float* p[3] = {&vertices[3 * indices[i]], &vertices[3 * indices[i + 1]], &vertices[3 * indices[i + 2]]};
    const float u[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
    const float v[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
    float n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0f)) continue;
    for (float& x : n) x /= length;
    for (int k = 0; k < 3; ++k) {
      const float* o = p[k];
      const float* e1 = p[(k + 1) % 3];
      const float* e2 = p[(k + 2) % 3];
      const float a[3] = {e1[0] - o[0], e1[1] - o[1], e1[2] - o[2]};
      const float b[3] = {e2[0] - o[0], e2[1] - o[1], e2[2] - o[2]};
      const float la = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]);
      const float lb = std::sqrt(b[0] * b[0] + b[1] * b[1] + b[2] * b[2]);
      if (!(la > 0.0f) || !(lb > 0.0f)) continue;
      const float angle = std::acos(std::clamp((a[0] * b[0] + a[1] * b[1] + a[2] * b[2]) / (la * lb), -1.0f, 1.0f));
      for (int j = 0; j < 3; ++j) normals[3 * indices[i + k] + j] += angle * n[j];
    }
  }
  for (size_t i = 0; i + 2 < normals.size(); i += 3) Normalise(&normals[i]);
  return normals;
}

KIVGLMesh* UploadFace(KIVGLMeshCache& cache, unsigned long long key, unsigned long version, int vertexCount,
                      const KIV3DFaceGP& gp, const float* planeNormal, long long frame) {
  const std::vector<unsigned int> indices = FaceIndices(gp);
  if (indices.empty()) return nullptr;
  const std::vector<float>& vertices = gp.GetVertices();
  const std::vector<float>& given = gp.GetNormals();
  const size_t count = static_cast<size_t>(gp.GetVertexCount());
  const float* uv = gp.GetTexCoords().size() == 2 * count ? gp.GetTexCoords().data() : nullptr;
  const unsigned char* rgba = gp.GetColors().size() == 4 * count ? gp.GetColors().data() : nullptr;
  if (given.size() == vertices.size())
    return cache.Upload(key, version, vertices.data(), given.data(), uv, rgba, gp.GetVertexCount(), indices.data(),
                        static_cast<int>(indices.size()), GL_TRIANGLES, frame);
  const std::vector<float> normals = FaceNormals(vertices, indices, planeNormal);
  KIVGLMesh* mesh = cache.Upload(key, version, vertices.data(), normals.data(), uv, rgba, gp.GetVertexCount(),
                                 indices.data(), static_cast<int>(indices.size()), GL_TRIANGLES, frame);
  // A tessellated primitive is looked up by its own vertex count, not its face's.
  if (mesh && vertexCount < 0) mesh->vertexCount = -1;
  return mesh;
}

KIVGLScreenVertex Vertex(float x, float y, float z, const float* c, float u = 0.0f, float v = 0.0f) {
  return {x, y, z, u, v, c[0], c[1], c[2], c[3]};
}

void AddLine(std::vector<KIVGLScreenVertex>& out, float x0, float y0, float x1, float y1, float z, const float* c) {
  out.push_back(Vertex(x0, y0, z, c));
  out.push_back(Vertex(x1, y1, z, c));
}

void AddQuad(std::vector<KIVGLScreenVertex>& out, float x0, float y0, float x1, float y1, float z, const float* c,
             const float* uv = nullptr) {
  const float u0 = uv ? uv[0] : 0, v0 = uv ? uv[1] : 0, u1 = uv ? uv[2] : 0, v1 = uv ? uv[3] : 0;
  const KIVGLScreenVertex a = Vertex(x0, y0, z, c, u0, v0), b = Vertex(x1, y0, z, c, u1, v0),
                          d = Vertex(x1, y1, z, c, u1, v1), e = Vertex(x0, y1, z, c, u0, v1);
  out.insert(out.end(), {a, b, d, a, d, e});
}

// Opaque items go to their list; transparent ones to the view's, with the eye depth of
// their centre so that they can be drawn back to front.
void Queue(KIVGLView& view, KIVGLMeshItem& item, const float* centre, std::vector<KIVGLMeshItem>& opaque,
           bool seeThrough = false) {
  if (item.colour[3] < 1.0f || seeThrough) {
    const float in[4] = {centre[0], centre[1], centre[2], 1.0f};
    float world[4], eye[4];
    item.model.Apply(in, world);
    view.view.Apply(world, eye);
    item.depth = eye[2];
    view.transparent.push_back(item);
  } else {
    opaque.push_back(item);
  }
}

}  // namespace

// ---- Views --------------------------------------------------------------------------

KIVGLView* KIVGLRender::CurrentView() {
  State& s = *mState;
  if (!s.inFrame) return nullptr;
  if (s.foreground) return s.foreground;
  if (s.onTop) return s.onTop;
  const KIV3DViewpoint* camera = GetCamera();
  if (!camera) {
    if (!s.pixelView) s.pixelView = PixelView(1, 1.0f, 0.0f, 0.0f);
    return s.pixelView;
  }
  if (camera == s.currentCamera && s.current) return s.current;
  KIVGLView* found = nullptr;
  for (auto& view : s.views)
    if (view->camera == camera && !found) found = view.get();
  s.current = found ? found : CameraView(*camera);
  s.currentCamera = camera;
  return s.current;
}

// A view of the same camera drawn after the others: it starts with a clear depth buffer.
void KIVGLRender::BeginOnTop() {
  State& s = *mState;
  const KIV3DViewpoint* camera = GetCamera();
  if (!s.inFrame || !camera || s.foreground) return;
  s.onTop = CameraView(*camera);
}

void KIVGLRender::EndOnTop() { mState->onTop = nullptr; }

KIVGLView* KIVGLRender::CameraView(const KIV3DViewpoint& camera) {
  State& s = *mState;
  auto view = std::make_unique<KIVGLView>();
  view->camera = &camera;
  view->perspective = 1;
  const KIVMathPointf o = camera.GetOrigin();
  const KIVMathDirectionf sd = camera.GetSightDirection(), ud = camera.GetUpDirection(),
                          rd = camera.GetRightDirection();
  const float eye[3] = {o.x, o.y, o.z}, sight[3] = {sd.x, sd.y, sd.z}, up[3] = {ud.x, ud.y, ud.z},
              right[3] = {rd.x, rd.y, rd.z};
  std::copy(eye, eye + 3, view->eye);
  view->view = KIVGLMatrix::LookAlong(eye, sight, up, right);

  float nearPlane = 0.01f, farPlane = 10000.0f;
  camera.GetClippingValue(nearPlane, farPlane);
  const int ground = s.viewer3d && s.viewer3d->GetGround();
  const KIV3DBoundingSphere& sphere = s.sceneSphere;
  if (camera.GetClippingMode() == KIV3DViewpoint::ClippingAutomatic && !sphere.IsEmpty() && !sphere.IsInfinite()) {
    // The planes hug the scene's sphere (and the ground's grid around it) so that the
    // depth buffer's precision is spent on what can be seen.
    const float radius = std::max(sphere.GetRadius(), 1e-4f) * (ground ? 2.5f : 1.0f) * 1.02f;
    const float distance = (sphere.GetCenter() - o) * KIVMathVectorf(sd.x, sd.y, sd.z);
    farPlane = std::max(distance + radius, 1e-3f);
    nearPlane = std::max(distance - radius, farPlane * 1e-4f);
  }
  const float aspect = static_cast<float>(GetSupport().GetWidth()) / static_cast<float>(GetSupport().GetHeight());
  view->projection = KIVGLMatrix::Perspective(camera.GetAngle(), aspect, nearPlane, farPlane);

  KIVMathDirectionf vertical(0.0f, 0.0f, 1.0f);
  if (s.viewer3d) {
    vertical = s.viewer3d->GetVertical();
    float start = 0.0f, end = 1.0f;
    view->fog = s.viewer3d->GetFog(&start, &end) ? 1 : 0;
    view->fogRange[0] = start;
    view->fogRange[1] = end;
  }
  // The viewer's lights: the head light (from the eye), its scene lights (directions in
  // the world, the way the light travels) and its ambient light. Their diffuse share is
  // kLitBudget less the ambient, split two parts to the head light and one to each scene
  // light, so that a white face turned to every light at once reaches kLitBudget, not
  // white: faces keep their shading. Without any light on, a key light from above.
  constexpr float kLitBudget = 0.85f;
  const float v[3] = {vertical.x, vertical.y, vertical.z};
  float ambient[3] = {0.2f, 0.2f, 0.2f};
  int head = 1, scene = 0;
  if (s.viewer3d) {
    s.viewer3d->GetGlobalAmbientLight(ambient);
    head = s.viewer3d->GetHeadLight();
    scene = std::clamp(std::min(s.viewer3d->GetLightSourceCount(), s.viewer3d->GetModelWindowSL().GetLightSourceCount()),
                       0, 2);
  }
  for (int k = 0; k < 3; ++k) view->ambient[k] = std::clamp(ambient[k], 0.0f, kLitBudget);
  const float diffuse = kLitBudget - std::max({view->ambient[0], view->ambient[1], view->ambient[2]});
  const int parts = 2 * head + scene;
  int slot = 0;
  for (int k = 0; k < 3; ++k) view->lightIntensity[k] = 0.0f;
  if (head) {
    view->lightDirection[slot][0] = 0.0f, view->lightDirection[slot][1] = 0.0f, view->lightDirection[slot][2] = 1.0f;
    view->lightIntensity[slot++] = diffuse * 2.0f / static_cast<float>(parts);
  }
  for (int i = 0; i < scene; ++i) {
    const KIVMathDirectionf d = s.viewer3d->GetModelWindowSL().GetDirection(i);
    const float towards[3] = {-d.x, -d.y, -d.z};
    ToView(view->view, towards, view->lightDirection[slot]);
    view->lightIntensity[slot++] = diffuse / static_cast<float>(parts);
  }
  if (parts == 0) {
    const float key[3] = {v[0] + 0.4f * right[0] - 0.3f * sight[0], v[1] + 0.4f * right[1] - 0.3f * sight[1],
                          v[2] + 0.4f * right[2] - 0.3f * sight[2]};
    ToView(view->view, key, view->lightDirection[0]);
    view->lightIntensity[0] = diffuse;
  }

  if (ground && s.viewer3d && &camera == s.viewer3d->GetMain3DViewpoint()) {
    float height = 0.0f;
    s.viewer3d->GetGround(&height);
    const bool known = !sphere.IsEmpty() && !sphere.IsInfinite();
    const KIVMathPointf c = known ? sphere.GetCenter() : camera.GetTarget();
    const float r = known ? std::max(sphere.GetRadius(), 1e-3f) : 10.0f;
    const KIVMathVectorf n(v[0], v[1], v[2]);
    const KIVMathPointf centre = c - n * ((c.AsVector() * n) - height);
    KIVMathVectorf a = std::fabs(n.x) < 0.9f ? KIVMathVectorf(1, 0, 0) ^ n : KIVMathVectorf(0, 1, 0) ^ n;
    a.Normalize();
    const KIVMathVectorf b = n ^ a;
    const float extent = 2.0f * r;
    const float step = std::pow(10.0f, std::floor(std::log10(extent / 5.0f)));
    const int lines = std::min(100, static_cast<int>(std::ceil(extent / step)));
    for (int i = -lines; i <= lines; ++i) {
      for (int k = 0; k < 2; ++k) {
        const KIVMathVectorf along = k ? a : b, across = k ? b : a;
        const KIVMathPointf p0 = centre + across * (i * step) - along * (lines * step);
        const KIVMathPointf p1 = centre + across * (i * step) + along * (lines * step);
        view->ground.insert(view->ground.end(), {p0.x, p0.y, p0.z, p1.x, p1.y, p1.z});
      }
    }
    for (int k = 0; k < 3; ++k) view->groundColour[k] = 0.5f * s.background[k] + 0.3f;
  }
  s.views.push_back(std::move(view));
  return s.views.back().get();
}

KIVGLView* KIVGLRender::PixelView(int mode, float zoom, float cx, float cy) {
  State& s = *mState;
  auto view = std::make_unique<KIVGLView>();
  view->depthTest = 0;
  view->lit = 0;
  const float w = static_cast<float>(GetSupport().GetWidth()), h = static_cast<float>(GetSupport().GetHeight());
  // Pixels from the window's centre, y up; scene units through the zoom in mode 0.
  view->projection = KIVGLMatrix::Ortho(-0.5f * w, 0.5f * w, -0.5f * h, 0.5f * h, -1e6f, 1e6f);
  if (mode == 0 && zoom > 0.0f) {
    view->view.At(0, 0) = view->view.At(1, 1) = 1.0f / zoom;
    view->view.At(0, 3) = -cx / zoom;
    view->view.At(1, 3) = -cy / zoom;
  }
  view->eye[2] = 1e6f;
  s.views.push_back(std::move(view));
  return s.views.back().get();
}

// ---- Looks ----------------------------------------------------------------------------

namespace {
// The colour of the current attributes: the viewer's colour map, or the RGBA bytes;
// then the transparency, the highlight and the low light.
void Colour(const KIVGraphicAttributeSet& a, const KIVColorMap& colours, float* rgba) {
  const int index = a.GetColorIndex();
  if (index == KIVGraphicAttributeSet::ColorRGBA) {
    for (int k = 0; k < 3; ++k) rgba[k] = a.bytes[4 + k] / 255.0f;
  } else if (!colours.GetColor(index, rgba)) {
    rgba[0] = rgba[1] = rgba[2] = 1.0f;
  }
  rgba[3] = 1.0f;
  if (a.GetFlag(KIVGraphicAttributeSet::Transparent)) {
    const unsigned char alpha = a.bytes[7];
    rgba[3] = index == KIVGraphicAttributeSet::ColorRGBA && alpha > 0 && alpha < 255 ? alpha / 255.0f : 0.5f;
  }
  if (a.GetFlag(KIVGraphicAttributeSet::Selected)) {
    const float orange[3] = {1.0f, 0.55f, 0.0f};
    for (int k = 0; k < 3; ++k) rgba[k] = 0.35f * rgba[k] + 0.65f * orange[k];
  } else if (a.GetFlag(KIVGraphicAttributeSet::LowLighted)) {
    for (int k = 0; k < 3; ++k) rgba[k] = 0.6f * (0.4f * rgba[k] + 0.6f * 0.5f);
  }
}

// Where a point of the model frame falls: pixels (x right, y up) and the depth in
// normalised device coordinates. 0 behind the eye or beyond the depth range.
int Project(const KIVGLView& view, const KIVGLMatrix& model, int width, int height, const float* p, float* out) {
  const float in[4] = {p[0], p[1], p[2], 1.0f};
  float world[4], eye[4], clip[4];
  model.Apply(in, world);
  view.view.Apply(world, eye);
  view.projection.Apply(eye, clip);
  if (clip[3] <= 1e-12f) return 0;
  const float z = clip[2] / clip[3];
  if (z < -1.0f || z > 1.0f) return 0;
  out[0] = (clip[0] / clip[3] * 0.5f + 0.5f) * static_cast<float>(width);
  out[1] = (clip[1] / clip[3] * 0.5f + 0.5f) * static_cast<float>(height);
  // A little towards the eye, so that a symbol on a surface is not hidden by it.
  out[2] = std::max(-1.0f, z - 2e-4f);
  return 1;
}

// Texts are drawn in cells 0.6 of their height wide, as their bounds assume.
constexpr float kAdvance = 0.6f;

void AddText(std::vector<KIVGLScreenVertex>& out, const std::string& text, float x, float y, float z, float height,
             int alignment, const float* colour) {
  const std::vector<int> cells = KIVGLFont::Cells(text);
  if (cells.empty()) return;
  const float advance = kAdvance * height, width = advance * static_cast<float>(cells.size());
  const int horizontal = alignment & KIV3DAnnotationTextGP::HorizontalMask;
  const int vertical = alignment & KIV3DAnnotationTextGP::VerticalMask;
  float x0 = horizontal == KIV3DAnnotationTextGP::Center ? x - 0.5f * width
             : horizontal == KIV3DAnnotationTextGP::Right ? x - width
                                                           : x;
  float y0 = vertical == KIV3DAnnotationTextGP::Middle ? y - 0.5f * height
             : vertical == KIV3DAnnotationTextGP::Top  ? y - height
             : vertical == KIV3DAnnotationTextGP::Baseline
                 ? y - height * KIVGLFont::kBaselineRows / KIVGLFont::kCellHeight
                 : y;
  // Whole pixels keep the glyphs' edges sharp.
  x0 = std::round(x0);
  y0 = std::round(y0);
  for (size_t i = 0; i < cells.size(); ++i) {
    float uv[4];
    KIVGLFont::CellUV(cells[i], uv);
    const float left = x0 + advance * static_cast<float>(i);
    AddQuad(out, left, y0, left + advance, y0 + height, z, colour, uv);
  }
}
}  // namespace

// ---- Draw… ---------------------------------------------------------------------------

namespace {
// Levels of detail of a detailed face: level k clusters its vertices on cells of
// 1/(64 >> k) of its box's diagonal, so that it shows a sag of one cell diagonal.
// Coarser cells would keep the sag within the precision too, but on objects a few
// pixels wide they change too many pixels of the outline.
constexpr int kFaceLevels = 4;
constexpr int kMinTrianglesToSimplify = 96;

float FaceLevelCell(float radius, int level) { return 2.0f * radius / static_cast<float>(64 >> level); }

KIVGLMesh* UploadFaceLevel(KIVGLMeshCache& cache, unsigned long long key, const float* centre, float radius,
                           int level, const KIV3DFaceGP& gp, long long frame) {
  const std::vector<unsigned int> indices = FaceIndices(gp);
  const std::vector<float>& vertices = gp.GetVertices();
  const std::vector<float>& given = gp.GetNormals();
  const std::vector<float> normals =
      given.size() == vertices.size() ? given : FaceNormals(vertices, indices, nullptr);
  // What the surface does not need goes first (the rings inside a straight tube), within
  // a small part of the cell so that clustering keeps its sag; then the cells.
  const float cell = FaceLevelCell(radius, level);
  KIVGLSimplifier::Mesh lean, coarse;
  if (!KIVGLSimplifier::Collapse(vertices.data(), normals.data(), gp.GetVertexCount(), indices.data(),
                                 static_cast<int>(indices.size()), 1e-3f * cell, lean) ||
      !KIVGLSimplifier::Cluster(lean.positions.data(), lean.normals.data(), static_cast<int>(lean.positions.size() / 3),
                                lean.indices.data(), static_cast<int>(lean.indices.size()), cell, coarse) ||
      coarse.indices.empty())
    return nullptr;
  KIVGLMesh* mesh = cache.Upload(key, gp.GetGeometryVersion(), coarse.positions.data(), coarse.normals.data(),
                                 static_cast<int>(coarse.positions.size() / 3), coarse.indices.data(),
                                 static_cast<int>(coarse.indices.size()), GL_TRIANGLES, frame);
  if (mesh) {
    mesh->vertexCount = -1;  // looked up by the face's version alone
    std::copy(centre, centre + 3, mesh->centre);
  }
  return mesh;
}

}  // namespace

void KIVGLRender::DrawFace(KIV3DFaceGP& gp, const float* planeNormal) {
  KIVGLView* view = CurrentView();
  if (!view) return;
  State& s = *mState;
  KIVGLMesh* mesh = nullptr;
  // A detailed plain face seen small is drawn from a coarser level whose sag stays
  // within the sag precision.
  FaceEntry* entry = nullptr;
  if (!planeNormal && gp.GetVertexCount() > 0) {
    entry = &s.EntryOf(gp);
    FaceEntry& info = *entry;
    if (info.lastFrame == 0 || info.version != gp.GetGeometryVersion()) {
      const std::vector<float>& v = gp.GetVertices();
      float lo[3] = {v[0], v[1], v[2]}, hi[3] = {v[0], v[1], v[2]};
      for (size_t i = 3; i + 2 < v.size(); i += 3)
        for (int k = 0; k < 3; ++k) lo[k] = std::min(lo[k], v[i + k]), hi[k] = std::max(hi[k], v[i + k]);
      float d2 = 0.0f;
      for (int k = 0; k < 3; ++k) info.centre[k] = 0.5f * (lo[k] + hi[k]), d2 += (hi[k] - lo[k]) * (hi[k] - lo[k]);
      info.radius = 0.5f * std::sqrt(d2);
      info.triangles = static_cast<int>(FaceIndices(gp).size() / 3);
      const size_t count = static_cast<size_t>(gp.GetVertexCount());
      info.plain = gp.GetTexCoords().size() != 2 * count && gp.GetColors().size() != 4 * count;
      info.version = gp.GetGeometryVersion();
      info.emptyLevels = 0;
    }
    info.lastFrame = s.frame;
    if (info.plain && info.triangles >= kMinTrianglesToSimplify && info.radius > 0.0f) {
      float sags[kFaceLevels] = {0.0f};
      for (int k = 1; k < kFaceLevels; ++k) sags[k] = std::sqrt(3.0f) * FaceLevelCell(info.radius, k);
      const int level = Get3DLODNumber(KIV3DBoundingSphere(KIVMathPointf(info.centre), info.radius), kFaceLevels, sags);
      if (level > 0 && !(info.emptyLevels & (1 << level))) {
        mesh = s.FindMesh(entry, Key(gp, level), gp.GetGeometryVersion(), -1);
        if (!mesh) {
          mesh = UploadFaceLevel(s.Cache(), Key(gp, level), info.centre, info.radius, level, gp, s.frame);
          s.Remember(entry, mesh);
          if (!mesh) info.emptyLevels |= 1 << level;
        }
      }
    }
  }
  auto full = [&] {
    KIVGLMesh* uploaded =
        UploadFace(s.Cache(), Key(gp), gp.GetGeometryVersion(), gp.GetVertexCount(), gp, planeNormal, s.frame);
    s.Remember(entry, uploaded);
    return uploaded;
  };
  if (!mesh) mesh = s.FindMesh(entry, Key(gp), gp.GetGeometryVersion(), gp.GetVertexCount());
  if (!mesh) mesh = full();
  if (!mesh) return;
  mesh->reloadable = 1;
  const KIVTextureImage* image = gp.IsTextured() ? gp.GetTexture().get() : nullptr;
  const unsigned long long key = mesh->key;
  QueueFaces(
      *view, mesh, mesh->centre, image,
      [&]() -> KIVGLMesh* {
        for (int level = 1; entry && level < kFaceLevels; ++level)
          if (key == Key(gp, level)) {
            KIVGLMesh* uploaded = UploadFaceLevel(s.Cache(), key, entry->centre, entry->radius, level, gp, s.frame);
            s.Remember(entry, uploaded);
            return uploaded;
          }
        return full();
      },
      entry);
}

void KIVGLRender::QueueFaces(KIVGLView& view, KIVGLMesh* mesh, const float* centre, const KIVTextureImage* image,
                             const std::function<KIVGLMesh*()>& reload, FaceEntry* entry) {
  State& s = *mState;
  KIVGLMeshItem item;
  item.mesh = mesh;
  item.model = ModelMatrix(GetCurrentMatrix());
  Colour(GetCurrentAttributes(), s.viewer ? s.viewer->GetKIVColormap() : s.defaultColours, item.colour);
  item.vertexColors = mesh->hasColors;
  // With textures off the scene is drawn in its colours; overlays keep their images.
  const int textures = (s.viewMode & KIVViewer::Texture) || s.foreground;
  item.texture = image && mesh->hasUV && textures ? s.Textures().Get(*image, s.frame) : 0;
  ++s.primitives;
  // The same placement as last time, with no batch freed since: the same place.
  if (s.batching && entry && entry->batch >= 0 && entry->batchGeneration == s.Batches().GetGeneration() &&
      entry->placedKey == mesh->key && entry->placedVersion == mesh->version &&
      std::memcmp(entry->placedModel, item.model.m, sizeof item.model.m) == 0 &&
      std::memcmp(entry->placedColour, item.colour, sizeof item.colour) == 0) {
    item.batch = entry->batch;
    item.range = entry->range;
  }
  // A mesh whose buffers went to a batch is drawn from there; a placement the batches do
  // not hold (moved, recoloured, or its batch freed) needs the buffers again.
  if (!mesh->vbo && item.batch < 0) {
    if (s.batching && s.Batches().Locate(item)) {
      if (entry) {
        entry->batch = item.batch;
        entry->range = item.range;
        entry->batchGeneration = s.Batches().GetGeneration();
        entry->placedKey = mesh->key;
        entry->placedVersion = mesh->version;
        std::memcpy(entry->placedModel, item.model.m, sizeof item.model.m);
        std::memcpy(entry->placedColour, item.colour, sizeof item.colour);
      }
    } else {
      KIVGLMesh* again = reload ? reload() : nullptr;
      if (!again || !again->vbo) return;
      again->reloadable = 1;
      item.mesh = again;
    }
  }
  // A texture with see-through pixels blends as a transparent colour does.
  Queue(view, item, centre, view.faces, item.texture && image->HasAlpha());
}

void KIVGLRender::Draw3DFace(KIV3DFaceGP& gp) { DrawFace(gp, nullptr); }

void KIVGLRender::Draw3DPlanarFace(KIV3DPlanarFaceGP& gp) {
  const KIVMathDirectionf& n = gp.GetNormal();
  const float normal[3] = {n.x, n.y, n.z};
  DrawFace(gp, n.x == 0.0f && n.y == 0.0f && n.z == 0.0f ? nullptr : normal);
}

void KIVGLRender::Draw3DCylinder(KIV3DCylinderGP& gp, const int) {
  KIVGLView* view = CurrentView();
  if (!view) return;
  State& s = *mState;
  // The rep chose the rep's level; the cylinder's own levels are chosen here, by the
  // sag its chords show at its distance.
  const KIVMathPointf centre = gp.GetBase() + gp.GetAxis() * 0.5f;
  const float h = 0.5f * gp.GetHeight(), r = gp.GetRadius();
  const KIV3DBoundingSphere sphere(centre, std::sqrt(h * h + r * r));
  const int level = std::clamp(Get3DLODNumber(sphere, gp.GetLODCount(), gp.GetLODSags().data()), 0,
                               std::max(0, gp.GetLODCount() - 1));
  const unsigned long long key = Key(gp, level);
  FaceEntry* entry = &s.EntryOf(gp);
  entry->lastFrame = s.frame;
  auto tessellate = [&]() -> KIVGLMesh* {
    KIV3DFaceGP face;
    if (!gp.Tessellate(level, face)) return nullptr;
    KIVGLMesh* uploaded = UploadFace(s.Cache(), key, gp.GetGeometryVersion(), -1, face, nullptr, s.frame);
    s.Remember(entry, uploaded);
    return uploaded;
  };
  KIVGLMesh* mesh = s.FindMesh(entry, key, gp.GetGeometryVersion(), -1);
  if (!mesh) mesh = tessellate();
  if (!mesh) return;
  mesh->reloadable = 1;
  const float middle[3] = {centre.x, centre.y, centre.z};
  QueueFaces(*view, mesh, middle, nullptr, tessellate, entry);
}

namespace {
// Lines of a primitive as a cached mesh: positions and pairs of indices.
KIVGLMesh* LineMesh(KIVGLMeshCache& cache, const KIVGraphicPrimitive& gp, const std::vector<float>& points,
                    const std::vector<unsigned int>& pairs, long long frame) {
  const int vertexCount = static_cast<int>(points.size() / 3);
  KIVGLMesh* mesh = cache.Find(Key(gp), gp.GetGeometryVersion(), vertexCount, frame);
  if (mesh || pairs.empty()) return mesh;
  return cache.Upload(Key(gp), gp.GetGeometryVersion(), points.data(), nullptr, vertexCount, pairs.data(),
                      static_cast<int>(pairs.size()), GL_LINES, frame);
}

std::vector<unsigned int> Sequence(int count) {
  std::vector<unsigned int> out(static_cast<size_t>(count > 0 ? count : 0));
  for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<unsigned int>(i);
  return out;
}
}  // namespace

void KIVGLRender::DrawLines(const KIVGraphicPrimitive& gp, const std::vector<float>& points,
                            const std::vector<unsigned int>& pairs, int cached) {
  KIVGLView* view = CurrentView();
  if (!view) return;
  State& s = *mState;
  // The index pairs are built only when the buffers must be made again.
  KIVGLMesh* mesh = s.Cache().Find(Key(gp), gp.GetGeometryVersion(), static_cast<int>(points.size() / 3), s.frame);
  if (!mesh && cached) return;
  if (!mesh) mesh = LineMesh(s.Cache(), gp, points, pairs, s.frame);
  if (!mesh) return;
  KIVGLMeshItem item;
  item.mesh = mesh;
  item.model = ModelMatrix(GetCurrentMatrix());
  const KIVGraphicAttributeSet& a = GetCurrentAttributes();
  Colour(a, s.viewer ? s.viewer->GetKIVColormap() : s.defaultColours, item.colour);
  item.lineWidth = static_cast<float>(std::max<int>(1, a.bytes[2]));
  ++s.primitives;
  Queue(*view, item, mesh->centre, view->lines);
}

int KIVGLRender::HasLines(const KIVGraphicPrimitive& gp, int vertexCount) {
  return mState->inFrame && mState->Cache().Find(Key(gp), gp.GetGeometryVersion(), vertexCount, mState->frame);
}

void KIVGLRender::Draw3DLine(KIV3DLineGP& gp) {
  const std::vector<float>& points = gp.GetPoints();
  const int count = gp.GetSegmentCount() * 2;
  const int cached = HasLines(gp, static_cast<int>(points.size() / 3));
  DrawLines(gp, points, cached ? std::vector<unsigned int>() : Sequence(count), cached);
}

void KIVGLRender::Draw3DEdge(KIV3DEdgeGP& gp) {
  const int cached = HasLines(gp, gp.GetVertexCount());
  std::vector<unsigned int> pairs;
  if (!cached) pairs.assign(gp.GetEdges().begin(), gp.GetEdges().end());
  DrawLines(gp, gp.GetVertices(), pairs, cached);
}

void KIVGLRender::Draw3DPolyline(KIV3DPolylineGP& gp) {
  const int cached = HasLines(gp, gp.GetVertexCount());
  std::vector<unsigned int> pairs;
  if (!cached) {
    const int n = gp.GetVertexCount(), segments = gp.GetSegmentCount();
    for (int i = 0; i < segments; ++i) {
      pairs.push_back(static_cast<unsigned int>(i % n));
      pairs.push_back(static_cast<unsigned int>((i + 1) % n));
    }
  }
  DrawLines(gp, gp.GetVertices(), pairs, cached);
}

void KIVGLRender::Draw3DPointSet(KIV3DPointSetGP& gp) {
  KIVGLView* view = CurrentView();
  if (!view || gp.GetPointCount() == 0) return;
  State& s = *mState;
  const int count = gp.GetPointCount();
  KIVGLMesh* mesh = s.Cache().Find(Key(gp), gp.GetGeometryVersion(), count, s.frame);
  if (!mesh) {
    const std::vector<unsigned int> order = Sequence(count);
    const unsigned char* rgba = gp.GetColors().size() == 4 * static_cast<size_t>(count) ? gp.GetColors().data() : nullptr;
    mesh = s.Cache().Upload(Key(gp), gp.GetGeometryVersion(), gp.GetPoints().data(), nullptr, nullptr, rgba, count,
                          order.data(), count, GL_POINTS, s.frame);
  }
  if (!mesh) return;
  KIVGLMeshItem item;
  item.mesh = mesh;
  item.model = ModelMatrix(GetCurrentMatrix());
  Colour(GetCurrentAttributes(), s.viewer ? s.viewer->GetKIVColormap() : s.defaultColours, item.colour);
  item.vertexColors = mesh->hasColors;
  item.pointSize = std::clamp(gp.GetSize(), 1.0f, 64.0f);
  ++s.primitives;
  Queue(*view, item, mesh->centre, view->lines);
}

void KIVGLRender::Draw3DMarker(KIV3DMarkerGP& gp) {
  KIVGLView* view = CurrentView();
  if (!view) return;
  State& s = *mState;
  float c[4];
  Colour(GetCurrentAttributes(), s.viewer ? s.viewer->GetKIVColormap() : s.defaultColours, c);
  const KIVGLMatrix model = ModelMatrix(GetCurrentMatrix());
  const int w = GetSupport().GetWidth(), h = GetSupport().GetHeight();
  const float r = 0.5f * gp.GetSize();
  const std::vector<float>& points = gp.GetPoints();
  for (size_t i = 0; i + 2 < points.size(); i += 3) {
    float p[3];
    if (!Project(*view, model, w, h, &points[i], p)) continue;
    // Pixel centres, so that thin strokes fall on whole pixels.
    const float x = std::floor(p[0]) + 0.5f, y = std::floor(p[1]) + 0.5f, z = p[2];
    std::vector<KIVGLScreenVertex>& lines = view->screenLines;
    switch (gp.GetType()) {
      case KIV3DMarkerGP::Dot: AddQuad(view->screenTriangles, x - r, y - r, x + r, y + r, z, c); break;
      case KIV3DMarkerGP::Cross:
        AddLine(lines, x - r, y - r, x + r, y + r, z, c);
        AddLine(lines, x - r, y + r, x + r, y - r, z, c);
        break;
      case KIV3DMarkerGP::Plus:
        AddLine(lines, x - r, y, x + r, y, z, c);
        AddLine(lines, x, y - r, x, y + r, z, c);
        break;
      case KIV3DMarkerGP::Star:
        AddLine(lines, x - r, y, x + r, y, z, c);
        AddLine(lines, x, y - r, x, y + r, z, c);
        AddLine(lines, x - 0.7f * r, y - 0.7f * r, x + 0.7f * r, y + 0.7f * r, z, c);
        AddLine(lines, x - 0.7f * r, y + 0.7f * r, x + 0.7f * r, y - 0.7f * r, z, c);
        break;
      case KIV3DMarkerGP::Square:
        AddLine(lines, x - r, y - r, x + r, y - r, z, c);
        AddLine(lines, x + r, y - r, x + r, y + r, z, c);
        AddLine(lines, x + r, y + r, x - r, y + r, z, c);
        AddLine(lines, x - r, y + r, x - r, y - r, z, c);
        break;
      case KIV3DMarkerGP::Circle:
        for (int k = 0; k < 16; ++k) {
          const float a0 = 6.2831853f * k / 16.0f, a1 = 6.2831853f * (k + 1) / 16.0f;
          AddLine(lines, x + r * std::cos(a0), y + r * std::sin(a0), x + r * std::cos(a1), y + r * std::sin(a1), z, c);
        }
        break;
      default:  // Triangle
        AddLine(lines, x - r, y - 0.6f * r, x + r, y - 0.6f * r, z, c);
        AddLine(lines, x + r, y - 0.6f * r, x, y + r, z, c);
        AddLine(lines, x, y + r, x - r, y - 0.6f * r, z, c);
        break;
    }
  }
  ++s.primitives;
}

void KIVGLRender::Draw3DAnnotationText(KIV3DAnnotationTextGP& gp) {
  KIVGLView* view = CurrentView();
  if (!view || gp.GetText().empty()) return;
  State& s = *mState;
  float c[4];
  Colour(GetCurrentAttributes(), s.viewer ? s.viewer->GetKIVColormap() : s.defaultColours, c);
  const KIVMathPointf anchor = gp.GetAnchor();
  const float at[3] = {anchor.x, anchor.y, anchor.z};
  float p[3];
  if (!Project(*view, ModelMatrix(GetCurrentMatrix()), GetSupport().GetWidth(), GetSupport().GetHeight(), at, p))
    return;
  AddText(view->glyphs, gp.GetText(), p[0], p[1], p[2], gp.GetHeight(), gp.GetAlignment(), c);
  ++s.primitives;
}

void KIVGLRender::Draw3DFixedArrow(KIV3DFixedArrowGP& gp) {
  KIVGLView* view = CurrentView();
  if (!view || gp.GetLength() <= 0.0f) return;
  State& s = *mState;
  float c[4];
  Colour(GetCurrentAttributes(), s.viewer ? s.viewer->GetKIVColormap() : s.defaultColours, c);
  const KIVGLMatrix model = ModelMatrix(GetCurrentMatrix());
  const int w = GetSupport().GetWidth(), h = GetSupport().GetHeight();
  const KIVMathPointf o = gp.GetOrigin();
  const KIVMathVectorf d = gp.GetDirection();
  const float origin[3] = {o.x, o.y, o.z};
  float p0[3], p1[3];
  if (!Project(*view, model, w, h, origin, p0)) return;
  // The direction on screen: where a short step along it lands, the step scaled to the
  // distance so that it stays in front of the eye.
  float world[4];
  const float in[4] = {o.x, o.y, o.z, 1.0f};
  model.Apply(in, world);
  const float dx = world[0] - view->eye[0], dy = world[1] - view->eye[1], dz = world[2] - view->eye[2];
  const float step = std::max(1e-4f, 0.01f * std::sqrt(dx * dx + dy * dy + dz * dz));
  const float scale = 1.0f / std::max(1e-12f, std::sqrt(model.At(0, 0) * model.At(0, 0) + model.At(1, 0) * model.At(1, 0) +
                                                       model.At(2, 0) * model.At(2, 0)));
  const float tip[3] = {o.x + d.x * step * scale, o.y + d.y * step * scale, o.z + d.z * step * scale};
  if (!Project(*view, model, w, h, tip, p1)) return;
  float sx = p1[0] - p0[0], sy = p1[1] - p0[1];
  const float n = std::sqrt(sx * sx + sy * sy);
  const float length = gp.GetLength() / KIVGraphicPrimitive::kMillimetresPerPixel;
  float ex = p0[0], ey = p0[1];
  if (n > 1e-6f) {
    sx /= n, sy /= n;
    ex = p0[0] + sx * length, ey = p0[1] + sy * length;
    AddLine(view->screenLines, p0[0], p0[1], ex, ey, p0[2], c);
    if (gp.GetStyle() & KIV3DFixedArrowGP::StyleHead) {
      const float head = std::min(0.3f * length, 12.0f), half = 0.4f * head;
      const float bx = ex - sx * head, by = ey - sy * head;
      const float lx = bx - sy * half, ly = by + sx * half, rx = bx + sy * half, ry = by - sx * half;
      if (gp.GetStyle() & KIV3DFixedArrowGP::StyleFilledHead) {
        view->screenTriangles.insert(view->screenTriangles.end(),
                                     {Vertex(ex, ey, p0[2], c), Vertex(lx, ly, p0[2], c), Vertex(rx, ry, p0[2], c)});
      } else {
        AddLine(view->screenLines, ex, ey, lx, ly, p0[2], c);
        AddLine(view->screenLines, ex, ey, rx, ry, p0[2], c);
      }
    }
  }
  if ((gp.GetStyle() & KIV3DFixedArrowGP::StyleText) && !gp.GetText().empty())
    AddText(view->glyphs, gp.GetText(), ex + 2.0f, ey + 2.0f, p0[2], 12.0f, KIV3DAnnotationTextGP::Left, c);
  ++s.primitives;
}
