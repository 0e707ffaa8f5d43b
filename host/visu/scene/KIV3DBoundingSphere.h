#pragma once
// The bounding volume of the scene tree: a sphere in the rep's own frame, plus a second
// radius in millimetres on screen for things drawn at a fixed screen size (markers,
// texts, arrows), whose model radius may be 0. A sphere is empty (encloses nothing,
// the default), finite, or infinite (encloses everything).

#include <bit>
#include <cstdint>
#include <limits>

#include "host/visu/math/KIV4x4Matrix.h"
#include "host/visu/math/KIVMathPointf.h"

class KIV3DBoundingSphere {
 public:
  /// The empty sphere: centre at the origin, both radii 0.
  KIV3DBoundingSphere() = default;
  /// A finite sphere; a negative or NaN radius is taken as 0.
  KIV3DBoundingSphere(const KIVMathPointf& centre, float radius, float radiusMM = 0.0f)
      : mCentre(centre), mRadius(NonNegative(radius)), mRadiusMM(NonNegative(radiusMM)), mState(State::Finite) {}

  const KIVMathPointf& GetCenter() const { return mCentre; }
  float GetRadius() const { return mRadius; }
  float GetRadiusMM() const { return mRadiusMM; }
  /// These make the sphere finite.
  void SetCenter(const KIVMathPointf& centre);
  void SetRadius(float radius);
  void SetRadiusMM(float radiusMM);

  int IsEmpty() const { return mState == State::Empty; }
  int IsInfinite() const { return mState == State::Infinite; }
  void SetEmpty() { *this = KIV3DBoundingSphere(); }
  void SetInfinite();

  /// The smallest sphere enclosing both; the millimetre radius is the larger of the two.
  /// Empty spheres add nothing; an infinite one absorbs everything.
  KIV3DBoundingSphere& operator+=(const KIV3DBoundingSphere& other);
  /// Carries the sphere by a placement: the centre moves, the radius grows with the
  /// largest stretch of the matrix (so it still encloses what it enclosed).
  KIV3DBoundingSphere& operator*=(const KIV4x4Matrix& m);
  /// The same with the matrix's largest stretch given (m.GetMaxScale()), for a caller
  /// that carries many spheres by one matrix.
  KIV3DBoundingSphere& Transform(const KIV4x4Matrix& m, float maxScale);
  KIV3DBoundingSphere operator*(const KIV4x4Matrix& m) const {
    KIV3DBoundingSphere s = *this;
    return s *= m;
  }

  /// 1 when the point lies in the closed ball (never for an empty sphere).
  int IsInside(const KIVMathPointf& p) const;
  /// 1 when the other sphere lies wholly inside this one (an empty one always does).
  int IsInside(const KIV3DBoundingSphere& other) const;

  /// The next float above x (std::nextafter(x, +infinity)), without the library call: a
  /// bound over a large scene rounds a radius up once per rep.
  static float NextUp(float x) {
    if (!(x < std::numeric_limits<float>::infinity())) return x;  // +infinity, NaN
    if (x == 0.0f) return std::numeric_limits<float>::denorm_min();
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(x);
    return std::bit_cast<float>(x > 0.0f ? bits + 1 : bits - 1);
  }

 private:
  static float NonNegative(float r) { return r > 0.0f ? r : 0.0f; }  // NaN fails the test too
  // A whole word, so that the sphere is 24 bytes of aligned words: a copy made of one
  // 16-byte and one 8-byte move then reads back what the last writes stored, instead of
  // straddling them and waiting for them to drain (a bound unites a hundred thousand).
  enum class State : unsigned int { Empty, Finite, Infinite };
  KIVMathPointf mCentre;
  float mRadius = 0.0f;
  float mRadiusMM = 0.0f;
  State mState = State::Empty;
};
