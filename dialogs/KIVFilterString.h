#pragma once
// A compiled wildcard pattern that filters list lines by their first column. Grammar:
// "*" matches any run of characters, "[...]" one character of a class (ranges "a-z", no
// negation, no escape), any other run is literal text. Matching is case-sensitive and
// anchored at the start of the text only: once every segment has matched, whatever
// follows is accepted. At most 31 segments are kept; the rest of a pattern is ignored.

#include <cstdint>

class KIVFilterString {
 public:
  static constexpr int kMaxSegments = 31;
  /// Segment kinds.
  static constexpr int kLiteral = 0, kStar = 1, kClass = 2;

  /// A null pattern gives "*".
  explicit KIVFilterString(const char* pattern = nullptr);
  KIVFilterString(const KIVFilterString& other);
  KIVFilterString& operator=(const KIVFilterString& other);
  ~KIVFilterString();

  /// Trailing blanks, newlines and NULs are removed, the rest stored and compiled. A null
  /// pattern gives "*". Patterns longer than 32767 bytes are cut there.
  void SetFilter(const char* pattern);
  /// The stored (trimmed) pattern text; never null.
  const char* GetFilter() const { return mPattern ? mPattern : ""; }
  /// 1 when the text (its trailing newlines removed) matches, else 0. A null text is
  /// matched as the empty text.
  int CheckFromFilter(const char* text) const;

  int GetSegmentCount() const { return mNbSegment; }
  /// Kind of a segment (kLiteral, kStar, kClass), -1 out of range.
  int GetSegmentKind(int segment) const;
  /// 1 when the class of that segment contains the byte c (codes 255 and above never).
  int ClassContains(int segment, int c) const;

  /// Star trial positions of the last match, one per segment (class-wide, reset at each call).
  static int saStarTrial[kMaxSegments + 1];

 private:
  void Compile();

  std::int16_t mNbSegment = 0;
  std::uint16_t mStart[kMaxSegments + 1] = {};  // start of each segment; mStart[k+1] ends segment k
  int mKind[kMaxSegments + 1] = {};
  int mClass[255] = {};  // bit k: segment k's class holds that character code
  char* mPattern = nullptr;
  std::int16_t mLength = 0;
};
