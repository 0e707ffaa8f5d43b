#include "apps/navview/NavviewOptions.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
bool Size(const std::string& text, int& width, int& height) {
  int w = 0, h = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &tail) != 2 || w < 1 || h < 1 || w > 16384 || h > 16384)
    return false;
  width = w, height = h;
  return true;
}
}  // namespace

int NavviewOptions::Parse(int argc, const char* const* argv, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return 0;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i] ? argv[i] : "";
    auto value = [&](std::string& out) {
      if (i + 1 >= argc || !argv[i + 1]) return false;
      out = argv[++i];
      return true;
    };
    if (arg == "--headless") {
      headless = true;
    } else if (arg == "--windowed") {
      windowed = true;
    } else if (arg == "-h" || arg == "--help") {
      help = true;
    } else if (arg == "--script") {
      if (!value(script)) return fail("--script needs a file");
      headless = true;
    } else if (arg == "--capture") {
      if (!value(capture)) return fail("--capture needs a file");
      headless = true;
    } else if (arg == "--size") {
      std::string text;
      if (!value(text) || !Size(text, width, height)) return fail("--size needs WIDTHxHEIGHT (1 to 16384)");
    } else if (arg == "--units") {
      std::string text;
      char* end = nullptr;
      if (!value(text)) return fail("--units needs a number");
      const long n = std::strtol(text.c_str(), &end, 10);
      if (*end || n < 1 || n > 100) return fail("--units needs a number from 1 to 100");
      units = static_cast<int>(n);
    } else if (arg == "--up") {
      std::string text;
      if (!value(text) || text.size() != 1 || !std::strchr("xyzXYZ", text[0]))
        return fail("--up needs x, y or z");
      up = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    } else if (arg.size() > 1 && arg[0] == '-') {
      return fail("unknown option '" + arg + "'");
    } else {
      files.push_back(arg);
    }
  }
  return 1;
}

const char* NavviewOptions::Usage() {
  return "usage: navview [--headless] [--script FILE] [--capture FILE.png] [--size WxH] [--units N]\n"
         "               [--up x|y|z] [files...]\n"
         "  With no file, navview shows its built-in plant (N x N process units, 8 by default).\n"
         "  --script runs commands one per line (the command 'help' lists them); --capture writes one reframed view.\n"
         "  --up names the models' up axis, for files that do not say it or say it wrong.\n";
}
