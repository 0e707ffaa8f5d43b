#include "apps/navview/NavviewWords.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace NavviewWords {

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;  // "" is an empty word, not nothing
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

bool ToInt(const std::string& text, int& value) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || v < -1000000000L || v > 1000000000L) return false;
  value = static_cast<int>(v);
  return true;
}

bool ToFloat(const std::string& text, float& value) {
  char* end = nullptr;
  const float v = std::strtof(text.c_str(), &end);
  if (text.empty() || *end || !std::isfinite(v)) return false;
  value = v;
  return true;
}

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Triple(float x, float y, float z) { return Fixed(x, 3) + " " + Fixed(y, 3) + " " + Fixed(z, 3); }

}  // namespace NavviewWords
