#pragma once
// The words of a script line and the numbers in them, shared by navview's commands.
#include <string>
#include <vector>

namespace NavviewWords {
/// Splits at blanks; "double quotes" keep a file name with spaces in one word.
std::vector<std::string> Split(const std::string& line);
/// A whole word as an int (|value| ≤ 10⁹) or a finite float; false leaves value alone.
bool ToInt(const std::string& text, int& value);
bool ToFloat(const std::string& text, float& value);
/// value with that many decimals.
std::string Fixed(double value, int decimals);
/// "x y z" with three decimals.
std::string Triple(float x, float y, float z);
/// A command's refusal: sets failed and gives the reason (empty: the usage is said).
inline std::string Refuse(bool& failed, const std::string& why = {}) {
  failed = true;
  return why;
}
}  // namespace NavviewWords
