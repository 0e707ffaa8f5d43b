#include "host/gl/KIVGLProgram.h"

#include <vector>

namespace {
std::string Log(GLuint object, bool program) {
  GLint length = 0;
  program ? glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length) : glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
  std::vector<char> text(static_cast<size_t>(length > 1 ? length : 1), '\0');
  program ? glGetProgramInfoLog(object, length, nullptr, text.data())
          : glGetShaderInfoLog(object, length, nullptr, text.data());
  return text.data();
}

GLuint Compile(GLenum stage, const char* source, std::string* error) {
  const GLuint shader = glCreateShader(stage);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = 0;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok) return shader;
  if (error) *error = std::string(stage == GL_VERTEX_SHADER ? "vertex" : "fragment") + " shader: " + Log(shader, false);
  glDeleteShader(shader);
  return 0;
}
}  // namespace

KIVGLProgram::~KIVGLProgram() { Free(); }

void KIVGLProgram::Free() {
  if (mId) glDeleteProgram(mId);
  mId = 0;
  mLocations.clear();
}

int KIVGLProgram::Build(const char* vertexSource, const char* fragmentSource, std::string* error) {
  if (!vertexSource || !fragmentSource) {
    if (error) *error = "a shader source is missing";
    return 0;
  }
  const GLuint vs = Compile(GL_VERTEX_SHADER, vertexSource, error);
  if (!vs) return 0;
  const GLuint fs = Compile(GL_FRAGMENT_SHADER, fragmentSource, error);
  if (!fs) {
    glDeleteShader(vs);
    return 0;
  }
  const GLuint program = glCreateProgram();
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glLinkProgram(program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  GLint ok = 0;
  glGetProgramiv(program, GL_LINK_STATUS, &ok);
  if (!ok) {
    if (error) *error = "link: " + Log(program, true);
    glDeleteProgram(program);
    return 0;
  }
  if (mId) glDeleteProgram(mId);
  mId = program;
  mLocations.clear();
  return 1;
}

GLint KIVGLProgram::Uniform(const char* name) {
  auto it = mLocations.find(name);
  if (it != mLocations.end()) return it->second;
  const GLint location = mId ? glGetUniformLocation(mId, name) : -1;
  mLocations.emplace(name, location);
  return location;
}
