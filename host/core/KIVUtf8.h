#pragma once
// UTF-8 decoding and encoding used by the text classes.

#include <string>
#include <string_view>

namespace kivutf8 {

/// Decodes one character at `pos` and advances it. A byte that does not start a valid,
/// shortest-form sequence (or a surrogate) is taken as one Latin-1 character.
char32_t Decode(std::string_view s, size_t& pos);
/// Appends the UTF-8 form of a code point (invalid ones become U+FFFD).
void Append(std::string& out, char32_t c);
/// The text re-encoded so that it is valid UTF-8 (identity on valid input).
std::string Normalize(std::string_view s);

}  // namespace kivutf8
