#pragma once
// The GPU side of one cached primitive.
#include <epoxy/gl.h>

/// One uploaded primitive: interleaved positions, normals (faces, 10 bits a component),
/// texture coordinates and colours when the primitive has them, and an index buffer. Buffers only: they may be
/// drawn from several contexts sharing them, each with a vertex array of its own.
struct KIVGLMesh {
  GLuint vbo = 0, ibo = 0;  // both 0 once evicted: the description stays, for the batches' lookup
  unsigned long long upload = 0;       // names this upload of the buffers among all of the cache
  int hasNormals = 0;                  // vertex attribute 1
  GLenum mode = GL_TRIANGLES;          // GL_TRIANGLES, GL_LINES or GL_POINTS
  int hasUV = 0, hasColors = 0;        // vertex attributes 2 and 3
  GLenum indexType = GL_UNSIGNED_INT;  // GL_UNSIGNED_SHORT when the vertices allow
  int indexCount = 0;
  int vertexCount = 0;      // as the primitive had it when uploaded (-1: not compared)
  int vertices = 0;         // in the buffers
  int triangles = 0;        // drawn per submission
  unsigned long version = 0;  // the primitive's geometry version when uploaded
  unsigned long long key = 0;  // the cache's key: with version, names the geometry for good
  int floatsPerVertex = 0;     // interleaved: position, then normal (packed), uv, colour when present
  long long lastFrame = 0;  // the frame that last drew it
  int reloadable = 0;       // its primitive can upload it again, so its buffers may go once batched
  float centre[3] = {0.0f, 0.0f, 0.0f};  // of its box, in its own frame (sorting)
  float radius = 0.0f;                   // half its box's diagonal
};
