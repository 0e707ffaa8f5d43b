#pragma once
// A linked GLSL program and its uniform locations, looked up once by name. Needs a
// current context for every operation, the destructor included.
#include <epoxy/gl.h>

#include <string>
#include <unordered_map>

class KIVGLProgram {
 public:
  KIVGLProgram() = default;
  KIVGLProgram(const KIVGLProgram&) = delete;
  KIVGLProgram& operator=(const KIVGLProgram&) = delete;
  ~KIVGLProgram();
  /// Compiles and links; 0 with the compiler's log in error when either stage fails.
  int Build(const char* vertexSource, const char* fragmentSource, std::string* error);
  GLuint GetId() const { return mId; }
  /// Frees the program now (context current), or drops it without a GL call.
  void Free();
  void Forget() { mId = 0; }
  void Use() const { glUseProgram(mId); }
  /// The uniform's location, −1 when the program has none of that name.
  GLint Uniform(const char* name);

 private:
  GLuint mId = 0;
  std::unordered_map<std::string, GLint> mLocations;
};
