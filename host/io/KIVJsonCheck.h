#pragma once
// A strict, non-recursive check that bytes are one well-formed JSON document (RFC 8259),
// for text glTF files: assimp's glTF readers read past their buffer on some malformed
// ones, so those are refused before they get there.
#include <cstddef>
#include <string>

class KIVJsonCheck {
 public:
  /// 1 when data holds exactly one JSON value (surrounding white space allowed); 0 with a
  /// short reason and the byte offset where it went wrong.
  static int IsWellFormed(const char* data, std::size_t size, std::string* why);
};
