#include "host/core/KIVGPWMessage.h"

#include <algorithm>
#include <cstring>
#include <string_view>

KIVGPWMessage::KIVGPWMessage(const void* data, size_t size) {
  if (data && size) {
    const auto* p = static_cast<const unsigned char*>(data);
    mBytes.assign(p, p + size);
  }
}

void KIVGPWMessage::WriteWord(unsigned int word) {
  for (int i = 0; i < 4; ++i) mBytes.push_back(static_cast<unsigned char>(word >> (8 * i)));
}

void KIVGPWMessage::writeInt(int value) { WriteWord(static_cast<unsigned int>(value)); }

void KIVGPWMessage::writeFloat(float value) {
  static_assert(sizeof(float) == 4);
  unsigned int word;
  std::memcpy(&word, &value, 4);
  WriteWord(word);
}

namespace {
// A NUL inside the text would end it on reading: what follows it is not written.
std::string_view WrittenText(const KIVUnicodeString& value) {
  const std::string& s = value.GetUtf8();
  return std::string_view(s.data(), std::min(s.size(), s.find('\0')));
}
}  // namespace

void KIVGPWMessage::writeString(const KIVUnicodeString& value) {
  const std::string_view text = WrittenText(value);
  mBytes.insert(mBytes.end(), text.begin(), text.end());
  mBytes.push_back(0);
}

int KIVGPWMessage::GetStringSize(const KIVUnicodeString& value) {
  return static_cast<int>(WrittenText(value).size()) + 1;
}

void KIVGPWMessage::writeString(const char* utf8) { writeString(KIVUnicodeString(utf8)); }

int KIVGPWMessage::Fail(std::string text) {
  if (mError.empty()) mError = std::move(text);
  return 0;
}

bool KIVGPWMessage::ReadWord(unsigned int& word, const char* what) {
  if (HasError()) return false;  // a message already misread is not read further
  if (GetRemaining() < 4) {
    Fail(std::string(what) + ": " + std::to_string(GetRemaining()) + " bytes left at offset " +
         std::to_string(mRead) + ", 4 needed");
    return false;
  }
  word = 0;
  for (int i = 0; i < 4; ++i) word |= static_cast<unsigned int>(mBytes[mRead + i]) << (8 * i);
  return true;
}

int KIVGPWMessage::readInt(int& value) {
  unsigned int word;
  if (!ReadWord(word, "readInt")) return 0;
  mRead += 4;
  value = static_cast<int>(word);
  return 1;
}

int KIVGPWMessage::readFloat(float& value) {
  unsigned int word;
  if (!ReadWord(word, "readFloat")) return 0;
  mRead += 4;
  std::memcpy(&value, &word, 4);
  return 1;
}

int KIVGPWMessage::readString(KIVUnicodeString& value) {
  if (HasError()) return 0;  // a message already misread is not read further
  const unsigned char* begin = mBytes.data() + mRead;
  const auto* end =
      GetRemaining() > 0 ? static_cast<const unsigned char*>(std::memchr(begin, 0, GetRemaining())) : nullptr;
  if (!end)
    return Fail("readString: no terminating NUL in the " + std::to_string(GetRemaining()) + " bytes left at offset " +
                std::to_string(mRead));
  const size_t length = static_cast<size_t>(end - begin);
  value = KIVUnicodeString(std::string_view(reinterpret_cast<const char*>(begin), length));
  mRead += length + 1;
  return 1;
}

void KIVGPWMessage::Rewind() {
  mRead = 0;
  mError.clear();
}

void KIVGPWMessage::Clear() {
  mBytes.clear();
  Rewind();
}
