#include "bench/OsgPlant.h"

#include <epoxy/egl.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>

#include <osg/CullSettings>
#include <osg/Geode>
#include <osg/Geometry>
#include <osg/MatrixTransform>
#include <osgViewer/Viewer>

#include "bench/PlantScene.h"

const float OsgPlant::kBackground[3] = {0.2f, 0.25f, 0.3f};

struct OsgPlant::Impl {
  EGLDisplay display = EGL_NO_DISPLAY;
  EGLContext context = EGL_NO_CONTEXT;
  GLuint fbo = 0, colour = 0, depth = 0;
  int width = 0, height = 0;
  osg::ref_ptr<osgViewer::Viewer> viewer;
  osg::observer_ptr<osgViewer::GraphicsWindowEmbedded> window;
};

namespace {

// Smooth normals as our back end computes them for a face without normals: each vertex
// gets the sum of its triangles' unit normals weighted by their angles at the vertex.
osg::ref_ptr<osg::Vec3Array> Normals(const std::vector<float>& v, const std::vector<int>& indices) {
  osg::ref_ptr<osg::Vec3Array> n = new osg::Vec3Array(static_cast<unsigned>(v.size() / 3));
  for (size_t i = 0; i + 2 < indices.size(); i += 3) {
    osg::Vec3 p[3];
    for (int k = 0; k < 3; ++k) p[k].set(v[3 * indices[i + k]], v[3 * indices[i + k] + 1], v[3 * indices[i + k] + 2]);
    osg::Vec3 face = (p[1] - p[0]) ^ (p[2] - p[0]);
    if (!(face.normalize() > 0.0f)) continue;
    for (int k = 0; k < 3; ++k) {
      osg::Vec3 a = p[(k + 1) % 3] - p[k], b = p[(k + 2) % 3] - p[k];
      if (!(a.normalize() > 0.0f) || !(b.normalize() > 0.0f)) continue;
      (*n)[indices[i + k]] += face * std::acos(std::clamp(a * b, -1.0f, 1.0f));
    }
  }
  for (osg::Vec3& x : *n) x.normalize();
  return n;
}

osg::ref_ptr<osg::Node> Build(const PlantScene& plant) {
  osg::ref_ptr<osg::Group> root = new osg::Group;
  const std::vector<int>& indices = plant.GetIndices();
  for (int i = 0; i < plant.GetModelCount(); ++i) {
    const PlantScene::Model& m = plant.GetModel(i);
    osg::ref_ptr<osg::Geometry> geometry = new osg::Geometry;
    osg::ref_ptr<osg::Vec3Array> vertices = new osg::Vec3Array(static_cast<unsigned>(m.vertices.size() / 3));
    for (size_t k = 0; k < vertices->size(); ++k)
      (*vertices)[k].set(m.vertices[3 * k], m.vertices[3 * k + 1], m.vertices[3 * k + 2]);
    geometry->setVertexArray(vertices);
    geometry->setNormalArray(Normals(m.vertices, indices), osg::Array::BIND_PER_VERTEX);
    osg::ref_ptr<osg::Vec4Array> colour = new osg::Vec4Array(1);
    (*colour)[0].set(1.0f, 1.0f, 1.0f, 1.0f);
    geometry->setColorArray(colour, osg::Array::BIND_OVERALL);
    // Its best path on Mesa: vertex buffer objects (display lists measured slower).
    geometry->setUseDisplayList(false);
    geometry->setUseVertexBufferObjects(true);
    if (vertices->size() <= 65536) {
      osg::ref_ptr<osg::DrawElementsUShort> e = new osg::DrawElementsUShort(GL_TRIANGLES);
      for (int x : indices) e->push_back(static_cast<unsigned short>(x));
      geometry->addPrimitiveSet(e);
    } else {
      osg::ref_ptr<osg::DrawElementsUInt> e = new osg::DrawElementsUInt(GL_TRIANGLES);
      for (int x : indices) e->push_back(static_cast<unsigned>(x));
      geometry->addPrimitiveSet(e);
    }
    osg::ref_ptr<osg::Geode> geode = new osg::Geode;
    geode->addDrawable(geometry);
    // Our placements map row vectors, as OSG's matrices do.
    float values[16];
    m.matrix.GetValues(values);
    osg::Matrixd matrix;
    for (int r = 0; r < 4; ++r)
      for (int c = 0; c < 4; ++c) matrix(r, c) = values[4 * r + c];
    osg::ref_ptr<osg::MatrixTransform> placed = new osg::MatrixTransform(matrix);
    placed->addChild(geode);
    root->addChild(placed);
  }
  return root;
}

}  // namespace

