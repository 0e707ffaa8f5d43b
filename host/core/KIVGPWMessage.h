#pragma once
// A persisted message: little-endian 4-byte ints and floats, strings as their UTF-8 bytes
// and a terminating NUL (a string costs its length in bytes plus 1). Reads never go past
// the end: a failed read leaves the value and the read position unchanged, and the
// message keeps the first error until Rewind.

#include <cstddef>
#include <string>
#include <vector>

#include "host/core/KIVUnicodeString.h"

class KIVGPWMessage {
 public:
  KIVGPWMessage() = default;
  /// A message to read from a copy of these bytes (null data or size 0: empty).
  KIVGPWMessage(const void* data, size_t size);

  void writeInt(int value);
  void writeFloat(float value);
  /// The bytes up to the first NUL, if the text holds one, then a NUL.
  void writeString(const KIVUnicodeString& value);
  void writeString(const char* utf8);  // null writes an empty string
  /// Bytes that writeString writes for this text.
  static int GetStringSize(const KIVUnicodeString& value);

  /// 1 on success; 0 when the message lacks the bytes (a string: no NUL before the end).
  int readInt(int& value);
  int readFloat(float& value);
  int readString(KIVUnicodeString& value);

  const unsigned char* GetData() const { return mBytes.data(); }
  size_t GetSize() const { return mBytes.size(); }
  size_t GetReadPosition() const { return mRead; }
  size_t GetRemaining() const { return mBytes.size() - mRead; }
  /// Back to the first byte; clears the error.
  void Rewind();
  int HasError() const { return !mError.empty(); }
  /// What the first failed read met, e.g. "readInt: 2 bytes left at offset 10, 4 needed".
  const char* GetErrorText() const { return mError.c_str(); }
  void Clear();

 private:
  int Fail(std::string text);
  bool ReadWord(unsigned int& word, const char* what);
  void WriteWord(unsigned int word);

  std::vector<unsigned char> mBytes;
  size_t mRead = 0;
  std::string mError;
};
