#include "host/core/KIVGPWMessage.h"

#include <cstring>

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

void KIVGPWMessage::writeString(const KIVUnicodeString& value) {
  const std::string& s = value.GetUtf8();
  WriteWord(static_cast<unsigned int>(s.size()));
  mBytes.insert(mBytes.end(), s.begin(), s.end());
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
  unsigned int word;
  if (!ReadWord(word, "readString")) return 0;
  const size_t available = GetRemaining() - 4;
  if (word > 0x7FFFFFFFu || word > available)
    return Fail("readString: length " + std::to_string(static_cast<int>(word)) + " at offset " +
                std::to_string(mRead) + " exceeds the " + std::to_string(available) + " bytes left");
  const char* begin = reinterpret_cast<const char*>(mBytes.data() + mRead + 4);
  value = KIVUnicodeString(std::string_view(begin, word));
  mRead += 4 + word;
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
