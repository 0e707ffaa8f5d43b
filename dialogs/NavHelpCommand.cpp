#include "dialogs/NavHelpCommand.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <sys/stat.h>

namespace {
const char* const kSuffix = "toc.doc";
}

NavHelpCommand::NavHelpCommand(const char* manual) { SetManual(manual); }

NavHelpCommand::~NavHelpCommand() { delete[] mPath; }

int NavHelpCommand::IsManualExist(const char* manual, const char* directory, char** path, const char* suffix) {
  if (!path) return 0;
  delete[] *path;
  *path = nullptr;
  if (!manual || !directory) return 0;
  if (!suffix) suffix = "";
  const std::size_t size = std::strlen(directory) + 2 * std::strlen(manual) + std::strlen(suffix) + 3;
  char* built = new (std::nothrow) char[size];
  if (!built) return 0;
  std::strcpy(built, directory);
  std::strcat(built, "/");
  std::strcat(built, manual);
  std::strcat(built, "/");
  std::strcat(built, manual);
  std::strcat(built, suffix);
  *path = built;
  struct stat status;
  return stat(built, &status) == 0 ? 1 : 0;
}

int NavHelpCommand::SetManual(const char* manual) {
  if (!manual) return 0;
  mManual = manual;
  if (const char* home = std::getenv("HOME"); home && IsManualExist(manual, home, &mPath, kSuffix)) return 1;
  const char* frame = std::getenv("KIVFRAME");
  if (!frame) return 0;  // the path built from HOME, if any, stays
  return IsManualExist(manual, frame, &mPath, kSuffix);
}

int NavHelpCommand::DisplayDocumentation() {
  if (!mPath) std::cerr << "User Guide is not avialable" << std::endl;
  return 1;
}