std::unique_ptr<OsgPlant> OsgPlant::Create(const PlantScene& plant, int width, int height, float cullPixels,
                                           std::string* error) {
  auto fail = [error](const char* why) {
    if (error) *error = why;
    return std::unique_ptr<OsgPlant>();
  };
  EGLDisplay display = eglGetCurrentDisplay();
  if (display == EGL_NO_DISPLAY) return fail("no current EGL display");
  const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, 0, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint found = 0;
  if (!eglChooseConfig(display, configAttributes, &config, 1, &found) || found < 1) {
    if (!epoxy_has_egl_extension(display, "EGL_KHR_no_config_context")) return fail("no EGL config");
    config = EGL_NO_CONFIG_KHR;
  }
  const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                      EGL_NONE};
  EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
  if (context == EGL_NO_CONTEXT) return fail("no compatibility-profile context");
  if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
    eglDestroyContext(display, context);
    return fail("the compatibility-profile context cannot be made current");
  }
  std::unique_ptr<OsgPlant> peer(new OsgPlant);
  peer->mImpl = std::make_unique<Impl>();
  Impl& p = *peer->mImpl;
  p.display = display;
  p.context = context;
  p.width = width;
  p.height = height;
  glGenFramebuffers(1, &p.fbo);
  glGenRenderbuffers(1, &p.colour);
  glGenRenderbuffers(1, &p.depth);
  glBindRenderbuffer(GL_RENDERBUFFER, p.colour);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  glBindRenderbuffer(GL_RENDERBUFFER, p.depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
  glBindFramebuffer(GL_FRAMEBUFFER, p.fbo);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, p.colour);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, p.depth);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return fail("incomplete framebuffer");

  p.viewer = new osgViewer::Viewer;
  p.viewer->setThreadingModel(osgViewer::ViewerBase::SingleThreaded);
  p.window = p.viewer->setUpViewerAsEmbeddedInWindow(0, 0, width, height);
  p.window->setDefaultFboId(p.fbo);
  p.viewer->setSceneData(Build(plant));
  p.viewer->setLightingMode(osg::View::HEADLIGHT);
  osg::Camera* camera = p.viewer->getCamera();
  camera->setClearColor(osg::Vec4(kBackground[0], kBackground[1], kBackground[2], 1.0f));
  camera->setProjectionMatrixAsPerspective(plant.GetFieldOfView() * 180.0 / M_PI,
                                           static_cast<double>(width) / height, 1.0, 1000.0);
  const osg::Vec3d eye(plant.GetEye().x, plant.GetEye().y, plant.GetEye().z);
  const osg::Vec3d target(plant.GetTarget().x, plant.GetTarget().y, plant.GetTarget().z);
  camera->setViewMatrixAsLookAt(eye, target, osg::Vec3d(0.0, 0.0, 1.0));
  if (cullPixels > 0.0f) {
    camera->setCullingMode(camera->getCullingMode() | osg::CullSettings::SMALL_FEATURE_CULLING);
    camera->setSmallFeatureCullingPixelSize(cullPixels);
  } else {
    camera->setCullingMode(camera->getCullingMode() & ~osg::CullSettings::SMALL_FEATURE_CULLING);
  }
  p.viewer->realize();
  return peer;
}

OsgPlant::~OsgPlant() {
  if (!mImpl) return;
  Impl& p = *mImpl;
  eglMakeCurrent(p.display, EGL_NO_SURFACE, EGL_NO_SURFACE, p.context);
  p.viewer = nullptr;  // releases OSG's GL objects while its context is current
  glDeleteFramebuffers(1, &p.fbo);
  glDeleteRenderbuffers(1, &p.colour);
  glDeleteRenderbuffers(1, &p.depth);
  eglMakeCurrent(p.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
  eglDestroyContext(p.display, p.context);
}

void OsgPlant::Frame() {
  Impl& p = *mImpl;
  eglMakeCurrent(p.display, EGL_NO_SURFACE, EGL_NO_SURFACE, p.context);
  glBindFramebuffer(GL_FRAMEBUFFER, p.fbo);
  p.viewer->frame();
  glFinish();
}

std::vector<unsigned char> OsgPlant::ReadPixels() {
  Impl& p = *mImpl;
  eglMakeCurrent(p.display, EGL_NO_SURFACE, EGL_NO_SURFACE, p.context);
  glBindFramebuffer(GL_FRAMEBUFFER, p.fbo);
  std::vector<unsigned char> rgba(4 * static_cast<size_t>(p.width) * p.height);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, p.width, p.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return rgba;
}
