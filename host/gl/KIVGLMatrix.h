#pragma once
// 4 × 4 matrices as OpenGL takes them (column-major, column vectors) for the camera and
// projection; the scene's row-vector placements read straight into this layout.
#include <cmath>

struct KIVGLMatrix {
  float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

  float& At(int row, int column) { return m[column * 4 + row]; }
  float At(int row, int column) const { return m[column * 4 + row]; }

  /// this × b: b applies first.
  KIVGLMatrix operator*(const KIVGLMatrix& b) const {
    KIVGLMatrix r;
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) {
        float s = 0.0f;
        for (int k = 0; k < 4; ++k) s += At(i, k) * b.At(k, j);
        r.At(i, j) = s;
      }
    return r;
  }
  /// The image of (x, y, z, w).
  void Apply(const float* in, float* out) const {
    for (int i = 0; i < 4; ++i) out[i] = At(i, 0) * in[0] + At(i, 1) * in[1] + At(i, 2) * in[2] + At(i, 3) * in[3];
  }
  static KIVGLMatrix Perspective(float fovyDegrees, float aspect, float nearPlane, float farPlane) {
    KIVGLMatrix r;
    const float f = 1.0f / std::tan(0.5f * fovyDegrees * 0.017453292f);
    r.At(0, 0) = f / aspect;
    r.At(1, 1) = f;
    r.At(2, 2) = (farPlane + nearPlane) / (nearPlane - farPlane);
    r.At(2, 3) = 2.0f * farPlane * nearPlane / (nearPlane - farPlane);
    r.At(3, 2) = -1.0f;
    r.At(3, 3) = 0.0f;
    return r;
  }
  static KIVGLMatrix Ortho(float left, float right, float bottom, float top, float nearPlane, float farPlane) {
    KIVGLMatrix r;
    r.At(0, 0) = 2.0f / (right - left);
    r.At(1, 1) = 2.0f / (top - bottom);
    r.At(2, 2) = -2.0f / (farPlane - nearPlane);
    r.At(0, 3) = -(right + left) / (right - left);
    r.At(1, 3) = -(top + bottom) / (top - bottom);
    r.At(2, 3) = -(farPlane + nearPlane) / (farPlane - nearPlane);
    return r;
  }
  /// The camera frame: right, up and back (−sight) as rows, the eye at the origin.
  static KIVGLMatrix LookAlong(const float* eye, const float* sight, const float* up, const float* right) {
    KIVGLMatrix r;
    for (int k = 0; k < 3; ++k) {
      r.At(0, k) = right[k];
      r.At(1, k) = up[k];
      r.At(2, k) = -sight[k];
    }
    for (int i = 0; i < 3; ++i) r.At(i, 3) = -(r.At(i, 0) * eye[0] + r.At(i, 1) * eye[1] + r.At(i, 2) * eye[2]);
    return r;
  }
  /// The inverse transpose of the upper 3 × 3 block, column-major, for normals; the
  /// block itself when it is singular.
  void NormalMatrix(float* out) const {
    const float a = At(0, 0), b = At(0, 1), c = At(0, 2), d = At(1, 0), e = At(1, 1), f = At(1, 2), g = At(2, 0),
                h = At(2, 1), i = At(2, 2);
    const float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    if (std::fabs(det) < 1e-30f) {
      for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row) out[col * 3 + row] = At(row, col);
      return;
    }
    const float k = 1.0f / det;
    // The cofactor matrix over the determinant is the inverse transpose.
    const float cof[3][3] = {{e * i - f * h, f * g - d * i, d * h - e * g},
                             {c * h - b * i, a * i - c * g, b * g - a * h},
                             {b * f - c * e, c * d - a * f, a * e - b * d}};
    for (int row = 0; row < 3; ++row)
      for (int col = 0; col < 3; ++col) out[col * 3 + row] = cof[row][col] * k;
  }
};
