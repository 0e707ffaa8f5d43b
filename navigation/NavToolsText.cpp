// Text helpers of NavToolsVisu: shortening a label, and the part of a name before or
// after a separator.
#include "navigation/NavToolsVisu.h"

void NavToolsVisu::ReduceLongText(KIVUnicodeString& text, int maxLength, KIVUnicodeString& suffix) {
  const int length = text.GetLengthInChar();
  int start = 0;
  for (; start < length; ++start) {
    const char32_t c = text.GetChar(start).GetCode();
    if (c != U' ' && c != U'\t' && c != U'\n') break;
  }
  bool marked = start > 0;
  KIVUnicodeString trimmed = marked ? text.SubString(start) : text;
  const int trimmedLength = length - start;
  int line = trimmed.FindPosition(KIVUnicodeString("\n"));
  if (line < 0) line = trimmedLength;
  if (line < trimmedLength) marked = true;
  if (line > maxLength) {
    line = maxLength;
    marked = true;
  }
  if (line > 0) trimmed = trimmed.SubString(0, line);
  text = trimmed;
  if (marked) text += suffix;
}

KIVUnicodeString NavToolsVisu::GetSufixPrefix(const KIVUnicodeString& text, const KIVUnicodeString& separator,
                                              const KIVUnicodeString& stop, int suffix, int fromEnd) {
  const int length = text.GetLengthInChar();
  // Separator and stop are single characters; their first one is what is compared.
  const KIVUnicodeChar sep = separator.GetChar(0), end = stop.GetChar(0);
  int found = -1;
  for (int n = 0; n < length; ++n) {
    const int i = fromEnd == 1 ? length - 1 - n : n;
    const KIVUnicodeChar c = text.GetChar(i);
    if (!stop.IsEmpty() && c == end) break;
    if (!separator.IsEmpty() && c == sep) {
      found = i;
      break;
    }
  }
  if (found < 0) return KIVUnicodeString();
  return suffix == 1 ? text.SubString(found + 1) : text.SubString(0, found);
}
