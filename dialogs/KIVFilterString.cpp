#include "dialogs/KIVFilterString.h"

#include <cstring>
#include <new>

int KIVFilterString::saStarTrial[kMaxSegments + 1];

namespace {
constexpr int kMaxLength = 32767;

char* Duplicate(const char* text, int length) {
  char* copy = new (std::nothrow) char[length + 1];
  if (!copy) return nullptr;
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}
}  // namespace

KIVFilterString::KIVFilterString(const char* pattern) { SetFilter(pattern); }

KIVFilterString::KIVFilterString(const KIVFilterString& other) { *this = other; }

KIVFilterString& KIVFilterString::operator=(const KIVFilterString& other) {
  if (this == &other) return *this;
  char* copy = Duplicate(other.mPattern ? other.mPattern : "*", other.mPattern ? other.mLength : 1);
  if (!copy) return *this;  // keeps the previous pattern
  delete[] mPattern;
  mPattern = copy;
  mLength = other.mPattern ? other.mLength : 1;
  mNbSegment = other.mNbSegment;
  std::memcpy(mStart, other.mStart, sizeof mStart);
  std::memcpy(mKind, other.mKind, sizeof mKind);
  std::memcpy(mClass, other.mClass, sizeof mClass);
  if (!other.mPattern) Compile();
  return *this;
}

KIVFilterString::~KIVFilterString() { delete[] mPattern; }

void KIVFilterString::SetFilter(const char* pattern) {
  if (!pattern) pattern = "*";
  std::size_t length = std::strlen(pattern);
  if (length > static_cast<std::size_t>(kMaxLength)) length = kMaxLength;
  while (length > 0 && (pattern[length - 1] == ' ' || pattern[length - 1] == '\n')) --length;
  char* copy = Duplicate(pattern, static_cast<int>(length));
  if (!copy) return;  // keeps the previous pattern
  delete[] mPattern;
  mPattern = copy;
  mLength = static_cast<std::int16_t>(length);
  Compile();
}

void KIVFilterString::Compile() {
  std::memset(mStart, 0, sizeof mStart);
  std::memset(mKind, 0, sizeof mKind);
  std::memset(mClass, 0, sizeof mClass);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(mPattern);
  const int length = mLength;
  int i = 0;
  int n = 0;
  while (i < length && n < kMaxSegments) {
    mStart[n] = static_cast<std::uint16_t>(i);
    if (p[i] == '*') {
      mKind[n] = kStar;
      ++i;
    } else if (p[i] == '[') {
      mKind[n] = kClass;
      ++i;
      const int bit = 1 << n;
      auto add = [&](int from, int to) {
        for (int c = from; c <= to && c < 255; ++c) mClass[c] |= bit;
      };
      while (i < length && p[i] != ']') {
        const int c = p[i];
        if (i + 1 < length && p[i + 1] == '-') {
          if (i + 2 < length && p[i + 2] != ']') {
            add(c, p[i + 2]);  // an inverted range adds nothing
            i += 3;
          } else {
            add(c, c);  // "a-]": only the character
            i += 2;
          }
        } else {
          add(c, c);
          ++i;
        }
      }
      if (i < length) ++i;  // the closing ']'
    } else {
      mKind[n] = kLiteral;
      while (i < length && p[i] != '*' && p[i] != '[') ++i;
    }
    ++n;
  }
  mStart[n] = static_cast<std::uint16_t>(i);
  mNbSegment = static_cast<std::int16_t>(n);
}

int KIVFilterString::GetSegmentKind(int segment) const {
  return segment >= 0 && segment < mNbSegment ? mKind[segment] : -1;
}

int KIVFilterString::ClassContains(int segment, int c) const {
  if (segment < 0 || segment >= mNbSegment || c < 0 || c >= 255) return 0;
  return (mClass[c] >> segment) & 1;
}

int KIVFilterString::CheckFromFilter(const char* text) const {
  if (!text) text = "";
  const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
  int length = static_cast<int>(std::strlen(text));
  while (length > 0 && t[length - 1] == '\n') --length;
  for (int& trial : saStarTrial) trial = -1;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(mPattern);
  const int n = mNbSegment;

  int segment = 0;
  int position = 0;
  bool backtracking = false;  // the current star is tried again, one character further
  while (segment < n) {
    const int kind = mKind[segment];
    if (kind == kStar) {
      if (segment == n - 1) return 1;
      const int from = backtracking ? saStarTrial[segment] + 1 : position;
      backtracking = false;
      const int next = segment + 1;
      int found = -1;
      if (mKind[next] == kClass) {
        const int bit = 1 << next;
        for (int q = from; q < length; ++q)
          if (t[q] < 255 && (mClass[t[q]] & bit)) {
            found = q;
            break;
          }
      } else if (mKind[next] == kLiteral) {
        const unsigned char* literal = p + mStart[next];
        const int literalLength = mStart[next + 1] - mStart[next];
        for (int q = from; q + literalLength <= length; ++q)
          if (t[q] == literal[0]) {
            found = q;
            break;
          }
      } else if (from <= length) {
        found = from;  // two stars in a row
      }
      if (found < 0) return 0;  // no position can follow: no backtracking
      saStarTrial[segment] = found;
      position = found;
      ++segment;
      continue;
    }
    bool matched;
    if (kind == kLiteral) {
      const int literalLength = mStart[segment + 1] - mStart[segment];
      matched = position + literalLength <= length &&
                std::memcmp(t + position, p + mStart[segment], literalLength) == 0;
      if (matched) position += literalLength;
    } else {
      matched = position < length && t[position] < 255 && ((mClass[t[position]] >> segment) & 1);
      if (matched) ++position;
    }
    if (matched) {
      ++segment;
      continue;
    }
    int star = segment - 1;
    while (star >= 0 && mKind[star] != kStar) --star;
    if (star < 0) return 0;
    segment = star;
    backtracking = true;
  }
  return 1;
}
